// framestow-cli: the command-line front end. Parses the arguments and hands
// each command to its runner; everything it prints comes from the runners.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string_view>

#include "cli/commands.hpp"
#include "cli/frame_number.hpp"
#include "cli/json_output.hpp"
#include "cli/movie_inputs.hpp"
#include "cli/profile_command.hpp"

namespace {

using framestow::cli::ExitStatus;

constexpr const char* kDescription =
    "Framestow moves the definitions of a Flash movie's linked assets (the symbols exported for "
    "attachMovie and attachSound) out of frame 1 to a later target frame, so that the movie starts "
    "playing before every asset has downloaded.";

constexpr const char* kExitCodes =
    "Exit status: 0 success; 1 usage error, target frame outside the movie, or results that could not be "
    "written to standard output; 2 a file cannot be read "
    "or is not a complete movie; 3 the movie cannot be analysed or modified; 4 the backup or the new "
    "movie could not be written. With several files the highest status wins.";

constexpr std::string_view kCommands[] = {"info", "analyze", "save", "assets", "profile"};

// The --frame of save that picks each movie's own first attach frame.
constexpr const char* kAttachFrame = "attach";

// The options every command shares: which movies, and how many at once.
void addInputOptions(CLI::App* command, framestow::cli::InputOptions& input) {
  command->add_option("FILE", input.files,
                      "SWF movies (.swf), and folders: their movies (*.swf, less backups), sorted by name");
  command->add_flag("--recursive,-r", input.recursive, "Take the movies of every subfolder of a folder too");
  command->add_option("--files-from", input.filesFrom,
                      "Also take the files and folders listed in this file, one per line (- for standard input)");
  command->add_flag("--null,-0", input.nulSeparated,
                    "The --files-from list separates its paths with NUL characters (find -print0), not lines");
  command->add_option("--jobs,-j", input.jobs, "Movies worked on at once (default: one per core)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{1000000}));
  command->add_flag("--no-progress", input.noProgress, "No progress bar, even on a terminal");
}

// What is wrong with the movies asked for, or "".
std::string inputError(const framestow::cli::InputOptions& input) {
  if (input.files.empty() && !input.filesFrom) return "No movie given: name files or folders, or use --files-from.";
  if (input.filesFrom && input.filesFrom->empty()) return "--files-from needs a file (- for standard input).";
  if (input.nulSeparated && !input.filesFrom) return "--null describes the --files-from list: give one.";
  return "";
}

// The first argument that is not an option names the command (the program
// itself has no option that takes a value). "" when there is none.
std::string_view commandArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') return argv[i];
  }
  return {};
}

bool jsonRequested(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--json") return true;
  }
  return false;
}

// A usage error: the message on standard error, and under --json also as the
// JSON document, so that a script reading standard output learns why.
int usageError(const std::string& message, bool json) {
  if (json) framestow::cli::printJson(std::cout, nlohmann::json{{"status", "error"}, {"message", message}});
  std::cerr << message << "\nRun with --help for more information.\n";
  return static_cast<int>(ExitStatus::Usage);
}

// Results that did not reach standard output (a full disk, a closed pipe) are
// a failure of the run, whatever the commands returned.
int finish(int status) {
  errno = 0;
  std::cout.flush();
  const bool flushed = std::fflush(stdout) == 0;
  const int error = errno;
  if (flushed && std::cout.good() && !std::ferror(stdout)) return status;
  // The cause is known when the last flush failed; an earlier failed write
  // (a long output) has left only its mark on the stream.
  std::cerr << "framestow-cli: the results could not be written to standard output";
  if (error != 0) std::cerr << ": " << std::strerror(error);
  std::cerr << '\n';
  return std::max(status, static_cast<int>(ExitStatus::Usage));
}

int run(int argc, char** argv) {
  CLI::App app{kDescription, "framestow-cli"};
  app.footer(kExitCodes);
  app.set_version_flag("--version", std::string("framestow-cli ") + FRAMESTOW_VERSION);
  app.require_subcommand(1);

  // Frames are read as text and checked here: the option parser would also
  // take "0x2", "2.0" or an octal "010".
  const CLI::Validator frameNumber(
      [](std::string& text) { return framestow::cli::frameNumberError(text); }, "FRAME", "frame number");

  framestow::cli::InfoOptions info;
  CLI::App* infoCommand = app.add_subcommand("info", "Show the file information of each movie.");
  addInputOptions(infoCommand, info.input);

  framestow::cli::AnalyzeOptions analyze;
  CLI::App* analyzeCommand = app.add_subcommand(
      "analyze", "Analyse each movie: linked assets, attach codes, redundant exports, and the bytes that can "
                 "move for each target frame.");
  addInputOptions(analyzeCommand, analyze.input);
  std::string analyzeFrame;
  CLI::Option* frameOption =
      analyzeCommand->add_option("--frame,-f", analyzeFrame, "Report only this target frame")->check(frameNumber);
  CLI::Option* allOption = analyzeCommand->add_flag(
      "--all-frames", analyze.allFrames,
      "List every target frame (by default frames 1 to 20, the attach-code frame and the last frame)");
  frameOption->excludes(allOption);
  analyzeCommand->add_flag("--json", analyze.json,
                           "Print JSON: an array with one object per file, or for folders and --files-from one "
                           "object a line (JSON Lines)");

  constexpr const char* kSafeHelp =
      "The safe plan: also keep in place every linked asset that code running before the target frame names "
      "(and what it needs)";
  analyzeCommand->add_flag("--safe", analyze.safe, kSafeHelp);
  framestow::cli::SaveCommandOptions save;
  CLI::App* saveCommand = app.add_subcommand(
      "save", "Move the linked assets to the target frame and write each movie, keeping the original as "
              "[name]_old.swf.");
  addInputOptions(saveCommand, save.input);
  std::string saveFrame;
  saveCommand
      ->add_option("--frame,-f", saveFrame,
                   "Target frame: the assets move to the start of it. \"attach\": each movie's own first attach "
                   "frame, where its verdict is \"OK to move to frame n.\"; other movies are skipped")
      ->required()
      ->check(CLI::Validator(
          [](std::string& text) {
            return text == kAttachFrame ? std::string() : framestow::cli::frameNumberError(text);
          },
          "FRAME|attach", "frame number or attach"));
  saveCommand->add_flag("--keep-redundant", save.keepRedundant,
                        "Keep redundant ExportAssets entries (removed by default when there are any)");
  saveCommand->add_flag("--no-backup", save.noBackup, "Do not write [name]_old.swf first");
  saveCommand->add_option("--output,-o", save.output,
                          "Write the new movie to this path and leave FILE untouched (no backup needed); one "
                          "FILE only");
  saveCommand->add_flag("--json", save.json, "Print the result as JSON (JSON Lines for folders and --files-from)");
  saveCommand
      ->add_option_function<std::string>(
          "--compress",
          [&save](const std::string& kind) { save.compress = framestow::cli::compressionNamed(kind); },
          "zlib (a CWS file), lzma (ZWS, SWF 13 and later) or none (FWS); by default as the file was")
      ->check(CLI::IsMember({"zlib", "lzma", "none"}));

  saveCommand->add_flag("--safe", save.safe, kSafeHelp);
  framestow::cli::AssetsOptions assets;
  CLI::App* assetsCommand = app.add_subcommand(
      "assets", "List each linked asset: its names, kind, bytes, the frames that first show it and first name "
                "it in code, and whether it moves to the target frame or why it stays.");
  addInputOptions(assetsCommand, assets.input);
  std::string assetsFrame;
  CLI::Option* assetsFrameOption =
      assetsCommand
          ->add_option("--frame,-f", assetsFrame,
                       "Target frame (default: the first attach frame, else 2)")
          ->check(frameNumber);
  assetsCommand->add_flag("--json", assets.json,
                          "Print JSON: an array with one object per file, or for folders and --files-from one "
                          "object a line (JSON Lines)");
  assetsCommand->add_flag("--safe", assets.safe, kSafeHelp);
  framestow::cli::ProfileArguments profile;
  CLI::App* profileCommand = framestow::cli::addProfileCommand(app, profile);

  const bool json = jsonRequested(argc, argv);
  const std::string_view command = commandArgument(argc, argv);
  if (!command.empty() && std::find(std::begin(kCommands), std::end(kCommands), command) == std::end(kCommands)) {
    return usageError("Unknown command: " + std::string(command) + " (the commands are info, analyze, save, assets and profile)",
                      json);
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version
  } catch (const CLI::ParseError& e) {
    return usageError(e.what(), json);
  }
  if (frameOption->count() > 0) analyze.frame = framestow::cli::parseFrameNumber(analyzeFrame);
  if (assetsFrameOption->count() > 0) assets.frame = framestow::cli::parseFrameNumber(assetsFrame);
  save.attachFrame = saveFrame == kAttachFrame;
  save.frame = framestow::cli::parseFrameNumber(saveFrame).value_or(0);
  for (const CLI::App* command : {infoCommand, analyzeCommand, saveCommand, assetsCommand}) {
    if (!command->parsed()) continue;
    const framestow::cli::InputOptions& input = command == infoCommand      ? info.input
                                                : command == analyzeCommand ? analyze.input
                                                : command == saveCommand    ? save.input
                                                                            : assets.input;
    if (std::string why = inputError(input); !why.empty()) return usageError(why, json);
  }
  if (saveCommand->parsed() && save.output) {
    if (save.input.files.size() != 1 || save.input.filesFrom || framestow::cli::isFolder(save.input.files.front())) {
      return usageError("--output writes one movie: give one FILE, not a folder, several files or --files-from.",
                        json);
    }
  }

  ExitStatus status = ExitStatus::Ok;
  if (infoCommand->parsed()) status = framestow::cli::runInfo(info, std::cin, std::cout, std::cerr);
  if (analyzeCommand->parsed()) status = framestow::cli::runAnalyze(analyze, std::cin, std::cout, std::cerr);
  if (saveCommand->parsed()) status = framestow::cli::runSave(save, std::cin, std::cout, std::cerr);
  if (assetsCommand->parsed()) status = framestow::cli::runAssets(assets, std::cin, std::cout, std::cerr);
  if (profileCommand->parsed()) status = framestow::cli::runProfile(profile, std::cout, std::cerr);
  return static_cast<int>(status);
}

}  // namespace

int main(int argc, char** argv) { return finish(run(argc, argv)); }
