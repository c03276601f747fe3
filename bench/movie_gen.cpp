#include "movie_gen.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "support/swf_builder.hpp"

namespace framestow::bench {

using test::Actions;
using test::BitWriter;
using test::Bytes;
using test::Timeline;

namespace {

constexpr std::uint16_t kDefineBitsLossless = 20;
constexpr std::uint16_t kDefineBitsJpeg2 = 21;
constexpr std::uint16_t kDefineShape2 = 22;
constexpr std::uint16_t kPlaceObject2 = 26;
constexpr std::uint16_t kDoAction = 12;
constexpr std::uint16_t kFrameLabel = 43;

// xorshift64*: fast, deterministic, good enough for filler data.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : s_(seed ? seed : 1) {}
  std::uint64_t next() {
    s_ ^= s_ >> 12;
    s_ ^= s_ << 25;
    s_ ^= s_ >> 27;
    return s_ * 0x2545F4914F6CDD1DULL;
  }
  std::int32_t range(std::int32_t lo, std::int32_t hi) {  // inclusive
    return lo + static_cast<std::int32_t>(next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  void fill(std::vector<std::uint8_t>& out, std::size_t count) {
    const std::size_t start = out.size();
    out.resize(start + count);
    std::size_t i = start;
    for (; i + 8 <= out.size(); i += 8) {
      const std::uint64_t v = next();
      std::memcpy(out.data() + i, &v, 8);
    }
    for (; i < out.size(); ++i) out[i] = static_cast<std::uint8_t>(next());
  }

 private:
  std::uint64_t s_;
};

int bitsFor(std::int32_t a, std::int32_t b) { return std::max(2, test::signedBitsFor({a, b})); }

// PlaceObject2 with a character and a translation.
Bytes placeBody(std::uint16_t id, std::uint16_t depth, std::int32_t x, std::int32_t y) {
  return Bytes().u8(0x06).u16(depth).u16(id).matrix(x, y);
}
// PlaceObject2 moving the character at `depth`.
Bytes moveBody(std::uint16_t depth, std::int32_t x, std::int32_t y) { return Bytes().u8(0x05).u16(depth).matrix(x, y); }

// A DefineShape2 body: one solid fill plus one bitmap fill per listed bitmap,
// one line style, and `edges` edges (straight and curved, on whole pixels) in
// runs that switch fill every 48 edges.
Bytes shapeBody(std::uint16_t id, const std::vector<std::uint16_t>& bitmaps, int edges, Rng& rng) {
  Bytes body;
  body.u16(id).rect(-20000, 20000, -20000, 20000);
  const auto fills = static_cast<std::uint32_t>(1 + bitmaps.size());
  body.u8(fills);
  body.u8(0x00).rgb(static_cast<std::uint8_t>(rng.next()), 40, 200);
  for (std::uint16_t bitmap : bitmaps) {
    body.u8(0x41).u16(bitmap).matrixFull(std::make_pair(20 << 16, 20 << 16), std::nullopt, 0, 0);
  }
  body.u8(1).u16(20).rgb(0, 0, 0);
  const int fillBits = test::unsignedBitsFor(fills);
  const int lineBits = 1;
  BitWriter w;
  w.ubits(static_cast<std::uint32_t>(fillBits), 4).ubits(lineBits, 4);
  for (int e = 0; e < edges; ++e) {
    if (e % 48 == 0) {
      // State change: line style, fill style 1 and a move.
      w.ubits(0, 1).ubits(0, 1).ubits(1, 1).ubits(1, 1).ubits(0, 1).ubits(1, 1);
      const std::int32_t x = rng.range(-15000, 15000);
      const std::int32_t y = rng.range(-15000, 15000);
      const int n = bitsFor(x, y);
      w.ubits(static_cast<std::uint32_t>(n), 5).sbits(x, n).sbits(y, n);
      w.ubits(1 + static_cast<std::uint32_t>(e / 48) % fills, fillBits);
      w.ubits(1, lineBits);
    }
    const int kind = static_cast<int>(rng.next() % 4);
    if (kind == 0) {  // curve
      std::int32_t v[4];
      for (auto& c : v) c = rng.range(-45, 45) * 20;
      const int n = std::max(bitsFor(v[0], v[1]), bitsFor(v[2], v[3]));
      w.ubits(1, 1).ubits(0, 1).ubits(static_cast<std::uint32_t>(n - 2), 4);
      for (std::int32_t c : v) w.sbits(c, n);
    } else if (kind == 1) {  // vertical line
      const std::int32_t dy = rng.range(-45, 45) * 20;
      const int n = bitsFor(dy, 0);
      w.ubits(1, 1).ubits(1, 1).ubits(static_cast<std::uint32_t>(n - 2), 4).ubits(0, 1).ubits(1, 1).sbits(dy, n);
    } else {  // general line
      const std::int32_t dx = rng.range(-45, 45) * 20;
      const std::int32_t dy = rng.range(-45, 45) * 20;
      const int n = bitsFor(dx, dy);
      w.ubits(1, 1).ubits(1, 1).ubits(static_cast<std::uint32_t>(n - 2), 4).ubits(1, 1).sbits(dx, n).sbits(dy, n);
    }
  }
  w.ubits(0, 6);  // end record
  return body.raw(w.finish());
}

// Action records of roughly `target` bytes: a constant pool, then pushes of
// constants, strings, numbers and booleans with the calls that consume them.
Bytes actionRecords(Rng& rng, std::size_t target, int poolSize, bool attach) {
  Actions a;
  std::vector<std::string> pool;
  for (int i = 0; i < poolSize; ++i) pool.push_back("member_" + std::to_string(rng.next() % 100000));
  if (attach) pool.push_back("attachMovie");
  if (!pool.empty()) a.constantPool(pool);
  const auto poolIndex = [&] { return static_cast<std::uint8_t>(pool.empty() ? 0 : rng.next() % std::min<std::size_t>(pool.size(), 256)); };
  while (a.bytes.size() < target) {
    switch (rng.next() % 5) {
      case 0:
        a.action(0x96, Bytes().u8(8).u8(poolIndex()).u8(8).u8(poolIndex()));
        a.action(0x1C).action(0x4E);  // GetVariable, GetMember
        break;
      case 1:
        a.action(0x96, Bytes().u8(0).str("label_" + std::to_string(rng.next() % 1000000)).u8(7).u32(static_cast<std::uint32_t>(rng.next())));
        a.action(0x1D);  // SetVariable
        break;
      case 2:
        a.action(0x96, Bytes().u8(6).f64(static_cast<double>(rng.next() % 100000) / 7.0).u8(7).u32(3).u8(8).u8(poolIndex()));
        a.action(0x52).action(0x17);  // CallMethod, Pop
        break;
      case 3:
        a.action(0x96, Bytes().u8(5).u8(1).u8(2).u8(3).u8(4).u8(1).u8(1).u32(0x3F800000));
        a.action(0x47).action(0x17);  // Add2, Pop
        break;
      default:
        a.action(0x81, Bytes().u16(static_cast<std::uint32_t>(rng.next() % 100)));  // GotoFrame
        a.action(0x06);                                                              // Play
        break;
    }
  }
  if (attach) a.action(0x96, Bytes().u8(0).str("attachMovie")).action(0x52).action(0x17);
  return a.bytes;
}

// The main timeline: definitions are spread over the first half of its
// frames; the second half places exported sprites, with an attach code three
// quarters of the way through.
class MainTimeline {
 public:
  Timeline t;
  int frames = 0;
  std::vector<std::uint16_t> placeable;  // exported sprites defined so far
  std::vector<std::pair<std::uint16_t, std::string>> pendingExports;
  Rng rng{7};

  std::size_t size() const { return t.bytes().size(); }

  void exportLater(std::uint16_t id, const std::string& name) { pendingExports.emplace_back(id, name); }
  void flushExports() {
    if (!pendingExports.empty()) t.exportAssets(pendingExports);
    pendingExports.clear();
  }

  void frame() {
    if (!placeable.empty()) {
      const std::uint16_t id = placeable[rng.next() % placeable.size()];
      t.tag(kPlaceObject2, placeBody(id, static_cast<std::uint16_t>(100 + frames), rng.range(0, 8000), rng.range(0, 6000)));
    }
    if (frames == kMainFrames * 3 / 4) t.doAction(actionRecords(rng, 200, 8, true));
    t.showFrame();
    ++frames;
  }

  // After definition group `done` of `total`: close frames up to its share of the first half.
  void definitionsDone(std::size_t done, std::size_t total) {
    const auto due = static_cast<int>(done * static_cast<std::size_t>(kMainFrames / 2) / std::max<std::size_t>(total, 1));
    if (due > frames) flushExports();
    while (frames < due) frame();
  }

  std::vector<std::uint8_t> finish() {
    flushExports();
    while (frames < kMainFrames) frame();
    t.end();
    test::MovieOptions options;
    options.version = 8;
    Timeline header;
    header.setBackgroundColor(255, 255, 255);
    header.raw(t.bytes());
    // Free the timeline before the movie is assembled.
    t = Timeline{};
    return test::buildMovie(header, [&] {
      options.frameCount = static_cast<std::uint16_t>(frames);
      return options;
    }());
  }
};

std::uint16_t nextId(std::uint32_t& next) {
  if (next >= 65535) throw std::runtime_error("character ids exhausted");
  return static_cast<std::uint16_t>(next++);
}

std::vector<std::uint8_t> tagMix(std::size_t size) {
  MainTimeline main;
  Rng rng(11);
  const std::size_t groups = std::clamp<std::size_t>(size / 10240, 48, 12000);
  const std::size_t budget = size / groups;
  std::uint32_t next = 1;
  std::vector<std::uint16_t> sprites;
  std::uint16_t bitmap = 0;
  for (std::size_t g = 0; g < groups; ++g) {
    const std::size_t groupStart = main.size();
    if (g % 8 == 0) {
      bitmap = nextId(next);
      Bytes body;
      body.u16(bitmap).u8(5).u16(32).u16(32);
      rng.fill(body.data, 1500);
      main.t.tag(kDefineBitsLossless, body);
      main.exportLater(bitmap, "bitmap" + std::to_string(bitmap));
    }
    const std::uint16_t shape = nextId(next);
    main.t.tag(kDefineShape2, shapeBody(shape, {bitmap}, 24, rng));
    const std::uint16_t sprite = nextId(next);
    Timeline inner;
    inner.tag(kPlaceObject2, placeBody(shape, 1, rng.range(0, 400), rng.range(0, 400)));
    // Sprites share children: the previous sprite and one eight groups back.
    if (g >= 1) inner.tag(kPlaceObject2, placeBody(sprites[g - 1], 2, 10, 10));
    if (g >= 8) inner.tag(kPlaceObject2, placeBody(sprites[g - 8], 3, 20, 20));
    for (int f = 0; main.size() - groupStart + inner.bytes().size() < budget; ++f) {
      inner.tag(kPlaceObject2, moveBody(1, rng.range(0, 4000), rng.range(0, 4000)));
      if (f % 16 == 0) inner.tag(kFrameLabel, Bytes().str("frame" + std::to_string(f)));
      inner.doAction(actionRecords(rng, static_cast<std::size_t>(rng.range(120, 260)), f % 4 == 0 ? 6 : 0, false));
      inner.showFrame();
    }
    inner.end();
    main.t.sprite(sprite, inner);
    sprites.push_back(sprite);
    if (g % 10 != 9) {  // most are exported
      main.exportLater(sprite, "clip" + std::to_string(sprite));
      main.placeable.push_back(sprite);
    }
    if (main.pendingExports.size() >= 16) main.flushExports();
    main.definitionsDone(g + 1, groups);
  }
  return main.finish();
}

std::vector<std::uint8_t> bitmaps(std::size_t size) {
  MainTimeline main;
  Rng rng(13);
  std::uint32_t next = 1;
  constexpr int kBitmaps = 4;
  const std::size_t each = size / kBitmaps - 4096;
  for (int i = 0; i < kBitmaps; ++i) {
    const std::uint16_t bitmap = nextId(next);
    Bytes body;
    body.u16(bitmap);
    if (i % 2 == 0) {
      body.u8(5).u16(4096).u16(4096);  // 32-bit pixels; the zlib data is incompressible filler
      rng.fill(body.data, each);
      main.t.tag(kDefineBitsLossless, body, true);
    } else {
      body.u8(0xFF).u8(0xD8);  // JPEG start of image, then incompressible filler
      rng.fill(body.data, each);
      main.t.tag(kDefineBitsJpeg2, body, true);
    }
    body = Bytes();
    const std::uint16_t shape = nextId(next);
    main.t.tag(kDefineShape2, shapeBody(shape, {bitmap}, 8, rng));
    const std::uint16_t sprite = nextId(next);
    Timeline inner;
    inner.tag(kPlaceObject2, placeBody(shape, 1, 0, 0));
    for (int f = 0; f < 20; ++f) {
      inner.tag(kPlaceObject2, moveBody(1, f * 20, f * 10));
      inner.showFrame();
    }
    inner.end();
    main.t.sprite(sprite, inner);
    main.exportLater(bitmap, "picture" + std::to_string(i));
    main.exportLater(sprite, "pictureClip" + std::to_string(i));
    main.placeable.push_back(sprite);
    main.definitionsDone(static_cast<std::size_t>(i) + 1, kBitmaps);
  }
  return main.finish();
}

std::vector<std::uint8_t> shapes(std::size_t size) {
  MainTimeline main;
  Rng rng(17);
  std::uint32_t next = 1;
  std::vector<std::uint16_t> bitmapIds;
  for (int i = 0; i < 16; ++i) {
    const std::uint16_t bitmap = nextId(next);
    Bytes body;
    body.u16(bitmap).u8(5).u16(64).u16(64);
    rng.fill(body.data, 4096);
    main.t.tag(kDefineBitsLossless, body);
    main.exportLater(bitmap, "texture" + std::to_string(i));
    bitmapIds.push_back(bitmap);
  }
  const std::size_t count = std::clamp<std::size_t>(size / 6144, 32, 16000);
  const std::size_t edges = std::max<std::size_t>(16, (size / count) * 10 / 42);
  std::vector<std::uint16_t> group;
  for (std::size_t s = 0; s < count; ++s) {
    const std::uint16_t shape = nextId(next);
    const std::vector<std::uint16_t> fills{bitmapIds[s % 16], bitmapIds[(s * 7 + 3) % 16]};
    main.t.tag(kDefineShape2, shapeBody(shape, fills, static_cast<int>(edges), rng));
    if (s % 2 == 0) main.exportLater(shape, "shape" + std::to_string(shape));
    group.push_back(shape);
    if (group.size() == 8 || s + 1 == count) {
      const std::uint16_t sprite = nextId(next);
      Timeline inner;
      for (std::size_t k = 0; k < group.size(); ++k) {
        inner.tag(kPlaceObject2, placeBody(group[k], static_cast<std::uint16_t>(k + 1), 0, 0));
        inner.showFrame();
      }
      inner.end();
      main.t.sprite(sprite, inner);
      main.exportLater(sprite, "drawing" + std::to_string(sprite));
      main.placeable.push_back(sprite);
      group.clear();
    }
    if (main.pendingExports.size() >= 32) main.flushExports();
    main.definitionsDone(s + 1, count);
  }
  return main.finish();
}

std::vector<std::uint8_t> actions(std::size_t size) {
  MainTimeline main;
  Rng rng(19);
  std::uint32_t next = 1;
  const std::size_t count = std::clamp<std::size_t>(size / 24576, 40, 6000);
  const std::size_t each = size / count;
  for (std::size_t i = 0; i < count; ++i) {
    switch (i % 4) {
      case 0:
      case 1:  // on the main timeline
        main.t.doAction(actionRecords(rng, each, 200, false));
        break;
      case 2: {  // in an exported sprite, with its init action
        const std::uint16_t sprite = nextId(next);
        Timeline inner;
        inner.doAction(actionRecords(rng, each / 2, 100, false));
        inner.showFrame();
        inner.end();
        main.t.sprite(sprite, inner);
        main.t.doInitAction(sprite, actionRecords(rng, each / 2, 100, false));
        main.exportLater(sprite, "scripted" + std::to_string(sprite));
        main.placeable.push_back(sprite);
        main.flushExports();
        break;
      }
      default:
        main.t.doAction(actionRecords(rng, each, 0, false));  // no constant pool
        break;
    }
    main.definitionsDone(i + 1, count);
  }
  return main.finish();
}

std::vector<std::uint8_t> diamond(std::size_t size, int layers) {
  MainTimeline main;
  Rng rng(23);
  // The width is that of the 30-layer movie of this size, so that the
  // 15-layer movie is the same lattice cut in half.
  const std::size_t width = std::clamp<std::size_t>(size / (30 * 4096), 2, 2000);
  const std::size_t budget = size / (30 * width);
  constexpr int kFrames = 4;
  const std::size_t pad = budget > 120 ? (budget - 60) / kFrames : 16;
  std::uint32_t next = 1;
  std::vector<std::uint16_t> below;  // the layer under the one being defined
  for (std::size_t j = 0; j < width; ++j) {
    const std::uint16_t shape = nextId(next);
    main.t.tag(kDefineShape2, shapeBody(shape, {}, 12, rng));
    below.push_back(shape);
  }
  const std::size_t total = width * static_cast<std::size_t>(layers);
  std::size_t done = 0;
  // Defined bottom up: layer `layers - 1` places the shapes, layer 0 is on top.
  for (int layer = layers - 1; layer >= 0; --layer) {
    std::vector<std::uint16_t> current;
    for (std::size_t j = 0; j < width; ++j) {
      const std::uint16_t sprite = nextId(next);
      Timeline inner;
      inner.tag(kPlaceObject2, placeBody(below[j], 1, 0, 0));
      inner.tag(kPlaceObject2, placeBody(below[(j + 1) % width], 2, 100, 0));
      for (int f = 0; f < kFrames; ++f) {
        inner.tag(kPlaceObject2, moveBody(1, f * 10, 0));
        inner.doAction(actionRecords(rng, pad, f == 0 ? 4 : 0, false));
        inner.showFrame();
      }
      inner.end();
      main.t.sprite(sprite, inner);
      if (layer == 0 || j % 3 == 0) main.exportLater(sprite, "node" + std::to_string(sprite));
      if (layer == 0) main.placeable.push_back(sprite);
      current.push_back(sprite);
      if (main.pendingExports.size() >= 32) main.flushExports();
      main.definitionsDone(++done, total);
    }
    below = std::move(current);
  }
  return main.finish();
}

}  // namespace

std::string kindName(MovieKind kind) {
  switch (kind) {
    case MovieKind::TagMix: return "tagmix";
    case MovieKind::Bitmap: return "bitmap";
    case MovieKind::Shape: return "shape";
    case MovieKind::Action: return "action";
    case MovieKind::Diamond: return "diamond";
    case MovieKind::Diamond15: return "diamond15";
  }
  return "?";
}

std::string movieName(const BenchMovie& which) { return kindName(which.kind) + "-" + std::to_string(which.sizeMb) + "mb"; }

std::string movieFileName(const BenchMovie& which) { return movieName(which) + (which.cws ? ".cws.swf" : ".fws.swf"); }

std::vector<BenchMovie> allMovies(const std::vector<int>& sizesMb) {
  std::vector<BenchMovie> out;
  for (int size : sizesMb) {
    for (MovieKind kind : {MovieKind::TagMix, MovieKind::Bitmap, MovieKind::Shape, MovieKind::Action, MovieKind::Diamond}) {
      out.push_back({kind, size, false});
      out.push_back({kind, size, true});
    }
    out.push_back({MovieKind::Diamond15, size, false});
  }
  return out;
}

std::vector<std::uint8_t> generateMovie(MovieKind kind, int sizeMb) {
  const std::size_t size = static_cast<std::size_t>(sizeMb) << 20;
  switch (kind) {
    case MovieKind::TagMix: return tagMix(size);
    case MovieKind::Bitmap: return bitmaps(size);
    case MovieKind::Shape: return shapes(size);
    case MovieKind::Action: return actions(size);
    case MovieKind::Diamond: return diamond(size, 30);
    case MovieKind::Diamond15: return diamond(size, 15);
  }
  return {};
}

std::vector<std::uint8_t> compressMovie(const std::vector<std::uint8_t>& fws) {
  if (fws.size() < 8) throw std::runtime_error("movie too short");
  const auto bodyLength = static_cast<uLong>(fws.size() - 8);
  uLongf packedLength = compressBound(bodyLength);
  std::vector<std::uint8_t> out(8 + packedLength);
  if (compress2(out.data() + 8, &packedLength, fws.data() + 8, bodyLength, 9) != Z_OK) {
    throw std::runtime_error("compress2 failed");
  }
  out.resize(8 + packedLength);
  std::copy(fws.begin(), fws.begin() + 8, out.begin());
  out[0] = 'C';
  return out;
}

}  // namespace framestow::bench
