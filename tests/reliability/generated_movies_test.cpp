// Movies from a seeded generator through the whole job: each saved for every
// target frame with and without removal, every copy checked. The generator
// uses only characters it has defined before, so the inputs are sound and any
// character used before its definition in a copy is a fault of the save.
#include <gtest/gtest.h>

#include <random>

#include "support/saved_movie_check.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

enum Kind { kShape, kBitmap, kSound, kSprite };

struct Generator {
  std::mt19937 random;
  std::vector<std::uint16_t> defined[4];  // by kind
  std::uint16_t nextId = 1;

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
  bool chance(int percent) { return pick(100) < percent; }
  // An already defined character of one of the kinds, or 0.
  std::uint16_t anyOf(std::initializer_list<Kind> kinds) {
    std::vector<std::uint16_t> ids;
    for (Kind kind : kinds) ids.insert(ids.end(), defined[kind].begin(), defined[kind].end());
    return ids.empty() ? 0 : ids[static_cast<std::size_t>(pick(static_cast<int>(ids.size())))];
  }
  ByteVector define(Kind kind, ByteVector tag) {
    defined[kind].push_back(nextId++);
    return tag;
  }
  ByteVector sprite() {
    Tags inner;
    for (int f = 1 + pick(3); f > 0; --f) {
      if (const std::uint16_t id = anyOf({kShape, kSprite}); id != 0 && chance(70)) inner.push_back(place(id, static_cast<std::uint16_t>(f)));
      if (const std::uint16_t id = anyOf({kSound}); id != 0 && chance(20)) inner.push_back(startSound(id));
      inner.push_back(kShowFrame);
    }
    inner.push_back(kEnd);
    return test::sprite(nextId, inner);
  }
  void step(Tags& tags) {
    const std::uint16_t bitmapId = anyOf({kBitmap}), shown = anyOf({kShape, kSprite}), soundId = anyOf({kSound});
    std::vector<std::pair<std::uint16_t, std::string>> entries;
    switch (pick(9)) {
      case 0: case 1: tags.push_back(define(kShape, shape(nextId, bitmapId != 0 && chance(60) ? std::vector<std::uint16_t>{bitmapId} : std::vector<std::uint16_t>{}))); break;
      case 2: tags.push_back(define(kBitmap, bitmap(nextId, static_cast<std::size_t>(pick(80))))); break;
      case 3: tags.push_back(define(kSound, sound(nextId))); break;
      case 4:
        tags.push_back(define(kSprite, sprite()));
        if (chance(40)) tags.push_back(initActions(static_cast<std::uint16_t>(nextId - 1)));
        break;
      case 5: if (shown != 0) tags.push_back(place(shown, static_cast<std::uint16_t>(tags.size()))); break;
      case 6: if (soundId != 0) tags.push_back(startSound(soundId)); break;
      case 7:
        for (int i = 1 + pick(3); i > 0; --i) {
          if (const std::uint16_t id = anyOf({kShape, kSprite, kSound, kBitmap}); id != 0) entries.emplace_back(id, "n" + std::to_string(pick(3)));
        }
        if (!entries.empty()) tags.push_back(exports(entries, chance(20)));
        break;
      default: tags.push_back(chance(50) ? kBackground : attach(chance(50) ? "attachMovie" : "attachSound")); break;
    }
  }
};

TEST(GeneratedMovies, EverySavedCopyIsSound) {
  int saves = 0;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    Generator generator{std::mt19937(seed), {}};
    Tags tags;
    for (int frames = 2 + generator.pick(4); frames > 0; --frames) {
      for (int steps = generator.pick(7); steps > 0; --steps) generator.step(tags);
      tags.push_back(kShowFrame);
    }
    tags.push_back(kEnd);
    const JobReport report = runWholeJob(movieOf(tags, header(generator.chance(30) ? "CWS" : "FWS")), testTempDir(), 8);
    EXPECT_TRUE(report.analysed) << "seed " << seed << ": " << report.analysisError;
    for (const std::string& failure : report.failures) ADD_FAILURE() << "seed " << seed << ": " << failure;
    saves += report.saves;
  }
  EXPECT_GT(saves, 500);
}

}  // namespace
}  // namespace framestow::test
