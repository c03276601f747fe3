#include "common/byte_text.hpp"

#include <cstdarg>
#include <cstdio>

namespace framestow {

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  // Every text the program formats fits the stack buffer; a longer one is
  // formatted again into a buffer of its own size.
  char small[128];
  const int needed = std::vsnprintf(small, sizeof small, format, args);
  std::string out;
  if (needed > 0 && static_cast<std::size_t>(needed) < sizeof small) {
    out.assign(small, static_cast<std::size_t>(needed));
  } else if (needed > 0) {
    out.resize(static_cast<std::size_t>(needed));
    std::vsnprintf(out.data(), out.size() + 1, format, copy);
  }
  va_end(copy);
  va_end(args);
  return out;
}

std::string byteCountText(std::int64_t bytes, const char* kiloFormat, const char* byteFormat) {
  if (bytes > kKiloThreshold) {
    // Single precision on purpose: the texts authors know were computed that way.
    const float kilo = static_cast<float>(bytes) / 1024.0f;
    return formatText(kiloFormat, static_cast<double>(kilo));
  }
  return formatText(byteFormat, static_cast<int>(bytes));
}

std::string sizeText(std::int64_t bytes) { return byteCountText(bytes, "%.2f kBytes", "%i bytes"); }

std::string warningSizeText(std::int64_t bytes) {
  return byteCountText(bytes, "%.2f kBytes - WARNING!", "%i bytes - WARNING!");
}

}  // namespace framestow
