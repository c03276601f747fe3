// The plain records in which a document answers questions about what its
// analysis found: the blocks of the movie, the characters each timeline and
// definition refers to, and the linked assets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace framestow {

// One block of the analysed movie, in file order. Blocks 0 to 2 are the
// header (signature and version, file length, frame size, rate and count);
// then one block per tag, the tags inside sprites included; after the main
// timeline's End tag one closing record whose fields are all 0.
struct Block {
  std::uint32_t tagCode = 0;     // the SWF tag code; 0 for the header blocks (and End)
  std::uint32_t headerSize = 0;  // the tag header as found: 2 (short) or 6 (long); 0 for the header blocks
  std::uint32_t bodySize = 0;    // bytes after the tag header: a header block's whole length; for a
                                 // DefineSprite 4 (id and frame count), its tags being blocks of their own
  std::uint32_t offset = 0;      // first byte in the uncompressed movie
  std::uint32_t timeline = 0;    // 0: the main timeline; k: the k-th DefineSprite of the file
  bool operator==(const Block&) const = default;
};

// A character a timeline or a definition refers to. `frame` is the main
// timeline's frame (from 1) in which the reference was read: a placement or
// sound start of the main timeline, or of a sprite defined in that frame;
// references made by a definition (bitmap fills, fonts, button states) carry 1.
struct Reference {
  std::int32_t charId = 0;
  std::int32_t frame = 0;
  bool operator==(const Reference&) const = default;
};

// A character exported by ExportAssets, with every distinct linkage name it is
// exported under, in file order.
struct LinkedAsset {
  std::int32_t id = 0;
  std::vector<std::string> names;
  bool operator==(const LinkedAsset&) const = default;
};

}  // namespace framestow
