#include "analysis/code_names.hpp"

#include <algorithm>

#include "common/tag_codes.hpp"
#include "swfin/export_entries.hpp"

namespace framestow {

std::uint64_t hashCodeString(std::string_view text) {
  // FNV-1a: the same value on every platform and run. A collision can only
  // make a string look like a name, which keeps an asset in place: safe.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

namespace {

// A string's length (up to 255) and first byte, as an index into nameShapes.
std::size_t shapeOf(std::string_view text) {
  const std::size_t length = std::min<std::size_t>(text.size(), 255);
  return length << 8 | (text.empty() ? 0u : static_cast<unsigned char>(text[0]));
}

// One name an asset answers to.
void addOne(CodeNames& all, std::int32_t asset, std::string_view name) {
  if (all.nameShapes.empty()) all.nameShapes.assign(65536 / 64, 0);
  const std::size_t shape = shapeOf(name);
  all.nameShapes[shape / 64] |= std::uint64_t{1} << (shape % 64);
  all.names.push_back({hashCodeString(name), asset});
}

// A linkage name, and for an ActionScript 2 class (`__Packages.a.b.C`) its
// path and its own name: code refers to it member by member.
void addName(CodeNames& all, std::int32_t asset, std::string_view name) {
  addOne(all, asset, name);
  constexpr std::string_view kPackages = "__Packages.";
  if (name.substr(0, kPackages.size()) != kPackages) return;
  const std::string_view path = name.substr(kPackages.size());
  if (path.empty()) return;
  addOne(all, asset, path);
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot + 1 < path.size()) addOne(all, asset, path.substr(dot + 1));
}

}  // namespace

void collectLinkageNames(CodeNames& names, std::span<const std::uint8_t> movie, std::uint64_t firstTag) {
  // Tag headers only: a DefineSprite is passed over whole (an ExportAssets
  // inside a sprite exports nothing), and the walk ends at the End tag or at
  // the first header that does not fit.
  std::uint64_t at = firstTag;
  while (at + 2 <= movie.size()) {
    const std::uint32_t word = movie[at] | std::uint32_t{movie[at + 1]} << 8;
    std::uint64_t length = word & 0x3F;
    std::uint64_t head = 2;
    if (length == 0x3F) {
      if (at + 6 > movie.size()) break;
      length = movie[at + 2] | std::uint32_t{movie[at + 3]} << 8 | std::uint32_t{movie[at + 4]} << 16 |
               std::uint32_t{movie[at + 5]} << 24;
      head = 6;
    }
    const std::uint32_t code = word >> 6;
    if (code == kEnd) break;
    const std::uint64_t end = std::min<std::uint64_t>(at + head + length, movie.size());
    if (code == kExportAssets) {
      const auto body = movie.subspan(static_cast<std::size_t>(at + head), static_cast<std::size_t>(end - at - head));
      for (const ExportEntry& entry : readExportAssets(body).entries) {
        if (entry.characterId != 0) addName(names, entry.characterId, entry.name);
      }
    }
    at = at + head + length;
  }
  std::sort(names.names.begin(), names.names.end(),
            [](const AssetName& x, const AssetName& y) { return x.hash != y.hash ? x.hash < y.hash : x.asset < y.asset; });
}

void beginCodeUnit(CodeNames& names, const CodeUnit& unit) {
  names.pending = unit;
  names.unitOpen = false;
}

void noteCodeString(CodeNames& names, std::string_view text) {
  if (names.names.empty()) return;
  const std::size_t shape = shapeOf(text);
  if ((names.nameShapes[shape / 64] >> (shape % 64) & 1) == 0) return;
  const std::uint64_t hash = hashCodeString(text);
  auto match = std::lower_bound(names.names.begin(), names.names.end(), hash,
                                [](const AssetName& name, std::uint64_t h) { return name.hash < h; });
  for (; match != names.names.end() && match->hash == hash; ++match) {
    if (!names.unitOpen) {
      names.units.push_back(names.pending);
      names.unitOpen = true;
    }
    const auto unit = static_cast<std::uint32_t>(names.units.size() - 1);
    // Code repeats its names: a mention just made by the same piece of code is not kept again.
    const CodeMention mention{unit, match->asset};
    if (names.mentions.empty() || !(names.mentions.back() == mention)) names.mentions.push_back(mention);
  }
}

void resolveCodeMentions(CodeNames& names) {
  std::sort(names.mentions.begin(), names.mentions.end());
  names.mentions.erase(std::unique(names.mentions.begin(), names.mentions.end()), names.mentions.end());
  names.mentions.shrink_to_fit();
  names.names = {};
  names.nameShapes = {};
  names.unitOpen = false;
}

}  // namespace framestow
