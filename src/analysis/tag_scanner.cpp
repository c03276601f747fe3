#include "analysis/tag_scanner.hpp"

#include <algorithm>
#include <utility>

#include "analysis/scan_context.hpp"
#include "common/tag_codes.hpp"
#include "swfin/records.hpp"
#include "swfin/shape_readers.hpp"
#include "swfin/text_readers.hpp"
#include "common/file_header.hpp"

namespace framestow {

void ScanContext::timelineReference(std::int32_t charId) {
  Analysis& a = analysis;
  const std::uint32_t row =
      a.inSprite == 0 ? 0u : static_cast<std::uint32_t>(a.spriteExportArray[static_cast<std::size_t>(a.inSprite)]);
  appendReference(a, row, charId, a.mainFrameCount + 1);
}

namespace {

void readShape(ScanContext& ctx, ByteReader& body, std::uint32_t block, TagCode code) {
  const std::uint32_t id = body.u16();
  // A DefineShape4 is not a definition that moves; its fills are still read,
  // so that the bitmaps it uses stay before it.
  if (code != kDefineShape4) ctx.define(id, block); else ctx.defineFixed(id, block);
  ctx.ids.clear();
  const std::optional<std::uint8_t> unknownFill = readShapeBody(body, code, ctx.ids);
  for (const std::uint16_t bitmap : ctx.ids) ctx.definitionReference(id, bitmap);
  if (unknownFill) ctx.analysis.unknownFillType = unknownFill;
}

void readText(ScanContext& ctx, ByteReader& body, std::uint32_t block, TagCode code) {
  const std::uint32_t id = body.u16();
  // DefineText2 stays where it is; its fonts are recorded so that they stay before it.
  if (code == kDefineText) ctx.define(id, block); else ctx.defineFixed(id, block);
  ctx.beginDefinitionRow(id);
  ctx.ids.clear();
  readTextBody(body, code, ctx.ids);
  for (const std::uint16_t font : ctx.ids) ctx.definitionReference(id, font);
}

void readEditText(ScanContext& ctx, ByteReader& body, std::uint32_t block) {
  const std::uint32_t id = body.u16();
  ctx.define(id, block);
  ctx.beginDefinitionRow(id);
  readRect(body);  // bounds
  const std::uint16_t flags = body.u16();
  if (flags & 0x0001) ctx.definitionReference(id, body.u16());  // the font
}

void readMorphShape(ScanContext& ctx, ByteReader& body, std::uint32_t block, TagCode code) {
  const std::uint32_t id = body.u16();
  // Only the first kind is a definition that may move; the second stays where it is.
  if (code == kDefineMorphShape) ctx.define(id, block); else ctx.defineFixed(id, block);
  ctx.ids.clear();
  readMorphShapeBody(body, code, ctx.ids);
  for (const std::uint16_t bitmap : ctx.ids) ctx.definitionReference(id, bitmap);
}

// Back on the main timeline after a sprite's tags.
void closeSprite(Analysis& a) {
  a.frameCount = a.parentFrameCount;
  a.inSprite = 0;
}

void openSprite(ScanContext& ctx, ByteReader& body, bytesOut& block, std::uint32_t blockIndex) {
  Analysis& a = ctx.analysis;
  a.parentFrameCount = a.frameCount;
  a.frameCount = 0;
  ++a.spriteCounter;
  a.inSprite = a.spriteCounter;
  const std::uint32_t id = body.u16();
  a.spriteExportArray.push_back(static_cast<std::int32_t>(id));
  a.spriteGroups.push_back(SpriteGroup{static_cast<std::int32_t>(blockIndex), 0});
  if (a.attachFound.size() <= static_cast<std::size_t>(a.spriteCounter)) {
    a.attachFound.resize(static_cast<std::size_t>(a.spriteCounter) + 1, 0);
  }
  ctx.define(id, blockIndex);
  body.u16();  // the sprite's frame count
  // The block covers the header, the id and the frame count; the sprite's
  // tags follow as blocks of their own.
  block.thisSprite = static_cast<std::uint32_t>(a.inSprite);
  ctx.spriteEnd = ctx.tagEnd;
  block.origLength = 4;
  block.thisLength = block.thisHead + 4;
  // A sprite cut off before its id and frame count end: its block would run
  // past the movie, which therefore cannot be written safely.
  if (std::uint64_t{block.thisStart} + block.thisHead + 4 > ctx.data.size()) a.tagsRunPastData = true;
}

void handleTag(ScanContext& ctx, ByteReader& body, std::uint32_t n, bool& stillScanning) {
  Analysis& a = ctx.analysis;
  bytesOut& block = a.byteoutput[n];
  const auto code = static_cast<TagCode>(block.thisBlockType);
  switch (code) {
    case kEnd:
      if (a.inSprite == 0) {
        // The main End block stands for everything up to the declared length.
        block.thisLength = static_cast<std::uint32_t>(ctx.movie.header.fileLength - block.thisStart + 1);
        stillScanning = false;
        a.endTagFound = true;
      } else {
        closeSprite(a);
      }
      break;
    case kShowFrame:
      ++a.frameCount;
      if (a.inSprite == 0) {
        if (a.mainShowFrameBlocks.size() <= static_cast<std::size_t>(a.frameCount)) {
          a.mainShowFrameBlocks.resize(static_cast<std::size_t>(a.frameCount) + 1, 0);
        }
        a.mainShowFrameBlocks[static_cast<std::size_t>(a.frameCount)] = static_cast<std::int32_t>(n);
        ++a.mainFrameCount;
      }
      break;
    case kDefineShape:
    case kDefineShape2:
    case kDefineShape3:
    case kDefineShape4:
      readShape(ctx, body, n, code);
      break;
    case kPlaceObject:
      ctx.timelineReference(body.u16());
      body.u16();  // depth
      break;
    case kDefineButton:
      readDefineButton(ctx, body, n);
      break;
    case kDefineFont:
    case kDefineFont2:
    case kDefineFontInfo:
    case kDefineFontInfo2:
    case kDefineSound:
    case kDefineBitsLossless:
    case kDefineBitsJpeg2:
    case kDefineBitsLossless2:
      // A font's entry ends at the last of its font and font-info blocks.
      ctx.define(body.u16(), n);
      break;
    case kDefineText:
    case kDefineText2:
      readText(ctx, body, n, code);
      break;
    case kDefineMorphShape:
    case kDefineMorphShape2:
      readMorphShape(ctx, body, n, code);
      break;
    case kPlaceObject3:
      readPlaceObject2(ctx, body, true);
      break;
    case kDefineButtonSound:
      readDefineButtonSound(ctx, body, n);
      break;
    case kDefineButtonCxform:
    case kDefineScalingGrid:
      recordCompanion(ctx, body.u16(), n);
      break;
    case kDoAction:
      readActionList(ctx, body);  // the tag ends with its list, whatever the list does
      break;
    case kStartSound:
      ctx.timelineReference(body.u16());
      break;
    case kPlaceObject2:
      readPlaceObject2(ctx, body, false);
      break;
    case kRemoveObject2:
      body.u16();  // depth
      break;
    case kDefineButton2:
      readDefineButton2(ctx, body, n);
      break;
    case kDefineEditText:
      readEditText(ctx, body, n);
      break;
    case kDefineSprite:
      openSprite(ctx, body, block, n);
      break;
    case kExportAssets:
      readExportAssets(ctx, body, n);
      break;
    case kDoInitAction: {
      const std::uint32_t sprite = body.u16();
      a.coverCharacter(sprite);
      a.initScriptArray[sprite] = static_cast<std::int32_t>(n);
      break;
    }
    default:
      break;
  }
}

// One past the last block any character brings along when it moves.
std::uint32_t markableBlocks(const Analysis& a) {
  std::int32_t last = 0;
  for (const std::int32_t block : a.blockRef) last = std::max(last, block);
  for (const std::int32_t block : a.initScriptArray) last = std::max(last, block);
  for (const auto& [id, blocks] : a.companionBlocks) {
    for (const std::int32_t block : blocks) last = std::max(last, block);
  }
  return static_cast<std::uint32_t>(last) + 1;
}

}  // namespace

void scanSelectedFile(const LoadedMovie& movie, Analysis& a, const ProgressTick& tick) {
  if (!movie.loaded() || movie.headerOnly || !a.byteoutput.empty()) return;

  const auto whole = movie.bytes();
  // Nothing past the declared length belongs to the movie.
  const std::uint64_t movieEnd = std::min<std::uint64_t>(whole.size(), movie.header.fileLength);
  const auto data = whole.subspan(0, static_cast<std::size_t>(movieEnd));
  ScanContext ctx{movie, a, data, tick, 0, 0, 0, {}};

  // The three header blocks: the signature and version, the file length, and
  // the frame size, rate and count up to the first tag.
  const std::uint64_t firstTag = movie.header.firstTagOffset;
  const auto headerSpan = static_cast<std::uint32_t>(firstTag - kFileHeaderSize);
  a.byteoutput.push_back(bytesOut{0, 0, 0, 0, 4, 4});
  a.byteoutput.push_back(bytesOut{0, 0, 0, 4, 4, 4});
  a.byteoutput.push_back(bytesOut{0, 0, 0, kFileHeaderSize, headerSpan, headerSpan});

  // Room for a block per 64 bytes of movie, so that the table of a movie of
  // small tags is not copied again and again as it grows (unused room is
  // address space, not memory in use).
  a.byteoutput.reserve(a.byteoutput.size() + static_cast<std::size_t>(movieEnd / 64));
  bool stillScanning = true;
  std::uint64_t start = firstTag;
  while (stillScanning) {
    // A tag header needs two bytes inside the movie.
    if (start + 2 > movieEnd) break;
    // A sprite whose body holds no End tag ends where its DefineSprite says,
    // as players read it: the tags after it belong to the main timeline.
    if (a.inSprite != 0 && start >= ctx.spriteEnd) closeSprite(a);

    ByteReader header(data.subspan(static_cast<std::size_t>(start)));
    const std::uint16_t word = header.u16();
    const std::uint32_t code = word >> 6;
    std::uint64_t length = word & 0x3F;
    std::uint32_t head = 2;
    if (length == 0x3F) {
      length = header.u32();
      head = 6;
    }
    std::uint64_t tagEnd = start + head + length;
    if (tagEnd > movieEnd) {
      // The tag claims more than the movie holds: keep the block inside the
      // movie, and remember that this movie cannot be written safely.
      a.tagsRunPastData = true;
      tagEnd = movieEnd;
      length = tagEnd > start + head ? tagEnd - start - head : 0;
      if (start + head > movieEnd) head = static_cast<std::uint32_t>(movieEnd - start);
    }

    const auto n = static_cast<std::uint32_t>(a.byteoutput.size());
    // Filled in place: a record built aside and then copied in stalls the
    // store-to-load forwarding of every tag.
    bytesOut& block = a.byteoutput.emplace_back();
    block.thisBlockType = code;
    block.thisStart = static_cast<std::uint32_t>(start);
    block.origLength = static_cast<std::uint32_t>(length);
    block.thisHead = head;
    block.thisLength = static_cast<std::uint32_t>(head + length);
    block.thisSprite = static_cast<std::uint32_t>(a.inSprite);

    const std::uint64_t nextBlockStart = code == kDefineSprite ? start + head + 4 : tagEnd;
    if (nextBlockStart + 1 >= movie.header.fileLength) stillScanning = false;
    ctx.progress();
    // Only the main timeline's background colour bounds the fixed prefix: a
    // sprite's blocks must never be split between the prefix and the rest.
    if (code == kSetBackgroundColor && a.inSprite == 0) a.bgndColorBlock = static_cast<std::int32_t>(n);

    ctx.tagStart = start;
    ctx.tagEnd = tagEnd;
    ByteReader body(data.subspan(static_cast<std::size_t>(start + head), static_cast<std::size_t>(tagEnd - start - head)));
    handleTag(ctx, body, n, stillScanning);
    // Sprite numbers only grow, so the blocks of one sprite are one run.
    const bytesOut& scanned = a.byteoutput[n];
    if (scanned.thisSprite != 0 && scanned.thisSprite < a.spriteGroups.size()) {
      a.spriteGroups[scanned.thisSprite].bytes += scanned.thisLength;
    }
    if (a.unknownFillType) return;
    if (code == kEnd && a.inSprite == 0 && a.endTagFound) {
      a.byteoutput.push_back(bytesOut{});  // the empty record after the main End block
    }
    start = nextBlockStart;
  }
  for (const auto& [id, block] : a.fixedDefinitionBlocks) {
    if (a.dependTotal(id) > 0 && a.blockOf(id) == 0) a.fixedDefinitions.emplace_back(id, block);
  }
  std::sort(a.fixedDefinitions.begin(), a.fixedDefinitions.end());
  collectMainFirstUses(a);
  a.markableBlocks = markableBlocks(a);
  a.analysed = true;
}

}  // namespace framestow
