// framestow-cli save: the dialog's Save for one target frame, with the
// dialog's default ticks unless told otherwise.
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#endif

#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/json_output.hpp"
#include "cli/save_report.hpp"
#include "cli/target_frames.hpp"
#include "cli/text_output.hpp"
#include "common/file_header.hpp"
#include "document/document.hpp"

namespace framestow::cli {

namespace {

namespace fs = std::filesystem;

// The --output that sends the movie to standard output.
constexpr const char* kStandardOutput = "-";

// Ctrl-C, a termination request or a closed terminal during a save: the
// temporary files in progress go, then the signal ends the process as usual.
void stopSaving(int signal) {
  removeTemporaryFilesInProgress();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// A signal the process was started with ignored (a background job's SIGINT,
// nohup's SIGHUP) stays ignored.
void stopSavingOn(int signal) {
  if (std::signal(signal, stopSaving) == SIG_IGN) std::signal(signal, SIG_IGN);
}

void removeTemporaryFilesWhenStopped() {
  stopSavingOn(SIGINT);
  stopSavingOn(SIGTERM);
#if defined(SIGHUP)
  stopSavingOn(SIGHUP);
#endif
}

// Size on disk and the header's FileLength field of a movie just written.
void readWrittenSizes(const std::string& path, SaveReport& save) {
  std::error_code ec;
  // Only a regular file is opened: a FIFO put in its place would never answer.
  if (!fs::is_regular_file(fs::symlink_status(path, ec))) return;
  const auto size = fs::file_size(path, ec);
  if (!ec) save.sizeAfter = size;
  std::ifstream file(path, std::ios::binary);
  std::uint8_t header[kFileHeaderSize] = {};
  if (file.read(reinterpret_cast<char*>(header), sizeof header)) save.declaredLengthAfter = readFileLength(header);
}

// The movie written to `out` (standard output), its size and length field
// noted on the way.
SaveOutcome writeToStream(Document& document, std::int32_t frame, bool removeRedundant, std::ostream& out,
                          SaveReport& save) {
#if defined(_WIN32)
  _setmode(_fileno(stdout), _O_BINARY);  // a movie, not text: no line ends rewritten
#endif
  std::uint8_t header[kFileHeaderSize] = {};
  std::uint64_t written = 0;
  const auto put = [&](const std::uint8_t* data, std::size_t size) -> std::error_code {
    for (std::size_t i = 0; i < size && written + i < sizeof header; ++i) header[written + i] = data[i];
    errno = 0;
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (out) written += size;
    return out ? std::error_code() : std::error_code(errno != 0 ? errno : EIO, std::generic_category());
  };
  SaveOutcome outcome = document.writeTo(frame, removeRedundant, put, "standard output");
  errno = 0;
  if (outcome.result == kFileModified && !out.flush()) {
    outcome.result = kErrorWritingFile;
    outcome.reason = std::error_code(errno != 0 ? errno : EIO, std::generic_category()).message() + ": standard output";
  }
  save.sizeAfter = written;
  save.declaredLengthAfter = readFileLength(header);
  return outcome;
}

// Every check before the writer runs: a movie that loaded, can be analysed, and
// has something to write for this frame.
bool readyToSave(const SaveCommandOptions& options, Document& document, FileReport& report) {
  if (!report.loaded) return false;
  if (report.version < 5) {
    fail(report, ExitStatus::CannotProcess, versionLine(report.version));
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

SaveReport saveOne(const SaveCommandOptions& options, Document& document, FileReport& report, std::ostream& out) {
  SaveReport save;
  save.frame = static_cast<std::int32_t>(options.frame);
  if (!readyToSave(options, document, report)) return save;

  // The dialog removes redundant entries only when something also moves
  // (movableBytes > 0 with the box ticked). On the command line the removal is
  // what the user asked for, so it happens whenever there are redundant bytes.
  const bool removeRedundant = report.redundantBytes > 0 && !options.keepRedundant;
  const Verdict verdict = document.plan(save.frame, removeRedundant);
  save.movableBytes = verdict.movableBytes;
  save.verdict = verdict.verdictLines;
  if (verdict.saveControls == SaveControls::Disable) {
    fail(report, ExitStatus::CannotProcess,
         options.keepRedundant && report.redundantBytes > 0
             ? "Nothing to write for frame 1: nothing moves, and --keep-redundant keeps the export entries."
             : "Nothing to write for frame 1: nothing moves and there are no redundant export bytes.");
    return save;
  }

  save.removedRedundantBytes = removeRedundant ? report.redundantBytes : 0;
  save.sizeBefore = report.fileSize;
  save.declaredLengthBefore = report.declaredLength;
  save.attempted = true;
  // The writer decides whether --output names FILE itself (then it is an
  // in-place save with its backup) and follows links to the real file.
  const bool toStandardOutput = options.output == kStandardOutput;
  const SaveOutcome outcome =
      toStandardOutput
          ? writeToStream(document, save.frame, removeRedundant, out, save)
          : document.save(save.frame, removeRedundant, !options.noBackup, options.output.value_or(std::string()));
  save.resultText = saveResultText(outcome.result);
  save.backupPath = outcome.backupPath;
  save.outputPath = toStandardOutput ? "-" : outcome.outputPath;
  save.reason = outcome.reason;
  if (outcome.result == kAlreadyLaidOut) {
    save.unchanged = true;
    save.sizeAfter = save.sizeBefore;
    save.declaredLengthAfter = save.declaredLengthBefore;
    return save;
  }
  if (outcome.result != kFileModified) {
    fail(report, ExitStatus::WriteFailed, save.resultText);
    return save;
  }
  save.written = true;
  if (!toStandardOutput) readWrittenSizes(save.outputPath, save);
  return save;
}

}  // namespace

ExitStatus runSave(const SaveCommandOptions& options, std::ostream& out, std::ostream& err) {
  // With the movie on standard output, the report goes to standard error.
  std::ostream& reportStream = options.output == kStandardOutput ? err : out;
  Document document;
  FileReport report;
  SaveReport save;
  const bool emptyOutput = options.output && options.output->empty();
  if (emptyOutput) {
    report.path = options.file;
    fail(report, ExitStatus::Usage, "--output needs a path (- for standard output).");
  } else {
    removeTemporaryFilesWhenStopped();
    report = loadFile(document, options.file);
    save = saveOne(options, document, report, out);
  }

  if (options.json) {
    printJson(reportStream, nlohmann::json::array({saveReportJson(report, save)}));
  } else if (!emptyOutput) {
    printFileInfo(reportStream, report);
    if (save.attempted) printSave(reportStream, report, save);
  }
  if (!report.ok()) {
    printError(reportStream, err, options.file, report.message, save.reason.empty() ? report.reason : save.reason);
  }
  return report.status;
}

}  // namespace framestow::cli
