// An ExportAssets tag cut in two: the entries that stay where the tag is, and
// those that go with their assets to the target frame.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace framestow {

struct ExportSplit {
  std::vector<std::uint8_t> staying;  // a whole tag; empty when no entry stays
  std::vector<std::uint8_t> moving;   // a whole tag; empty when no entry moves
};

// `tag` is a whole ExportAssets tag (header and body). Entries whose character
// `stays` go into the first tag, the rest into the second; each tag keeps its
// entries in their order. Bytes after the last entry (a damaged tag) go with
// the moving part, as the whole tag would have.
ExportSplit splitExportAssets(std::span<const std::uint8_t> tag, std::uint32_t headerSize,
                              const std::function<bool(std::uint16_t)>& stays);

}  // namespace framestow
