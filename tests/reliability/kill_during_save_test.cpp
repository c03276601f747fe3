// A save of a large movie in a child process, killed (SIGKILL) at moments
// spread over the save and at each of its file steps: afterwards the movie is
// always the complete old one or the complete new one, the backup name holds
// its older content or the complete file as loaded, the only debris are
// temporary files named <file>.framestow-N.tmp, and they stop no later save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <random>
#include <thread>

#include "support/documents.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Exported shapes filled with incompressible bitmaps of `total` bytes in frame
// 1, attached in frame 2; a save for frame 2 moves them.
ByteVector largeMovie(std::size_t total, const std::string& signature) {
  std::mt19937 random(11);
  Tags tags{kBackground};
  std::vector<std::pair<std::uint16_t, std::string>> names;
  for (std::uint16_t id = 1; id <= total / (256 * 1024); id += 2) {
    Bytes pixels;
    for (int i = 0; i < 256 * 1024; ++i) pixels.u8(random() >> 24);
    tags.insert(tags.end(), {tagBytes(kDefineBitsLossless, Bytes().u16(id).u8(5).u16(1).u16(1).raw(pixels)), shape(static_cast<std::uint16_t>(id + 1), {id})});
    names.emplace_back(id + 1, "asset");
  }
  tags.insert(tags.end(), {exports(names), kShowFrame, attach(), kShowFrame, place(2), kShowFrame, kEnd});
  MovieOptions options;
  options.signature = signature;
  return movieOf(tags, options);
}

// Starts the child (it loads, analyses and plans, then waits), tells it to
// save, and kills it after `delay`, or once `watched` holds `size` bytes;
// without either it lets it finish. True when it was killed.
bool saveInChild(const std::string& movie, bool backup, Clock::duration delay, const std::string& watched, std::uintmax_t size,
                 Clock::duration& took) {
  int toChild[2], fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) return false;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    execl(FRAMESTOW_SAVE_CHILD, FRAMESTOW_SAVE_CHILD, movie.c_str(), "2", backup ? "1" : "0", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  char ready[6] = {};
  EXPECT_EQ(read(fromChild[0], ready, 6), 6);
  const auto start = Clock::now();
  EXPECT_EQ(write(toChild[1], "g", 1), 1);
  int status = 0;
  if (!watched.empty()) {
    std::error_code ec;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (fs::file_size(watched, ec) >= size && !ec) kill(pid, SIGKILL);
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  } else {
    if (delay >= Clock::duration::zero()) {
      std::this_thread::sleep_for(delay);
      kill(pid, SIGKILL);
    }
    waitpid(pid, &status, 0);
  }
  took = Clock::now() - start;
  close(toChild[1]);
  close(fromChild[0]);
  if (!WIFSIGNALED(status)) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
  return WIFSIGNALED(status);
}

std::string nextTemporary(const std::string& path) {
  for (int i = 0;; ++i) {
    if (!fs::exists(path + ".framestow-" + std::to_string(i) + ".tmp")) return path + ".framestow-" + std::to_string(i) + ".tmp";
  }
}

struct KillRow {
  const char* name;
  std::string signature;
  bool backup;
  std::size_t bytes;  // a deflated movie is put together before any file step, so less serves
};

TEST(KillDuringSave, TheMovieIsOldOrNewAndTheBackupOldOrComplete) {
  const KillRow rows[] = {{"an uncompressed movie with its backup", "FWS", true, 20u << 20}, {"a compressed movie", "CWS", false, 6u << 20}};
  for (const KillRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string movie = tempPath(row.signature + "/movie.swf");
    const std::string backup = tempPath(row.signature + "/movie_old.swf");
    const ByteVector oldMovie = largeMovie(row.bytes, row.signature);
    const ByteVector olderBackup = movieOf({kBackground, kShowFrame, kEnd});
    Document doc;
    ASSERT_EQ(loadAndAnalyse(doc, oldMovie, movie), "");
    const ByteVector newMovie = saveInMemory(doc, 2, false).bytes;
    ASSERT_NE(newMovie, oldMovie);
    writeFile(backup, olderBackup);
    Clock::duration full{};
    ASSERT_FALSE(saveInChild(movie, row.backup, Clock::duration(-1), "", 0, full));
    ASSERT_EQ(readFile(movie), newMovie);
    // Moments spread over twice a save's time, then each file step: a temporary file created and growing, complete, renamed.
    std::vector<std::tuple<Clock::duration, std::string, std::uintmax_t>> kills;
    for (int i = 0; i < 12; ++i) kills.emplace_back(full * 2 * i / 12, "", 0);
    for (int quarters = 0; quarters <= 4; ++quarters) {
      if (row.backup) kills.emplace_back(Clock::duration(-1), "backup", oldMovie.size() * quarters / 4);
      kills.emplace_back(Clock::duration(-1), "movie", newMovie.size() * quarters / 4);
    }
    if (row.backup) kills.emplace_back(Clock::duration(-1), backup, oldMovie.size());
    int oldSeen = 0, newSeen = 0;
    for (auto [delay, watched, size] : kills) {
      writeFile(movie, oldMovie);
      writeFile(backup, olderBackup);
      if (watched == "backup" || watched == "movie") watched = nextTemporary(watched == "backup" ? backup : movie);
      Clock::duration took{};
      saveInChild(movie, row.backup, delay, watched, size, took);
      const ByteVector movieNow = readFile(movie), backupNow = readFile(backup);
      EXPECT_TRUE(movieNow == oldMovie || movieNow == newMovie) << "the movie is neither, killed at " << watched << " " << size;
      EXPECT_TRUE(backupNow == olderBackup || (row.backup && backupNow == oldMovie)) << "the backup is neither";
      // The new movie is written only after the backup is complete.
      if (movieNow == newMovie && row.backup) {
        EXPECT_EQ(backupNow, oldMovie);
      }
      oldSeen += movieNow == oldMovie ? 1 : 0;
      newSeen += movieNow == newMovie ? 1 : 0;
      for (const auto& entry : fs::directory_iterator(fs::path(movie).parent_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "movie.swf" || name == "movie_old.swf" || name.find(".framestow-") != std::string::npos) << name;
      }
      if (HasFailure()) return;
    }
    writeFile(movie, oldMovie);
    Clock::duration took{};
    EXPECT_FALSE(saveInChild(movie, row.backup, Clock::duration(-1), "", 0, took)) << "the debris stopped a save";
    EXPECT_EQ(readFile(movie), newMovie);
    std::cout << "[ kill    ] " << row.signature << ": a save took " << std::chrono::duration_cast<std::chrono::milliseconds>(full).count() << " ms; "
              << kills.size() << " kills left the old movie " << oldSeen << " times, the new one " << newSeen << " times\n";
    fs::remove_all(fs::path(movie).parent_path());
  }
}

}  // namespace
}  // namespace framestow::test
