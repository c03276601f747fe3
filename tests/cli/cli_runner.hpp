// Runs the built framestow-cli in a child process, as a user at a terminal
// does, and checks what it prints and the files it leaves.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/swf_builder.hpp"

namespace framestow::clitest {

using test::ByteVector;

struct CliResult {
  int status = -1;  // exit status; -1 when the process did not exit normally
  std::string out;
  std::string err;
};

CliResult runCli(const std::vector<std::string>& arguments);

// One command a user gives, and what follows. In arguments and expected texts
// "@" stands for the test's folder and a slash.
struct CliStep {
  std::vector<std::string> args;
  int status;
  std::vector<std::string> out;  // texts standard output holds
  std::string err;               // a text standard error holds; "": it stays empty; "*": it does not
  std::vector<std::pair<std::string, std::optional<ByteVector>>> files = {};  // files afterwards, or their absence
  std::function<void(const std::string& folder)> then = {};                  // what the user does next
  std::vector<std::pair<std::string, nlohmann::json>> json = {};              // values in the JSON printed, by pointer (null: absent)
};

// A named scenario: movies put in the test's folder, then the steps in turn.
struct CliCase {
  const char* name;
  std::vector<std::pair<std::string, ByteVector>> files;
  std::vector<CliStep> steps;
};

// Runs the case's steps, reporting every difference through gtest; returns the last result.
CliResult runCase(const CliCase& scenario);

// `text` with each "@" replaced by the folder and a slash.
std::string inFolder(const std::string& text, const std::string& folder);

}  // namespace framestow::clitest
