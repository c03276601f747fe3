// Results that cannot be written fail the run, usage errors name what was
// wrong (as JSON under --json), and frame numbers are plain decimal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_movies.hpp"
#include "cli_runner.hpp"

namespace framestow::clitest {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using nlohmann::json;

using Arguments = std::vector<std::string>;

TEST(CliErrors, ResultsThatCannotBeWrittenFailTheRun) {
  const std::string folder = freshFolder();
  const std::string movie = writeMovie(folder, "intro.swf", OneAssetMovie().file());
  for (const Arguments& arguments :
       {Arguments{"info", movie}, Arguments{"analyze", movie}, Arguments{"analyze", "--json", movie},
        Arguments{"save", movie, "--frame", "2", "--output", folder + "/out.swf"}, Arguments{"--help"}}) {
    const CliResult result = runCliWritingTo(arguments, "/dev/full");
    EXPECT_EQ(result.status, 1) << arguments[0];
    EXPECT_THAT(result.err, HasSubstr("could not be written to standard output")) << arguments[0];
  }
}

TEST(CliErrors, UnknownCommandIsNamed) {
  const CliResult result = runCli({"bogus", "movie.swf"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("Unknown command: bogus"));
  EXPECT_THAT(result.err, Not(HasSubstr("subcommand is required")));
}

struct JsonUsageCase {
  const char* name;
  Arguments arguments;  // "MOVIE" stands for a real movie's path
  const char* message;  // part of the JSON message
};

void PrintTo(const JsonUsageCase& c, std::ostream* os) { *os << c.name; }

const JsonUsageCase kJsonUsage[] = {
    {"UnknownCommand", {"bogus", "--json"}, "Unknown command: bogus"},
    {"NoFile", {"analyze", "--json"}, "No movie given"},
    {"UnknownOption", {"analyze", "MOVIE", "--json", "--colour"}, "--colour"},
    {"SaveWithoutFrame", {"save", "MOVIE", "--json"}, "--frame"},
    {"FrameNotDecimal", {"save", "MOVIE", "--json", "--frame", "0x2"}, "\"0x2\" is not a frame number"},
};

class JsonUsageErrors : public ::testing::TestWithParam<JsonUsageCase> {};

TEST_P(JsonUsageErrors, AreAJsonDocumentToo) {
  const std::string movie = writeMovie(freshFolder(), "intro.swf", OneAssetMovie().file());
  Arguments arguments = GetParam().arguments;
  for (std::string& argument : arguments) {
    if (argument == "MOVIE") argument = movie;
  }
  const CliResult result = runCli(arguments);
  EXPECT_EQ(result.status, 1);
  ASSERT_TRUE(json::accept(result.out)) << result.out;
  const json document = json::parse(result.out);
  EXPECT_EQ(document["status"], "error");
  EXPECT_THAT(document["message"].get<std::string>(), HasSubstr(GetParam().message));
  EXPECT_THAT(result.err, HasSubstr(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Cases, JsonUsageErrors, ::testing::ValuesIn(kJsonUsage),
                         [](const auto& info) { return std::string(info.param.name); });

struct FrameCase {
  const char* name;
  const char* text;
  const char* error;  // part of the error; "" when frame 2 is accepted
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

const FrameCase kFrames[] = {
    {"Plain", "2", ""},
    {"LeadingZero", "02", ""},
    {"LeadingZeroIsNoOctal", "010", "Target frame 10 is outside"},
    {"Hexadecimal", "0x2", "\"0x2\" is not a frame number"},
    {"Fraction", "2.0", "\"2.0\" is not a frame number"},
    {"PlusSign", "+2", "\"+2\" is not a frame number"},
    {"Negative", "-1", "\"-1\" is not a frame number"},
    {"Empty", "", "\"\" is not a frame number"},
    {"Blank", " 2", "\" 2\" is not a frame number"},
    {"Enormous", "99999999999999999999", "too large to be a frame number"},
};

class FrameNumbers : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameNumbers, ArePlainDecimalInAnalyzeAndSave) {
  const FrameCase& c = GetParam();
  const std::string folder = freshFolder();
  const std::string movie = writeMovie(folder, "intro.swf", OneAssetMovie().file());
  const bool accepted = *c.error == '\0';
  for (const Arguments& arguments : {Arguments{"analyze", movie, "--frame", c.text},
                                     Arguments{"save", movie, "--frame", c.text, "--output", folder + "/out.swf"}}) {
    const CliResult result = runCli(arguments);
    EXPECT_EQ(result.status, accepted ? 0 : 1) << arguments[0] << '\n' << result.err;
    if (accepted) {
      EXPECT_THAT(result.out, HasSubstr("Target frame: 2\n")) << arguments[0];
    } else {
      EXPECT_THAT(result.err, HasSubstr(c.error)) << arguments[0];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameNumbers, ::testing::ValuesIn(kFrames),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace framestow::clitest
