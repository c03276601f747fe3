// Writes SWF movies byte by byte for tests, benchmarks and the bundled sample.
//
// Expected values in tests come from the format as written here, never from
// the code under test. Everything is explicit: tag headers can be forced long,
// the file length can be forced to any value, bit fields are packed by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace framestow::test {

using ByteVector = std::vector<std::uint8_t>;

// Packs bit fields most significant bit first, as the SWF format stores them.
class BitWriter {
 public:
  BitWriter& ubits(std::uint32_t value, int count);
  BitWriter& sbits(std::int32_t value, int count);
  // Pads the last byte with zero bits.
  ByteVector finish() const;

 private:
  std::vector<bool> bits_;
};

// Width in bits of the smallest signed field that holds every value.
int signedBitsFor(std::initializer_list<std::int32_t> values);
int unsignedBitsFor(std::uint32_t value);

// A growing byte buffer with the SWF primitive writers.
class Bytes {
 public:
  Bytes() = default;
  Bytes(std::initializer_list<std::uint8_t> init) : data(init) {}

  Bytes& u8(std::uint32_t v);
  Bytes& u16(std::uint32_t v);
  Bytes& s16(std::int32_t v);
  Bytes& u32(std::uint32_t v);
  Bytes& f64(double v);                 // SWF order: high word first, each little-endian
  Bytes& str(const std::string& text);  // bytes then a terminating NUL
  Bytes& raw(const ByteVector& bytes);
  Bytes& raw(const Bytes& bytes) { return raw(bytes.data); }
  Bytes& fill(std::size_t count, std::uint8_t value = 0);
  Bytes& rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b);
  Bytes& rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
  // RECT with the smallest field width, or `nbits` when given.
  Bytes& rect(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax, int nbits = -1);
  // MATRIX: translation only, or with scale and rotation (16.16 fixed point raw values).
  Bytes& matrix(std::int32_t translateX = 0, std::int32_t translateY = 0);
  Bytes& matrixFull(std::optional<std::pair<std::int32_t, std::int32_t>> scale,
                    std::optional<std::pair<std::int32_t, std::int32_t>> rotate, std::int32_t translateX,
                    std::int32_t translateY);
  // Colour transform with the given terms (mult then add), with or without alpha.
  Bytes& cxform(std::optional<std::vector<std::int32_t>> mult, std::optional<std::vector<std::int32_t>> add,
                bool withAlpha);

  std::size_t size() const { return data.size(); }
  ByteVector data;
};

// A tag record: short header when the body is below 63 bytes, unless forced long.
ByteVector tagBytes(std::uint16_t code, const ByteVector& body, bool forceLong = false);
inline ByteVector tagBytes(std::uint16_t code, const Bytes& body, bool forceLong = false) {
  return tagBytes(code, body.data, forceLong);
}

// A list of tags: the main timeline of a movie or the timeline of a sprite.
class Timeline {
 public:
  Timeline& tag(std::uint16_t code, const Bytes& body = {}, bool forceLong = false);
  Timeline& raw(const ByteVector& bytes);  // bytes as they are (a hand-made header, say)
  Timeline& showFrame();
  Timeline& end();
  Timeline& setBackgroundColor(std::uint8_t r = 255, std::uint8_t g = 255, std::uint8_t b = 255);
  // DefineSprite with the given inner timeline (end it yourself); frame count
  // defaults to the inner ShowFrames.
  Timeline& sprite(std::uint16_t id, const Timeline& inner, std::optional<std::uint16_t> frameCount = {},
                   bool forceLong = false);
  // ExportAssets with (id, name) entries.
  Timeline& exportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& entries, bool forceLong = false);
  Timeline& placeObject(std::uint16_t id, std::uint16_t depth);
  Timeline& placeObject2(std::uint16_t id, std::uint16_t depth);  // character and matrix
  Timeline& startSound(std::uint16_t soundId);
  Timeline& doAction(const Bytes& actions);  // the action records; the closing 0 is added
  Timeline& doInitAction(std::uint16_t spriteId, const Bytes& actions);
  // Simple definitions with placeholder bodies of a chosen size.
  Timeline& defineBitsLossless(std::uint16_t id, std::size_t pixelBytes = 8);
  Timeline& defineSound(std::uint16_t id, std::size_t sampleBytes = 8);
  Timeline& defineFont(std::uint16_t id);
  // A DefineShape (code 2, 22 or 32) with one solid fill, or one bitmap fill
  // per listed bitmap, and a single straight edge.
  Timeline& defineShape(std::uint16_t id, const std::vector<std::uint16_t>& bitmapFills = {},
                        std::uint16_t code = 2);

  std::uint32_t showFrames() const { return showFrames_; }
  const ByteVector& bytes() const { return bytes_; }

 private:
  ByteVector bytes_;
  std::uint32_t showFrames_ = 0;
};

// Action records for DoAction, clip actions and button actions.
class Actions {
 public:
  Actions& action(std::uint8_t code);                      // a code below 0x80
  Actions& action(std::uint8_t code, const Bytes& data);   // code, 16-bit length, data
  Actions& pushString(const std::string& value);
  Actions& pushDoubleThenString(double value, const std::string& text);
  Actions& constantPool(const std::vector<std::string>& entries);
  Actions& pushConstant(std::uint8_t index);               // type 8
  Actions& callMethod() { return action(0x52); }
  Actions& end();                                          // the closing 0 byte
  Bytes bytes;
};

struct MovieOptions {
  std::string signature = "FWS";
  std::uint8_t version = 6;
  std::int32_t widthTwips = 8000;
  std::int32_t heightTwips = 6000;
  std::uint8_t rateFraction = 0;
  std::uint8_t rateInteger = 12;
  std::optional<std::uint16_t> frameCount;   // default: the main timeline's ShowFrames
  std::optional<std::uint32_t> fileLength;   // default: the real uncompressed length
  int rectBits = -1;                         // default: smallest width
};

// The whole file: header, then the timeline's tags; zlib-compressed after the
// first 8 bytes when the signature is "CWS", LZMA-compressed for "ZWS".
ByteVector buildMovie(const Timeline& main, const MovieOptions& options = {});
// The "ZWS" file of an uncompressed one (whatever its version), made with
// liblzma's .lzma encoder: its data keeps the end marker.
ByteVector lzmaMovieOf(const ByteVector& fwsFile);

// Writes bytes to a file; creates the folder. Returns the path.
std::string writeFile(const std::string& path, const ByteVector& bytes);
ByteVector readFile(const std::string& path);

}  // namespace framestow::test
