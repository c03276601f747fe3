// Small movies for the desktop app's tests, each made to bring out one kind of
// analysis line or verdict, written into a fresh folder per test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/swf_builder.hpp"

namespace framestow::test::app {

struct MovieShape {
  std::uint8_t version = 6;
  std::string signature = "FWS";
  int frames = 3;               // frames of the main timeline
  bool exported = true;         // bitmap 1 is exported as "asset" (see redundantBytes)
  int attachFrame = 2;          // frame whose DoAction pushes "attachMovie"; 0: none
  bool obfuscated = false;      // that DoAction also holds an action running past its tag
  std::size_t redundantBytes = 0;  // size of a repeated, redundant export entry of bitmap 1 (3 or more)
  bool badFill = false;         // a shape in frame 1 with a fill type no movie may use
  bool shortByOne = false;      // the file ends one byte before its declared length
  bool namedInFrame1 = false;   // frame 1's code names the bitmap ("asset")
};

// Placeholder pixel bytes of the exported bitmap (DefineBitsLossless, 1 x 1).
constexpr std::size_t kBitmapPixels = 2000;
// Bytes of the exported bitmap's tag, what a plan for frame 2 can move: a
// long tag header (6), the id, format, width and height (7), the pixels.
constexpr std::size_t kBitmapTagBytes = 6 + 7 + kBitmapPixels;

// A fresh, empty folder for one test under the build folder.
std::string freshFolder(const std::string& name);

// Writes the movie to folder/name and returns the path.
std::string writeTestMovie(const std::string& folder, const std::string& name, const MovieShape& shape);

}  // namespace framestow::test::app
