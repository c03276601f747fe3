// The profile chart as an SVG picture.
#pragma once

#include <string>

#include "document/profile_chart.hpp"

namespace framestow::cli {

std::string profileSvg(const ProfileChart& chart, const std::string& fileName);

}  // namespace framestow::cli
