// Finds the attach codes ("attachMovie", "attachSound") in action records.
#include <string_view>

#include "analysis/scan_context.hpp"

namespace framestow {
namespace {

constexpr int kActionConstantPool = 0x88;
constexpr int kActionPush = 0x96;

bool isAttachName(std::string_view name) { return name == "attachMovie" || name == "attachSound"; }

// Only the first attach code of each timeline counts.
void recordAttachCode(ScanContext& ctx) {
  MovieIndex& a = ctx.index;
  const auto timeline = static_cast<std::size_t>(ctx.openSprite);
  if (timeline >= a.attachFrames.size()) a.attachFrames.resize(timeline + 1, 0);
  if (a.attachFrames[timeline] == 0) a.attachFrames[timeline] = ctx.timelineFrames + 1;
}

// Every string constant may name a linked asset; the two attach names also
// date the first attach code of the timeline.
inline void noteString(ScanContext& ctx, std::string_view text) {
  noteCodeString(ctx.index.codeNames, text);
  if (!ctx.inInitCode && isAttachName(text)) recordAttachCode(ctx);
}

// One record whose code was just read. False when its length runs past the
// tag (obfuscated code: what follows is not an action list we can follow).
// Inline in the loop of its list: a movie's code is mostly records of a few bytes.
inline bool scanActionRecord(ScanContext& ctx, ByteReader& body, int code) {
  ctx.progress();
  const std::uint64_t length = code >= 0x80 ? std::uint64_t{body.u16()} : 0;
  if (body.position() + length > body.size()) {
    if (!ctx.inInitCode) ctx.index.obfuscatedActions = true;
    return false;
  }
  const std::size_t end = body.position() + static_cast<std::size_t>(length);
  if (code == kActionPush) {
    // The values are read in turn; a string may run on past the record (the
    // record's length is what the player trusts, the next record starts
    // wherever the values end).
    while (body.position() < end && !body.overrun()) {
      switch (body.u8()) {
        case 0:
          noteString(ctx, body.string());
          break;
        case 1: body.skip(4); break;  // float
        case 4: body.skip(1); break;  // register
        case 5: body.skip(1); break;  // boolean
        case 6: body.skip(8); break;  // double
        case 7: body.skip(4); break;  // integer
        case 8: body.skip(1); break;  // constant pool index
        case 9: body.skip(2); break;  // constant pool index, 16-bit
        default: break;               // null, undefined, unknown: no operand
      }
    }
  } else if (code == kActionConstantPool) {
    // The count is not trusted: the strings are read up to the end of the record.
    body.skip(2);
    while (body.position() < end && !body.overrun()) {
      noteString(ctx, body.string());
    }
    body.seek(end);
  } else {
    body.seek(end);
  }
  return true;
}

}  // namespace

bool readActionList(ScanContext& ctx, ByteReader& body) {
  int code = body.u8();
  while (code != 0 && !pastEnd(body)) {
    if (!scanActionRecord(ctx, body, code)) return false;
    code = body.u8();
  }
  return true;
}

}  // namespace framestow
