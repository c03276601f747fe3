// Runs the built framestow-cli in a child process and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace framestow::clitest {

struct CliResult {
  int status = -1;  // exit status; -1 when the process did not exit normally
  std::string out;
  std::string err;
};

CliResult runCli(const std::vector<std::string>& arguments);

// The lines of a text, without their line feeds.
std::vector<std::string> linesOf(const std::string& text);

// A fresh, empty folder for one test, named after it.
std::string freshFolder();

}  // namespace framestow::clitest
