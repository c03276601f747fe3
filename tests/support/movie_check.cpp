#include "support/movie_check.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <set>

#include "document/document.hpp"

namespace framestow::test {
namespace {

std::uint32_t u16At(const ByteVector& b, std::uint64_t at) {
  return at + 2 <= b.size() ? static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8)) : 0;
}
std::uint32_t u32At(const ByteVector& b, std::uint64_t at) {
  return at + 4 <= b.size() ? u16At(b, at) | (u16At(b, at + 2) << 16) : 0;
}

std::string format(const char* fmt, auto... args) {
  char buf[512];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

// Offset of the first tag: after the frame RECT, the frame rate and the frame count.
std::uint64_t firstTagOffset(const ByteVector& movie) {
  if (movie.size() < 9) return movie.size();
  const unsigned nbits = movie[8] >> 3;
  return 8 + (5 + 4 * nbits + 7) / 8 + 4;
}

struct TagHeader {
  std::uint32_t code = 0;
  std::uint64_t head = 0;
  std::uint64_t length = 0;
};

bool readTagHeader(const ByteVector& b, std::uint64_t at, std::uint64_t end, TagHeader& h) {
  if (at + 2 > end) return false;
  const std::uint32_t word = u16At(b, at);
  h.code = word >> 6;
  h.length = word & 0x3F;
  h.head = 2;
  if (h.length == 0x3F) {
    if (at + 6 > end) return false;
    h.length = u32At(b, at + 2);
    h.head = 6;
  }
  return at + h.head + h.length <= end;
}

// Character definitions of the SWF format: the id is the body's first UI16.
bool definesCharacter(std::uint32_t code) {
  switch (code) {
    case 2: case 22: case 32: case 83:           // shapes
    case 46: case 84:                            // morph shapes
    case 6: case 20: case 21: case 35: case 36: case 90:  // bitmaps
    case 10: case 48: case 75:                   // fonts
    case 11: case 33: case 37:                   // texts, edit text
    case 14:                                     // sound
    case 7: case 34:                             // buttons
    case 39:                                     // sprite
    case 60: case 87:                            // video stream, binary data
      return true;
    default:
      return false;
  }
}

// First definition and first use of every character, by offset in the movie.
struct CharacterUse {
  std::map<std::uint32_t, std::uint64_t> defined;
  std::map<std::uint32_t, std::uint64_t> used;
  void define(std::uint32_t id, std::uint64_t at) {
    auto [it, fresh] = defined.emplace(id, at);
    if (!fresh) it->second = std::min(it->second, at);
  }
  void use(std::uint32_t id, std::uint64_t at) {
    if (id == 0) return;
    auto [it, fresh] = used.emplace(id, at);
    if (!fresh) it->second = std::min(it->second, at);
  }
  // Characters used before the tag that defines them (or never defined).
  std::map<std::uint32_t, std::pair<std::uint64_t, std::uint64_t>> early() const {
    std::map<std::uint32_t, std::pair<std::uint64_t, std::uint64_t>> out;
    for (const auto& [id, at] : used) {
      const auto def = defined.find(id);
      const std::uint64_t defAt = def == defined.end() ? std::numeric_limits<std::uint64_t>::max() : def->second;
      if (at < defAt) out[id] = {at, defAt};
    }
    return out;
  }
};

// The uses a tag makes by itself: placements, sound starts, init actions, exports.
void tagUses(const ByteVector& b, std::uint64_t at, const TagHeader& h, CharacterUse& uses) {
  const std::uint64_t body = at + h.head;
  const std::uint64_t end = body + h.length;
  auto inside = [&](std::uint64_t p, std::uint64_t n) { return p + n <= end; };
  switch (h.code) {
    case 4:   // PlaceObject
    case 15:  // StartSound
    case 59:  // DoInitAction
    // Tags that add to a character defined before them.
    case 13:  // DefineFontInfo
    case 62:  // DefineFontInfo2
    case 17:  // DefineButtonSound
    case 23:  // DefineButtonCxform
    case 73:  // DefineFontAlignZones
    case 74:  // CSMTextSettings
    case 78:  // DefineScalingGrid
    case 88:  // DefineFontName
      if (inside(body, 2)) uses.use(u16At(b, body), at);
      break;
    case 26:  // PlaceObject2
      if (inside(body, 5) && (b[body] & 0x02)) uses.use(u16At(b, body + 3), at);
      break;
    case 70: {  // PlaceObject3
      if (!inside(body, 4)) break;
      const std::uint8_t flags = b[body];
      const std::uint8_t flags2 = b[body + 1];
      std::uint64_t p = body + 4;
      if ((flags2 & 0x08) || ((flags2 & 0x10) && (flags & 0x02))) {
        while (p < end && b[p] != 0) ++p;
        ++p;
      }
      if ((flags & 0x02) && inside(p, 2)) uses.use(u16At(b, p), at);
      break;
    }
    case 56: {  // ExportAssets
      if (!inside(body, 2)) break;
      const std::uint32_t count = u16At(b, body);
      std::uint64_t p = body + 2;
      for (std::uint32_t i = 0; i < count && inside(p, 2); ++i) {
        uses.use(u16At(b, p), at);
        p += 2;
        while (p < end && b[p] != 0) ++p;
        ++p;
      }
      break;
    }
    default:
      break;
  }
}

// Walks every tag of the movie, sprites' tags included.
void collectUses(const ByteVector& b, std::uint64_t movieEnd, CharacterUse& uses) {
  std::uint64_t at = firstTagOffset(b);
  std::uint64_t spriteEnd = 0;  // inside a sprite while at < spriteEnd
  TagHeader h;
  while (readTagHeader(b, at, movieEnd, h)) {
    const std::uint64_t body = at + h.head;
    if (definesCharacter(h.code) && h.length >= 2) uses.define(u16At(b, body), at);
    tagUses(b, at, h, uses);
    if (h.code == 39 && spriteEnd == 0) {
      spriteEnd = body + h.length;
      at = body + 4;
      continue;
    }
    at = body + h.length;
    if (spriteEnd != 0 && (h.code == 0 || at >= spriteEnd)) {
      at = spriteEnd;
      spriteEnd = 0;
    } else if (spriteEnd == 0 && h.code == 0) {
      break;
    }
  }
}

// The uses a definition makes, as the analysis recorded them in its rows.
void definitionRowUses(const Document& doc, CharacterUse& uses) {
  const Analysis& a = doc.analysis();
  for (std::uint32_t row = 1; row < a.dependList.size(); ++row) {
    const std::int32_t total = a.dependTotal(row);
    const std::int32_t owner = a.blockOf(row);
    if (total <= 0 || owner <= 0 || static_cast<std::size_t>(owner) >= a.byteoutput.size()) continue;
    const bytesOut& block = a.byteoutput[static_cast<std::size_t>(owner)];
    // A sprite's row holds its placements, which the tag walk sees where they stand.
    if (block.thisBlockType == 39) continue;
    for (std::int32_t j = 0; j < total; ++j) {
      uses.use(static_cast<std::uint32_t>(a.dependList[row][static_cast<std::size_t>(j)]), block.thisStart);
    }
  }
}

std::string tagKey(const TagRecord& t) { return std::string(t.bytes.begin(), t.bytes.end()); }

std::string describe(const TagRecord& t) {
  return format("tag %u (%zu bytes) at offset %llu", t.code, t.bytes.size(),
                static_cast<unsigned long long>(t.offset));
}

// The main timeline cut at its ShowFrames: frame f (from 0) holds its tags
// and ends with its ShowFrame; the last entry holds what follows the last one.
std::vector<std::vector<TagRecord>> framesOf(const std::vector<TagRecord>& tags, bool dropExports) {
  std::vector<std::vector<TagRecord>> frames(1);
  for (const TagRecord& t : tags) {
    if (dropExports && t.code == 56) continue;
    frames.back().push_back(t);
    if (t.code == 1) frames.emplace_back();
  }
  return frames;
}

bool isSubsequence(const std::vector<TagRecord>& part, const std::vector<TagRecord>& whole) {
  std::size_t j = 0;
  for (const TagRecord& t : part) {
    while (j < whole.size() && tagKey(whole[j]) != tagKey(t)) ++j;
    if (j == whole.size()) return false;
    ++j;
  }
  return true;
}

void checkFrames(const std::vector<TagRecord>& in, const std::vector<TagRecord>& out, const SavedWith& saved,
                 std::vector<std::string>& failures) {
  const auto inFrames = framesOf(in, saved.optimise);
  const auto outFrames = framesOf(out, saved.optimise);
  if (inFrames.size() != outFrames.size()) {
    failures.push_back(format("output has %zu ShowFrames on the main timeline, input %zu", outFrames.size() - 1,
                              inFrames.size() - 1));
    return;
  }
  const std::size_t n = static_cast<std::size_t>(std::max<std::int32_t>(saved.targetFrame, 1));
  std::vector<TagRecord> before;  // input frames 1 .. n-1, in order
  for (std::size_t f = 0; f < inFrames.size(); ++f) {
    const std::size_t frame = f + 1;
    if (frame < n) {
      before.insert(before.end(), inFrames[f].begin(), inFrames[f].end());
      if (!isSubsequence(outFrames[f], inFrames[f])) {
        failures.push_back(format("frame %zu of the output is not frame %zu of the input less some tags", frame, frame));
      }
    } else if (frame == n) {
      const auto& o = outFrames[f];
      const auto& i = inFrames[f];
      if (o.size() < i.size() || !std::equal(i.begin(), i.end(), o.end() - static_cast<std::ptrdiff_t>(i.size()),
                                             [](const TagRecord& x, const TagRecord& y) { return tagKey(x) == tagKey(y); })) {
        failures.push_back(format("frame %zu of the output does not end with the tags of input frame %zu", frame, frame));
        continue;
      }
      const std::vector<TagRecord> moved(o.begin(), o.end() - static_cast<std::ptrdiff_t>(i.size()));
      if (!isSubsequence(moved, before)) {
        failures.push_back(format("the tags moved into frame %zu are not in their input order", frame));
      }
    } else {
      const auto& o = outFrames[f];
      const auto& i = inFrames[f];
      if (o.size() != i.size() ||
          !std::equal(i.begin(), i.end(), o.begin(), [](const TagRecord& x, const TagRecord& y) { return tagKey(x) == tagKey(y); })) {
        failures.push_back(format("frame %zu changed although it follows the target frame", frame));
      }
    }
  }
}

struct ExportEntry {
  std::uint32_t id;
  std::string name;
  bool operator<(const ExportEntry& o) const { return std::tie(id, name) < std::tie(o.id, o.name); }
};

std::vector<ExportEntry> exportEntries(const TagRecord& t) {
  std::vector<ExportEntry> out;
  TagHeader h;
  if (!readTagHeader(t.bytes, 0, t.bytes.size(), h) || h.length < 2) return out;
  const std::uint64_t end = h.head + h.length;
  const std::uint32_t count = u16At(t.bytes, h.head);
  std::uint64_t p = h.head + 2;
  for (std::uint32_t i = 0; i < count && p + 2 <= end; ++i) {
    ExportEntry e{u16At(t.bytes, p), {}};
    p += 2;
    while (p < end && t.bytes[p] != 0) e.name.push_back(static_cast<char>(t.bytes[p++]));
    ++p;
    out.push_back(e);
  }
  return out;
}

void checkTags(const std::vector<TagRecord>& in, const std::vector<TagRecord>& out, const SavedWith& saved,
               std::vector<std::string>& failures) {
  std::multiset<std::string> inTags, outTags;
  for (const auto& t : in) {
    if (!(saved.optimise && t.code == 56)) inTags.insert(tagKey(t));
  }
  for (const auto& t : out) {
    if (!(saved.optimise && t.code == 56)) outTags.insert(tagKey(t));
  }
  if (inTags != outTags) {
    const std::size_t before = failures.size();
    for (const auto& t : out) {
      if (saved.optimise && t.code == 56) continue;
      if (outTags.count(tagKey(t)) != inTags.count(tagKey(t))) {
        failures.push_back("the output's " + describe(t) + " does not occur as often in the input");
        break;
      }
    }
    for (const auto& t : in) {
      if (saved.optimise && t.code == 56) continue;
      if (outTags.count(tagKey(t)) != inTags.count(tagKey(t))) {
        failures.push_back("the input's " + describe(t) + " does not occur as often in the output");
        break;
      }
    }
    if (failures.size() == before) failures.push_back("the output's tags differ from the input's");
  }
  if (!saved.optimise) return;

  // Removal keeps the first export of every character, with its name, and
  // writes no entry the input did not have.
  std::map<std::uint32_t, std::string> firstExport;
  std::set<ExportEntry> inEntries;
  for (const auto& t : in) {
    if (t.code != 56) continue;
    for (const auto& e : exportEntries(t)) {
      firstExport.emplace(e.id, e.name);
      inEntries.insert(e);
    }
  }
  std::map<std::uint32_t, int> outCount;
  for (const auto& t : out) {
    if (t.code != 56) continue;
    for (const auto& e : exportEntries(t)) {
      ++outCount[e.id];
      if (!inEntries.count(e)) failures.push_back(format("export entry %u \"%s\" is not in the input", e.id, e.name.c_str()));
    }
  }
  for (const auto& [id, name] : firstExport) {
    if (outCount[id] == 0) failures.push_back(format("character %u (\"%s\") is no longer exported", id, name.c_str()));
  }
}

}  // namespace

bool inflateExactly(const ByteVector& file, ByteVector& movie, std::string& why) {
  if (file.size() < 8) {
    why = "file shorter than its header";
    return false;
  }
  const std::uint32_t declared = u32At(file, 4);
  movie.assign(file.begin(), file.begin() + 8);
  if (declared < 8) {
    why = "declared length below 8";
    return false;
  }
  movie.resize(declared + 1u);  // one byte more, to notice a longer stream
  z_stream zs{};
  inflateInit(&zs);
  zs.next_in = const_cast<Bytef*>(file.data() + 8);
  zs.avail_in = static_cast<uInt>(file.size() - 8);
  zs.next_out = movie.data() + 8;
  zs.avail_out = static_cast<uInt>(movie.size() - 8);
  const int rc = inflate(&zs, Z_FINISH);
  const std::size_t produced = movie.size() - 8 - zs.avail_out;
  const std::size_t unused = zs.avail_in;
  inflateEnd(&zs);
  movie.resize(8 + produced);
  if (rc != Z_STREAM_END) {
    why = produced + 8 > declared ? "the body inflates to more than the declared length"
                                  : "the zlib stream is damaged or ends early";
    return false;
  }
  if (produced + 8 != declared) {
    why = format("the body inflates to %zu bytes, the header declares %u", produced + 8, declared);
    return false;
  }
  if (unused != 0) {
    why = format("%zu bytes follow the zlib stream", unused);
    return false;
  }
  return true;
}

bool splitTopLevelTags(const ByteVector& movie, std::vector<TagRecord>& tags, ByteVector* trailer) {
  tags.clear();
  const std::uint64_t declared = u32At(movie, 4);
  const std::uint64_t end = std::min<std::uint64_t>(movie.size(), declared);
  std::uint64_t at = firstTagOffset(movie);
  TagHeader h;
  while (at < end) {
    if (!readTagHeader(movie, at, end, h)) return false;
    const std::uint64_t next = at + h.head + h.length;
    tags.push_back({h.code, at, ByteVector(movie.begin() + static_cast<std::ptrdiff_t>(at),
                                           movie.begin() + static_cast<std::ptrdiff_t>(next))});
    at = next;
    if (h.code == 0) break;
  }
  if (trailer) trailer->assign(movie.begin() + static_cast<std::ptrdiff_t>(std::min(at, end)),
                               movie.begin() + static_cast<std::ptrdiff_t>(end));
  return true;
}

std::vector<std::string> checkSavedMovie(const std::string& inputPath, const std::string& outputPath,
                                         const SavedWith& saved) {
  std::vector<std::string> failures;
  ByteVector inFile, outFile;
  try {
    inFile = readFile(inputPath);
    outFile = readFile(outputPath);
  } catch (const std::exception& e) {
    return {e.what()};
  }
  if (outFile.size() < 8) return {"the output is shorter than a movie header"};
  if (!std::equal(inFile.begin(), inFile.begin() + 3, outFile.begin())) {
    failures.push_back(format("signature %.3s, the input's %.3s", reinterpret_cast<const char*>(outFile.data()),
                              reinterpret_cast<const char*>(inFile.data())));
  }
  if (inFile[3] != outFile[3]) failures.push_back(format("version %u, the input's %u", outFile[3], inFile[3]));

  ByteVector inMovie = inFile;
  ByteVector outMovie = outFile;
  std::string why;
  if (inFile[0] == 'C' && !inflateExactly(inFile, inMovie, why)) return {"the input does not inflate: " + why};
  if (outFile[0] == 'C' && !inflateExactly(outFile, outMovie, why)) {
    failures.push_back("the output does not inflate: " + why);
    return failures;
  }
  if (u32At(outMovie, 4) != outMovie.size()) {
    failures.push_back(format("the file-length field says %u, the movie has %zu bytes", u32At(outMovie, 4),
                              outMovie.size()));
  }

  Document input, output;
  if (const std::string message = input.load(inputPath); !message.empty()) return {"the input does not load: " + message};
  input.analyze();
  if (const std::string message = output.load(outputPath); !message.empty()) {
    failures.push_back("the output does not load: " + message);
    return failures;
  }
  if (output.movie().m.nFrames != input.movie().m.nFrames) {
    failures.push_back(format("frame count %d, the input's %d", output.movie().m.nFrames, input.movie().m.nFrames));
  }
  if (!output.analyze() && input.analysed()) {
    failures.push_back("the output does not analyse: " + output.analysisError());
  }
  if (input.analysed() && output.analysed() &&
      output.analysis().mainFrameCount != input.analysis().mainFrameCount) {
    failures.push_back(format("%d ShowFrames on the main timeline, the input has %d", output.analysis().mainFrameCount,
                              input.analysis().mainFrameCount));
  }

  // The declared movie only: bytes past the declared length are not the movie's.
  inMovie.resize(std::min<std::size_t>(inMovie.size(), u32At(inMovie, 4)));
  if (!saved.optimise && outMovie.size() != inMovie.size()) {
    failures.push_back(format("the output has %zu bytes, the input %zu", outMovie.size(), inMovie.size()));
  }
  std::vector<TagRecord> inTags, outTags;
  ByteVector inTrailer, outTrailer;
  if (!splitTopLevelTags(inMovie, inTags, &inTrailer)) return failures;  // nothing sound to compare with
  if (!splitTopLevelTags(outMovie, outTags, &outTrailer)) {
    failures.push_back("a tag of the output runs past its data");
    return failures;
  }
  if (inTrailer != outTrailer) {
    failures.push_back(format("%zu bytes follow the End tag, the input has %zu", outTrailer.size(), inTrailer.size()));
  }
  checkTags(inTags, outTags, saved, failures);
  checkFrames(inTags, outTags, saved, failures);

  CharacterUse inUses, outUses;
  collectUses(inMovie, inMovie.size(), inUses);
  collectUses(outMovie, outMovie.size(), outUses);
  if (input.analysed()) definitionRowUses(input, inUses);
  if (output.analysed()) definitionRowUses(output, outUses);
  const auto inEarly = inUses.early();
  for (const auto& [id, where] : outUses.early()) {
    if (inEarly.count(id)) continue;
    failures.push_back(format("character %u is used at offset %llu before its definition at offset %llu", id,
                              static_cast<unsigned long long>(where.first),
                              static_cast<unsigned long long>(where.second)));
  }
  return failures;
}

}  // namespace framestow::test
