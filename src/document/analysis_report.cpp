#include "document/analysis_report.hpp"

#include "common/byte_text.hpp"

namespace framestow {

namespace {
constexpr const char* kAttachWarning1 = "WARNING - Attach codes not located! These could be";
constexpr const char* kAttachWarning2 = "from a parent or submovie, or within obfuscated code.";
}  // namespace

std::string versionLine(int version) {
  return version < 5 ? formatText("Version %i Flash files do not use linked assets.", version) : std::string();
}

AnalysisReport composeAnalysisReport(const MovieHeader& header, const MovieIndex& a) {
  const int frames = header.frameCount;
  AnalysisReport r;
  auto& [line1, line2, line3, line4] = r.lines;

  const std::int64_t redundant = a.redundantExportBytes;
  if (redundant > 0) {
    r.redundantFound = true;
    r.optimiseCaption = byteCountText(redundant, "Remove %.2f Redundant kBytes", "Remove %i Redundant Bytes");
    line3 = byteCountText(redundant, "Redundant export codes found: %.2f kBytes", "Redundant export codes found: %i Bytes");
  } else {
    r.optimiseCaption = "Remove Redundant Bytes";
    line3 = "No redundant export codes found.";
  }

  if (a.linkedAssetIds.empty()) {
    r.nothingCanMove = true;
    line1 = "This movie does not contain linked assets.";
  } else {
    line1 = formatText("Number of linked assets found: %i", static_cast<int>(a.linkedAssetIds.size()));
  }
  line4.clear();

  if (frames == 1) {
    r.nothingCanMove = true;
    line2 = "There is only one frame in the main timeline.";
    line4 = line3;  // the redundant-export line moves down
    line3 = "Assets cannot be moved.";
  } else if (!a.linkedAssetIds.empty() && frames > 1) {
    r.targetEnabled = true;
  }

  const std::int32_t attachFrame = a.attachFrame();
  if (attachFrame != 0 && !r.nothingCanMove) {
    line2 = formatText("Attach codes were found in frame %i", attachFrame);
  } else if (r.nothingCanMove && frames != 1) {
    line2.assign(1, ' ');
    line3.assign(1, ' ');
  } else if (frames != 1) {
    line4 = line3;
    line2 = kAttachWarning1;
    line3 = kAttachWarning2;
  }

  if (a.obfuscatedActions && !r.nothingCanMove && frames != 1) {
    line2 = kAttachWarning1;
    line3 = kAttachWarning2;
  }
  return r;
}

}  // namespace framestow
