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
  const std::uint32_t row = openSprite == 0 ? 0u : static_cast<std::uint32_t>(index.spriteIds[openSprite]);
  appendReference(index, row, charId, mainFrames + 1);
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
  if (unknownFill) {
    ctx.index.outcome = ScanOutcome::kUnknownFillType;
    ctx.index.unknownFillType = *unknownFill;
  }
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
void closeSprite(ScanContext& ctx) {
  ctx.timelineFrames = ctx.mainFramesBeforeSprite;
  ctx.openSprite = 0;
}

void openSprite(ScanContext& ctx, ByteReader& body, std::uint32_t blockIndex) {
  MovieIndex& a = ctx.index;
  ctx.mainFramesBeforeSprite = ctx.timelineFrames;
  ctx.timelineFrames = 0;
  ++ctx.spriteCount;
  ctx.openSprite = ctx.spriteCount;
  const std::uint32_t id = body.u16();
  a.spriteIds.push_back(static_cast<std::int32_t>(id));
  a.spriteGroups.push_back(SpriteGroup{static_cast<std::int32_t>(blockIndex), static_cast<std::int32_t>(blockIndex) + 1, 0});
  if (a.attachFrames.size() <= ctx.spriteCount) {
    a.attachFrames.resize(std::size_t{ctx.spriteCount} + 1, 0);
  }
  ctx.define(id, blockIndex);
  body.u16();  // the sprite's frame count
  // The block covers the header, the id and the frame count; the sprite's
  // tags follow as blocks of their own.
  a.setTimeline(blockIndex, ctx.openSprite);
  ctx.spriteEnd = ctx.tagEnd;
  a.blocks[blockIndex].bodySize = 4;
  // A sprite cut off before its id and frame count end: its block would run
  // past the movie, which therefore cannot be written safely.
  if (a.blockEnd(blockIndex) > ctx.data.size()) a.tagsRunPastData = true;
}

// Tags whose body starts with the id of the character they define (font
// information: of the font whose entry it ends).
bool definesCharacter(TagCode code) {
  switch (code) {
    case kDefineShape: case kDefineShape2: case kDefineShape3: case kDefineShape4: case kDefineButton: case kDefineButton2:
    case kDefineFont: case kDefineFont2: case kDefineFontInfo: case kDefineFontInfo2: case kDefineSound: case kDefineBitsLossless: case kDefineBitsJpeg2:
    case kDefineBitsLossless2: case kDefineText: case kDefineText2: case kDefineMorphShape: case kDefineMorphShape2:
    case kDefineEditText: case kDefineSprite:
      return true;
    default:
      return false;
  }
}

void handleTag(ScanContext& ctx, ByteReader& body, std::uint32_t n, bool& stillScanning) {
  MovieIndex& a = ctx.index;
  const auto code = static_cast<TagCode>(a.tagCode(n));
  // A definition too short to hold its id defines nothing: reading on would
  // make an id up, and take another character's definition from it.
  if (body.size() < 2 && definesCharacter(code)) return;
  switch (code) {
    case kEnd:
      if (ctx.openSprite == 0) {
        // The main End block stands for everything up to the declared length.
        a.mainEndBlock = n;
        a.mainEndCountedSize = static_cast<std::uint32_t>(ctx.movie.header.fileLength - a.offset(n) + 1);
        stillScanning = false;
        a.endTagFound = true;
      } else {
        closeSprite(ctx);
      }
      break;
    case kShowFrame:
      ++ctx.timelineFrames;
      if (ctx.openSprite == 0) {
        if (a.frameEnds.size() <= static_cast<std::size_t>(ctx.timelineFrames)) {
          a.frameEnds.resize(static_cast<std::size_t>(ctx.timelineFrames) + 1, 0);
        }
        a.frameEnds[static_cast<std::size_t>(ctx.timelineFrames)] = static_cast<std::int32_t>(n);
        ++ctx.mainFrames;
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
    case kDefineFontInfo:
    case kDefineFontInfo2:
      ctx.extendFont(body.u16(), n);
      break;
    case kDefineFont:
    case kDefineFont2:
    case kDefineSound:
    case kDefineBitsLossless:
    case kDefineBitsJpeg2:
    case kDefineBitsLossless2:
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
      readPlaceObject2(ctx, body, true, n);
      break;
    case kDefineButtonSound:
      readDefineButtonSound(ctx, body, n);
      break;
    case kDefineButtonCxform:
    case kDefineScalingGrid:
      recordCompanion(ctx, body.u16(), n);
      break;
    case kDoAction:
      ctx.beginCode(CodeKind::kFrame, ctx.openSprite == 0 ? 0 : a.spriteIds[ctx.openSprite], n);
      readActionList(ctx, body);  // the tag ends with its list, whatever the list does
      break;
    case kStartSound:
      ctx.timelineReference(body.u16());
      break;
    case kPlaceObject2:
      readPlaceObject2(ctx, body, false, n);
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
      // Sprites do not nest: one inside a sprite is left whole, and the open
      // sprite keeps its own end and frame count.
      if (ctx.openSprite == 0) openSprite(ctx, body, n);
      break;
    case kExportAssets:
      readExportAssets(ctx, body, n);
      break;
    case kDoInitAction: {
      const std::uint32_t sprite = body.u16();
      a.coverCharacter(sprite);
      // Init code given again for the same sprite travels with it like the
      // first, so that none of it is left before the sprite's definition.
      if (a.initActionBlocks[sprite] == 0) a.initActionBlocks[sprite] = static_cast<std::int32_t>(n);
      else recordCompanion(ctx, sprite, n);
      ctx.beginCode(CodeKind::kInitAction, static_cast<std::int32_t>(sprite), n);
      ctx.inInitCode = true;
      readActionList(ctx, body);
      ctx.inInitCode = false;
      break;
    }
    default:
      break;
  }
}

// One past the last block any character brings along when it moves.
std::uint32_t markableBlocks(const MovieIndex& a) {
  std::int32_t last = 0;
  for (const std::int32_t block : a.definingBlocks) last = std::max(last, block);
  for (const std::int32_t block : a.initActionBlocks) last = std::max(last, block);
  for (const auto& [id, blocks] : a.companionBlocks) {
    for (const std::int32_t block : blocks) last = std::max(last, block);
  }
  return static_cast<std::uint32_t>(last) + 1;
}

}  // namespace

MovieIndex indexMovie(const LoadedMovie& movie, const ProgressTick& tick, const InflateProgress* inflating) {
  MovieIndex a;
  if (!movie.loaded() || movie.headerOnly) return a;

  const auto whole = movie.bytes();
  // Nothing past the declared length belongs to the movie.
  const std::uint64_t movieEnd = std::min<std::uint64_t>(whole.size(), movie.header.fileLength);
  const auto data = whole.subspan(0, static_cast<std::size_t>(movieEnd));
  ScanContext ctx{movie, a, data, tick, 0, 0, 0, {}};

  // The three header blocks: the signature and version, the file length, and
  // the frame size, rate and count up to the first tag.
  const std::uint64_t firstTag = movie.header.firstTagOffset;
  const auto headerSpan = static_cast<std::uint32_t>(firstTag - kFileHeaderSize);
  // The linkage names come from every ExportAssets tag, wherever it lies, and
  // the scan matches code against them from the first tag on: alongside an
  // inflate they can be read only once the whole movie is in place.
  if (inflating && !inflating->waitFor(movieEnd)) return a;
  collectLinkageNames(a.codeNames, data, firstTag);
  a.appendBlock(0, 0, 0, 4, 0);
  a.appendBlock(0, 0, 4, 4, 0);
  a.appendBlock(0, 0, kFileHeaderSize, headerSpan, 0);

  // Room for a block per 64 bytes of movie, so that the table of a movie of
  // small tags is not copied again and again as it grows (unused room is
  // address space, not memory in use).
  a.blocks.reserve(a.blocks.size() + static_cast<std::size_t>(movieEnd / 64));
  bool stillScanning = true;
  std::uint64_t start = firstTag;
  while (stillScanning) {
    // A tag header needs two bytes inside the movie.
    if (start + 2 > movieEnd) break;
    // A sprite whose body holds no End tag ends where its DefineSprite says,
    // as players read it: the tags after it belong to the main timeline.
    if (ctx.openSprite != 0 && start >= ctx.spriteEnd) closeSprite(ctx);

    if (inflating && !inflating->waitFor(std::min<std::uint64_t>(start + 6, movieEnd))) return a;
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

    if (inflating && !inflating->waitFor(tagEnd)) return a;
    const auto n = static_cast<std::uint32_t>(a.blocks.size());
    a.appendBlock(static_cast<std::uint16_t>(code), head, static_cast<std::uint32_t>(start),
                  static_cast<std::uint32_t>(length), ctx.openSprite);

    // A DefineSprite's tags follow as blocks of their own; one inside a sprite
    // (sprites do not nest) is a single block, and the scan goes past it.
    const bool opensSprite = code == kDefineSprite && ctx.openSprite == 0;
    const std::uint64_t nextBlockStart = opensSprite ? start + head + 4 : tagEnd;
    if (nextBlockStart + 1 >= movie.header.fileLength) stillScanning = false;
    ctx.progress();
    // Only the main timeline's background colour bounds the fixed prefix: a
    // sprite's blocks must never be split between the prefix and the rest.
    if (code == kSetBackgroundColor && ctx.openSprite == 0) a.backgroundBlock = static_cast<std::int32_t>(n);

    ctx.tagStart = start;
    ctx.tagEnd = tagEnd;
    ByteReader body(data.subspan(static_cast<std::size_t>(start + head), static_cast<std::size_t>(tagEnd - start - head)));
    const std::uint32_t timelineOfTag = ctx.openSprite;
    handleTag(ctx, body, n, stillScanning);
    // Sprite numbers only grow, so the blocks of one sprite are one run.
    // A DefineSprite block belongs to the sprite it opens.
    const std::uint32_t timeline = opensSprite ? ctx.openSprite : timelineOfTag;
    if (timeline != 0 && timeline < a.spriteGroups.size()) {
      SpriteGroup& group = a.spriteGroups[timeline];
      group.bytes += a.countedSize(n);
      group.endBlock = static_cast<std::int32_t>(n) + 1;
    }
    if (a.outcome == ScanOutcome::kUnknownFillType) return a;
    if (code == kEnd && ctx.openSprite == 0 && a.endTagFound) {
      a.appendBlock(0, 0, 0, 0, 0);  // the empty record after the main End block
    }
    start = nextBlockStart;
  }
  for (const auto& [id, block] : ctx.fixedDefinitionBlocks) {
    if (a.referenceCount(id) > 0) a.fixedDefinitions.emplace_back(id, block);
  }
  // An earlier definition of an id defined again never moves (the plan moves
  // the id's last one), so what the id uses stays before it, as it does for a
  // definition that never moves given an id that a movable one also takes.
  for (const auto& [id, block] : ctx.supersededDefinitionBlocks) {
    if (a.referenceCount(id) > 0) a.fixedDefinitions.emplace_back(id, block);
  }
  std::sort(a.fixedDefinitions.begin(), a.fixedDefinitions.end());
  collectMainFirstUses(a);
  resolveCodeMentions(a.codeNames);
  a.markableBlocks = markableBlocks(a);
  a.outcome = ScanOutcome::kComplete;
  return a;
}

}  // namespace framestow
