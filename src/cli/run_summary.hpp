// The summary after a run over folders or a list: how many movies, how many
// were analysed, why the others were refused, what a save did, the movable
// bytes and the time taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <utility>

namespace framestow::cli {

// What one input adds to the summary.
struct MovieTally {
  std::string path;
  bool unlistedFolder = false;  // a folder that could not be read, not a movie
  bool read = false;            // the movie loaded (its header, for info)
  bool analysed = false;
  bool beforeVersion5 = false;  // loaded, but too old to have linked assets: not analysed
  std::string refusal;          // the refusal's group (see refusalGroup); "" when not refused
  std::string skipped;          // why save passed the movie over; "" when it did not
  std::int64_t movableBytes = 0;
  bool saved = false;           // a save wrote the movie
  bool alreadyLaidOut = false;  // a save found the layout already there
};

// The group a refusal is counted in: its message with every number written
// "n" (so that "Unknown fill type: 19" and ": 21" count together), and the
// cause of its reason without the path ("Permission denied"), in brackets.
std::string refusalGroup(const std::string& message, const std::string& reason);

class RunSummary {
 public:
  // `command` is "info", "analyze" or "save": what the summary speaks of.
  explicit RunSummary(std::string command) : command_(std::move(command)) {}
  void add(const MovieTally& tally);
  void print(std::ostream& out, double seconds, std::size_t jobs, std::size_t backupsLeftOut,
             std::size_t subfoldersPassedOver) const;

 private:
  std::string command_;
  std::size_t movies_ = 0;
  std::size_t unlistedFolders_ = 0;
  std::size_t read_ = 0;
  std::size_t analysed_ = 0;
  std::size_t beforeVersion5_ = 0;
  std::size_t refused_ = 0;
  std::map<std::string, std::size_t> refusals_;
  std::size_t skipped_ = 0;
  std::map<std::string, std::size_t> skips_;  // why, how many
  std::size_t saved_ = 0;
  std::size_t alreadyLaidOut_ = 0;
  std::int64_t movableBytes_ = 0;
};

}  // namespace framestow::cli
