// The per-asset report: every linked asset with what moves with it, when the
// movie first shows it and first names it in code, and whether it moves to a
// target frame, or why it stays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace framestow {

enum class AssetFate {
  kMoves,      // its definition leaves frames 1 to n - 1 for the start of frame n
  kStays,      // its definition stays in frames 1 to n - 1 (see StayReason)
  kLater,      // it is defined in frame n or later: nothing to move
  kUndefined,  // no tag defines it
};

enum class StayReason {
  kNone,
  kPlacedBefore,         // the movie shows it before frame n
  kNamedByCode,          // code that runs before frame n names it (safe plan)
  kInitNamesStaying,     // its init code names something that stays (safe plan)
  kNeededByStaying,      // something that stays needs it
};

struct AssetEntry {
  std::int32_t id = 0;
  std::vector<std::string> names;  // linkage names, in file order
  std::string kind;                // "sprite", "shape", "bitmap", "sound", "font", "text", "button", "video", "morph shape"; "" when undefined
  std::int64_t bytes = 0;          // its definition and everything it brings along
  std::int32_t definedFrame = 0;   // main-timeline frame of its definition; 0 when undefined
  std::int32_t firstShownFrame = 0;  // first main-timeline frame that places or starts it (also through sprites and buttons); 0: none
  std::int32_t firstNamedFrame = 0;  // first main-timeline frame whose code names it; 0: none
  bool hasInitCode = false;          // a DoInitAction initialises it
  AssetFate fate = AssetFate::kUndefined;
  StayReason why = StayReason::kNone;
  bool operator==(const AssetEntry&) const = default;
};

struct AssetReport {
  std::int32_t targetFrame = 0;
  bool safe = false;
  std::int64_t movableBytes = 0;  // what the plan for targetFrame counts
  std::vector<AssetEntry> assets;  // in first-export order
};

// "moves", "stays", "later", "undefined".
std::string fateText(AssetFate fate);
// Why an asset stays, for target frame n ("placed before frame 3"); "" for kNone.
std::string stayReasonText(StayReason why, std::int32_t n);

}  // namespace framestow
