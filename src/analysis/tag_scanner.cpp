#include "analysis/tag_scanner.hpp"

#include <algorithm>
#include <utility>

#include "analysis/scan_context.hpp"
#include "common/byte_text.hpp"
#include "common/tag_codes.hpp"
#include "swfin/shape_readers.hpp"
#include "swfin/text_readers.hpp"
#include "writer/writer.hpp"

namespace framestow {

void ScanContext::timelineReference(std::int32_t charId) {
  Analysis& a = analysis;
  const std::uint32_t row =
      a.inSprite == 0 ? 0u : static_cast<std::uint32_t>(a.spriteExportArray[static_cast<std::size_t>(a.inSprite)]);
  appendReference(a, row, charId, a.mainFrameCount + 1);
}

namespace {

void readShape(ScanContext& ctx, std::uint32_t block, std::uint32_t code) {
  Reader& reader = ctx.reader;
  Analysis& a = ctx.analysis;
  const auto id = static_cast<std::uint32_t>(reader.readBufUInt16());
  // A DefineShape4 is not a definition that moves; its fills are still read,
  // so that the bitmaps it uses stay before it.
  if (code != kDefineShape4) ctx.define(id, block); else ctx.defineFixed(id, block);
  a.shapeIdNum = static_cast<std::int32_t>(id);
  Shape shape;
  shape.shapeType = code;
  ShapeContext shapes{reader, a, {}};
  readRect(reader, shape.bounds);
  if (code == kDefineShape4) {
    Rect edgeBounds;
    readRect(reader, edgeBounds);
    reader.readByte();  // stroke and winding flags
  }
  readFillStyleArray(shapes, shape);
  if (shapes.error.empty()) {
    readLineStyleArray(shapes, shape);
    reader.byteXAlign();
    shape.fillBits = static_cast<std::uint8_t>(reader.readBufBits(4));
    shape.lineBits = static_cast<std::uint8_t>(reader.readBufBits(4));
    while (reader.fileOffset < ctx.tagEnd && shapes.error.empty() && !reader.overrun) {
      readShapeRec(shapes, shape);
    }
  }
  if (!shapes.error.empty()) a.analysisError = shapes.error;
}

void readText(ScanContext& ctx, std::uint32_t block, std::uint32_t code) {
  Reader& reader = ctx.reader;
  const auto id = static_cast<std::uint32_t>(reader.readBufUInt16());
  // DefineText2 stays where it is; its fonts are recorded so that they stay before it.
  if (code == kDefineText) ctx.define(id, block); else ctx.defineFixed(id, block);
  ctx.beginDefinitionRow(id);
  Rect bounds;
  readRect(reader, bounds);
  Matrix matrix;
  readMatrix(reader, matrix);
  const int glyphBits = reader.readByte();
  const int advanceBits = reader.readByte();
  while (!reader.overrun && printTextRecord(reader, ctx.analysis, glyphBits, advanceBits, code) != 0) {
  }
}

void readEditText(ScanContext& ctx, std::uint32_t block) {
  Reader& reader = ctx.reader;
  const auto id = static_cast<std::uint32_t>(reader.readBufUInt16());
  ctx.define(id, block);
  ctx.beginDefinitionRow(id);
  Rect bounds;
  readRect(reader, bounds);
  const int flags = reader.readBufUInt16();
  if (flags & 0x0001) ctx.definitionReference(id, reader.readBufUInt16());
}

// Back on the main timeline after a sprite's tags.
void closeSprite(Analysis& a) {
  a.frameCount = a.parentFrameCount;
  a.inSprite = 0;
}

void openSprite(ScanContext& ctx, bytesOut& block, std::uint32_t blockIndex) {
  Analysis& a = ctx.analysis;
  Reader& reader = ctx.reader;
  a.parentFrameCount = a.frameCount;
  a.frameCount = 0;
  ++a.spriteCounter;
  a.inSprite = a.spriteCounter;
  const auto id = static_cast<std::uint32_t>(reader.readBufUInt16());
  a.spriteExportArray.push_back(static_cast<std::int32_t>(id));
  a.spriteGroups.push_back(SpriteGroup{static_cast<std::int32_t>(blockIndex), 0});
  if (a.attachFound.size() <= static_cast<std::size_t>(a.spriteCounter)) {
    a.attachFound.resize(static_cast<std::size_t>(a.spriteCounter) + 1, 0);
  }
  ctx.define(id, blockIndex);
  reader.readBufUInt16();  // the sprite's frame count
  // The block covers the header, the id and the frame count; the sprite's
  // tags follow as blocks of their own.
  block.thisSprite = static_cast<std::uint32_t>(a.inSprite);
  ctx.spriteEnd = ctx.tagEnd;
  block.origLength = 4;
  block.thisLength = block.thisHead + 4;
  // A sprite cut off before its id and frame count end: its block would run
  // past the movie, which therefore cannot be written safely.
  if (std::uint64_t{block.thisStart} + block.thisHead + 4 > reader.fileBuffer.size()) a.tagsRunPastData = true;
}

void handleTag(ScanContext& ctx, std::uint32_t n, bool& stillScanning) {
  Analysis& a = ctx.analysis;
  Reader& reader = ctx.reader;
  bytesOut& block = a.byteoutput[n];
  const std::uint32_t code = block.thisBlockType;
  switch (code) {
    case kEnd:
      if (a.inSprite == 0) {
        // The main End block stands for everything up to the declared length.
        block.thisLength = static_cast<std::uint32_t>(ctx.movie.m.size - block.thisStart + 1);
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
      block.withThis = kMarkKeep;
      break;
    case kDefineShape:
    case kDefineShape2:
    case kDefineShape3:
    case kDefineShape4:
      readShape(ctx, n, code);
      break;
    case kPlaceObject:
      ctx.timelineReference(reader.readBufUInt16());
      reader.readBufUInt16();  // depth
      break;
    case kDefineButton:
      readDefineButton(ctx, n);
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
      ctx.define(static_cast<std::uint32_t>(reader.readBufUInt16()), n);
      break;
    case kDefineText:
    case kDefineText2:
      readText(ctx, n, code);
      break;
    case kDefineMorphShape:
    case kDefineMorphShape2:
      readMorphShape(ctx, n, code);
      break;
    case kPlaceObject3:
      readPlaceObject2(ctx, n, true);
      break;
    case kDefineButtonSound:
      readDefineButtonSound(ctx, n);
      break;
    case kDefineButtonCxform:
    case kDefineScalingGrid:
      recordCompanion(ctx, static_cast<std::uint32_t>(reader.readBufUInt16()), n);
      break;
    case kDoAction:
      readActionList(ctx);  // the tag ends with its list, whatever the list does
      break;
    case kStartSound:
      ctx.timelineReference(reader.readBufUInt16());
      break;
    case kPlaceObject2:
      readPlaceObject2(ctx, n, false);
      break;
    case kRemoveObject2:
      reader.readBufUInt16();
      break;
    case kDefineButton2:
      readDefineButton2(ctx, n);
      break;
    case kDefineEditText:
      readEditText(ctx, n);
      break;
    case kDefineSprite:
      openSprite(ctx, block, n);
      break;
    case kExportAssets:
      readExportAssets(ctx, n);
      break;
    case kDoInitAction: {
      const auto sprite = static_cast<std::uint32_t>(reader.readBufUInt16());
      a.coverCharacter(sprite);
      a.initScriptArray[sprite] = static_cast<std::int32_t>(n);
      break;
    }
    default:
      break;
  }
}

}  // namespace

std::string scanSelectedFile(LoadedMovie& movie, Analysis& a, const ProgressTick& tick) {
  const std::string info = formatText("%s\r\nversion:%i  %ikB\r\ndimensions:%i x %i", movie.fnbuffer.c_str(),
                                      movie.m.version, static_cast<int>(movie.m.size / 1024),
                                      movie.m.frame.xMax / 20, movie.m.frame.yMax / 20);
  if (!movie.loaded || movie.headerOnly || a.byteoutput.size() != movie.ScanStartByteoutputNum) return info;

  const auto data = movie.fileBuffer();
  // Nothing past the declared length belongs to the movie.
  const std::uint64_t movieEnd = std::min<std::uint64_t>(data.size(), movie.m.size);
  ScanContext ctx{movie, a, Reader(data.subspan(0, static_cast<std::size_t>(movieEnd))), tick};
  Reader& reader = ctx.reader;

  reader.fileOffset = movie.ScanStartOffset;
  reader.readBufUInt16();  // frame count
  const auto headerSpan = static_cast<std::uint32_t>(reader.fileOffset - movie.ScanOld2f_seek);
  a.byteoutput.push_back(bytesOut{0, 0, 0, 0, 0, movie.ScanOld2f_seek, headerSpan, headerSpan});
  movie.modNameOut = backupNameFor(movie.fnbuffer);

  // Room for a block per 64 bytes of movie, so that the table of a movie of
  // small tags is not copied again and again as it grows (unused room is
  // address space, not memory in use).
  a.byteoutput.reserve(a.byteoutput.size() + static_cast<std::size_t>(movieEnd / 64));
  bool stillScanning = true;
  std::uint64_t nextBlockStart = 0;
  while (stillScanning) {
    if (nextBlockStart != 0) reader.fileOffset = static_cast<std::size_t>(nextBlockStart);
    const std::uint64_t start = reader.fileOffset;
    // A tag header needs two bytes inside the movie.
    if (start + 2 > movieEnd) break;
    // A sprite whose body holds no End tag ends where its DefineSprite says,
    // as players read it: the tags after it belong to the main timeline.
    if (a.inSprite != 0 && start >= ctx.spriteEnd) closeSprite(a);
    reader.clearLimit();
    reader.overrun = false;
    reader.byteXAlign();

    const std::uint32_t word = static_cast<std::uint32_t>(reader.readBufUInt16());
    const std::uint32_t code = word >> 6;
    std::uint64_t length = word & 0x3F;
    std::uint32_t head = 2;
    if (length == 0x3F) {
      length = reader.readBufUInt32();
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

    nextBlockStart = code == kDefineSprite ? start + head + 4 : tagEnd;
    a.nextBlockStart = tagEnd;
    if (nextBlockStart + 1 >= movie.m.size) stillScanning = false;
    ctx.progress();
    // Only the main timeline's background colour bounds the fixed prefix: a
    // sprite's blocks must never be split between the prefix and the rest.
    if (code == kSetBackgroundColor && a.inSprite == 0) a.bgndColorBlock = static_cast<std::int32_t>(n);

    ctx.tagStart = start;
    ctx.tagEnd = tagEnd;
    reader.fileOffset = static_cast<std::size_t>(start + head);
    reader.setLimit(static_cast<std::size_t>(tagEnd));
    handleTag(ctx, n, stillScanning);
    // Sprite numbers only grow, so the blocks of one sprite are one run.
    const bytesOut& scanned = a.byteoutput[n];
    if (scanned.thisSprite != 0 && scanned.thisSprite < a.spriteGroups.size()) {
      a.spriteGroups[scanned.thisSprite].bytes += scanned.thisLength;
    }
    if (!a.analysisError.empty()) return info;
    if (code == kEnd && a.inSprite == 0 && a.endTagFound) {
      a.byteoutput.push_back(bytesOut{});  // the empty record after the main End block
    }
  }
  for (const auto& [id, block] : a.fixedDefinitionBlocks) {
    if (a.dependTotal(id) > 0 && a.blockOf(id) == 0) a.fixedDefinitions.emplace_back(id, block);
  }
  std::sort(a.fixedDefinitions.begin(), a.fixedDefinitions.end());
  collectMainFirstUses(a);
  a.analysed = true;
  return info;
}

}  // namespace framestow
