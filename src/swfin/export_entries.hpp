// The entries of an ExportAssets tag: the one place its body is parsed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace framestow {

// One entry: a character id and the linkage name it is exported under.
struct ExportEntry {
  std::uint16_t characterId = 0;
  std::string_view name;   // the name's bytes as stored, without the NUL (a view into the body)
  std::size_t offset = 0;  // where the entry starts in the body
  std::size_t size = 0;    // the id, the name and its NUL
};

struct ExportAssetsBody {
  std::vector<ExportEntry> entries;
  // Where the entries end: the body's bytes from here on (a damaged or padded
  // tag) belong to no entry. At least 2, past the count field.
  std::size_t entriesEnd = 2;
};

// The body is a 16-bit count, then per entry a 16-bit character id and a
// NUL-terminated name. Entries are read while the count allows and each lies
// wholly inside the body: an entry that would run past it ends the list.
ExportAssetsBody readExportAssets(std::span<const std::uint8_t> body);

}  // namespace framestow
