// ExportAssets: the linked assets, and each tag rebuilt without the entries
// that repeat an earlier export of the same character under the same name.
#include <algorithm>
#include <cstring>
#include <string>

#include "analysis/scan_context.hpp"
#include "common/tag_codes.hpp"

namespace framestow {

void readExportAssets(ScanContext& ctx, std::uint32_t block) {
  Analysis& a = ctx.analysis;
  Reader& reader = ctx.reader;
  const bytesOut& tag = a.byteoutput[block];
  const std::uint32_t h = tag.thisHead;
  const std::uint32_t b = tag.origLength;
  const std::uint64_t bodyStart = ctx.tagStart + h;
  const std::uint64_t bodyEnd = bodyStart + b;
  const auto data = reader.fileBuffer;

  ExportCopy copy;
  copy.allocMem = b + 6;
  copy.byteNum.assign(static_cast<std::size_t>(b) + 6, 0);
  std::memcpy(copy.byteNum.data(), data.data() + ctx.tagStart, h);

  const std::uint32_t count = static_cast<std::uint32_t>(reader.readBufUInt16());
  a.assetCountIn = a.assetCountTotal;
  a.redundantAssetTemp = 0;
  std::size_t out = h + 2;  // the count field is filled in at the end
  std::uint32_t kept = 0;

  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entryStart = reader.fileOffset;
    if (entryStart + 2 > bodyEnd) break;
    const auto id = static_cast<std::uint32_t>(reader.readBufUInt16());
    // The name's bytes as they stand in the file, up to and including its NUL.
    const std::uint8_t* nameStart = data.data() + reader.fileOffset;
    const void* nul = std::memchr(nameStart, 0, static_cast<std::size_t>(bodyEnd - reader.fileOffset));
    if (nul == nullptr) {
      // The entry runs past the tag: it ends the tag's entries.
      reader.fileOffset = entryStart;
      break;
    }
    reader.fileOffset = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data.data()) + 1;
    const std::uint64_t entryLength = reader.fileOffset - entryStart;

    // No character has id 0, so such an entry exports nothing: it is kept as
    // it stands and never counts as a linked asset or as redundant.
    if (id != 0) {
      // An entry is redundant only when it repeats both the character and the
      // name: a second name for a character is another way for ActionScript
      // to attach or register it, and must stay.
      const std::string entry(reinterpret_cast<const char*>(data.data() + entryStart),
                              static_cast<std::size_t>(entryLength - 1));
      if (!a.exportEntries.insert(entry).second) {
        a.redundantAssetTemp += static_cast<std::int64_t>(entryLength);
        continue;
      }
      a.coverCharacter(id);
      if (!a.exported[id]) {
        a.exported[id] = 1;
        a.origAssetsList.push_back(static_cast<std::int32_t>(id));
        ++a.assetCountTotal;
      }
    }
    std::memcpy(copy.byteNum.data() + out, data.data() + entryStart, static_cast<std::size_t>(entryLength));
    out += static_cast<std::size_t>(entryLength);
    ++kept;
  }
  // Bytes after the last entry read (a damaged or padded tag) stay as they
  // are, so that the copy is the tag less exactly its redundant entries.
  const std::uint64_t entriesEnd = std::max<std::uint64_t>(reader.fileOffset, bodyStart + 2);
  if (entriesEnd < bodyEnd) {
    const auto rest = static_cast<std::size_t>(bodyEnd - entriesEnd);
    std::memcpy(copy.byteNum.data() + out, data.data() + entriesEnd, rest);
    out += rest;
  }
  if (kept > 0) {
    copy.byteNum[h] = static_cast<std::uint8_t>(kept & 0xFF);
    copy.byteNum[h + 1] = static_cast<std::uint8_t>(kept >> 8);
    a.redundantAssetTotal += a.redundantAssetTemp;
    copy.thisLength = static_cast<std::uint32_t>(out);
    copy.thisHead = h;
    if (a.redundantAssetTemp > 0) {
      const auto length = static_cast<std::uint32_t>(b - a.redundantAssetTemp);
      if (h == 6) {
        for (int i = 0; i < 4; ++i) copy.byteNum[2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
      } else {
        const std::uint32_t word = kExportAssets * 64 + length;
        copy.byteNum[0] = static_cast<std::uint8_t>(word & 0xFF);
        copy.byteNum[1] = static_cast<std::uint8_t>(word >> 8);
      }
    }
  } else {
    copy.thisLength = 0;
    copy.thisHead = 0;
    a.redundantAssetTotal += static_cast<std::int64_t>(b) + h;
  }
  copy.byteNum.resize(copy.thisLength);
  copy.byteNum.shrink_to_fit();
  a.redundantList[block] = std::move(copy);
}

}  // namespace framestow
