#include "analysis/code_names.hpp"

#include <algorithm>

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

void beginCodeUnit(CodeNames& names, const CodeUnit& unit) {
  names.pending = unit;
  names.unitOpen = false;
}

void noteCodeString(CodeNames& names, std::string_view text) {
  if (!names.unitOpen) {
    names.units.push_back(names.pending);
    names.unitOpen = true;
  }
  const auto unit = static_cast<std::uint32_t>(names.units.size() - 1);
  const std::uint64_t hash = hashCodeString(text);
  // Code repeats its names: a string just seen in the same piece of code is not kept again.
  if (!names.strings.empty() && names.strings.back().unit == unit && names.strings.back().hash == hash) return;
  names.strings.push_back({hash, unit});
}

void noteLinkageName(CodeNames& names, std::int32_t asset, std::string_view name) {
  names.names.push_back({hashCodeString(name), asset});
  // An ActionScript 2 class: its code refers to it by its path and, member by
  // member, by its own name.
  constexpr std::string_view kPackages = "__Packages.";
  if (name.substr(0, kPackages.size()) != kPackages) return;
  const std::string_view path = name.substr(kPackages.size());
  if (path.empty()) return;
  names.names.push_back({hashCodeString(path), asset});
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot + 1 < path.size()) names.names.push_back({hashCodeString(path.substr(dot + 1)), asset});
}

void resolveCodeMentions(CodeNames& names) {
  std::sort(names.names.begin(), names.names.end(),
            [](const AssetName& x, const AssetName& y) { return x.hash != y.hash ? x.hash < y.hash : x.asset < y.asset; });
  for (const CodeNames::SeenString& seen : names.strings) {
    auto match = std::lower_bound(names.names.begin(), names.names.end(), seen.hash,
                                  [](const AssetName& name, std::uint64_t hash) { return name.hash < hash; });
    for (; match != names.names.end() && match->hash == seen.hash; ++match) {
      names.mentions.push_back({seen.unit, match->asset});
    }
  }
  std::sort(names.mentions.begin(), names.mentions.end());
  names.mentions.erase(std::unique(names.mentions.begin(), names.mentions.end()), names.mentions.end());
  names.strings = {};
  names.names = {};
  names.unitOpen = false;
}

}  // namespace framestow
