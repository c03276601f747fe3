// A save of a large movie in a child process, killed (SIGKILL) at many moments
// spread over the save: afterwards the target is always the complete old movie
// or the complete new one, an older backup is untouched, the new backup is
// absent or complete, and the only debris are temporary files named
// .fstw-*.tmp, which do not stop a later save. Stopped by SIGINT or SIGTERM
// instead, with handlers installed as the command line installs them, the
// save leaves no temporary file at all.
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
  void killNow(int signal = SIGKILL) { kill(pid_, signal); }
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

// When to kill, and with which signal: after a delay from the signal to
// save, or once a file has reached a size (the temporary file growing, the
// new backup in place). kTemporary stands for the temporary file this run makes.
struct KillPoint {
  std::string label;
  Clock::duration delay{-1};
  std::string path;
  std::uintmax_t minSize = 0;
  int signal = SIGKILL;
};
const std::string kTemporary = "temporary";

bool isTemporary(const std::string& name) { return name.rfind(".fstw-", 0) == 0 && name.ends_with(".tmp"); }

// The temporary file in `folder` that was not among `before`, if there is one yet.
std::string newTemporary(const std::string& folder, const std::set<std::string>& before) {
  for (const std::string& name : namesIn(folder)) {
    if (isTemporary(name) && before.count(name) == 0) return folder + "/" + name;
  }
  return "";
}

// Runs one child save and kills it at `when` (a default KillPoint: never).
Run runChild(const std::string& target, bool backup, const KillPoint& when = {}) {
  Run run;
  const std::string folder = std::filesystem::path(target).parent_path().string();
  const std::set<std::string> before = namesIn(folder);
  ChildProcess child({FRAMESTOW_SAVE_CHILD, target, "2", backup ? "1" : "0"});
  EXPECT_TRUE(child.started());
  EXPECT_EQ(child.readLine(), "ready");
  const auto start = Clock::now();
  child.send('g');
  if (when.delay >= Clock::duration::zero()) {
    std::this_thread::sleep_for(when.delay);
    child.killNow(when.signal);
  } else if (!when.path.empty()) {
    std::string path = when.path == kTemporary ? "" : when.path;
    while (!child.exited()) {
      if (path.empty()) path = newTemporary(folder, before);
      std::error_code ec;
      const auto size = path.empty() ? 0 : std::filesystem::file_size(path, ec);
      if (!path.empty() && !ec && size >= when.minSize) {
        child.killNow(when.signal);
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

long long ms(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); }

void killDuringSave(const std::string& signature, bool backup) {
  const std::string name = signature + (backup ? "_backup" : "");
  const std::string folder = scratchFolder("kill_" + name);
  const std::string target = folder + "/movie.swf";
  const std::string olderBackupPath = folder + "/movie_old.swf";
  const std::string backupPath = folder + "/movie_old_2.swf";  // the first free name
  const ByteVector oldMovie = largeMovie(20u << 20, signature, 11);
  const ByteVector olderBackup = buildMovie(Timeline().setBackgroundColor().showFrame().end());
  writeFile(target, oldMovie);
  writeFile(olderBackupPath, olderBackup);

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

  // Puts the old movie back and takes the new backup away where a run made them.
  ByteVector targetNow = oldMovie;
  auto reset = [&] {
    if (targetNow != oldMovie) writeFile(target, oldMovie);
    std::filesystem::remove(backupPath);
  };

  // One save left alone, to know how long a save takes.
  const Run full = runChild(target, backup);
  ASSERT_FALSE(full.killed);
  targetNow = readAll(target);
  ASSERT_EQ(targetNow, newMovie);

  // Kills at moments spread over the save's duration, and at each file step:
  // the temporary file created and growing, complete but not yet renamed,
  // the backup in place before the target is replaced. SIGINT and SIGTERM
  // while the temporary file is made and written ("FWS" only).
  std::vector<KillPoint> points;
  constexpr int kTimed = 12;
  for (int i = 0; i < kTimed; ++i) points.push_back({"timed", full.ran * 2 * i / kTimed, {}, 0});
  const std::vector<std::pair<std::string, int>> steps{{"created", 0}, {"a quarter written", 1}, {"half written", 2},
                                                       {"three quarters written", 3}, {"complete", 4}};
  if (backup) points.push_back({"backup in place", Clock::duration(-1), backupPath, oldMovie.size()});
  for (const auto& [what, quarters] : steps) {
    points.push_back({"temporary " + what, Clock::duration(-1), kTemporary, newMovie.size() * quarters / 4});
  }
  // The handlers do not depend on the compression: one variant is enough.
  for (const int signal : {SIGINT, SIGTERM}) {
    if (signature != "FWS") break;
    const std::string name = signal == SIGINT ? "SIGINT" : "SIGTERM";
    points.push_back({name + ", temporary created", Clock::duration(-1), kTemporary, 0, signal});
    points.push_back({name + ", temporary half written", Clock::duration(-1), kTemporary, newMovie.size() / 2, signal});
  }

  int oldSeen = 0, newSeen = 0, killedCount = 0;
  std::set<std::string> debris;
  for (KillPoint point : points) {
    SCOPED_TRACE(name + ": kill " + point.label + " " + std::to_string(ms(point.delay)) + " ms / " +
                 std::to_string(point.minSize) + " bytes");
    reset();
    const std::set<std::string> before = namesIn(folder);
    const Run run = runChild(target, backup, point);
    killedCount += run.killed ? 1 : 0;
    if (std::getenv("FRAMESTOW_KILL_VERBOSE") != nullptr) {
      std::cout << "  " << point.label << ": ran " << ms(run.ran) << " ms, " << (run.killed ? "killed" : "finished")
                << ", " << namesIn(folder).size() << " files\n";
    }
    targetNow = readAll(target);
    const bool isOld = targetNow == oldMovie;
    const bool isNew = targetNow == newMovie;
    EXPECT_TRUE(isOld || isNew) << "target of " << targetNow.size() << " bytes is neither movie";
    oldSeen += isOld ? 1 : 0;
    newSeen += isNew ? 1 : 0;
    EXPECT_EQ(readAll(olderBackupPath), olderBackup) << "an older backup is never touched";
    const bool backupKept = std::filesystem::exists(backupPath);
    EXPECT_TRUE(!backupKept || (backup && readAll(backupPath) == oldMovie)) << "the new backup is incomplete";
    // The new movie is only ever in place after the backup is complete.
    if (isNew && backup) {
      EXPECT_TRUE(backupKept);
    }
    for (const auto& entry : namesIn(folder)) {
      if (before.count(entry) != 0 || entry == "movie_old_2.swf") continue;
      EXPECT_TRUE(isTemporary(entry)) << entry;
      EXPECT_EQ(point.signal, SIGKILL) << "SIGINT and SIGTERM leave no temporary file: " << entry;
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
