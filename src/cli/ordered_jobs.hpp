// Work on many movies at once, results in their given order.
//
// `work(i)` runs for every i in [0, count) on `jobs` threads; `deliver(i,
// result)` receives the results on the calling thread strictly in order of i,
// each as soon as it and every one before it are done. When `deliver` returns
// false, no further item is started and the run ends once those under way
// are done (their results are dropped). A thread takes item i
// only while i lies less than `lookAhead` past the next result to deliver, so
// that results held back behind one slow item never pile up: at most
// `lookAhead` results wait, and at most `jobs` items are being worked on.
// The calling thread also calls `progress(finished)`, with the number of items
// finished so far (delivered or not), after each delivery and about every
// `tick` while it waits, and `idle()` whenever it is about to wait because
// the next result is not done yet.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace framestow::cli {

template <typename Result, typename Work, typename Deliver, typename Progress, typename Idle>
void runInOrder(std::size_t count, std::size_t jobs, std::size_t lookAhead, Work&& work, Deliver&& deliver,
                Progress&& progress, Idle&& idle, std::chrono::milliseconds tick = std::chrono::milliseconds(100)) {
  jobs = std::max<std::size_t>(1, std::min(jobs, count));
  lookAhead = std::max(lookAhead, jobs);

  struct Slot {
    std::optional<Result> result;
    std::exception_ptr failure;
    bool ready = false;
  };
  std::mutex mutex;
  std::condition_variable roomFreed;  // a result was delivered: a thread may take a further item
  std::condition_variable itemDone;
  std::vector<Slot> slots(lookAhead);  // item i waits in slot i % lookAhead
  std::size_t next = 0;                // the next item a thread takes
  std::size_t delivered = 0;
  std::size_t finished = 0;

  auto worker = [&] {
    for (;;) {
      std::size_t item = 0;
      {
        std::unique_lock lock(mutex);
        roomFreed.wait(lock, [&] { return next >= count || next < delivered + lookAhead; });
        if (next >= count) return;
        item = next++;
      }
      Slot done;
      try {
        done.result.emplace(work(item));
      } catch (...) {
        done.failure = std::current_exception();
      }
      done.ready = true;
      {
        std::lock_guard lock(mutex);
        slots[item % lookAhead] = std::move(done);
        ++finished;
      }
      itemDone.notify_one();
    }
  };

  std::vector<std::jthread> threads;
  // However this thread leaves (an exception included, one from starting a
  // thread too), the workers take no further item, so that joining them ends.
  struct StopTaking {
    std::mutex& mutex;
    std::condition_variable& roomFreed;
    std::size_t& next;
    std::size_t count;
    ~StopTaking() {
      {
        std::lock_guard lock(mutex);
        next = count;
      }
      roomFreed.notify_all();
    }
  };
  const StopTaking stopTaking{mutex, roomFreed, next, count};
  threads.reserve(jobs);
  for (std::size_t j = 0; j < jobs; ++j) threads.emplace_back(worker);

  for (; delivered < count;) {
    Slot slot;
    {
      std::unique_lock lock(mutex);
      Slot& waitingFor = slots[delivered % lookAhead];
      if (!waitingFor.ready) {
        lock.unlock();
        idle();
        lock.lock();
      }
      while (!waitingFor.ready) {
        if (itemDone.wait_for(lock, tick, [&] { return waitingFor.ready; })) break;
        const std::size_t finishedNow = finished;
        lock.unlock();
        progress(finishedNow);
        lock.lock();
      }
      slot = std::move(waitingFor);
      waitingFor = Slot{};
    }
    // Nothing sensible follows an unexpected failure (out of memory, say):
    // the other threads finish their items, and the failure goes on up.
    if (slot.failure) std::rethrow_exception(slot.failure);
    std::size_t finishedNow = 0;
    const std::size_t item = delivered;
    {
      std::lock_guard lock(mutex);
      ++delivered;
      finishedNow = finished;
    }
    roomFreed.notify_all();
    if (!deliver(item, std::move(*slot.result))) return;
    progress(finishedNow);
  }
}

}  // namespace framestow::cli
