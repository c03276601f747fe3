#include "common/byte_text.hpp"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <string_view>

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

namespace {

// `format` with `conversion` replaced by `number`.
std::string withNumber(std::string_view format, std::string_view conversion, std::string_view number) {
  const std::size_t at = format.find(conversion);
  if (at == std::string_view::npos) return std::string(format);
  std::string out;
  out.reserve(format.size() - conversion.size() + number.size());
  out.append(format.substr(0, at)).append(number).append(format.substr(at + conversion.size()));
  return out;
}

}  // namespace

std::string formatInt(const char* format, int value) {
  char number[16];
  const auto written = std::to_chars(number, number + sizeof number, value);
  return withNumber(format, "%i", std::string_view(number, static_cast<std::size_t>(written.ptr - number)));
}

std::string byteCountText(std::int64_t bytes, const char* kiloFormat, const char* byteFormat) {
  if (bytes > kKiloThreshold) {
    // Single precision on purpose: the texts authors know were computed that
    // way. to_chars writes a fixed precision exactly as printf's "%.2f" does.
    const float kilo = static_cast<float>(bytes) / 1024.0f;
    char number[64];
    const auto written =
        std::to_chars(number, number + sizeof number, static_cast<double>(kilo), std::chars_format::fixed, 2);
    if (written.ec != std::errc()) return formatText(kiloFormat, static_cast<double>(kilo));
    return withNumber(kiloFormat, "%.2f", std::string_view(number, static_cast<std::size_t>(written.ptr - number)));
  }
  return formatInt(byteFormat, static_cast<int>(bytes));
}

std::string sizeText(std::int64_t bytes) { return byteCountText(bytes, "%.2f kBytes", "%i bytes"); }

std::string warningSizeText(std::int64_t bytes) {
  return byteCountText(bytes, "%.2f kBytes - WARNING!", "%i bytes - WARNING!");
}

}  // namespace framestow
