// framestow-cli save: the dialog's Save for one target frame, with the
// dialog's default ticks unless told otherwise.
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/json_output.hpp"
#include "cli/save_report.hpp"
#include "cli/target_frames.hpp"
#include "cli/text_output.hpp"
#include "writer/writer.hpp"

namespace framestow::cli {

namespace {

namespace fs = std::filesystem;

// --output naming the loaded file itself is an in-place save (with its backup).
bool replacesInput(const std::string& input, const std::string& output) {
  if (output.empty()) return true;
  std::error_code ec;
  return fs::equivalent(input, output, ec) && !ec;
}

// Size on disk and the header's FileLength field of a movie just written.
void readWrittenSizes(const std::string& path, SaveReport& save) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (!ec) save.sizeAfter = size;
  std::ifstream file(path, std::ios::binary);
  unsigned char header[8] = {};
  if (file.read(reinterpret_cast<char*>(header), sizeof header)) {
    save.declaredLengthAfter = static_cast<std::uint32_t>(header[4]) | static_cast<std::uint32_t>(header[5]) << 8 |
                               static_cast<std::uint32_t>(header[6]) << 16 |
                               static_cast<std::uint32_t>(header[7]) << 24;
  }
}

// Every check before the writer runs: a movie that loaded, can be analysed, and
// has something to write for this frame.
bool readyToSave(const SaveCommandOptions& options, Document& document, FileReport& report) {
  if (!report.loaded) return false;
  if (report.version < 5) {
    fail(report, ExitStatus::CannotProcess, versionLine(document.movie().m));
    return false;
  }
  if (!analyseFile(document, report)) return false;
  if (!report.cannotSave.empty()) {
    fail(report, ExitStatus::CannotProcess, report.cannotSave);
    return false;
  }
  if (auto error = frameRangeError(options.frame, report.frameCount)) {
    fail(report, ExitStatus::Usage, *error);
    return false;
  }
  if (!report.canMoveAssets && options.frame > 1) {
    // The first analysis line says why: no linked assets (a single frame
    // cannot get here, its only frame is 1).
    fail(report, ExitStatus::CannotProcess, report.analysisLines[0]);
    return false;
  }
  return true;
}

SaveReport saveOne(const SaveCommandOptions& options, Document& document, FileReport& report) {
  SaveReport save;
  save.frame = static_cast<std::int32_t>(options.frame);
  if (!readyToSave(options, document, report)) return save;

  // The dialog removes redundant entries only when something also moves
  // (movableBytes > 0 with the box ticked). On the command line the removal is
  // what the user asked for, so it happens whenever there are redundant bytes.
  const bool removeRedundant = report.redundantBytes > 0 && !options.keepRedundant;
  const Verdict verdict = document.plan(save.frame, removeRedundant);
  save.movableBytes = verdict.movableBytes;
  save.verdict = {verdict.commentText1, verdict.commentText2, verdict.commentText3};
  if (verdict.saveControls == SaveControls::Disable) {
    fail(report, ExitStatus::CannotProcess,
         options.keepRedundant && report.redundantBytes > 0
             ? "Nothing to write for frame 1: nothing moves, and --keep-redundant keeps the export entries."
             : "Nothing to write for frame 1: nothing moves and there are no redundant export bytes.");
    return save;
  }

  const bool inPlace = replacesInput(options.file, options.output);
  const bool backup = inPlace && !options.noBackup;
  save.outputPath = inPlace ? options.file : options.output;
  save.removedRedundantBytes = removeRedundant ? report.redundantBytes : 0;
  save.sizeBefore = report.fileSize;
  save.declaredLengthBefore = report.declaredLength;

  save.attempted = true;
  const int result = document.save(save.frame, removeRedundant, backup, inPlace ? std::string() : options.output);
  save.resultText = saveResultText(result);
  if (backup && result != kErrorCreatingBackup) save.backupPath = backupNameFor(options.file);
  if (result != kFileModified) {
    fail(report, ExitStatus::WriteFailed, save.resultText);
    return save;
  }
  save.written = true;
  readWrittenSizes(save.outputPath, save);
  return save;
}

}  // namespace

ExitStatus runSave(const SaveCommandOptions& options, std::ostream& out, std::ostream& err) {
  Document document;
  FileReport report = loadFile(document, options.file);
  const SaveReport save = saveOne(options, document, report);

  if (options.json) {
    printJson(out, nlohmann::json::array({saveReportJson(report, save)}));
  } else {
    printFileInfo(out, report);
    if (save.attempted) printSave(out, report, save);
  }
  if (!report.ok()) printError(out, err, options.file, report.message, report.reason);
  return report.status;
}

}  // namespace framestow::cli
