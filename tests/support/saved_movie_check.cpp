#include "support/saved_movie_check.hpp"
#include "support/stream_check.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "support/documents.hpp"
#include "support/tag_list.hpp"

namespace framestow::test {
namespace {

using Uses = std::map<std::uint32_t, std::uint64_t>;  // character -> first offset

void note(Uses& uses, std::uint32_t id, std::uint64_t at) {
  if (id != 0 && (uses.count(id) == 0 || at < uses[id])) uses[id] = at;
}

// The character a tag uses by itself (a placement, sound start, init action,
// or a tag that adds to a character defined before it), or 0.
std::uint32_t usedBy(const ListedTag& tag) {
  const ByteVector& b = tag.bytes;
  const std::size_t body = tag.head;
  switch (tag.code) {
    case 4: case 15: case 59: case 13: case 62: case 17: case 23: case 73: case 74: case 78: case 88:
      return tag.id;
    case 26:  // PlaceObject2
      return b.size() >= body + 5 && (b[body] & 0x02) ? u16At(b, body + 3) : 0;
    case 70: {  // PlaceObject3: a class name may come before the character
      std::size_t at = body + 4;
      if (b.size() < at || !(b[body] & 0x02)) return 0;
      if ((b[body + 1] & 0x08) || (b[body + 1] & 0x10)) at = std::find(b.begin() + static_cast<std::ptrdiff_t>(at), b.end(), 0) - b.begin() + 1;
      return u16At(b, at);
    }
    default:
      return 0;
  }
}

// Characters used before the tag that defines them (or never defined); the
// references of `input` stand for what each definition is built from. Of a
// character defined twice (no sound movie does that) the analysis keeps one
// account for both definitions, so each is taken to use all of it.
std::set<std::uint32_t> usedEarly(const std::vector<ListedTag>& tags, const Document& input) {
  Uses defined, used;
  std::map<std::uint32_t, int> definitions;
  for (const ListedTag& tag : tags) definitions[tag.id] += definesCharacter(tag.code) ? 1 : 0;
  std::vector<std::pair<ListedTag, bool>> all;  // each tag, and whether a sprite holds it
  for (const ListedTag& tag : tags) {
    all.emplace_back(tag, false);
    if (tag.code == 39 && definitions[tag.id] == 1) for (const ListedTag& inner : spriteTags(tag)) all.emplace_back(inner, true);
  }
  for (const auto& [tag, heldBySprite] : all) {
    note(used, usedBy(tag), tag.offset);
    // A sprite's ExportAssets exports nothing, so it names nothing early.
    if (!heldBySprite) for (const auto& entry : exportEntries(tag)) note(used, entry.first, tag.offset);
    if (!definesCharacter(tag.code) || tag.bytes.size() < tag.head + 2) continue;
    note(defined, tag.id, tag.offset);
    // A sprite's placements are tags of their own, seen where they stand; row 0 is the main timeline's.
    if (tag.code == 39 || tag.id == 0) continue;
    for (const Reference& r : input.references(tag.id)) note(used, static_cast<std::uint32_t>(r.charId), tag.offset);
  }
  std::set<std::uint32_t> early;
  for (const auto& [id, at] : used) {
    if (defined.count(id) == 0 || at < defined[id]) early.insert(id);
  }
  return early;
}

// The main timeline cut after each ShowFrame; ExportAssets tags left out when removal may have changed them.
std::vector<std::vector<ByteVector>> framesOf(const std::vector<ListedTag>& tags, bool withoutExports) {
  std::vector<std::vector<ByteVector>> frames(1);
  for (const ListedTag& tag : tags) {
    if (withoutExports && tag.code == 56) continue;
    frames.back().push_back(tag.bytes);
    if (tag.code == 1) frames.emplace_back();
  }
  return frames;
}

bool isSubsequence(const std::vector<ByteVector>& part, const std::vector<ByteVector>& whole) {
  auto at = whole.begin();
  for (const ByteVector& tag : part) {
    at = std::find(at, whole.end(), tag);
    if (at++ == whole.end()) return false;
  }
  return true;
}

// Frames before the target only lose tags; the target frame starts with them, in input order; later frames stay.
void checkFrames(const std::vector<ListedTag>& inTags, const std::vector<ListedTag>& outTags, const SavedWith& saved, std::vector<std::string>& failures) {
  const auto in = framesOf(inTags, saved.removal);
  const auto out = framesOf(outTags, saved.removal);
  std::multiset<ByteVector> inSet, outSet;
  for (std::size_t f = 0; f < std::min(in.size(), out.size()); ++f) {
    inSet.insert(in[f].begin(), in[f].end());
    outSet.insert(out[f].begin(), out[f].end());
  }
  if (in.size() != out.size() || inSet != outSet) {
    failures.push_back("the tags or the frames differ from the input's");
    return;
  }
  std::vector<ByteVector> earlier;
  for (std::size_t f = 0; f < in.size(); ++f) {
    const std::string frame = "frame " + std::to_string(f + 1);
    const auto& i = in[f];
    const auto& o = out[f];
    const auto own = static_cast<std::ptrdiff_t>(i.size());
    if (static_cast<std::int32_t>(f + 1) < saved.frame) {
      earlier.insert(earlier.end(), i.begin(), i.end());
      if (!isSubsequence(o, i)) failures.push_back(frame + " is not the input's less some tags");
    } else if (static_cast<std::int32_t>(f + 1) > saved.frame) {
      if (o != i) failures.push_back(frame + " changed although it follows the target frame");
    } else if (o.size() < i.size() || !std::equal(i.begin(), i.end(), o.end() - own) ||
               !isSubsequence(std::vector<ByteVector>(o.begin(), o.end() - own), earlier)) {
      failures.push_back(frame + " is not the earlier frames' moved tags, in input order, then its own");
    }
  }
}

// Removal drops only entries that repeat a character under a name it already
// has: every character keeps every name it was exported under.
void checkExports(const std::vector<ListedTag>& in, const std::vector<ListedTag>& out, std::vector<std::string>& failures) {
  std::set<std::pair<std::uint16_t, std::string>> entries[2];
  for (int side = 0; side < 2; ++side) {
    for (const ListedTag& tag : side == 0 ? in : out) {
      for (const auto& entry : exportEntries(tag)) entries[side].insert(entry);
    }
  }
  if (entries[0] != entries[1]) failures.push_back("the exported characters and names are not the input's");
}

}  // namespace

std::vector<std::string> analysisDiffersFromListing(const Document& doc, const ByteVector& file) {
  std::vector<std::string> differences;
  const Listing listing = listMovie(file);
  const std::vector<Block> blocks = doc.blocks();
  for (const Block& b : blocks) {
    if (listing.complete && b.offset > listing.movie.size()) differences.push_back("a block starts past the movie");
  }
  if (!listing.whole) return differences;
  const auto first = static_cast<std::uint32_t>(8 + (5 + 4 * (listing.movie[8] >> 3) + 7) / 8 + 4);
  std::vector<Block> expected{{0, 0, 4, 0, 0}, {0, 0, 4, 4, 0}, {0, 0, first - 8, 8, 0}};
  std::vector<LinkedAsset> exported;
  // A DefineSprite's block is its header, id and frame count; one inside a sprite (sprites do not nest) is whole.
  auto add = [&](const ListedTag& tag, std::uint32_t timeline, bool heldBySprite = false) {
    const bool opensSprite = tag.code == 39 && !heldBySprite;
    expected.push_back({tag.code, tag.head, static_cast<std::uint32_t>(opensSprite ? 4 : tag.bytes.size() - tag.head), static_cast<std::uint32_t>(tag.offset), timeline});
    if (heldBySprite) return;  // a sprite's ExportAssets exports nothing
    for (const auto& [id, name] : exportEntries(tag)) {
      auto asset = std::find_if(exported.begin(), exported.end(), [id = id](const LinkedAsset& a) { return a.id == id; });
      if (id == 0) continue;
      if (asset == exported.end()) exported.push_back({id, {name}});
      else if (std::find(asset->names.begin(), asset->names.end(), name) == asset->names.end()) asset->names.push_back(name);
    }
  };
  std::uint32_t sprites = 0;
  std::size_t showFrames = 0;
  for (const ListedTag& tag : listing.tags) {
    add(tag, tag.code == 39 ? ++sprites : 0);
    showFrames += tag.code == 1 ? 1 : 0;
    if (tag.code == 39) for (const ListedTag& inner : spriteTags(tag)) add(inner, sprites, true);
  }
  if (!listing.tags.empty() && listing.tags.back().code == 0) expected.push_back(Block{});
  if (blocks != expected) differences.push_back("the blocks are not the tags the lister reads");
  const std::vector<std::uint32_t> ends = doc.frameEnds();
  if (ends.size() != showFrames) differences.push_back("the frames are not the main timeline's ShowFrames");
  for (const std::uint32_t end : ends) {
    if (end >= blocks.size() || blocks[end].tagCode != 1 || blocks[end].timeline != 0) differences.push_back("a frame does not end at a ShowFrame");
  }
  if (doc.linkedAssets() != exported) differences.push_back("the linked assets are not the exported characters and their names");
  return differences;
}

std::vector<std::string> checkSavedMovie(const Document& input, const ByteVector& inputFile, const ByteVector& savedFile, const SavedWith& saved) {
  if (savedFile.size() < 9 || inputFile.size() < 9) return {"the saved movie is shorter than a movie header"};
  std::vector<std::string> failures;
  if (!std::equal(inputFile.begin(), inputFile.begin() + 4, savedFile.begin())) failures.push_back("signature or version changed");
  const Listing in = listMovie(inputFile);
  const Listing out = listMovie(savedFile);
  if (!out.problem.empty()) failures.push_back("the saved movie's body: " + out.problem);
  if (u32At(savedFile, 4) != out.movie.size()) failures.push_back("the file length field is not the movie's length");
  if (!in.whole) return failures;  // a damaged input has no tags to compare with
  if (!out.whole) {
    failures.push_back("a tag of the saved movie runs past its data");
    return failures;
  }
  if (!saved.removal && out.movie.size() != in.movie.size()) failures.push_back("the saved movie's length differs");
  if (out.trailer != in.trailer) failures.push_back("the bytes after the last tag differ");
  if (saved.removal) checkExports(in.tags, out.tags, failures);
  checkFrames(in.tags, out.tags, saved, failures);
  const std::set<std::uint32_t> inEarly = usedEarly(in.tags, input);
  for (const std::uint32_t id : usedEarly(out.tags, input)) {
    if (inEarly.count(id) == 0) failures.push_back("character " + std::to_string(id) + " is used before its definition");
  }
  return failures;
}

JobReport runWholeJob(const ByteVector& file, const std::string& scratchFolder, std::int32_t maxFrame, const std::string& path) {
  JobReport report;
  auto fail = [&](const std::string& what) { report.failures.push_back(what); };
  std::filesystem::create_directories(scratchFolder);
  Document doc;
  report.loadMessage = load(doc, path.empty() ? writeFile(scratchFolder + "/input.swf", file) : path);
  if (!report.loadMessage.empty()) {
    const std::set<std::string> refusals{"Sorry, an error has occured reading the file.", "Sorry, the file doesn't appear to be an swf.", "Sorry, the file doesn't appear to be complete."};
    if (refusals.count(report.loadMessage) == 0) fail("unexpected load message: " + report.loadMessage);
    return report;
  }
  report.analysisError = analyse(doc);
  report.analysed = report.analysisError.empty();
  if (file[3] < 5 || !report.analysed) {
    if (file[3] < 5 ? report.analysed : report.analysisError.rfind("Unknown fill type: ", 0) != 0) fail("unexpected analysis: " + report.analysisError);
    return report;
  }
  for (const std::string& difference : analysisDiffersFromListing(doc, file)) fail(difference);
  const bool whole = listMovie(file).whole;
  if (whole) {
    for (const std::string& difference : streamProfileDiffers(file, doc.streamProfile())) fail("as loaded: " + difference);
  }
  const std::int32_t last = std::clamp(static_cast<std::int32_t>(doc.frameEnds().size()) + 1, 1, maxFrame);
  const bool assets = !doc.linkedAssets().empty();
  for (std::int32_t n = 1; n <= last; ++n) {
    const std::string at = " (frame " + std::to_string(n);
    if (doc.plan(n).movableBytes < 0) fail("negative movable bytes" + at + ")");
    for (const bool removal : {false, true}) {
      if (!assets && !(n == std::min(2, last) && !removal) && !(n == 1 && removal && doc.redundantExportBytes() > 0)) continue;
      const SavedCopy copy = saveInMemory(doc, n, removal);
      if (copy.result != kSaved) {
        if (whole) fail("a movie whose tags fill it was not saved" + at + ")");
        continue;
      }
      ++report.saves;
      for (const std::string& failure : checkSavedMovie(doc, file, copy.bytes, {n, removal})) fail(failure + at + (removal ? ", removal)" : ")"));
      // The profile predicted from the plan is the saved file's, byte for byte.
      if (whole) {
        for (const std::string& difference : streamProfileDiffers(copy.bytes, doc.savedStreamProfile(n, removal))) {
          fail("predicted profile: " + difference + at + (removal ? ", removal)" : ")"));
        }
      }
      if (n != last || removal) continue;  // one copy is loaded again: the last frame's, as saved by default
      Document again;
      if (!loadAndAnalyse(again, copy.bytes, scratchFolder + "/saved.swf").empty()) {
        fail("the saved movie does not load and analyse" + at + ")");
      } else if (whole && again.frameEnds().size() != doc.frameEnds().size()) {
        fail("the saved movie has other frames" + at + ")");
      }
    }
  }
  // The safe plan moves a part of what the default plan moves, and its copy
  // is a movie with the same frames and every asset under the same names.
  if (!assets) return report;
  std::vector<std::int64_t> defaultBytes;
  for (std::int32_t n = 1; n <= last; ++n) defaultBytes.push_back(doc.plan(n).movableBytes);
  doc.setSafePlan(true);
  auto namesById = [](const Document& d) {
    std::map<std::int32_t, std::set<std::string>> names;
    for (const LinkedAsset& asset : d.linkedAssets()) names[asset.id].insert(asset.names.begin(), asset.names.end());
    return names;
  };
  for (std::int32_t n = 2; n <= last; ++n) {
    const std::string at = " (safe plan, frame " + std::to_string(n) + ")";
    const std::int64_t bytes = doc.plan(n).movableBytes;
    if (bytes < 0 || bytes > defaultBytes[static_cast<std::size_t>(n - 1)]) fail("the safe plan moves more than the default plan" + at);
    if (doc.assetReport(n).movableBytes != bytes) fail("the asset report counts other bytes than the plan" + at);
    const SavedCopy copy = saveInMemory(doc, n, false);
    if (copy.result != kSaved) {
      if (whole) fail("a movie whose tags fill it was not saved" + at);
      continue;
    }
    Document again;
    if (!loadAndAnalyse(again, copy.bytes, scratchFolder + "/safe.swf").empty()) {
      fail("the saved movie does not load and analyse" + at);
    } else if (whole && (again.frameEnds().size() != doc.frameEnds().size() || namesById(again) != namesById(doc))) {
      fail("the saved movie has other frames or exports" + at);
    }
  }
  return report;
}

}  // namespace framestow::test
