#include "support/tags.hpp"

#include <algorithm>
#include <random>

namespace framestow::test {

ByteVector joined(const Tags& tags) {
  ByteVector all;
  for (const ByteVector& tag : tags) all.insert(all.end(), tag.begin(), tag.end());
  return all;
}

ByteVector sprite(std::uint16_t id, const Tags& inner) {
  const auto frames = static_cast<std::uint16_t>(std::count(inner.begin(), inner.end(), kShowFrameBytes));
  return Timeline().sprite(id, Timeline().raw(joined(inner)), frames).bytes();
}

ByteVector movieOf(const Tags& tags, MovieOptions options) {
  if (!options.frameCount) options.frameCount = static_cast<std::uint16_t>(std::count(tags.begin(), tags.end(), kShowFrameBytes));
  return buildMovie(Timeline().raw(joined(tags)), options);
}

std::int64_t sizeOf(const Tags& tags) { return static_cast<std::int64_t>(joined(tags).size()); }

ByteVector bitmapsMovie(std::size_t bytes, const std::string& signature) {
  std::mt19937 random(7);
  Tags tags{kBackground};
  std::vector<std::pair<std::uint16_t, std::string>> names;
  for (std::uint16_t id = 1; bytes > 0; ++id) {
    Bytes pixels;
    for (std::size_t i = std::min<std::size_t>(bytes, 256 * 1024); i > 0; --i, --bytes) pixels.u8(random() >> 24);
    tags.push_back(tagBytes(kDefineBitsLossless, Bytes().u16(id).u8(5).u16(1).u16(1).raw(pixels)));
    names.emplace_back(id, "art");
  }
  return movieOf(tags + Tags{exports(names), kShowFrameBytes, kShowFrameBytes, kShowFrameBytes, kEndBytes}, header(signature));
}

ByteVector shape4(std::uint16_t id, std::uint16_t fill, std::uint16_t line) {
  Bytes b;
  b.u16(id).rect(0, 100, 0, 100).rect(10, 90, 10, 90).u8(0x01).u8(2);
  b.u8(0x13).matrix(5, 5).u8(0x42).u8(0).rgba(1, 2, 3, 4).u8(255).rgba(5, 6, 7, 8).s16(-128);
  b.u8(0x41).u16(fill).matrix().u8(1).u16(40).u8(0x08 | 0x20).u8(0x01).u16(3).u8(0x40).u16(line).matrix();
  return tagBytes(kDefineShape4, b.raw(BitWriter().ubits(2, 4).ubits(1, 4).ubits(0, 6).finish()));
}

ByteVector text(std::uint16_t code, std::uint16_t id, std::uint16_t font1, std::uint16_t font2) {
  Bytes b;
  b.u16(id).rect(0, 100, 0, 100).matrix().u8(5).u8(4).u8(0x8F).u16(font1);
  if (code == kDefineText2) b.rgba(0, 0, 0, 255); else b.rgb(0, 0, 0);
  BitWriter glyphs;
  for (std::uint32_t i = 0; i < 3; ++i) glyphs.ubits(i, 5).sbits(-1, 4);
  return tagBytes(code, b.s16(-20).s16(30).u16(240).u8(0x03).raw(glyphs.finish()).u8(0x88).u16(font2).u16(240).u8(0));
}

Bytes buttonRecord(std::uint8_t flags, std::uint16_t character, bool button2) {
  Bytes b;
  b.u8(flags).u16(character).u16(1).matrix(10, 10);
  if (button2) b.cxform(std::vector<std::int32_t>{1, 2, 3, 4}, std::nullopt, true);
  return b;
}

ByteVector button(std::uint16_t id, const std::vector<std::uint16_t>& characters, const Bytes& actions) {
  Bytes b;
  b.u16(id);
  for (std::uint16_t c : characters) b.raw(buttonRecord(0x0F, c, false));
  return tagBytes(kDefineButton, b.u8(0).raw(actions).u8(0));
}

ByteVector button2(std::uint16_t id, const Bytes& records, const Bytes& actions) {
  Bytes b;
  b.u16(id).u8(0).u16(actions.size() == 0 ? 0 : static_cast<std::uint32_t>(records.size() + 3)).raw(records).u8(0);
  if (actions.size() != 0) b.u16(0).u16(0x08).raw(actions).u8(0);
  return tagBytes(kDefineButton2, b);
}

ByteVector buttonSound(std::uint16_t button, std::uint16_t soundId) {
  return tagBytes(kDefineButtonSound, Bytes().u16(button).u16(0).u16(soundId).u8(0x0F).u32(1).u32(2).u16(3).u8(1).fill(8).u16(soundId).u8(0).u16(0));
}

ByteVector morphShape(std::uint16_t code, std::uint16_t id, std::uint16_t bitmap, const Bytes& firstFill) {
  Bytes b;
  b.u16(id).rect(0, 10, 0, 10).rect(0, 20, 0, 20);
  if (code == kDefineMorphShape2) b.rect(0, 10, 0, 10).rect(0, 20, 0, 20).u8(0);
  b.u32(0).u8(2).raw(firstFill).u8(0x42).u16(bitmap).matrix().matrix(3, 3);
  if (code == kDefineMorphShape2) {
    b.u8(1).u16(20).u16(40).u8(0x08 | 0x20).u8(0).u16(3).u8(0x43).u16(bitmap).matrix().matrix();
  } else {
    b.u8(1).u16(20).u16(40).rgba(0, 0, 0, 255).rgba(0, 0, 0, 255);
  }
  return tagBytes(code, b.u8(0).u8(0));
}

ByteVector placeObject3(std::uint16_t id) {
  return tagBytes(kPlaceObject3, Bytes().u8(0x06).u8(0x08).u16(1).str("flash.display.MovieClip").u16(id).matrix());
}

ByteVector clipActions(int version, bool keyPress, const Bytes& actions, std::uint8_t flags3, const Bytes& extra, bool placeObject3) {
  const bool wide = version >= 6;
  Bytes b;
  b.u8(0x80 | 0x40 | 0x20 | 0x08 | 0x02);
  if (placeObject3) b.u8(flags3);
  b.u16(7).u16(1).cxform(std::vector<std::int32_t>{1, 2, 3, 4}, std::vector<std::int32_t>{-1, -2, -3, -4}, true);
  b.str("inst").u16(10).raw(extra).u16(0);
  if (wide) b.u32(0x1).u32(keyPress ? 0x20000 : 0x1); else b.u16(0x1).u16(0x1);
  b.u32(static_cast<std::uint32_t>(actions.size() + 1 + (keyPress ? 1 : 0)));
  if (keyPress) b.u8(65);
  b.raw(actions).u8(0);
  if (wide) b.u32(0); else b.u16(0);
  return tagBytes(placeObject3 ? kPlaceObject3 : kPlaceObject2, b);
}

}  // namespace framestow::test
