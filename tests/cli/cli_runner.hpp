// Runs the built framestow-cli in a child process and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace framestow::clitest {

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
// The same with standard error on a terminal (a pseudo-terminal), as a person
// at a console sees it; `err` holds what the terminal received.
CliResult runCliOnTerminal(const std::vector<std::string>& arguments);

// The lines of a text, without their line feeds.
std::vector<std::string> linesOf(const std::string& text);

// A fresh, empty folder for one test, named after it.
std::string freshFolder();

}  // namespace framestow::clitest
