#include "cli/frame_number.hpp"

#include <algorithm>
#include <limits>

namespace framestow::cli {

namespace {

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<std::int64_t> parseFrameNumber(std::string_view text) {
  if (!allDigits(text)) return std::nullopt;
  constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = c - '0';
    if (value > (kLargest - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::string frameNumberError(std::string_view text) {
  if (parseFrameNumber(text)) return "";
  const std::string quoted = "\"" + std::string(text) + "\"";
  if (allDigits(text)) return quoted + " is too large to be a frame number";
  return quoted + " is not a frame number: give decimal digits only, such as 2";
}

}  // namespace framestow::cli
