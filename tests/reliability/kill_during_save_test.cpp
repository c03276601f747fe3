// A save of a large movie in a child process, killed (SIGKILL) at many moments
// spread over the save: afterwards the target is always the complete old movie
// or the complete new one, the backup name holds its old content or the
// complete backup, and the only debris are temporary files named
// <file>.framestow-N.tmp, which do not stop a later save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "document/document.hpp"
#include "reliability/reliability_support.hpp"

extern char** environ;

namespace framestow::test {
namespace {

// A child process with a pipe to its stdin and one from its stdout.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& args) {
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    posix_spawn_file_actions_addclose(&actions, toChild[1]);
    posix_spawn_file_actions_addclose(&actions, fromChild[0]);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
  }
  ~ChildProcess() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      wait();
    }
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
  }
  bool started() const { return pid_ > 0; }

  std::string readLine() {
    std::string line;
    char c;
    while (read(out_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  bool send(char c) { return write(in_, &c, 1) == 1; }
  void killNow() { kill(pid_, SIGKILL); }
  // True once the child has ended (it stays a zombie until wait()).
  bool exited() {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_;
  }
  // The wait status.
  int wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  bool waited_ = false;
};

using Clock = std::chrono::steady_clock;

// How a save run went: how long it took, and whether it was killed.
struct Run {
  Clock::duration ran{};
  bool killed = false;
};

// When to kill: after a delay from the signal to save, or once a file has
// reached a size (a temporary file growing, the backup renamed into place).
struct KillPoint {
  std::string label;
  Clock::duration delay{-1};
  std::string path;
  std::uintmax_t minSize = 0;
};

// Runs one child save and kills it at `when` (a default KillPoint: never).
Run runChild(const std::string& target, bool backup, const KillPoint& when = {}) {
  Run run;
  ChildProcess child({FRAMESTOW_SAVE_CHILD, target, "2", backup ? "1" : "0"});
  EXPECT_TRUE(child.started());
  EXPECT_EQ(child.readLine(), "ready");
  const auto start = Clock::now();
  child.send('g');
  if (when.delay >= Clock::duration::zero()) {
    std::this_thread::sleep_for(when.delay);
    child.killNow();
  } else if (!when.path.empty()) {
    while (!child.exited()) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(when.path, ec);
      if (!ec && size >= when.minSize) {
        child.killNow();
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  }
  const int status = child.wait();
  run.ran = Clock::now() - start;
  run.killed = WIFSIGNALED(status);
  if (!run.killed) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
  return run;
}

// The name the next save gives its temporary file for `path`.
std::string nextTemporary(const std::string& path) {
  for (int i = 0;; ++i) {
    const std::string candidate = path + ".framestow-" + std::to_string(i) + ".tmp";
    if (!std::filesystem::exists(candidate)) return candidate;
  }
}

long long ms(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); }

void killDuringSave(const std::string& signature, bool backup) {
  const std::string name = signature + (backup ? "_backup" : "");
  const std::string folder = scratchFolder("kill_" + name);
  const std::string target = folder + "/movie.swf";
  const std::string backupPath = folder + "/movie_old.swf";
  const ByteVector oldMovie = largeMovie(20u << 20, signature, 11);
  const ByteVector olderBackup = buildMovie(Timeline().setBackgroundColor().showFrame().end());
  writeFile(target, oldMovie);

  ByteVector newMovie;
  {
    Document doc;
    ASSERT_EQ(doc.load(target), "");
    ASSERT_TRUE(doc.analyze());
    doc.plan(2);
    auto assembled = assembleMovie(doc.movie(), doc.analysis(), doc.planState(), 2, false);
    ASSERT_TRUE(assembled.has_value());
    auto encoded = encodeMovie(doc.movie(), std::move(*assembled));
    ASSERT_TRUE(encoded.has_value());
    newMovie = std::move(*encoded);
  }
  ASSERT_NE(newMovie, oldMovie);

  // Puts the old movie and the older backup back where a run changed them.
  ByteVector targetNow = oldMovie;
  ByteVector backupNow = olderBackup;
  auto reset = [&] {
    if (targetNow != oldMovie) writeFile(target, oldMovie);
    if (backupNow != olderBackup) writeFile(backupPath, olderBackup);
  };
  writeFile(backupPath, olderBackup);

  // One save left alone, to know how long a save takes.
  const Run full = runChild(target, backup);
  ASSERT_FALSE(full.killed);
  targetNow = readAll(target);
  backupNow = readAll(backupPath);
  ASSERT_EQ(targetNow, newMovie);

  // Kills at moments spread over the save's duration, and at each file step:
  // temporary files created and growing, complete but not yet renamed, the
  // backup in place before the target's steps begin. Paths of temporary
  // files are worked out just before each run (earlier kills leave some).
  std::vector<KillPoint> points;
  constexpr int kTimed = 12;
  for (int i = 0; i < kTimed; ++i) points.push_back({"timed", full.ran * 2 * i / kTimed, {}, 0});
  const std::vector<std::pair<std::string, int>> steps{{"created", 0}, {"a quarter written", 1}, {"half written", 2},
                                                       {"three quarters written", 3}, {"complete", 4}};
  if (backup) {
    for (const auto& [what, quarters] : steps) {
      points.push_back({"backup temporary " + what, Clock::duration(-1), "backup", oldMovie.size() * quarters / 4});
    }
    points.push_back({"backup renamed", Clock::duration(-1), backupPath, oldMovie.size()});
  }
  for (const auto& [what, quarters] : steps) {
    points.push_back({"target temporary " + what, Clock::duration(-1), "target", newMovie.size() * quarters / 4});
  }

  int oldSeen = 0, newSeen = 0, killedCount = 0;
  std::set<std::string> debris;
  for (KillPoint point : points) {
    SCOPED_TRACE(name + ": kill " + point.label + " " + std::to_string(ms(point.delay)) + " ms / " +
                 std::to_string(point.minSize) + " bytes");
    reset();
    if (point.path == "backup") point.path = nextTemporary(backupPath);
    if (point.path == "target") point.path = nextTemporary(target);
    const Run run = runChild(target, backup, point);
    killedCount += run.killed ? 1 : 0;
    if (std::getenv("FRAMESTOW_KILL_VERBOSE") != nullptr) {
      std::cout << "  " << point.label << ": ran " << ms(run.ran) << " ms, " << (run.killed ? "killed" : "finished")
                << ", " << namesIn(folder).size() << " files\n";
    }
    targetNow = readAll(target);
    backupNow = readAll(backupPath);
    const bool isOld = targetNow == oldMovie;
    const bool isNew = targetNow == newMovie;
    EXPECT_TRUE(isOld || isNew) << "target of " << targetNow.size() << " bytes is neither movie";
    oldSeen += isOld ? 1 : 0;
    newSeen += isNew ? 1 : 0;
    EXPECT_TRUE(backupNow == olderBackup || (backup && backupNow == oldMovie))
        << "backup of " << backupNow.size() << " bytes is neither";
    // The new movie is only ever written after the backup is complete.
    if (isNew && backup) {
      EXPECT_EQ(backupNow, oldMovie);
    }
    for (const auto& entry : namesIn(folder)) {
      if (entry == "movie.swf" || entry == "movie_old.swf") continue;
      EXPECT_TRUE(isTemporaryOf(entry, "movie.swf") || isTemporaryOf(entry, "movie_old.swf")) << entry;
      debris.insert(entry);
    }
    if (::testing::Test::HasFailure()) return;
  }
  // The temporary files left by the kills do not stop the next save.
  reset();
  const Run last = runChild(target, backup);
  EXPECT_FALSE(last.killed);
  EXPECT_EQ(readAll(target), newMovie);
  if (backup) {
    EXPECT_EQ(readAll(backupPath), oldMovie);
  }

  std::cout << name << ": save of " << newMovie.size() << " bytes took " << ms(full.ran) << " ms; " << points.size() << " kills (" << killedCount
            << " before the end): old movie " << oldSeen << " times, new movie " << newSeen << " times; "
            << debris.size() << " temporary files left behind\n";
  ::testing::Test::RecordProperty("temporary_files_left", static_cast<int>(debris.size()));
  std::filesystem::remove_all(folder);
}

TEST(KillDuringSave, TargetAndBackupAreOldOrNew_FWS) { killDuringSave("FWS", true); }
TEST(KillDuringSave, TargetIsOldOrNewMovie_CWS) { killDuringSave("CWS", false); }

}  // namespace
}  // namespace framestow::test
