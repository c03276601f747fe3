// Target frame numbers as typed on the command line: plain decimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace framestow::cli {

// The value of `text` when it is one or more decimal digits (and fits in
// 64 bits), else nothing. Leading zeros are digits like any other ("010" is
// ten); a sign, a base prefix, a fraction or an empty text is no frame number.
std::optional<std::int64_t> parseFrameNumber(std::string_view text);

// The usage message for a text that is not a frame number ("" when it is one).
std::string frameNumberError(std::string_view text);

}  // namespace framestow::cli
