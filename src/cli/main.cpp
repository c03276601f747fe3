// framestow-cli: the command-line front end. Parses the arguments and hands
// each command to its runner; everything it prints comes from the runners.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.hpp"

namespace {

using framestow::cli::ExitStatus;

constexpr const char* kDescription =
    "Framestow moves the definitions of a Flash movie's linked assets (the symbols exported for "
    "attachMovie and attachSound) out of frame 1 to a later target frame, so that the movie starts "
    "playing before every asset has downloaded.";

constexpr const char* kExitCodes =
    "Exit status: 0 success; 1 usage error or target frame outside the movie; 2 a file cannot be read "
    "or is not a complete movie; 3 the movie cannot be analysed or modified; 4 the backup or the new "
    "movie could not be written. With several files the highest status wins.";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{kDescription, "framestow-cli"};
  app.footer(kExitCodes);
  app.set_version_flag("--version", std::string("framestow-cli ") + FRAMESTOW_VERSION);
  app.require_subcommand(1);

  framestow::cli::InfoOptions info;
  CLI::App* infoCommand = app.add_subcommand("info", "Show the file information of each movie.");
  infoCommand->add_option("FILE", info.files, "SWF movies (.swf)")->required();

  framestow::cli::AnalyzeOptions analyze;
  CLI::App* analyzeCommand = app.add_subcommand(
      "analyze", "Analyse each movie: linked assets, attach codes, redundant exports, and the bytes that can "
                 "move for each target frame.");
  analyzeCommand->add_option("FILE", analyze.files, "SWF movies (.swf)")->required();
  std::int64_t analyzeFrame = 0;
  CLI::Option* frameOption =
      analyzeCommand->add_option("--frame,-f", analyzeFrame, "Report only this target frame");
  CLI::Option* allOption = analyzeCommand->add_flag(
      "--all-frames", analyze.allFrames,
      "List every target frame (by default frames 1 to 20, the attach-code frame and the last frame)");
  frameOption->excludes(allOption);
  analyzeCommand->add_flag("--json", analyze.json, "Print one JSON document (an array, one object per file)");

  framestow::cli::SaveCommandOptions save;
  CLI::App* saveCommand = app.add_subcommand(
      "save", "Move the linked assets to the target frame and write the movie, keeping the original as "
              "[name]_old.swf.");
  saveCommand->add_option("FILE", save.file, "The SWF movie to rewrite")->required();
  saveCommand->add_option("--frame,-f", save.frame, "Target frame: the assets move to the start of it")
      ->required();
  saveCommand->add_flag("--keep-redundant", save.keepRedundant,
                        "Keep redundant ExportAssets entries (removed by default when there are any)");
  saveCommand->add_flag("--no-backup", save.noBackup, "Do not write [name]_old.swf first");
  saveCommand->add_option("--output,-o", save.output,
                          "Write the new movie to this path and leave FILE untouched (no backup needed)");
  saveCommand->add_flag("--json", save.json, "Print the result as JSON");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version exit 0; every other parse failure is a usage error.
    return app.exit(e) == 0 ? 0 : static_cast<int>(ExitStatus::Usage);
  }
  if (frameOption->count() > 0) analyze.frame = analyzeFrame;

  ExitStatus status = ExitStatus::Ok;
  if (infoCommand->parsed()) status = framestow::cli::runInfo(info, std::cout, std::cerr);
  if (analyzeCommand->parsed()) status = framestow::cli::runAnalyze(analyze, std::cout, std::cerr);
  if (saveCommand->parsed()) status = framestow::cli::runSave(save, std::cout, std::cerr);
  return static_cast<int>(status);
}
