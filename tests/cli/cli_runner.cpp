#include "cli_runner.hpp"

#include <fcntl.h>
#include <pty.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "support/tag_list.hpp"
#include "support/test_files.hpp"

namespace framestow::clitest {

namespace fs = std::filesystem;

namespace {

struct ChildStreams {
  std::string standardOutput;  // a path; "": captured
  std::string standardInput;   // a path; "": the test's own
  bool errorOnTerminal = false;
};

CliResult runChild(const std::vector<std::string>& arguments, const ChildStreams& streams) {
  // Output is captured in files, not pipes, which a long output could fill while we wait.
  const std::string out = streams.standardOutput.empty() ? test::tempPath("stdout") : streams.standardOutput, err = test::tempPath("stderr");
  std::vector<std::string> strings{FRAMESTOW_CLI};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  int terminal = -1, terminalSide = -1;
  if (streams.errorOnTerminal && openpty(&terminal, &terminalSide, nullptr, nullptr, nullptr) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFile = streams.errorOnTerminal ? terminalSide : open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int inFile = streams.standardInput.empty() ? STDIN_FILENO : open(streams.standardInput.c_str(), O_RDONLY);
    if (outFile < 0 || errFile < 0 || inFile < 0) _exit(127);
    dup2(outFile, STDOUT_FILENO);
    dup2(errFile, STDERR_FILENO);
    dup2(inFile, STDIN_FILENO);
    alarm(60);  // kept across exec: a command that hangs fails its test instead of stalling the suite
    execv(argv[0], argv.data());
    _exit(127);
  }
  CliResult result;
  if (streams.errorOnTerminal) {
    // Read as it comes, so that a full terminal never stalls the child; the read fails once the child has closed its side.
    close(terminalSide);
    char buffer[4096];
    for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) result.err.append(buffer, static_cast<std::size_t>(n));
    close(terminal);
  }
  int status = 0;
  struct rusage usage {};
  if (child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.peakMemoryKb = usage.ru_maxrss;
  const ByteVector outBytes = streams.standardOutput.empty() ? test::readFile(out) : ByteVector{};
  result.out.assign(outBytes.begin(), outBytes.end());
  if (!streams.errorOnTerminal) {
    const ByteVector errBytes = test::readFile(err);
    result.err.assign(errBytes.begin(), errBytes.end());
  }
  return result;
}

}  // namespace

CliResult runCli(const std::vector<std::string>& arguments) { return runChild(arguments, {}); }

CliResult runCliWritingTo(const std::vector<std::string>& arguments, const std::string& standardOutput) { return runChild(arguments, {standardOutput, "", false}); }

CliResult runCliWithInput(const std::vector<std::string>& arguments, const std::string& standardInput) {
  const std::string in = test::tempPath("stdin");
  test::writeFile(in, ByteVector(standardInput.begin(), standardInput.end()));
  return runChild(arguments, {"", in, false});
}

CliResult runCliOnTerminal(const std::vector<std::string>& arguments) { return runChild(arguments, {"", "", true}); }

namespace {

// `text` with each "@" replaced by the folder and a slash.
std::string inFolder(const std::string& text, const std::string& folder) {
  std::string out;
  for (const char c : text) out += c == '@' ? folder + "/" : std::string(1, c);
  return out;
}

// The same movie: for "CWS" files, the same signature and the same movie
// inflated (the deflated bytes are the compressor's choice, not the movie's).
bool sameMovie(const ByteVector& file, const ByteVector& expected) {
  if (file.empty() || expected.empty() || file[0] != 'C' || expected[0] != 'C') return file == expected;
  const test::Listing got = test::listMovie(file);
  return got.complete && got.problem.empty() && got.movie == test::listMovie(expected).movie;
}

}  // namespace

CliResult runCase(const CliCase& scenario) {
  SCOPED_TRACE(scenario.name);
  // A fresh folder of its own for each case.
  static int cases = 0;
  const std::string folder = test::testTempDir() + "/" + std::to_string(++cases);
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const auto& [name, bytes] : scenario.files) test::writeFile(folder + "/" + name, bytes);
  if (scenario.prepare) scenario.prepare(folder);
  CliResult result;
  for (const CliStep& step : scenario.steps) {
    std::vector<std::string> args;
    std::string command = "framestow-cli";
    for (const std::string& arg : step.args) {
      args.push_back(inFolder(arg, folder));
      command += " " + arg;
    }
    SCOPED_TRACE(command);
    result = step.input.empty() ? runCli(args) : runCliWithInput(args, inFolder(step.input, folder));
    EXPECT_EQ(result.status, step.status) << result.err;
    for (const std::string& text : step.out) {
      EXPECT_NE(result.out.find(inFolder(text, folder)), std::string::npos) << inFolder(text, folder) << "\nin:\n" << result.out;
    }
    const bool errAsExpected = step.err.empty() ? result.err.empty() : step.err == "*" ? !result.err.empty() : result.err.find(inFolder(step.err, folder)) != std::string::npos;
    EXPECT_TRUE(errAsExpected) << "standard error:\n" << result.err;
    for (const auto& [name, bytes] : step.files) {
      const std::string path = folder + "/" + name;
      if (name == "-") EXPECT_TRUE(sameMovie(ByteVector(result.out.begin(), result.out.end()), *bytes)) << "standard output holds another movie";
      else EXPECT_TRUE(bytes ? fs::exists(path) && sameMovie(test::readFile(path), *bytes) : !fs::exists(path)) << name << (bytes ? " is missing or holds another movie" : " is there");
    }
    if (!step.json.empty()) {
      nlohmann::json printed = nlohmann::json::parse(result.out, nullptr, false);
      if (printed.is_discarded()) {
        printed = nlohmann::json::array();
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);) printed.push_back(nlohmann::json::parse(line, nullptr, false));
      }
      for (const auto& [pointer, value] : step.json) {
        const nlohmann::json::json_pointer at(pointer);
        const nlohmann::json expected = value.is_string() ? nlohmann::json(inFolder(value.get<std::string>(), folder)) : value;
        // An expected null stands for a field that is not there.
        EXPECT_TRUE(expected.is_null() ? !printed.contains(at) : printed.contains(at) && printed[at] == expected) << pointer << " is not " << expected.dump() << " in:\n" << result.out;
      }
    }
    if (step.then) step.then(folder);
  }
  return result;
}

}  // namespace framestow::clitest
