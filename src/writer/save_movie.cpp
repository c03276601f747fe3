// A save from the assembled movie to the file on disk, and the checks that
// keep a save from losing or damaging any file.
#include <algorithm>
#include <cstring>

#include "writer/replace_file.hpp"
#include "writer/save_target.hpp"
#include "writer/writer.hpp"

namespace framestow {
namespace {

// How long a save waits for another one holding the same movie.
constexpr std::chrono::milliseconds kLockWait{2000};
constexpr std::size_t kCompareChunk = 1 << 20;

// Hands the assembled movie to `take(data, size)` a megabyte at a time.
template <typename Take>
void forEachChunk(const AssembledMovie& movie, Take take) {
  std::vector<std::uint8_t> chunk(std::min(kCompareChunk, movie.size()));
  for (std::size_t at = 0; at < movie.size(); at += chunk.size()) {
    const std::size_t count = std::min(chunk.size(), movie.size() - at);
    movie.copy(at, chunk.data(), count);
    if (!take(chunk.data(), at, count)) return;
  }
}

// The uncompressed movie to write is the one that was loaded, byte for byte
// (an "FWS" file also without any bytes after the movie).
bool sameAsLoaded(const LoadedMovie& movie, const AssembledMovie& assembled) {
  const std::span<const std::uint8_t> loaded =
      movie.header.compressed ? movie.bytes() : movie.fileAsRead();
  if (loaded.size() != assembled.size()) return false;
  bool same = true;
  forEachChunk(assembled, [&](const std::uint8_t* data, std::size_t at, std::size_t count) {
    same = std::memcmp(data, loaded.data() + at, count) == 0;
    return same;
  });
  return same;
}

Fingerprint fingerprintOf(const AssembledMovie& assembled) {
  Fingerprint fingerprint;
  forEachChunk(assembled, [&](const std::uint8_t* data, std::size_t, std::size_t count) {
    fingerprint.add(data, count);
    return true;
  });
  return fingerprint;
}

// What is under the target's name, read under the lock: the file as loaded,
// what this program wrote there last, something else, another file than the
// one locked (a save that got there first put a new file under the name), or
// a file that is not the loaded movie's, whose content does not matter.
enum class OnDisk { Loaded, Written, Changed, Replaced, NotLoaded };

// Under the lock: the name still leads to the locked file (another save that
// got there first has put a new file under it), and for the loaded movie,
// whether its file still holds exactly what was loaded or what this program
// wrote there last. `why` says what else is wrong.
OnDisk readUnderLock(FileSystem& fs, LockedFile& held, const SaveTarget& target, std::span<const std::uint8_t> loaded,
                     const WrittenFile* written, SaveProblem& why) {
  const FileStatus locked = held.status();
  FileStatus now;
  if (std::error_code error = fs.status(target.path, now)) {
    why = SaveProblem::system(error, target.path);
    return OnDisk::Changed;
  }
  if (!sameFile(locked, now)) return OnDisk::Replaced;
  if (locked.kind != FileKind::Regular) {
    why = SaveProblem::of(SaveProblem::Kind::kNotRegularFile, target.path);
    return OnDisk::Changed;
  }
  if (!target.replacesLoaded) return OnDisk::NotLoaded;
  bool isLoaded = locked.size == loaded.size();
  const bool mayBeWritten = written && locked.size == written->file.size;
  if (!isLoaded && !mayBeWritten) return OnDisk::Changed;
  std::vector<std::uint8_t> chunk(kCompareChunk);
  Fingerprint onDisk;
  for (std::uint64_t at = 0;;) {
    std::size_t got = 0;
    if (std::error_code error = held.read(at, chunk.data(), chunk.size(), got)) {
      why = SaveProblem::system(error, target.path);
      return OnDisk::Changed;
    }
    if (got == 0) break;
    isLoaded = isLoaded && at + got <= loaded.size() && std::memcmp(chunk.data(), loaded.data() + at, got) == 0;
    if (mayBeWritten) onDisk.add(chunk.data(), got);
    if (!isLoaded && !mayBeWritten) return OnDisk::Changed;
    at += got;
  }
  if (isLoaded) return OnDisk::Loaded;
  return mayBeWritten && onDisk == written->file ? OnDisk::Written : OnDisk::Changed;
}

// Hands the file's bytes to `put` in order: the compressed movie, or the
// uncompressed one straight from its runs.
std::error_code writeEncoded(Compression compression, const AssembledMovie& movie, const ByteSink& put,
                             bool& deflateFailed) {
  deflateFailed = false;
  if (compression == Compression::kZlib) return deflateMovie(movie, put, deflateFailed);
  if (compression == Compression::kLzma) return lzmaMovie(movie, put, deflateFailed);
  // Short runs are gathered into one reused buffer, left uninitialised: every
  // byte written is copied in first. It is kept small, so that it comes from
  // memory the process already has: a fresh megabyte costs more page faults
  // than the extra writes of a small buffer cost calls.
  const std::size_t bufferSize = std::max<std::size_t>(1, std::min(AssembledMovie::kDirectWrite, movie.size()));
  const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[bufferSize]);
  std::error_code error;
  movie.writePieces(buffer.get(), bufferSize, [&](const std::uint8_t* data, std::size_t size) {
    error = put(data, size);
    return !error;
  });
  return error;
}

// Takes the lock on the target and reads what is under its name. Nothing or
// why the save stops; `laidOut` when the loaded movie's file already holds the
// movie to write, whose fingerprint is `movieFingerprint`, compressed as
// `compression`.
SaveProblem holdTarget(FileSystem& fs, const SaveTarget& target, const LoadedMovie& movie,
                       const AssembledMovie& assembled, const WrittenFile* written, std::unique_ptr<LockedFile>& held,
                       Fingerprint& movieFingerprint, Compression compression, bool& laidOut) {
  if (std::error_code error = fs.lock(target.path, kLockWait, held)) {
    return error == std::errc::resource_unavailable_try_again ? SaveProblem::of(SaveProblem::Kind::kAnotherSave, target.path)
                                                              : SaveProblem::system(error, target.path);
  }
  SaveProblem why;
  const OnDisk onDisk = readUnderLock(fs, *held, target, movie.fileAsRead(), written, why);
  if (why) return why;
  if (onDisk == OnDisk::Changed || onDisk == OnDisk::Replaced) {
    return SaveProblem::of(target.replacesLoaded ? SaveProblem::Kind::kChangedSinceLoaded : SaveProblem::Kind::kReplacedMeanwhile,
                           target.path);
  }
  if (target.replacesLoaded) {
    movieFingerprint = fingerprintOf(assembled);
    // The same movie compressed another way is a new file.
    laidOut = onDisk == OnDisk::Loaded
                  ? compression == movie.header.compression && sameAsLoaded(movie, assembled)
                  : compression == written->compression && movieFingerprint == written->movie;
  }
  return {};
}

// The new movie, complete on the disk in a temporary file beside the target,
// with the owner and mode of the file it replaces (a new file is private
// until then). Nothing or why not; the temporary file is gone on failure.
// The file's bytes are fingerprinted only when `fileFingerprint` is given.
SaveProblem writeTemporary(FileSystem& fs, const SaveTarget& target, bool replacing, Compression compression,
                           const AssembledMovie& assembled, TemporaryFile& temp, Fingerprint* fileFingerprint) {
  std::error_code error = createTemporary(fs, target.folder, replacing ? 0600 : 0666, temp);
  if (error) return SaveProblem::system(error, target.path);
  // A "CWS" movie is deflated straight into the file: the temporary file is
  // renamed only once complete, so the save stays all or nothing.
  bool deflateFailed = false;
  error = writeEncoded(compression, assembled, [&](const std::uint8_t* data, std::size_t size) {
    if (fileFingerprint) fileFingerprint->add(data, size);
    return temp.file->write(data, size);
  }, deflateFailed);
  if (deflateFailed) {
    temp.file->close();
    fs.remove(temp.path);
    return SaveProblem::of(SaveProblem::Kind::kNotCompressed, target.path);
  }
  if (!error) error = temp.file->flush();
  if (!error && replacing) error = takeOwnerAndMode(*temp.file, target.status);
  const std::error_code closed = temp.file->close();
  if (!error) error = closed;
  if (!error) return {};
  fs.remove(temp.path);
  return SaveProblem::system(error, target.path);
}

WriteOutcome failed(WriteOutcome outcome, SaveResult result, SaveProblem problem) {
  outcome.result = result;
  outcome.problem = std::move(problem);
  outcome.backupPath.clear();
  return outcome;
}

// The saved file's compression: the one asked for, else the loaded file's.
Compression outputCompression(const LoadedMovie& movie, std::optional<Compression> asked) {
  return asked.value_or(movie.header.compression);
}

SaveProblem incomplete(const LoadedMovie& movie) { return SaveProblem::of(SaveProblem::Kind::kIncomplete, movie.path); }

}  // namespace

WriteOutcome saveMovie(const LoadedMovie& movie, const MovieIndex& analysis, const Plan& plan, const SaveOptions& options,
                       FileSystem& fs) {
  WriteOutcome outcome;
  outcome.outputPath = options.outputPath.empty() ? movie.path : options.outputPath;
  SaveTarget target;
  if (SaveProblem why = chooseTarget(fs, movie.path, options.outputPath, target)) {
    return failed(outcome, kErrorWritingFile, why);
  }
  outcome.outputPath = target.path;

  // Everything is put together before any file is touched, so a movie that
  // cannot be written leaves every file as it was. The movie is kept as runs
  // of the loaded bytes: an "FWS" movie is written from them, a "CWS" one
  // deflated from them, and neither is copied whole.
  const auto assembled = assembleRuns(movie, analysis, plan, options.targetFrame, options.optimise);
  if (!assembled) return failed(outcome, kErrorWritingFile, incomplete(movie));
  if (SaveProblem why = checkKind(target)) return failed(outcome, kErrorWritingFile, why);

  // The file replaced stays locked from here to its replacement.
  std::unique_ptr<LockedFile> held;
  Fingerprint movieFingerprint;
  if (target.status.kind != FileKind::Missing) {
    // What an earlier save of this loaded movie wrote over its file, if one did.
    const WrittenFile* written =
        target.replacesLoaded && options.lastWrite && options.lastWrite->has_value() ? &**options.lastWrite : nullptr;
    bool laidOut = false;
    if (SaveProblem why = holdTarget(fs, target, movie, *assembled, written, held, movieFingerprint,
                                     outputCompression(movie, options.compression), laidOut)) {
      return failed(outcome, kErrorWritingFile, why);
    }
    if (laidOut) {
      outcome.result = kAlreadyLaidOut;
      return outcome;
    }
  }
  if (SaveProblem why = checkWritable(fs, target)) return failed(outcome, kErrorWritingFile, why);
  TemporaryFile temp;
  // The written file is remembered only when it replaces the loaded movie's,
  // and an uncompressed file is the movie itself, already fingerprinted when
  // the loaded file was found under the name; checksums cost as much as the
  // write of a cached file, so none are taken that are not kept.
  const Compression compression = outputCompression(movie, options.compression);
  const bool remembered = target.replacesLoaded && options.lastWrite;
  if (remembered && target.status.kind == FileKind::Missing) movieFingerprint = fingerprintOf(*assembled);
  Fingerprint fileFingerprint = movieFingerprint;
  const bool fingerprintFile = remembered && compression != Compression::kNone;
  if (fingerprintFile) fileFingerprint = Fingerprint{};
  if (SaveProblem why = writeTemporary(fs, target, held != nullptr, compression, *assembled, temp,
                                       fingerprintFile ? &fileFingerprint : nullptr)) {
    return failed(outcome, kErrorWritingFile, why);
  }
  if (target.replacesLoaded && options.backup) {
    if (SaveProblem why = keepBackup(fs, target.path, *held, outcome.backupPath)) {
      fs.remove(temp.path);
      return failed(outcome, kErrorCreatingBackup, why);
    }
  }
  if (std::error_code error = fs.rename(temp.path, target.path)) {
    fs.remove(temp.path);
    // The original is still in place: a backup of it is of no use.
    if (!outcome.backupPath.empty()) fs.remove(outcome.backupPath);
    return failed(outcome, kErrorWritingFile, SaveProblem::system(error, target.path));
  }
  if (remembered) *options.lastWrite = WrittenFile{fileFingerprint, movieFingerprint, compression};
  outcome.result = kFileModified;
  return outcome;
}

WriteOutcome writeMovie(const LoadedMovie& movie, const MovieIndex& analysis, const Plan& plan, std::int32_t targetFrame,
                        bool optimise, const ByteSink& sink, const std::string& destination,
                        std::optional<Compression> compression) {
  WriteOutcome outcome;
  outcome.outputPath = destination;
  const auto assembled = assembleRuns(movie, analysis, plan, targetFrame, optimise);
  if (!assembled) return failed(outcome, kErrorWritingFile, incomplete(movie));
  bool deflateFailed = false;
  const std::error_code error =
      writeEncoded(outputCompression(movie, compression), *assembled, sink, deflateFailed);
  if (deflateFailed) return failed(outcome, kErrorWritingFile, SaveProblem::of(SaveProblem::Kind::kNotCompressed, destination));
  if (error) return failed(outcome, kErrorWritingFile, SaveProblem::system(error, destination));
  outcome.result = kFileModified;
  return outcome;
}

std::string backupNameFor(const std::string& path) { return numberedBackupName(path, 1); }

std::string numberedBackupName(const std::string& path, int number) {
  // The extension goes (".swf" usually); a name without a four-character
  // extension keeps all of it, so the backup never lands on another name.
  const auto slash = path.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const bool extension = path.size() >= nameStart + 4 && path[path.size() - 4] == '.';
  const std::string stem = extension ? path.substr(0, path.size() - 4) : path;
  return number <= 1 ? stem + "_old.swf" : stem + "_old_" + std::to_string(number) + ".swf";
}

}  // namespace framestow
