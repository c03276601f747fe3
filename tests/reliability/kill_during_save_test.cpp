// The command line saving a large movie, killed (SIGKILL) at moments spread
// over its run and at each file step of its save: afterwards the movie is
// always the complete old one or the complete new one, an older backup is
// untouched, the new backup is absent or complete, the only debris are
// temporary files named .fstw-*.tmp, and they stop no later save. Stopped by
// SIGINT or SIGTERM instead, it removes its temporary file before it goes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

#include "support/documents.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// When to stop the save, and how: after `delay`, or once `watched` (a path, or
// "" for the temporary file the save makes) holds `size` bytes; never when
// `delay` is negative and nothing is watched.
struct Stop {
  Clock::duration delay{-1};
  bool watch = false;
  std::string watched;
  std::uintmax_t size = 0;
  int signal = SIGKILL;
};

// `framestow-cli save` for frame 2 in a child process, stopped as `stop` says. True when a signal ended it.
bool saveInChild(const std::string& movie, bool backup, const Stop& stop = {}) {
  const std::string folder = fs::path(movie).parent_path().string();
  const std::set<std::string> before = namesIn(folder);
  const pid_t pid = fork();
  if (pid == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execl(FRAMESTOW_CLI, FRAMESTOW_CLI, "save", movie.c_str(), "--frame", "2", backup ? static_cast<const char*>(nullptr) : "--no-backup",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  std::string watched = stop.watched;
  while (stop.watch && waitpid(pid, &status, WNOHANG) == 0) {
    for (const std::string& name : watched.empty() ? namesIn(folder) : std::set<std::string>{}) {
      if (before.count(name) == 0 && name.rfind(".fstw-", 0) == 0) watched = folder + "/" + name;
    }
    std::error_code ec;
    if (!watched.empty() && fs::file_size(watched, ec) >= stop.size && !ec) kill(pid, stop.signal);
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  if (!stop.watch && stop.delay >= Clock::duration::zero()) {
    std::this_thread::sleep_for(stop.delay);
    kill(pid, stop.signal);
  }
  if (!stop.watch) waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "status " << status;
  return WIFSIGNALED(status);
}

TEST(KillDuringSave, TheMovieIsOldOrNewAndTheBackupAbsentOrComplete) {
  const struct {
    const char* name;
    std::string signature;
    bool backup;
    std::size_t bytes;  // a deflated movie is put together before any file step, so less serves
  } rows[] = {{"an uncompressed movie with its backup", "FWS", true, 20u << 20}, {"a compressed movie", "CWS", false, 6u << 20}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string folder = tempPath(row.signature), movie = folder + "/movie.swf";
    const std::string older = folder + "/movie_old.swf", backup = folder + "/movie_old_2.swf";  // the first free name
    const ByteVector oldMovie = bitmapsMovie(row.bytes, row.signature), olderBackup = movieOf({kBackground, kShowFrameBytes, kEndBytes});
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, oldMovie, movie), "");
    const ByteVector newMovie = saveInMemory(doc, 2, false).bytes;
    writeFile(older, olderBackup);
    const auto start = Clock::now();
    ASSERT_FALSE(saveInChild(movie, row.backup));
    const Clock::duration full = Clock::now() - start;
    ASSERT_EQ(readFile(movie), newMovie);
    // Moments spread over twice a save's time, then each file step: the temporary file created, a quarter
    // written, ..., complete; the backup in place. SIGINT and SIGTERM while the temporary file is written.
    std::vector<Stop> stops;
    for (int i = 0; i < 12; ++i) stops.push_back({full * 2 * i / 12, false, "", 0});
    for (int quarters = 0; quarters <= 4; ++quarters) stops.push_back({Clock::duration(-1), true, "", newMovie.size() * quarters / 4});
    if (row.backup) stops.push_back({Clock::duration(-1), true, backup, oldMovie.size()});
    for (const int signal : {SIGINT, SIGTERM}) {
      if (row.signature == "FWS") stops.push_back({Clock::duration(-1), true, "", newMovie.size() / 2, signal});
    }
    int oldSeen = 0;
    for (const Stop& stop : stops) {
      SCOPED_TRACE("signal " + std::to_string(stop.signal) + " at " + stop.watched + " " + std::to_string(stop.size));
      writeFile(movie, oldMovie);
      fs::remove(backup);
      const std::set<std::string> before = namesIn(folder);
      saveInChild(movie, row.backup, stop);
      const ByteVector movieNow = readFile(movie);
      EXPECT_TRUE(movieNow == oldMovie || movieNow == newMovie) << "the movie is neither";
      EXPECT_EQ(readFile(older), olderBackup) << "an older backup is never touched";
      EXPECT_TRUE(!fs::exists(backup) || (row.backup && readFile(backup) == oldMovie)) << "the new backup is incomplete";
      // The new movie is in place only after the backup is complete.
      EXPECT_TRUE(movieNow != newMovie || !row.backup || fs::exists(backup));
      oldSeen += movieNow == oldMovie ? 1 : 0;
      for (const std::string& name : namesIn(folder)) {
        if (before.count(name) != 0 || name == "movie_old_2.swf") continue;
        EXPECT_TRUE(name.rfind(".fstw-", 0) == 0 && name.ends_with(".tmp")) << name;
        EXPECT_EQ(stop.signal, SIGKILL) << "SIGINT and SIGTERM leave no temporary file: " << name;
      }
      if (HasFailure()) return;
    }
    // What the kills left stops no save.
    writeFile(movie, oldMovie);
    fs::remove(backup);
    EXPECT_FALSE(saveInChild(movie, row.backup));
    EXPECT_EQ(readFile(movie), newMovie);
    std::cout << "[ kill    ] " << row.signature << ": a run of the command took " << std::chrono::duration_cast<std::chrono::milliseconds>(full).count() << " ms; "
              << stops.size() << " stops left the old movie " << oldSeen << " times, the new one " << stops.size() - oldSeen << " times\n";
  }
}

}  // namespace
}  // namespace framestow::test
