#include "document/verdict.hpp"

#include "common/byte_text.hpp"

namespace framestow {

Verdict composeVerdict(std::int32_t n, std::int64_t bytes, std::int32_t attachFrame, bool nothingCanMove,
                       bool optimiseTicked) {
  Verdict v;
  v.targetFrame = n;
  v.movableBytes = bytes;
  auto& lines = v.verdictLines;
  if (n <= 1) {
    v.saveControls = optimiseTicked ? SaveControls::Unchanged : SaveControls::Disable;
  } else if (attachFrame == 0) {
    lines[0] = sizeText(bytes);
    lines[1] = formatInt("Move to frame %i.", n);
    lines[2] = "Warning! - Attach codes not located!";
    v.saveControls = SaveControls::Enable;
  } else {
    lines[0] = sizeText(bytes);
    lines[1] = formatInt("OK to move to frame %i.", n);
    v.saveControls = SaveControls::Enable;
  }
  // The assets would arrive after the frame whose code attaches them.
  if (attachFrame != 0 && !nothingCanMove && attachFrame < n) {
    lines[0] = warningSizeText(bytes);
    lines[1] = "Some assets may be unavailable";
    lines[2] = "if moved to the selected frame.";
  }
  return v;
}

}  // namespace framestow
