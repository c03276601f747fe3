#include "document/asset_report.hpp"

#include <algorithm>
#include <limits>

#include "common/byte_text.hpp"
#include "common/tag_codes.hpp"
#include "document/document.hpp"
#include "planner/block_moves.hpp"
#include "planner/safe_plan.hpp"

namespace framestow {
namespace {

std::string kindOf(std::uint32_t code) {
  switch (code) {
    case kDefineSprite: return "sprite";
    case kDefineShape: case kDefineShape2: case kDefineShape3: case kDefineShape4: return "shape";
    case kDefineBits: case kDefineBitsJpeg2: case kDefineBitsJpeg3: case kDefineBitsLossless: case kDefineBitsLossless2:
    case 90:  // DefineBitsJPEG4
      return "bitmap";
    case kDefineSound: return "sound";
    case kDefineFont: case kDefineFont2: case kDefineFontInfo: case kDefineFontInfo2:
    case 75:  // DefineFont3
      return "font";
    case kDefineText: case kDefineText2: case kDefineEditText: return "text";
    case kDefineButton: case kDefineButton2: return "button";
    case 60: return "video";  // DefineVideoStream
    case kDefineMorphShape: case kDefineMorphShape2: return "morph shape";
    default: return "other";
  }
}

// The main-timeline frame holding block k: one more than the ShowFrames before it.
std::int32_t frameOfBlock(const MovieIndex& a, std::int32_t block) {
  const auto& ends = a.frameEnds;
  // frameEnds[1..] ascend; entry 0 is unused.
  const auto after = std::lower_bound(ends.begin() + 1, ends.end(), block);
  return static_cast<std::int32_t>(after - ends.begin());
}

}  // namespace

std::string fateText(AssetFate fate) {
  switch (fate) {
    case AssetFate::kMoves: return "moves";
    case AssetFate::kStays: return "stays";
    case AssetFate::kLater: return "later";
    case AssetFate::kUndefined: break;
  }
  return "undefined";
}

std::string stayReasonText(StayReason why, std::int32_t n) {
  switch (why) {
    case StayReason::kPlacedBefore: return formatInt("placed before frame %i", n);
    case StayReason::kNamedByCode: return formatInt("named by code that runs before frame %i", n);
    case StayReason::kInitNamesStaying: return "its init code names something that stays";
    case StayReason::kNeededByStaying: return "needed by something that stays";
    case StayReason::kNone: break;
  }
  return "";
}

AssetReport Document::assetReport(std::int32_t n) const {
  AssetReport report;
  report.targetFrame = n;
  report.safe = safePlan_;
  if (!analysed()) return report;
  const MovieIndex& a = index_;
  std::vector<KeepReason> keeps;
  const Plan plan = safePlan_ ? planSafely(a, n, {}, &keeps) : planForFrame(a, n);
  report.movableBytes = plan.movableBytes;
  const std::vector<std::int32_t> shown = firstShownFrames(a);
  // The first frame whose code names each asset.
  std::vector<std::int32_t> named(a.characterRange(), 0);
  for (const CodeMention& mention : a.codeNames.mentions) {
    const std::int32_t start = codeStartFrame(a, a.codeNames.units[mention.unit], shown);
    if (start <= 0 || mention.asset <= 0 || static_cast<std::size_t>(mention.asset) >= named.size()) continue;
    std::int32_t& first = named[static_cast<std::size_t>(mention.asset)];
    if (first == 0 || start < first) first = start;
  }
  // What each asset brings along, counted alone: one walk per asset on a plan
  // of its own, whose marks all count.
  Plan alone;
  coverIndex(alone, a);
  const std::int32_t insertionPoint = n > 1 ? a.frameEnd(n - 1) + 1 : 0;
  for (LinkedAsset& linked : linkedAssets()) {
    AssetEntry entry;
    entry.id = linked.id;
    entry.names = std::move(linked.names);
    const auto id = static_cast<std::uint32_t>(linked.id);
    const std::int32_t block = a.definingBlock(id);
    ++alone.stamp;
    alone.movableBytes = 0;
    alone.countEnd = std::numeric_limits<std::int32_t>::max();
    // An asset no tag defines brings nothing (the plans mark the header block in its place).
    if (block > 0) {
      markWithDependencies(a, alone, linked.id);
      markCharacter(a, alone, linked.id, alone.stamp);
      entry.bytes = alone.movableBytes;
    }
    entry.hasInitCode = a.initActionBlock(id) != 0;
    entry.firstShownFrame = id < shown.size() ? shown[id] : 0;
    entry.firstNamedFrame = id < named.size() ? named[id] : 0;
    if (block > 0 && static_cast<std::size_t>(block) < a.blocks.size()) {
      entry.kind = kindOf(a.tagCode(static_cast<std::size_t>(block)));
      entry.definedFrame = frameOfBlock(a, block);
      if (block >= insertionPoint) {
        entry.fate = AssetFate::kLater;
      } else if (blockMoves(a, plan, static_cast<std::size_t>(block))) {
        entry.fate = AssetFate::kMoves;
      } else {
        entry.fate = AssetFate::kStays;
        const KeepReason kept = id < keeps.size() ? keeps[id] : KeepReason::kNone;
        entry.why = entry.firstShownFrame > 0 && entry.firstShownFrame < n ? StayReason::kPlacedBefore
                    : kept == KeepReason::kNamedByCode                      ? StayReason::kNamedByCode
                    : kept == KeepReason::kInitNamesStaying                 ? StayReason::kInitNamesStaying
                                                                            : StayReason::kNeededByStaying;
      }
    }
    report.assets.push_back(std::move(entry));
  }
  return report;
}

}  // namespace framestow
