// framestow-cli save: the dialog's Save for one target frame, with the
// dialog's default ticks unless told otherwise.
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#endif

#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/json_output.hpp"
#include "cli/movie_batch.hpp"
#include "cli/same_file_turns.hpp"
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

// Saves at once, at most: each save lists up to two temporary files (the new
// movie, and a backup copied where the file system has no hard links) where
// Ctrl-C finds them, and that list has room for sixteen.
constexpr std::size_t kMaxSaveJobs = 8;

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
  if (file.read(reinterpret_cast<char*>(header), sizeof header)) {
    save.declaredLengthAfter = readFileLength(header);
    save.compressedAfter = header[0] != 'F';
  }
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
  save.compressedAfter = header[0] != 'F';
  return outcome;
}

// Why `save --frame attach` passes over an analysed movie, or "" when the
// movie's own first attach frame is safe to move its assets to (the verdict
// "OK to move to frame n."); `frame` is then that frame.
std::string attachFrameSkip(Document& document, const FileReport& report, std::int32_t& frame) {
  if (!report.canMoveAssets) {
    return report.assetCount <= 0 ? report.analysisLines[0] : "There is only one frame in the main timeline.";
  }
  if (report.attachFrame == 0) return "No attach code was found, so no frame is known to be safe.";
  if (report.attachFrame == 1) return "Attach codes were found in the first frame: no asset can arrive later.";
  // The frames are counted from the tags, the range from the header: a header
  // that declares too few frames leaves the attach frame outside the movie.
  if (auto error = frameRangeError(report.attachFrame, report.frameCount)) return *error;
  const TargetRow row = planTarget(document, report.attachFrame);
  if (!isSafeMove(row)) {
    std::string verdict;
    for (const std::string& line : row.verdict) {
      if (!line.empty()) verdict += (verdict.empty() ? "" : " ") + line;
    }
    return verdict;
  }
  frame = report.attachFrame;
  return "";
}

// Every check before the writer runs: a movie that loaded, can be analysed, and
// has something to write for the frame (which --frame attach chooses here).
bool readyToSave(const SaveCommandOptions& options, Document& document, FileReport& report, SaveReport& save) {
  if (!report.loaded) return false;
  if (report.version < 5) {
    if (options.attachFrame) {
      save.skipped = versionLine(report.version);
    } else {
      fail(report, ExitStatus::CannotProcess, versionLine(report.version));
    }
    return false;
  }
  if (!analyseFile(document, report)) return false;
  if (!report.cannotSave.empty()) {
    fail(report, ExitStatus::CannotProcess, report.cannotSave);
    return false;
  }
  if (options.compress == Compression::kLzma && report.version < kFirstLzmaVersion) {
    fail(report, ExitStatus::Usage,
         "LZMA compression needs SWF version " + std::to_string(kFirstLzmaVersion) + " or later; this movie is version " +
             std::to_string(report.version) + " (use --compress zlib or none).");
    return false;
  }
  if (options.attachFrame) {
    save.skipped = attachFrameSkip(document, report, save.frame);
    return save.skipped.empty();
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
  if (!readyToSave(options, document, report, save)) return save;

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
  document.setSaveCompression(options.compress);
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
    save.compressedAfter = report.signature != "FWS";
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

// The report of one save, as text or as one JSON object.
void printSaveReport(const FileReport& report, const SaveReport& save, JsonFraming framing, std::ostream& out,
                     std::ostream& err) {
  if (framing != JsonFraming::None) {
    out << framedJson(saveReportJson(report, save), framing);
  } else {
    printFileInfo(out, report);
    if (save.attempted) printSave(out, report, save);
    if (!save.skipped.empty()) out << "\nSkipped: " << save.skipped << '\n';
  }
  if (!report.ok()) printError(out, err, report.path, report.message, save.reason.empty() ? report.reason : save.reason);
}

MovieResult saveInput(const SaveCommandOptions& options, JsonFraming framing, const MovieInput& input) {
  Document document;
  document.setSafePlan(options.safe);
  FileReport report = loadInput(document, input);
  std::ostringstream out;
  std::ostringstream err;
  const SaveReport save = saveOne(options, document, report, out);
  printSaveReport(report, save, framing, out, err);
  MovieTally tally = tallyOf(report, input);
  if (!report.ok() && !save.reason.empty()) tally.refusal = refusalGroup(report.message, save.reason);
  tally.skipped = save.skipped;
  tally.saved = save.written;
  tally.alreadyLaidOut = save.unchanged;
  if (save.written) tally.movableBytes = save.movableBytes;
  return {out.str(), err.str(), report.status, std::move(tally)};
}

// One movie written to --output: a path, or standard output with the report
// on standard error.
ExitStatus saveToOutput(const SaveCommandOptions& options, std::ostream& out, std::ostream& err) {
  std::ostream& reportStream = options.output == kStandardOutput ? err : out;
  const std::string& file = options.input.files.front();
  Document document;
  FileReport report;
  SaveReport save;
  if (options.output->empty()) {
    report.path = file;
    fail(report, ExitStatus::Usage, "--output needs a path (- for standard output).");
    if (options.json) printJson(reportStream, nlohmann::json::array({saveReportJson(report, save)}));
    printError(reportStream, err, file, report.message);
    return report.status;
  }
  removeTemporaryFilesWhenStopped();
  document.setSafePlan(options.safe);
  report = loadFile(document, file);
  save = saveOne(options, document, report, out);
  const JsonFraming framing = options.json ? JsonFraming::Array : JsonFraming::None;
  // The error lines after the whole report: with --output - both go to
  // standard error, where a JSON document must stay in one piece.
  std::ostringstream errors;
  if (framing == JsonFraming::Array) reportStream << "[\n";
  printSaveReport(report, save, framing, reportStream, errors);
  if (framing == JsonFraming::Array) reportStream << "\n]\n";
  reportStream.flush();
  err << errors.str() << std::flush;
  return report.status;
}

}  // namespace

ExitStatus runSave(const SaveCommandOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  if (options.output) return saveToOutput(options, out, err);
  const auto started = std::chrono::steady_clock::now();
  MovieListing listing;
  if (std::string why = collectMovies(options.input, in, listing); !why.empty()) {
    return listUnreadable(why, options.json, out, err);
  }
  const BatchSettings settings = batchSettings(options.input, listing, "save", options.json, kMaxSaveJobs, started);
  std::vector<std::string> paths;
  paths.reserve(listing.inputs.size());
  for (const MovieInput& input : listing.inputs) paths.push_back(input.path);
  SameFileTurns turns(paths);
  removeTemporaryFilesWhenStopped();
  return runBatch(
      listing.inputs, settings,
      [&](std::size_t item, const MovieInput& input) {
        turns.waitForTurn(item);
        const struct Finished {
          SameFileTurns& turns;
          std::size_t item;
          ~Finished() { turns.finished(item); }
        } finished{turns, item};
        return saveInput(options, settings.json, input);
      },
      out, err);
}

}  // namespace framestow::cli
