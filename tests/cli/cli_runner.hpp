// Runs the built framestow-cli in a child process, as a user at a terminal
// does, and checks what it prints and the files it leaves; and the movie most
// of the command-line scenarios use.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/tags.hpp"

namespace framestow::clitest {

using namespace framestow::test;

struct CliResult {
  int status = -1;  // exit status; -1 when the process did not exit normally
  std::string out;
  std::string err;
  long peakMemoryKb = 0;  // the child's peak resident memory
};

// A child still running after a minute is killed (status -1): a command that
// hangs fails its test instead of stalling the suite.
CliResult runCli(const std::vector<std::string>& arguments);
// The same with standard output going to `standardOutput` (such as /dev/full).
CliResult runCliWritingTo(const std::vector<std::string>& arguments, const std::string& standardOutput);
// The same reading `standardInput` on its standard input.
CliResult runCliWithInput(const std::vector<std::string>& arguments, const std::string& standardInput);
// The same with standard error on a pseudo-terminal, as a person at a console
// sees it; `err` holds what the terminal received.
CliResult runCliOnTerminal(const std::vector<std::string>& arguments);

// One command a user gives, and what follows. In arguments and expected texts
// "@" stands for the test's folder and a slash.
struct CliStep {
  std::vector<std::string> args;
  int status;
  std::vector<std::string> out;  // texts standard output holds
  std::string err;               // a text standard error holds; "": it stays empty; "*": it does not
  std::vector<std::pair<std::string, std::optional<ByteVector>>> files = {};  // files afterwards, or their absence; "-": standard output
  std::function<void(const std::string& folder)> then = {};                  // what the user does next
  std::vector<std::pair<std::string, nlohmann::json>> json = {};              // values in the JSON printed, by pointer (null: absent); JSON Lines read as one array
  std::string input = {};                                                     // standard input; "": the test's own
};

// A named scenario: movies put in the test's folder, and whatever else
// `prepare` makes there (a link, a FIFO), then the steps in turn.
struct CliCase {
  const char* name;
  std::vector<std::pair<std::string, ByteVector>> files;
  std::vector<CliStep> steps;
  std::function<void(const std::string& folder)> prepare = {};
};

// Runs the case's steps, reporting every difference through gtest; returns the last result.
CliResult runCase(const CliCase& scenario);

// Sprite 2 placing shape 1, both defined in frame 1 and exported by `exportTag`
// there; frame 2 attaches. 400 x 300 pixels, 12 frames per second.
inline ByteVector intro(const ByteVector& exportTag = exports({{2, "hero"}}), const std::string& signature = "FWS", std::uint8_t version = 6) {
  return movieOf({kBackground, shape(1), sprite(2, {place(1), kShowFrameBytes, kEndBytes}), exportTag, kShowFrameBytes, attach(), kShowFrameBytes, kEndBytes}, header(signature, version));
}
// The intro movie saved for frame 2, with `exportTag` for its export.
inline ByteVector introMoved(const ByteVector& exportTag = exports({{2, "hero"}}), const std::string& signature = "FWS", std::uint8_t version = 6) {
  return movieOf({kBackground, kShowFrameBytes, shape(1), sprite(2, {place(1), kShowFrameBytes, kEndBytes}), exportTag, attach(), kShowFrameBytes, kEndBytes}, header(signature, version));
}
// What a plan for frame 2 of the intro movie moves: the shape and the whole sprite.
inline std::string introMovable() { return std::to_string(sizeOf({shape(1), sprite(2, {place(1), kShowFrameBytes, kEndBytes})})); }

}  // namespace framestow::clitest
