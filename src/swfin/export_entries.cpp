#include "swfin/export_entries.hpp"

#include "swfin/byte_reader.hpp"

namespace framestow {

ExportAssetsBody readExportAssets(std::span<const std::uint8_t> body) {
  ExportAssetsBody parsed;
  ByteReader reader(body);
  const std::uint16_t count = reader.u16();
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t start = reader.position();
    if (start + 2 > body.size()) break;
    const std::uint16_t id = reader.u16();
    const std::string_view name = reader.string();
    if (reader.overrun()) {
      // No NUL before the end of the body: the entry is not one.
      reader.seek(start);
      break;
    }
    parsed.entries.push_back(ExportEntry{id, name, start, reader.position() - start});
  }
  parsed.entriesEnd = reader.position() > 2 ? reader.position() : 2;
  return parsed;
}

}  // namespace framestow
