// What the document says about one target frame: the three verdict lines,
// the movable bytes and what happens to Save and the backup option.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace framestow {

// What happens to the Save button and the backup option after a run.
enum class SaveControls { Unchanged, Enable, Disable };

struct Verdict {
  std::int32_t targetFrame = 1;
  std::int64_t movableBytes = 0;
  std::array<std::string, 3> verdictLines;
  SaveControls saveControls = SaveControls::Unchanged;
};

// The verdict on moving `bytes` to frame n when the main timeline's first
// attach code is in `attachFrame` (0: none found). `nothingCanMove` is the
// movie's "cannot be modified" state; `optimiseTicked` whether removal of
// redundant export bytes is chosen (it keeps Save available at n = 1).
Verdict composeVerdict(std::int32_t n, std::int64_t bytes, std::int32_t attachFrame, bool nothingCanMove,
                       bool optimiseTicked);

}  // namespace framestow
