#include "common/byte_text.hpp"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace framestow {

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    std::vector<char> buf(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    out.assign(buf.data(), static_cast<std::size_t>(needed));
  }
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
