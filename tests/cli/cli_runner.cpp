#include "cli_runner.hpp"

#include <fcntl.h>
#include <pty.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace framestow::clitest {

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct ChildStreams {
  std::string standardOutput;  // a path; "" for a file the result reads back
  std::string standardInput;   // a path; "" to leave it as it is
  bool errorOnTerminal = false;
};

CliResult runChild(const std::vector<std::string>& arguments, const ChildStreams& streams) {
  // Captured through files, not pipes: a child that fills a pipe while the
  // parent waits would block both.
  const fs::path folder = fs::path(FRAMESTOW_TEST_TMP) / "captured";
  fs::create_directories(folder);
  const fs::path outPath = folder / ("out-" + std::to_string(::getpid()));
  const fs::path errPath = folder / ("err-" + std::to_string(::getpid()));

  std::vector<std::string> argvStrings{FRAMESTOW_CLI};
  argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  int terminal = -1;
  int terminalSide = -1;
  if (streams.errorOnTerminal && ::openpty(&terminal, &terminalSide, nullptr, nullptr, nullptr) != 0) return {};

  const pid_t child = ::fork();
  if (child == 0) {
    const std::string outTarget = streams.standardOutput.empty() ? outPath.string() : streams.standardOutput;
    const int out = ::open(outTarget.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = streams.errorOnTerminal ? terminalSide : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = streams.standardInput.empty() ? STDIN_FILENO : ::open(streams.standardInput.c_str(), O_RDONLY);
    if (out < 0 || err < 0 || in < 0) ::_exit(127);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::dup2(in, STDIN_FILENO);
    ::alarm(60);  // kept across exec
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  CliResult result;
  if (streams.errorOnTerminal) {
    // Read as it comes, so that a full terminal never stalls the child; the
    // read fails once the child has closed its side.
    ::close(terminalSide);
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) result.err.append(buffer, static_cast<std::size_t>(n));
    ::close(terminal);
  }
  int waitStatus = 0;
  struct rusage usage {};
  if (child > 0 && ::wait4(child, &waitStatus, 0, &usage) == child && WIFEXITED(waitStatus)) {
    result.status = WEXITSTATUS(waitStatus);
  }
  result.peakMemoryKb = usage.ru_maxrss;
  if (streams.standardOutput.empty()) result.out = slurp(outPath);
  if (!streams.errorOnTerminal) result.err = slurp(errPath);
  return result;
}

}  // namespace

CliResult runCli(const std::vector<std::string>& arguments) { return runChild(arguments, {}); }

CliResult runCliWritingTo(const std::vector<std::string>& arguments, const std::string& standardOutput) {
  return runChild(arguments, {standardOutput, "", false});
}

CliResult runCliWithInput(const std::vector<std::string>& arguments, const std::string& standardInput) {
  const fs::path inPath = fs::path(FRAMESTOW_TEST_TMP) / "captured" / ("in-" + std::to_string(::getpid()));
  fs::create_directories(inPath.parent_path());
  std::ofstream(inPath, std::ios::binary) << standardInput;
  return runChild(arguments, {"", inPath.string(), false});
}

CliResult runCliOnTerminal(const std::vector<std::string>& arguments) { return runChild(arguments, {"", "", true}); }

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string freshFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path folder =
      fs::path(FRAMESTOW_TEST_TMP) / (std::string(info->test_suite_name()) + "." + info->name());
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

}  // namespace framestow::clitest
