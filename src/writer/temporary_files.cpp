// The list behind removeTemporaryFilesInProgress(): fixed slots, so that a
// signal handler reads it without taking a lock or touching the heap.
#include "writer/temporary_files.hpp"

#include <atomic>
#include <cstring>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace framestow {
namespace {

constexpr std::size_t kSlots = 16;
constexpr std::size_t kPathRoom = 4096;
constexpr std::size_t kNoSlot = kSlots;

struct Slot {
  std::atomic<bool> taken{false};  // claimed by a save
  std::atomic<bool> armed{false};  // the path is complete and may be removed
  char path[kPathRoom] = {};
};

Slot slots[kSlots];

static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler reads these flags");

void removeNow(const char* path) noexcept {
#if defined(_WIN32)
  ::_unlink(path);
#else
  ::unlink(path);
#endif
}

}  // namespace

void removeTemporaryFilesInProgress() noexcept {
  for (Slot& slot : slots) {
    if (slot.armed.load()) removeNow(slot.path);
  }
}

TemporaryFileRecord::TemporaryFileRecord(const std::string& path) : slot_(kNoSlot) {
  if (path.size() >= kPathRoom) return;
  for (std::size_t i = 0; i < kSlots; ++i) {
    if (slots[i].taken.exchange(true)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].armed.store(true);
    slot_ = i;
    return;
  }
}

TemporaryFileRecord::~TemporaryFileRecord() {
  if (slot_ == kNoSlot) return;
  slots[slot_].armed.store(false);
  slots[slot_].taken.store(false);
}

}  // namespace framestow
