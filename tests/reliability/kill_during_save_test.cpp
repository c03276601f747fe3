// The command line saving a large movie, killed (SIGKILL) at moments spread
// over its run and at each file step of its save: afterwards the movie is
// always the complete old one or the complete new one, the backup name holds
// its older content or the complete file as loaded, the only debris are
// temporary files named <file>.framestow-N.tmp, and they stop no later save.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

#include "support/documents.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// `framestow-cli save` for frame 2 in a child process, killed after `delay` or once `watched`
// holds `size` bytes, or else left to finish. True when it was killed.
bool saveInChild(const std::string& movie, bool backup, Clock::duration delay, const std::string& watched = "", std::uintmax_t size = 0) {
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
  std::error_code ec;
  while (!watched.empty() && waitpid(pid, &status, WNOHANG) == 0) {
    if (fs::file_size(watched, ec) >= size && !ec) kill(pid, SIGKILL);
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  if (watched.empty() && delay >= Clock::duration::zero()) {
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
  }
  if (watched.empty()) waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "status " << status;
  return WIFSIGNALED(status);
}

TEST(KillDuringSave, TheMovieIsOldOrNewAndTheBackupOldOrComplete) {
  const struct {
    const char* name;
    std::string signature;
    bool backup;
    std::size_t bytes;  // a deflated movie is put together before any file step, so less serves
  } rows[] = {{"an uncompressed movie with its backup", "FWS", true, 20u << 20}, {"a compressed movie", "CWS", false, 6u << 20}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string movie = tempPath(row.signature + "/movie.swf"), backup = tempPath(row.signature + "/movie_old.swf");
    const ByteVector oldMovie = bitmapsMovie(row.bytes, row.signature), olderBackup = movieOf({kBackground, kShowFrame, kEnd});
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, oldMovie, movie), "");
    const ByteVector newMovie = saveInMemory(doc, 2, false).bytes;
    const auto start = Clock::now();
    ASSERT_FALSE(saveInChild(movie, row.backup, Clock::duration(-1)));
    const Clock::duration full = Clock::now() - start;
    ASSERT_EQ(readFile(movie), newMovie);
    // Moments spread over twice a save's time, then each file step: a temporary file created, a quarter
    // written, ..., complete; the backup renamed into place.
    std::vector<std::tuple<Clock::duration, std::string, std::uintmax_t>> kills;
    for (int i = 0; i < 12; ++i) kills.emplace_back(full * 2 * i / 12, "", 0);
    for (int quarters = 0; quarters <= 4; ++quarters) {
      if (row.backup) kills.emplace_back(Clock::duration(-1), backup + ".framestow-0.tmp", oldMovie.size() * quarters / 4);
      kills.emplace_back(Clock::duration(-1), movie + ".framestow-0.tmp", newMovie.size() * quarters / 4);
    }
    if (row.backup) kills.emplace_back(Clock::duration(-1), backup, oldMovie.size());
    int oldSeen = 0;
    for (const auto& [delay, watched, size] : kills) {
      for (const auto& entry : fs::directory_iterator(fs::path(movie).parent_path())) fs::remove(entry);
      writeFile(movie, oldMovie);
      writeFile(backup, olderBackup);
      saveInChild(movie, row.backup, delay, watched, size);
      const ByteVector movieNow = readFile(movie), backupNow = readFile(backup);
      EXPECT_TRUE(movieNow == oldMovie || movieNow == newMovie) << "the movie is neither, killed at " << watched << " " << size;
      EXPECT_TRUE(backupNow == olderBackup || (row.backup && backupNow == oldMovie)) << "the backup is neither";
      // The new movie is written only after the backup is complete.
      EXPECT_TRUE(movieNow != newMovie || !row.backup || backupNow == oldMovie);
      oldSeen += movieNow == oldMovie ? 1 : 0;
      for (const auto& entry : fs::directory_iterator(fs::path(movie).parent_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "movie.swf" || name == "movie_old.swf" || name.find(".framestow-") != std::string::npos) << name;
      }
      if (HasFailure()) return;
    }
    // What the kills left stops no save.
    writeFile(movie, oldMovie);
    EXPECT_FALSE(saveInChild(movie, row.backup, Clock::duration(-1)));
    EXPECT_EQ(readFile(movie), newMovie);
    std::cout << "[ kill    ] " << row.signature << ": a run of the command took " << std::chrono::duration_cast<std::chrono::milliseconds>(full).count() << " ms; "
              << kills.size() << " kills left the old movie " << oldSeen << " times, the new one " << kills.size() - oldSeen << " times\n";
  }
}

}  // namespace
}  // namespace framestow::test
