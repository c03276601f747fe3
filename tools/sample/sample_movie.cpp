#include "sample_movie.hpp"

#include <zlib.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace framestow::sample {

namespace {

using test::Actions;
using test::BitWriter;
using test::Bytes;
using test::ByteVector;
using test::Timeline;

constexpr std::uint16_t kBarShape = 1;
constexpr std::uint16_t kHeroBitmap = 10;
constexpr std::uint16_t kCoinBitmap = 11;
constexpr std::uint16_t kHeroShape = 12;
constexpr std::uint16_t kCoinShape = 13;
constexpr std::uint16_t kHeroSprite = 20;
constexpr std::uint16_t kCoinSprite = 21;
constexpr std::uint16_t kScoreSprite = 22;
constexpr std::uint16_t kChimeSound = 30;
constexpr std::uint16_t kLabelFont = 40;
constexpr std::uint16_t kScoreText = 41;

constexpr int kTwipsPerPixel = 20;

struct Point {
  std::int32_t x;
  std::int32_t y;
};

// A closed outline filled with fill style 1: a style change record that moves
// to the first point, one general straight edge per side, and the end record.
void outlineRecords(BitWriter& bits, const std::vector<Point>& points, int fillBits) {
  const Point start = points.front();
  const int moveBits = std::max(1, test::signedBitsFor({start.x, start.y}));
  bits.ubits(0, 1).ubits(0, 1).ubits(0, 1).ubits(0, 1).ubits(1, 1).ubits(1, 1);  // FillStyle0, MoveTo
  bits.ubits(static_cast<std::uint32_t>(moveBits), 5).sbits(start.x, moveBits).sbits(start.y, moveBits);
  bits.ubits(1, fillBits);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Point from = points[i];
    const Point to = points[(i + 1) % points.size()];
    const std::int32_t dx = to.x - from.x;
    const std::int32_t dy = to.y - from.y;
    const int n = std::max(2, test::signedBitsFor({dx, dy}));
    bits.ubits(1, 1).ubits(1, 1).ubits(static_cast<std::uint32_t>(n - 2), 4).ubits(1, 1);  // general line
    bits.sbits(dx, n).sbits(dy, n);
  }
  bits.ubits(0, 6);
}

std::vector<Point> rectangle(std::int32_t width, std::int32_t height) {
  return {{0, 0}, {width, 0}, {width, height}, {0, height}};
}

ByteVector deflate(const ByteVector& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  ByteVector out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) {
    throw std::runtime_error("zlib could not compress the sample bitmap");
  }
  out.resize(size);
  return out;
}

// DefineBitsLossless, format 5 (32-bit pixels): a textured tile. The texture
// is noisy on purpose so that the bitmap keeps a realistic size after zlib.
Bytes losslessBitmap(std::uint16_t id, int width, int height, std::uint8_t red, std::uint8_t green,
                     std::uint8_t blue) {
  ByteVector pixels;
  std::uint32_t noise = 0x2545F491u + id;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = static_cast<int>(noise >> 26);  // 0..63
      const int shade = (x + y) * 96 / (width + height) + grain;
      pixels.push_back(0xFF);
      pixels.push_back(static_cast<std::uint8_t>(std::min(255, red * shade / 160)));
      pixels.push_back(static_cast<std::uint8_t>(std::min(255, green * shade / 160)));
      pixels.push_back(static_cast<std::uint8_t>(std::min(255, blue * shade / 160)));
    }
  }
  return Bytes().u16(id).u8(5).u16(static_cast<std::uint32_t>(width)).u16(static_cast<std::uint32_t>(height)).raw(
      deflate(pixels));
}

// DefineShape: a rectangle the size of the bitmap, filled with it (clipped
// bitmap fill, scaled from pixels to twips).
Bytes bitmapShape(std::uint16_t id, std::uint16_t bitmapId, int width, int height) {
  const std::int32_t w = width * kTwipsPerPixel;
  const std::int32_t h = height * kTwipsPerPixel;
  const std::int32_t scale = kTwipsPerPixel << 16;
  Bytes body;
  body.u16(id).rect(0, w, 0, h);
  body.u8(1).u8(0x41).u16(bitmapId).matrixFull(std::make_pair(scale, scale), std::nullopt, 0, 0);
  body.u8(0);  // no line styles
  BitWriter bits;
  bits.ubits(1, 4).ubits(0, 4);
  outlineRecords(bits, rectangle(w, h), 1);
  return body.raw(bits.finish());
}

// DefineSound: a short chime, 8-bit unsigned uncompressed mono at 11 kHz.
Bytes chimeSound(std::uint16_t id) {
  constexpr int kRate = 11025;
  constexpr int kSamples = kRate / 4;
  Bytes body;
  body.u16(id).u8((3u << 4) | (1u << 2)).u32(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double level = std::sin(2.0 * std::numbers::pi * 880.0 * t) * std::exp(-8.0 * t);
    body.u8(static_cast<std::uint32_t>(128.0 + 100.0 * level));
  }
  return body;
}

// DefineFont with two glyphs on the 1024-unit em square: a block and a wedge.
Bytes labelFont(std::uint16_t id) {
  const std::vector<std::vector<Point>> outlines = {
      {{100, -700}, {600, -700}, {600, 0}, {100, 0}},
      {{100, 0}, {350, -700}, {600, 0}},
  };
  std::vector<ByteVector> glyphs;
  for (const auto& outline : outlines) {
    BitWriter bits;
    bits.ubits(1, 4).ubits(0, 4);
    outlineRecords(bits, outline, 1);
    glyphs.push_back(bits.finish());
  }
  Bytes body;
  body.u16(id);
  std::uint32_t offset = static_cast<std::uint32_t>(2 * glyphs.size());
  for (const ByteVector& glyph : glyphs) {
    body.u16(offset);
    offset += static_cast<std::uint32_t>(glyph.size());
  }
  for (const ByteVector& glyph : glyphs) body.raw(glyph);
  return body;
}

// DefineText: one line of four glyphs in the label font, 12 pixels high.
Bytes scoreText(std::uint16_t id, std::uint16_t fontId) {
  constexpr int kGlyphBits = 1;
  constexpr int kAdvanceBits = 10;
  Bytes body;
  body.u16(id).rect(0, 2000, -300, 60).matrix();
  body.u8(kGlyphBits).u8(kAdvanceBits);
  body.u8(0x8E).u16(fontId).rgb(0x20, 0x30, 0x60).s16(0).u16(240);  // font, colour, y offset, height
  body.u8(4);                                                         // glyph count
  BitWriter glyphs;
  for (std::uint32_t glyph : {0u, 1u, 0u, 1u}) glyphs.ubits(glyph, kGlyphBits).sbits(180, kAdvanceBits);
  body.raw(glyphs.finish());
  body.u8(0);  // end of text records
  return body;
}

Timeline spritePlacing(std::uint16_t characterId) {
  Timeline inner;
  inner.placeObject2(characterId, 1).showFrame().end();
  return inner;
}

// Push with several values: type 0 strings and type 7 integers.
class PushValues {
 public:
  PushValues& text(const std::string& value) {
    data_.u8(0).str(value);
    return *this;
  }
  PushValues& integer(std::uint32_t value) {
    data_.u8(7).u32(value);
    return *this;
  }
  const Bytes& data() const { return data_; }

 private:
  Bytes data_;
};

constexpr std::uint8_t kActionPush = 0x96;
constexpr std::uint8_t kActionGetVariable = 0x1C;
constexpr std::uint8_t kActionSetVariable = 0x1D;
constexpr std::uint8_t kActionNewObject = 0x40;
constexpr std::uint8_t kActionPop = 0x17;
constexpr std::uint8_t kActionStop = 0x07;
constexpr std::uint8_t kActionGotoFrame = 0x81;
constexpr std::uint8_t kActionWaitForFrame = 0x8A;

// ifFrameLoaded(2) { gotoAndStop(2); }
Bytes preloaderScript() {
  Actions actions;
  actions.action(kActionWaitForFrame, Bytes().u16(1).u8(1));
  actions.action(kActionGotoFrame, Bytes().u16(1));
  return actions.bytes;
}

// _root.attachMovie(linkage, instance, depth); then the chime through a Sound object.
Bytes attachScript() {
  Actions actions;
  const std::vector<std::pair<std::string, std::uint32_t>> instances = {
      {"hero", 1}, {"coin", 2}, {"scoreLabel", 3}};
  for (const auto& [linkage, depth] : instances) {
    actions.action(kActionPush,
                   PushValues().integer(depth).text(linkage + "1").text(linkage).integer(3).text("_root").data());
    actions.action(kActionGetVariable);
    actions.pushString("attachMovie").callMethod().action(kActionPop);
  }
  actions.action(kActionPush, PushValues().text("chime").integer(0).text("Sound").data());
  actions.action(kActionNewObject).action(kActionSetVariable);
  actions.action(kActionPush, PushValues().text("chime").integer(1).text("chime").data());
  actions.action(kActionGetVariable);
  actions.pushString("attachSound").callMethod().action(kActionPop);
  actions.action(kActionPush, PushValues().integer(0).text("chime").data());
  actions.action(kActionGetVariable);
  actions.pushString("start").callMethod().action(kActionPop);
  actions.action(kActionStop);
  return actions.bytes;
}

}  // namespace

std::vector<std::pair<std::uint16_t, std::string>> sampleExports() {
  return {{kHeroSprite, "hero"},
          {kCoinSprite, "coin"},
          {kChimeSound, "chime"},
          {kScoreSprite, "scoreLabel"},
          {kCoinSprite, "coin"}};  // exported twice: the redundant entry
}

test::ByteVector buildSampleMovie() {
  Timeline main;
  main.setBackgroundColor(0xF4, 0xF1, 0xE8);

  // The preloader: a progress bar and the script that waits for frame 2.
  main.defineShape(kBarShape).placeObject2(kBarShape, 1).doAction(preloaderScript());

  // Linked assets, all defined in frame 1 as authoring tools write them.
  main.tag(20, losslessBitmap(kHeroBitmap, 48, 48, 0xE0, 0x70, 0x30));
  main.tag(20, losslessBitmap(kCoinBitmap, 24, 24, 0xF0, 0xC8, 0x20));
  main.tag(2, bitmapShape(kHeroShape, kHeroBitmap, 48, 48));
  main.tag(2, bitmapShape(kCoinShape, kCoinBitmap, 24, 24));
  main.sprite(kHeroSprite, spritePlacing(kHeroShape));
  main.sprite(kCoinSprite, spritePlacing(kCoinShape));
  main.tag(14, chimeSound(kChimeSound));
  main.tag(10, labelFont(kLabelFont));
  main.tag(11, scoreText(kScoreText, kLabelFont));
  main.sprite(kScoreSprite, spritePlacing(kScoreText));
  main.exportAssets(sampleExports());
  main.showFrame();

  // Frame 2: the game screen attaches the assets by their linkage names.
  main.doAction(attachScript());
  main.showFrame();
  main.end();

  test::MovieOptions options;
  options.signature = "CWS";
  options.version = 6;
  options.widthTwips = 550 * kTwipsPerPixel;
  options.heightTwips = 400 * kTwipsPerPixel;
  options.rateInteger = 24;
  return test::buildMovie(main, options);
}

}  // namespace framestow::sample
