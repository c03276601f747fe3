// One movie from load to save: what both front ends drive.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/progress.hpp"
#include "analysis/movie_index.hpp"
#include "document/analysis_report.hpp"
#include "document/asset_report.hpp"
#include "document/file_information.hpp"
#include "document/index_records.hpp"
#include "document/save_messages.hpp"
#include "document/stream_profile.hpp"
#include "document/verdict.hpp"
#include "planner/plan.hpp"
#include "planner/planner.hpp"
#include "swfin/movie.hpp"
#include "writer/file_system.hpp"
#include "writer/writer.hpp"

namespace framestow {

class Document {
 public:
  // Forgets the last movie and loads `path`. Returns "" or why it could not
  // be loaded ("Sorry, the file doesn't appear to be an swf.").
  // `scanAlongside`: a "CWS" movie's tags are scanned while it inflates (with
  // a second thread), and analyze() only hands out that scan (without progress
  // ticks). The results are the same either way; use it when this is the one
  // movie being worked on, so that the second core is free.
  std::string load(const std::string& path, bool scanAlongside = false);
  // The same, reading only what the file information needs (the header; of a
  // compressed body, its first bytes), however large the movie. The movie can
  // then be described but not analysed: load() it for that.
  std::string loadHeader(const std::string& path);
  bool loaded() const { return movie_.loaded(); }
  // After a load that returned "Sorry, an error has occured reading the
  // file.": why, in the system's words, and the path, as one line for the
  // user ("No such file or directory: /films/intro.swf"). "" otherwise.
  std::string loadErrorCause() const;
  // The file's name, header numbers and the four lines that describe it.
  const FileInformation& fileInformation() const { return fileInformation_; }

  // Runs the tag scanner once per load. False when the movie is not loaded,
  // is older than version 5, or the scan stopped on an error (see analysisError()).
  bool analyze(const ProgressTick& tick = {});
  bool analysed() const { return index_.analysed(); }
  // Why the last analyze() stopped ("Unknown fill type: 19"); "" otherwise.
  std::string analysisError() const;
  // The analysis lines and option states (valid after analyze()).
  const AnalysisReport& report() const { return report_; }
  // After a successful analyze(): "" when the movie can be saved, else why not,
  // as one line for the user ("This movie cannot be saved: its last tag runs
  // past the end of the movie."). A front end shows it under the analysis
  // lines and keeps Save disabled for every target frame; plan() already
  // answers SaveControls::Disable for such a movie. "" before an analysis.
  const std::string& cannotSaveReason() const { return cannotSaveReason_; }

  // One planning run for target frame n (what a click of the up-down control does).
  // Without a successful analysis the verdict is empty and Save stays disabled.
  const Verdict& plan(std::int32_t n, bool optimiseTicked = false);
  const Verdict& lastVerdict() const { return verdict_; }

  // Writes the movie for target frame n (planning again first when the last
  // run was for another frame), replacing the loaded file, or writing
  // `outputPath` when that names another file; `backup` keeps the loaded file
  // under the first free backup name when it is replaced. See saveMovie for
  // what is checked first. kErrorWritingFile when the movie was not analysed.
  SaveOutcome save(std::int32_t n, bool optimise, bool backup, const std::string& outputPath = {},
                   FileSystem& fs = realFileSystem());
  // The same movie handed to `sink` (standard output, say); no file is
  // touched. `destination` names the sink in a failure's reason.
  SaveOutcome writeTo(std::int32_t n, bool optimise, const ByteSink& sink, const std::string& destination);
  // How later saves compress the movie, for this and every later load;
  // nothing (as at first): as its file was ("ZWS" stays LZMA, "CWS" zlib).
  void setSaveCompression(std::optional<Compression> compression) { saveCompression_ = compression; }

  // How the file as loaded streams in, frame by frame (see StreamProfile).
  // Nothing before a successful analyze() or when the body does not decode.
  std::optional<StreamProfile> streamProfile() const;
  // How the file save(n, optimise, ...) would write streams in, measured on
  // that file's bytes as the save encodes them, without writing anything.
  std::optional<StreamProfile> savedStreamProfile(std::int32_t n, bool optimise);

  // The safe plan (off at first, and for every later load until changed):
  // plan(), save() and assetReport() also keep in place the linked assets that
  // code running before the target frame names, with what they need.
  void setSafePlan(bool safe) { safePlan_ = safe; }
  bool safePlan() const { return safePlan_; }
  // Every linked asset for target frame n, under the plan chosen by
  // setSafePlan (empty unless the last analyze() succeeded).
  AssetReport assetReport(std::int32_t n) const;
  // What the analysis found, read-only. These answers stay as they are when the
  // tables beneath them change shape; they are what a frozen index of the movie
  // holds. Each is empty (or 0) unless the last analyze() succeeded.

  // Every block of the movie in file order (see Block).
  std::vector<Block> blocks() const;
  // The block whose move carries character `charId`: its defining tag (for a
  // sprite its DefineSprite block, for a font the last of its DefineFont and
  // DefineFontInfo blocks). Nothing when no tag defines it, or when its
  // definition never moves (DefineShape4, DefineText2, DefineMorphShape2).
  std::optional<std::uint32_t> definingBlock(std::uint32_t charId) const;
  // The characters `row` refers to, in scan order: row 0 is the main timeline
  // (placements, sound starts, also of frames after a target), any other row the
  // character of that id (a sprite's placements, a shape's bitmaps, a text's
  // fonts, a button's states and sounds).
  std::vector<Reference> references(std::uint32_t row) const;
  // The exported characters in first-export order, each once.
  std::vector<LinkedAsset> linkedAssets() const;
  // frameEnds()[f - 1] is the block of the ShowFrame that ends frame f of the
  // main timeline; one entry per ShowFrame found.
  std::vector<std::uint32_t> frameEnds() const;
  // The first frame of `timeline` (0 main, k the k-th sprite) whose actions
  // name attachMovie or attachSound; 0 when none do.
  std::int32_t attachFrame(std::uint32_t timeline = 0) const;
  // Bytes the removal of redundant ExportAssets entries saves.
  std::int64_t redundantExportBytes() const;

  // How many blocks blocks() would list, without listing them.
  std::uint32_t blockCount() const;
  // Some action code runs past its tag (obfuscated code: attach codes may be hidden).
  bool obfuscatedActions() const;

 private:
  void forgetMovie();
  void replan(std::int32_t n);

  LoadedMovie movie_;
  FileInformation fileInformation_;
  MovieIndex index_;
  bool indexed_ = false;  // analyze() ran for this load (whatever it found)
  bool prescanned_ = false;  // index_ holds the scan made while the movie inflated
  Plan plan_;
  AnalysisReport report_;
  Verdict verdict_;
  // What the last save wrote over the loaded file, if one did.
  std::optional<WrittenFile> lastWrite_;
  std::string cannotSaveReason_;
  std::optional<Compression> saveCompression_;
  bool safePlan_ = false;
  bool plannedSafe_ = false;  // plan_ is a safe plan
};

}  // namespace framestow
