// framestow-cli profile: how a movie streams in at a connection speed, frame
// by frame, before and after the move to a target frame.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "cli/exit_status.hpp"

namespace framestow::cli {

struct ProfileArguments {
  std::string file;
  std::string frame;                 // "" or the target frame
  std::string bandwidth = "56k";     // a preset or kB/s
  bool json = false;
  std::optional<std::string> svg;    // write the chart here
};

// Adds the command and its options to `app`.
CLI::App* addProfileCommand(CLI::App& app, ProfileArguments& arguments);

ExitStatus runProfile(const ProfileArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace framestow::cli
