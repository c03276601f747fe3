#include "cli_runner.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_files.hpp"

namespace framestow::clitest {

namespace fs = std::filesystem;

CliResult runCli(const std::vector<std::string>& arguments) {
  // Output is captured in files, not pipes, which a long output could fill while we wait.
  const std::string out = test::tempPath("stdout"), err = test::tempPath("stderr");
  std::string command = FRAMESTOW_CLI;
  for (const std::string& argument : arguments) {
    command += " '";
    for (const char c : argument) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
  }
  const int status = std::system((command + " >" + out + " 2>" + err).c_str());
  const ByteVector outBytes = test::readFile(out), errBytes = test::readFile(err);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(outBytes.begin(), outBytes.end()), std::string(errBytes.begin(), errBytes.end())};
}

namespace {

// `text` with each "@" replaced by the folder and a slash.
std::string inFolder(const std::string& text, const std::string& folder) {
  std::string out;
  for (const char c : text) out += c == '@' ? folder + "/" : std::string(1, c);
  return out;
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
    for (const std::string& text : step.out) {
      EXPECT_NE(result.out.find(inFolder(text, folder)), std::string::npos) << inFolder(text, folder) << "\nin:\n" << result.out;
    }
    const bool errAsExpected = step.err.empty() ? result.err.empty() : step.err == "*" ? !result.err.empty() : result.err.find(inFolder(step.err, folder)) != std::string::npos;
    EXPECT_TRUE(errAsExpected) << "standard error:\n" << result.err;
    for (const auto& [name, bytes] : step.files) {
      const std::string path = folder + "/" + name;
      EXPECT_TRUE(bytes ? fs::exists(path) && test::readFile(path) == *bytes : !fs::exists(path)) << name << (bytes ? " is missing or holds other bytes" : " is there");
    }
    if (!step.json.empty()) {
      const nlohmann::json printed = nlohmann::json::parse(result.out, nullptr, false);
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
