#include "support/swf_builder.hpp"

#include <lzma.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace framestow::test {

BitWriter& BitWriter::ubits(std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) bits_.push_back(((value >> i) & 1u) != 0);
  return *this;
}

BitWriter& BitWriter::sbits(std::int32_t value, int count) {
  return ubits(static_cast<std::uint32_t>(value) & (count >= 32 ? 0xFFFFFFFFu : ((1u << count) - 1u)), count);
}

ByteVector BitWriter::finish() const {
  ByteVector out((bits_.size() + 7) / 8, 0);
  for (std::size_t i = 0; i < bits_.size(); ++i) {
    if (bits_[i]) out[i / 8] |= static_cast<std::uint8_t>(0x80u >> (i % 8));
  }
  return out;
}

int signedBitsFor(std::initializer_list<std::int32_t> values) {
  int bits = 0;
  for (std::int32_t v : values) {
    int n = 1;
    while (n < 32) {
      const std::int64_t lo = -(std::int64_t{1} << (n - 1));
      const std::int64_t hi = (std::int64_t{1} << (n - 1)) - 1;
      if (v >= lo && v <= hi) break;
      ++n;
    }
    if (v != 0 && n > bits) bits = n;
  }
  return bits;
}

int unsignedBitsFor(std::uint32_t value) {
  int n = 0;
  while (n < 32 && (value >> n) != 0) ++n;
  return n;
}

Bytes& Bytes::u8(std::uint32_t v) {
  data.push_back(static_cast<std::uint8_t>(v));
  return *this;
}
Bytes& Bytes::u16(std::uint32_t v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
Bytes& Bytes::s16(std::int32_t v) { return u16(static_cast<std::uint32_t>(v) & 0xFFFF); }
Bytes& Bytes::u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }

Bytes& Bytes::f64(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return u32(static_cast<std::uint32_t>(bits >> 32)).u32(static_cast<std::uint32_t>(bits));
}

Bytes& Bytes::str(const std::string& text) { return raw(ByteVector(text.begin(), text.end())).u8(0); }

Bytes& Bytes::raw(const ByteVector& bytes) {
  data.insert(data.end(), bytes.begin(), bytes.end());
  return *this;
}

Bytes& Bytes::fill(std::size_t count, std::uint8_t value) { return raw(ByteVector(count, value)); }

Bytes& Bytes::rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return u8(r).u8(g).u8(b); }
Bytes& Bytes::rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) { return u8(r).u8(g).u8(b).u8(a); }

Bytes& Bytes::rect(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax, int nbits) {
  const int n = nbits >= 0 ? nbits : signedBitsFor({xMin, xMax, yMin, yMax});
  BitWriter w;
  w.ubits(static_cast<std::uint32_t>(n), 5).sbits(xMin, n).sbits(xMax, n).sbits(yMin, n).sbits(yMax, n);
  return raw(w.finish());
}

Bytes& Bytes::matrix(std::int32_t translateX, std::int32_t translateY) {
  return matrixFull(std::nullopt, std::nullopt, translateX, translateY);
}

Bytes& Bytes::matrixFull(std::optional<std::pair<std::int32_t, std::int32_t>> scale,
                         std::optional<std::pair<std::int32_t, std::int32_t>> rotate, std::int32_t translateX,
                         std::int32_t translateY) {
  BitWriter w;
  w.ubits(scale ? 1 : 0, 1);
  if (scale) {
    const int n = signedBitsFor({scale->first, scale->second});
    w.ubits(static_cast<std::uint32_t>(n), 5).sbits(scale->first, n).sbits(scale->second, n);
  }
  w.ubits(rotate ? 1 : 0, 1);
  if (rotate) {
    const int n = signedBitsFor({rotate->first, rotate->second});
    w.ubits(static_cast<std::uint32_t>(n), 5).sbits(rotate->first, n).sbits(rotate->second, n);
  }
  const int n = signedBitsFor({translateX, translateY});
  w.ubits(static_cast<std::uint32_t>(n), 5).sbits(translateX, n).sbits(translateY, n);
  return raw(w.finish());
}

Bytes& Bytes::cxform(std::optional<std::vector<std::int32_t>> mult, std::optional<std::vector<std::int32_t>> add,
                     bool withAlpha) {
  int n = 0;
  auto widen = [&](const std::optional<std::vector<std::int32_t>>& terms) {
    if (!terms) return;
    for (std::int32_t v : *terms) n = std::max(n, signedBitsFor({v}));
  };
  widen(mult);
  widen(add);
  const std::size_t terms = withAlpha ? 4 : 3;
  BitWriter w;
  w.ubits(add ? 1 : 0, 1).ubits(mult ? 1 : 0, 1).ubits(static_cast<std::uint32_t>(n), 4);
  if (mult) {
    for (std::size_t i = 0; i < terms; ++i) w.sbits(i < mult->size() ? (*mult)[i] : 256, n);
  }
  if (add) {
    for (std::size_t i = 0; i < terms; ++i) w.sbits(i < add->size() ? (*add)[i] : 0, n);
  }
  return raw(w.finish());
}

ByteVector tagBytes(std::uint16_t code, const ByteVector& body, bool forceLong) {
  Bytes out;
  if (!forceLong && body.size() < 63) {
    out.u16(static_cast<std::uint32_t>(code) << 6 | static_cast<std::uint32_t>(body.size()));
  } else {
    out.u16(static_cast<std::uint32_t>(code) << 6 | 0x3F).u32(static_cast<std::uint32_t>(body.size()));
  }
  return out.raw(body).data;
}

Timeline& Timeline::tag(std::uint16_t code, const Bytes& body, bool forceLong) {
  const ByteVector t = tagBytes(code, body, forceLong);
  bytes_.insert(bytes_.end(), t.begin(), t.end());
  return *this;
}

Timeline& Timeline::raw(const ByteVector& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

Timeline& Timeline::showFrame() {
  ++showFrames_;
  return tag(1);
}

Timeline& Timeline::end() { return tag(0); }

Timeline& Timeline::setBackgroundColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return tag(9, Bytes().rgb(r, g, b));
}

Timeline& Timeline::sprite(std::uint16_t id, const Timeline& inner, std::optional<std::uint16_t> frameCount,
                           bool forceLong) {
  Bytes body;
  body.u16(id).u16(frameCount.value_or(static_cast<std::uint16_t>(inner.showFrames()))).raw(inner.bytes());
  return tag(39, body, forceLong);
}

Timeline& Timeline::exportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& entries,
                                 bool forceLong) {
  Bytes body;
  body.u16(static_cast<std::uint32_t>(entries.size()));
  for (const auto& [id, name] : entries) body.u16(id).str(name);
  return tag(56, body, forceLong);
}

Timeline& Timeline::placeObject(std::uint16_t id, std::uint16_t depth) {
  return tag(4, Bytes().u16(id).u16(depth).matrix());
}

Timeline& Timeline::placeObject2(std::uint16_t id, std::uint16_t depth) {
  return tag(26, Bytes().u8(0x06).u16(depth).u16(id).matrix());
}

Timeline& Timeline::startSound(std::uint16_t soundId) { return tag(15, Bytes().u16(soundId).u8(0)); }

Timeline& Timeline::doAction(const Bytes& actions) { return tag(12, Bytes().raw(actions).u8(0)); }

Timeline& Timeline::doInitAction(std::uint16_t spriteId, const Bytes& actions) {
  return tag(59, Bytes().u16(spriteId).raw(actions).u8(0));
}

Timeline& Timeline::defineBitsLossless(std::uint16_t id, std::size_t pixelBytes) {
  // format 5 (32-bit), 1 x 1 pixels, then placeholder zlib data
  return tag(20, Bytes().u16(id).u8(5).u16(1).u16(1).fill(pixelBytes, 0x78));
}

Timeline& Timeline::defineSound(std::uint16_t id, std::size_t sampleBytes) {
  return tag(14, Bytes().u16(id).u8(0x32).u32(static_cast<std::uint32_t>(sampleBytes)).fill(sampleBytes, 0x55));
}

Timeline& Timeline::defineFont(std::uint16_t id) {
  // DefineFont with no glyphs: just the id and an empty offset table.
  return tag(10, Bytes().u16(id));
}

Timeline& Timeline::defineShape(std::uint16_t id, const std::vector<std::uint16_t>& bitmapFills, std::uint16_t code) {
  Bytes body;
  body.u16(id).rect(0, 200, 0, 200);
  if (bitmapFills.empty()) {
    body.u8(1).u8(0x00);
    if (code == 32) body.rgba(255, 0, 0, 255); else body.rgb(255, 0, 0);
  } else {
    body.u8(static_cast<std::uint32_t>(bitmapFills.size()));
    for (std::uint16_t bitmap : bitmapFills) body.u8(0x41).u16(bitmap).matrix();
  }
  body.u8(0);  // no line styles
  const std::size_t fills = std::max<std::size_t>(1, bitmapFills.size());
  const int fillBits = unsignedBitsFor(static_cast<std::uint32_t>(fills));
  BitWriter w;
  w.ubits(static_cast<std::uint32_t>(fillBits), 4).ubits(0, 4);
  // style change: FillStyle0 = 1, move to (0,0) with 1-bit fields
  w.ubits(0, 1).ubits(0, 1).ubits(0, 1).ubits(0, 1).ubits(1, 1).ubits(1, 1);
  w.ubits(1, 5).sbits(0, 1).sbits(0, 1);
  w.ubits(1, static_cast<int>(fillBits));
  // straight general line (100, 100): 9-bit fields -> width field 7
  w.ubits(1, 1).ubits(1, 1).ubits(7, 4).ubits(1, 1).sbits(100, 9).sbits(100, 9);
  // end record
  w.ubits(0, 6);
  body.raw(w.finish());
  return tag(code, body);
}

Actions& Actions::action(std::uint8_t code) {
  bytes.u8(code);
  return *this;
}

Actions& Actions::action(std::uint8_t code, const Bytes& data) {
  bytes.u8(code).u16(static_cast<std::uint32_t>(data.size())).raw(data);
  return *this;
}

Actions& Actions::pushString(const std::string& value) { return action(0x96, Bytes().u8(0).str(value)); }

Actions& Actions::pushDoubleThenString(double value, const std::string& text) {
  return action(0x96, Bytes().u8(6).f64(value).u8(0).str(text));
}

Actions& Actions::constantPool(const std::vector<std::string>& entries) {
  Bytes data;
  data.u16(static_cast<std::uint32_t>(entries.size()));
  for (const auto& e : entries) data.str(e);
  return action(0x88, data);
}

Actions& Actions::pushConstant(std::uint8_t index) { return action(0x96, Bytes().u8(8).u8(index)); }

Actions& Actions::end() { return action(0); }

ByteVector buildMovie(const Timeline& main, const MovieOptions& options) {
  Bytes body;
  body.rect(0, options.widthTwips, 0, options.heightTwips, options.rectBits);
  body.u8(options.rateFraction).u8(options.rateInteger);
  body.u16(options.frameCount.value_or(static_cast<std::uint16_t>(main.showFrames())));
  body.raw(main.bytes());

  const std::uint32_t length = options.fileLength.value_or(static_cast<std::uint32_t>(body.size() + 8));
  Bytes file;
  for (char c : options.signature.substr(0, 3)) file.u8(static_cast<std::uint8_t>(c));
  file.u8(options.version).u32(length);
  if (options.signature == "CWS") {
    uLongf destLen = compressBound(static_cast<uLong>(body.size()));
    ByteVector packed(destLen);
    if (compress2(packed.data(), &destLen, body.data.data(), static_cast<uLong>(body.size()), 9) != Z_OK) {
      throw std::runtime_error("compress2 failed");
    }
    packed.resize(destLen);
    file.raw(packed);
  } else if (options.signature == "ZWS") {
    file.data[0] = 'F';
    file.raw(body);
    return lzmaMovieOf(file.data);
  } else {
    file.raw(body);
  }
  return file.data;
}

ByteVector lzmaMovieOf(const ByteVector& fwsFile) {
  // The .lzma format's encoder, without the 8-byte size of its 13-byte
  // header: what is left is the properties and the data, which "ZWS" keeps
  // after the data's length.
  lzma_options_lzma lzma;
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_lzma_preset(&lzma, 6) || lzma_alone_encoder(&stream, &lzma) != LZMA_OK) throw std::runtime_error("lzma_alone_encoder failed");
  ByteVector packed(fwsFile.size() + fwsFile.size() / 2 + 1024);
  stream.next_in = fwsFile.data() + 8;
  stream.avail_in = fwsFile.size() - 8;
  stream.next_out = packed.data();
  stream.avail_out = packed.size();
  const lzma_ret rc = lzma_code(&stream, LZMA_FINISH);
  packed.resize(packed.size() - stream.avail_out);
  lzma_end(&stream);
  if (rc != LZMA_STREAM_END) throw std::runtime_error("lzma_code failed");
  Bytes file;
  file.raw(ByteVector(fwsFile.begin(), fwsFile.begin() + 8)).u32(static_cast<std::uint32_t>(packed.size() - 13));
  file.raw(ByteVector(packed.begin(), packed.begin() + 5)).raw(ByteVector(packed.begin() + 13, packed.end()));
  file.data[0] = 'Z';
  return file.data;
}

std::string writeFile(const std::string& path, const ByteVector& bytes) {
  const std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

ByteVector readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw std::runtime_error("cannot read " + path);
  ByteVector bytes(static_cast<std::size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

}  // namespace framestow::test
