#include "cli_runner.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
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

}  // namespace

CliResult runCli(const std::vector<std::string>& arguments) {
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

  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) ::_exit(127);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  CliResult result;
  int waitStatus = 0;
  if (child > 0 && ::waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus)) {
    result.status = WEXITSTATUS(waitStatus);
  }
  result.out = slurp(outPath);
  result.err = slurp(errPath);
  return result;
}

std::string freshFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path folder = fs::path(FRAMESTOW_TEST_TMP) / (std::string(info->test_suite_name()) + "." + info->name());
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

std::string inFolder(const std::string& text, const std::string& folder) {
  std::string out;
  for (const char c : text) out += c == '@' ? folder + "/" : std::string(1, c);
  return out;
}

CliResult runCase(const CliCase& scenario) {
  SCOPED_TRACE(scenario.name);
  const std::string folder = freshFolder();
  for (const auto& [name, bytes] : scenario.files) test::writeFile(folder + "/" + name, bytes);
  CliResult result;
  for (const CliStep& step : scenario.steps) {
    std::vector<std::string> args;
    std::string command = "framestow-cli";
    for (const std::string& arg : step.args) {
      args.push_back(inFolder(arg, folder));
      command += " " + arg;
    }
    SCOPED_TRACE(command);
    result = runCli(args);
    EXPECT_EQ(result.status, step.status) << result.err;
    for (const std::string& text : step.out) EXPECT_NE(result.out.find(inFolder(text, folder)), std::string::npos) << inFolder(text, folder) << "\nin:\n" << result.out;
    if (step.err.empty()) {
      EXPECT_EQ(result.err, "");
    } else if (step.err == "*") {
      EXPECT_NE(result.err, "");
    } else {
      EXPECT_NE(result.err.find(inFolder(step.err, folder)), std::string::npos) << result.err;
    }
    for (const auto& [name, bytes] : step.files) {
      const std::string path = folder + "/" + name;
      EXPECT_EQ(fs::exists(path), bytes.has_value()) << name;
      if (bytes && fs::exists(path)) {
        EXPECT_TRUE(test::readFile(path) == *bytes) << name << " holds other bytes";
      }
    }
    if (!step.json.empty()) {
      const nlohmann::json printed = nlohmann::json::parse(result.out, nullptr, false);
      for (const auto& [pointer, value] : step.json) {
        const nlohmann::json::json_pointer at(pointer);
        const nlohmann::json expected = value.is_string() ? nlohmann::json(inFolder(value.get<std::string>(), folder)) : value;
        if (expected.is_null()) {
          EXPECT_FALSE(printed.contains(at)) << pointer << " is there in:\n" << result.out;
        } else {
          EXPECT_TRUE(printed.contains(at) && printed[at] == expected) << pointer << " is not " << expected.dump() << " in:\n" << result.out;
        }
      }
    }
    if (step.then) step.then(folder);
  }
  return result;
}

}  // namespace framestow::clitest
