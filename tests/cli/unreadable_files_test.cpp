// A file that cannot be read gives the reading message and then its cause and
// path, in every command and in JSON; nothing waits on a FIFO or a device.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using nlohmann::json;
using Arguments = std::vector<std::string>;

struct UnreadableCase {
  const char* name;
  std::string (*makePath)(const std::string& folder);
  const char* cause;
};

void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }

const UnreadableCase kUnreadable[] = {
    {"Missing", [](const std::string& folder) { return folder + "/absent.swf"; }, "No such file or directory"},
    {"Fifo",
     [](const std::string& folder) {
       const std::string path = folder + "/pipe.swf";
       ::mkfifo(path.c_str(), 0600);
       return path;
     },
     "Is a named pipe (FIFO), not a regular file"},
    {"Device", [](const std::string&) { return std::string("/dev/zero"); }, "Is a device, not a regular file"},
};

class Unreadable : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(Unreadable, EveryCommandGivesTheMessageThenTheCauseAndPath) {
  const std::string path = GetParam().makePath(freshFolder());
  const std::string expected =
      path + ": Sorry, an error has occured reading the file.\n" + path + ": " + GetParam().cause + ": " + path + "\n";
  for (const Arguments& arguments : {Arguments{"info", path}, Arguments{"analyze", path},
                                     Arguments{"save", path, "--frame", "2"}}) {
    const CliResult result = runCli(arguments);
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_EQ(result.err, expected) << arguments[0];
  }
  for (const Arguments& arguments :
       {Arguments{"analyze", "--json", path}, Arguments{"save", "--json", path, "--frame", "2"}}) {
    const json document = json::parse(runCli(arguments).out);
    EXPECT_EQ(document[0].value("reason", ""), std::string(GetParam().cause) + ": " + path) << arguments[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Unreadable, ::testing::ValuesIn(kUnreadable),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace framestow::clitest
