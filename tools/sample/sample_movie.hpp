// The bundled sample: a small preloader movie whose linked assets all sit in
// frame 1, the situation Framestow exists for.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/swf_builder.hpp"

namespace framestow::sample {

// "CWS", version 6, 550 x 400 pixels at 24 frames per second, two frames.
//
// Frame 1: a progress bar shape and a preloader DoAction, then the linked
// assets: two sprites that place bitmap-filled shapes (DefineBitsLossless), a
// DefineSound, and a sprite holding a DefineText set in an embedded font; then
// one ExportAssets tag naming them, with one entry exported twice (redundant).
// Frame 2: a DoAction that attaches the sprites with attachMovie and the sound
// with attachSound.
test::ByteVector buildSampleMovie();

// The character ids and linkage names of the exports, in the order written
// (the redundant entry last).
std::vector<std::pair<std::uint16_t, std::string>> sampleExports();

}  // namespace framestow::sample
