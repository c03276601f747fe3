// What a save did: the plan it wrote, where, and the sizes before and after.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace framestow::cli {

struct SaveReport {
  bool attempted = false;  // the writer ran (the checks before it passed)
  std::int32_t frame = 0;
  std::int64_t movableBytes = 0;
  std::array<std::string, 3> verdict;
  std::int64_t removedRedundantBytes = 0;  // 0 when the export entries were kept
  std::string backupPath;                  // "" when no backup was written
  std::string outputPath;
  std::string resultText;  // "FILE MODIFIED", "FILE ALREADY HAS THIS LAYOUT", "ERROR CREATING BACKUP" or "ERROR WRITING FILE"
  std::string reason;      // why the save failed, with the path it concerns; "" when it did not
  bool written = false;
  bool unchanged = false;  // the file already had this layout: nothing was written
  std::string skipped;     // why --frame attach passed the movie over; "" when it did not
  std::uint64_t sizeBefore = 0;             // bytes on disk
  std::uint32_t declaredLengthBefore = 0;   // uncompressed movie, from the header
  std::uint64_t sizeAfter = 0;
  std::uint32_t declaredLengthAfter = 0;
  bool compressedAfter = false;  // the file written is "CWS" or "ZWS"
};

}  // namespace framestow::cli
