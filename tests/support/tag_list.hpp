// Reads a movie file back into its tags, independently of the code under
// test, so that tests can say where each tag of a saved movie ended up and
// what a Flash player would find in it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/swf_builder.hpp"

namespace framestow::test {

struct ListedTag {
  std::uint16_t code = 0;
  std::uint32_t frame = 1;   // main-timeline frame the tag stands in
  std::uint16_t id = 0;      // first 16-bit field of the body (the character id of definitions)
  std::uint32_t head = 2;    // header bytes: 2, or 6 for a long header
  std::uint64_t offset = 0;  // first header byte in the uncompressed movie
  ByteVector bytes;          // header and body; a DefineSprite with its whole body
};

struct Listing {
  ByteVector movie;             // the uncompressed movie, cut at its declared length
  std::vector<ListedTag> tags;  // the main timeline's tags up to End (a sprite is one tag)
  ByteVector trailer;           // declared bytes after the End tag or the last whole tag
  bool complete = false;        // the declared movie is all there
  bool whole = false;           // complete, and every tag (sprites' too) lies inside it
  std::string problem;          // why a "CWS" or "ZWS" body does not give exactly the declared length
};

// The listing of a movie file; a "CWS" or "ZWS" body is decompressed first.
Listing listMovie(const ByteVector& file);
// The tags inside a DefineSprite; `whole` turns false unless they fill its body exactly.
std::vector<ListedTag> spriteTags(const ListedTag& sprite, bool* whole = nullptr);
// Whether a tag defines a character (its id is the body's first UI16).
bool definesCharacter(std::uint16_t code);
// The (id, name) entries of an ExportAssets tag, up to the first without its NUL; none for other tags.
std::vector<std::pair<std::uint16_t, std::string>> exportEntries(const ListedTag& tag);
std::uint32_t u16At(const ByteVector& bytes, std::size_t at);
std::uint32_t u32At(const ByteVector& bytes, std::size_t at);

}  // namespace framestow::test
