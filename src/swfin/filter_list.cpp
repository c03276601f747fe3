#include "swfin/filter_list.hpp"

#include <cstddef>

namespace framestow {

bool skipFilterList(ByteReader& reader) {
  const int count = reader.u8();
  for (int i = 0; i < count && !reader.overrun(); ++i) {
    const int filter = reader.u8();
    switch (filter) {
      case 0: reader.skip(23); break;  // drop shadow
      case 1: reader.skip(9); break;   // blur
      case 2: reader.skip(15); break;  // glow
      case 3: reader.skip(27); break;  // bevel
      case 4:                          // gradient glow
      case 7: {                        // gradient bevel
        const std::size_t colors = reader.u8();
        reader.skip(colors * 5 + 19);
        break;
      }
      case 5: {  // convolution
        const std::size_t x = reader.u8();
        const std::size_t y = reader.u8();
        reader.skip(8 + 4 * x * y + 5);
        break;
      }
      case 6: reader.skip(80); break;  // colour matrix
      default: return false;
    }
  }
  return !reader.overrun();
}

}  // namespace framestow
