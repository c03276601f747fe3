// Truncation and corruption sweeps: every prefix (or a few hundred evenly
// spaced ones) and random single-byte changes of builder movies and of a
// handful of real movies; each is loaded, analysed, planned and assembled, and
// must end in a clear message or a sound analysis.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "reliability/reliability_support.hpp"
#include "reliability/sample_movies.hpp"

namespace framestow::test {
namespace {

struct SweepCounts {
  int runs = 0;
  std::map<std::string, int> outcomes;
  void add(const JobOutcome& o) {
    ++runs;
    if (!o.message.empty()) {
      ++outcomes[o.message.substr(0, o.message.size() - 2)];
    } else if (o.analysed) {
      ++outcomes["analysed"];
    } else if (!o.analysisError.empty()) {
      ++outcomes["analysis error"];
    } else {
      ++outcomes["loaded, not analysed (version)"];
    }
  }
  std::string text() const {
    std::string t = std::to_string(runs) + " runs:";
    for (const auto& [what, count] : outcomes) t += " [" + what + "] " + std::to_string(count);
    return t;
  }
};

// The lengths to cut at: all of them for a small movie, else `samples` evenly
// spaced ones plus the last few.
std::vector<std::size_t> cutPoints(std::size_t size, std::size_t samples = 300) {
  std::vector<std::size_t> cuts;
  if (size <= samples + 100) {
    for (std::size_t i = 0; i < size; ++i) cuts.push_back(i);
    return cuts;
  }
  for (std::size_t i = 0; i < samples; ++i) cuts.push_back(i * size / samples);
  for (std::size_t back = 1; back <= 8; ++back) cuts.push_back(size - back);
  return cuts;
}

// A "CWS" movie is also swept as the uncompressed movie it holds, where a cut
// or a changed byte reaches the tags instead of the zlib stream.
std::vector<std::pair<std::string, ByteVector>> variants(const std::string& name, const ByteVector& bytes) {
  std::vector<std::pair<std::string, ByteVector>> out{{name, bytes}};
  if (bytes.size() >= 8 && bytes[0] == 'C') {
    ByteVector plain = inflateMovie(bytes);
    plain[0] = 'F';
    out.emplace_back(name + " (inflated)", std::move(plain));
  }
  return out;
}

void sweep(const std::string& name, const ByteVector& bytes, std::uint32_t seed, SweepCounts& counts) {
  for (const auto& [label, movie] : variants(name, bytes)) {
    for (const std::size_t cut : cutPoints(movie.size())) {
      const ByteVector prefix(movie.begin(), movie.begin() + static_cast<std::ptrdiff_t>(cut));
      counts.add(runWholeJob(prefix, label + " cut at " + std::to_string(cut)));
      if (::testing::Test::HasFailure()) return;
    }
    std::mt19937 rng(seed);
    for (int i = 0; i < 300 && !movie.empty(); ++i) {
      ByteVector changed = movie;
      const std::size_t at = rng() % changed.size();
      changed[at] = static_cast<std::uint8_t>(changed[at] ^ (1 + rng() % 255));
      counts.add(runWholeJob(changed, label + " byte " + std::to_string(at) + " changed"));
      if (::testing::Test::HasFailure()) return;
    }
  }
}

TEST(Sweeps, BuilderMoviesCutAndChanged) {
  SweepCounts counts;
  std::uint32_t seed = 1;
  for (const auto& movie : sampleMovies()) {
    SCOPED_TRACE(movie.name);
    sweep(movie.name, movie.bytes, seed++, counts);
    if (HasFailure()) return;
  }
  std::cout << "builder movies: " << counts.text() << "\n";
  EXPECT_GT(counts.outcomes["analysed"], 0);
}

TEST(Sweeps, RealMoviesCutAndChanged) {
  const std::filesystem::path corpus(FRAMESTOW_CORPUS_DIR);
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus of real movies at " << corpus;
  // A handful covering sprites, exports, buttons, texts, fonts, clip actions,
  // init actions and a compressed movie.
  const std::vector<std::string> picks{
      "DefineSprite.swf",       "ExportAssets-CS6.swf", "DefineButton2-CS6.swf", "DefineText2-MX.swf",
      "DefineFont2-CS6.swf",    "DoInitAction-CS6.swf", "DefineShape3.swf",      "PlaceObject2-ClipActionsV5-CS6.swf",
      "DefineEditText-MX.swf",  "DefineMorphShape2-GradientFlags.swf"};
  SweepCounts counts;
  int swept = 0;
  std::uint32_t seed = 100;
  for (const auto& pick : picks) {
    const auto path = corpus / pick;
    if (!std::filesystem::exists(path)) continue;
    SCOPED_TRACE(pick);
    sweep(pick, readFile(path.string()), seed++, counts);
    ++swept;
    if (HasFailure()) return;
  }
  if (swept == 0) GTEST_SKIP() << "none of the chosen movies is in " << corpus;
  std::cout << swept << " real movies: " << counts.text() << "\n";
}

}  // namespace
}  // namespace framestow::test
