// Byte counts as the program shows them to authors.
#pragma once

#include <cstdint>
#include <string>

namespace framestow {

// Above 1,024 bytes a count is shown in kilobytes, computed in single
// precision with two decimals; 1,024 itself and below stay in bytes.
inline constexpr std::int64_t kKiloThreshold = 1024;

// printf-style formatting into a std::string.
std::string formatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// `format` with its one "%i" replaced by `value`, as printf writes it, without
// printf's cost: a click of the up-down control writes such a line.
std::string formatInt(const char* format, int value);

// "%.2f kBytes" above 1,024, "%i bytes" otherwise.
std::string sizeText(std::int64_t bytes);

// The same with " - WARNING!" behind the unit.
std::string warningSizeText(std::int64_t bytes);

// One byte count through either a kilobyte format (one "%.2f") or a byte
// format (one "%i"), by the rule above.
std::string byteCountText(std::int64_t bytes, const char* kiloFormat, const char* byteFormat);

}  // namespace framestow
