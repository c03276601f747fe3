// Movies from a seeded generator, each saved for every target frame with and
// without removal, every copy checked as a movie. The generator uses only
// characters it has defined before, so the inputs are sound and any character
// used before its definition in a copy is a fault of the save.
#include <gtest/gtest.h>

#include <random>

#include "support/saved_movie_check.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

enum class Kind { Shape, Bitmap, Sound, Sprite };

struct Generator {
  std::mt19937 random;
  std::vector<std::pair<std::uint16_t, Kind>> defined;
  std::uint16_t nextId = 1;
  std::uint16_t depth = 1;

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
  bool chance(int percent) { return pick(100) < percent; }
  // An already defined character of one of the kinds, or 0.
  std::uint16_t anyOf(std::initializer_list<Kind> kinds) {
    std::vector<std::uint16_t> ids;
    for (const auto& [id, kind] : defined) {
      if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) ids.push_back(id);
    }
    return ids.empty() ? 0 : ids[static_cast<std::size_t>(pick(static_cast<int>(ids.size())))];
  }
  void define(Tags& tags, ByteVector tag, Kind kind) {
    tags.push_back(std::move(tag));
    defined.emplace_back(nextId++, kind);
  }

  void step(Tags& tags) {
    const std::uint16_t shown = anyOf({Kind::Shape, Kind::Sprite});
    switch (pick(9)) {
      case 0: case 1: {
        const std::uint16_t fill = anyOf({Kind::Bitmap});
        define(tags, shape(nextId, fill != 0 && chance(60) ? std::vector<std::uint16_t>{fill} : std::vector<std::uint16_t>{}), Kind::Shape);
        break;
      }
      case 2: define(tags, bitmap(nextId, static_cast<std::size_t>(pick(80))), Kind::Bitmap); break;
      case 3: define(tags, sound(nextId), Kind::Sound); break;
      case 4: {
        Tags inner;
        for (int f = 1 + pick(3); f > 0; --f) {
          if (const std::uint16_t id = anyOf({Kind::Shape, Kind::Sprite}); id != 0 && chance(70)) inner.push_back(place(id, static_cast<std::uint16_t>(f)));
          if (const std::uint16_t id = anyOf({Kind::Sound}); id != 0 && chance(20)) inner.push_back(startSound(id));
          inner.push_back(kShowFrame);
        }
        inner.push_back(kEnd);
        const std::uint16_t id = nextId;
        define(tags, sprite(id, inner), Kind::Sprite);
        if (chance(40)) tags.push_back(initActions(id));
        break;
      }
      case 5: if (shown != 0) tags.push_back(place(shown, depth++)); break;
      case 6: if (const std::uint16_t id = anyOf({Kind::Sound}); id != 0) tags.push_back(startSound(id)); break;
      case 7: {
        std::vector<std::pair<std::uint16_t, std::string>> entries;
        for (int i = 1 + pick(3); i > 0; --i) {
          if (const std::uint16_t id = anyOf({Kind::Shape, Kind::Sprite, Kind::Sound, Kind::Bitmap}); id != 0) entries.emplace_back(id, "n" + std::to_string(pick(3)));
        }
        if (!entries.empty()) tags.push_back(exports(entries, chance(20)));
        break;
      }
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
    MovieOptions options;
    if (generator.chance(30)) options.signature = "CWS";
    const JobReport report = runWholeJob(movieOf(tags, options), testTempDir(), 8);
    EXPECT_TRUE(report.analysed) << "seed " << seed << ": " << report.analysisError;
    for (const std::string& failure : report.failures) ADD_FAILURE() << "seed " << seed << ": " << failure;
    saves += report.saves;
  }
  EXPECT_GT(saves, 500);
}

}  // namespace
}  // namespace framestow::test
