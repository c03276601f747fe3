// Finds the attach codes ("attachMovie", "attachSound") in action records.
#include <string_view>

#include "analysis/scan_context.hpp"

namespace framestow {
namespace {

constexpr int kActionConstantPool = 0x88;
constexpr int kActionPush = 0x96;

bool isAttachName(std::string_view name) { return name == "attachMovie" || name == "attachSound"; }

// Only the first attach code of each timeline counts.
void recordAttachCode(Analysis& a) {
  const auto timeline = static_cast<std::size_t>(a.inSprite);
  if (timeline >= a.attachFound.size()) a.attachFound.resize(timeline + 1, 0);
  if (a.attachFound[timeline] == 0) a.attachFound[timeline] = a.frameCount + 1;
}

// One record; the action lists below take it inline, since a movie's code is
// mostly records of a few bytes each.
inline int scanActionRecord(ScanContext& ctx, int code) {
  ctx.progress();
  Reader& reader = ctx.reader;
  const std::uint64_t length = code >= 0x80 ? static_cast<std::uint64_t>(reader.readBufUInt16()) : 0;
  if (reader.fileOffset + length > ctx.analysis.nextBlockStart) {
    ctx.analysis.asObfuscation = 1;
    return code + 1;
  }
  const std::uint64_t end = reader.fileOffset + length;
  if (code == kActionPush) {
    while (reader.fileOffset < end && !reader.overrun) {
      switch (reader.readByte()) {
        case 0:
          if (isAttachName(reader.readRawStringView())) recordAttachCode(ctx.analysis);
          break;
        case 1: reader.skip(4); break;  // float
        case 4: reader.skip(1); break;  // register
        case 5: reader.skip(1); break;  // boolean
        case 6: reader.skip(8); break;  // double
        case 7: reader.skip(4); break;  // integer
        case 8: reader.skip(1); break;  // constant pool index
        case 9: reader.skip(2); break;  // constant pool index, 16-bit
        default: break;                 // null, undefined, unknown: no operand
      }
    }
  } else if (code == kActionConstantPool) {
    // The count is not trusted: the strings are read up to the end of the data.
    reader.skip(2);
    while (reader.fileOffset < end && !reader.overrun) {
      if (isAttachName(reader.readRawStringView())) recordAttachCode(ctx.analysis);
    }
    reader.fileOffset = end;
  } else {
    reader.fileOffset = end;
  }
  return code;
}

}  // namespace

int readNextActionRecord(ScanContext& ctx, int code) { return scanActionRecord(ctx, code); }

bool readActionList(ScanContext& ctx) {
  int code = ctx.reader.readByte();
  while (code != 0 && !ctx.pastTag()) {
    if (scanActionRecord(ctx, code) != code) return false;
    code = ctx.reader.readByte();
  }
  return true;
}

}  // namespace framestow
