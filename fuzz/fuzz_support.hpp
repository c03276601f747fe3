// What the fuzz targets share: a folder of their own for the files the whole
// job loads, the abort that turns a failed check into a finding, and the tag
// codes whose bodies fuzz_tag_bodies feeds in.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "support/saved_movie_check.hpp"
#include "support/tags.hpp"

namespace framestow::fuzz {

inline const std::string& scratchFolder() {
  static const std::string folder =
      (std::filesystem::temp_directory_path() / ("framestow-fuzz-" + std::to_string(std::random_device{}()))).string();
  return folder;
}

// The tags the analysis reads field by field; a seed's first byte indexes them.
inline constexpr std::uint16_t kTagCodes[] = {
    kDefineShape, kDefineShape2, kDefineShape3, kDefineShape4, kDefineText, kDefineText2,
    kDefineEditText, kDefineButton, kDefineButton2, kDefineButtonSound, kDefineMorphShape,
    kDefineMorphShape2, kPlaceObject2, kPlaceObject3, kDoAction, kExportAssets, kDefineSprite};

inline void abortOnFailures(const test::JobReport& report) {
  if (report.failures.empty()) return;
  for (const std::string& failure : report.failures) std::fprintf(stderr, "check failed: %s\n", failure.c_str());
  std::abort();
}

}  // namespace framestow::fuzz
