// Which linked assets ActionScript names, and where that code lies.
//
// An ActionScript 2 movie reaches an asset by its linkage name (attachMovie,
// attachSound, Object.registerClass) and a class by its name: the compiler
// writes every identifier and string as a string constant (a Push string or a
// ConstantPool entry). A class `a.b.C` is an exported sprite named
// `__Packages.a.b.C` whose DoInitAction defines it, and code reaches it
// through member lookups of "a", "b" and "C", each a string of its own.
//
// Before the scan, one pass over the main timeline's tag headers collects the
// linkage names (ExportAssets tags); the scan then hashes each string constant
// of each piece of code and keeps it only when it equals one of them, as a
// mention. A movie without exports or without actions records nothing, and
// memory follows the mentions, not the code.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace framestow {

// Where a piece of code lies, and so when a player can run it.
enum class CodeKind : std::uint8_t {
  kFrame,       // a DoAction of a frame of `timeline`
  kClipEvent,   // the clip actions of a PlaceObject2/3 on `timeline`, placing `owner`
  kButton,      // the actions of button `owner`
  kInitAction,  // the DoInitAction of sprite `owner`
};

struct CodeUnit {
  CodeKind kind = CodeKind::kFrame;
  std::uint32_t timeline = 0;   // 0 main, else the sprite number whose tags hold the code
  std::int32_t frame = 0;       // frame (from 1) of that timeline
  std::int32_t mainFrame = 0;   // main-timeline frame (from 1) in which the scan read it
  std::int32_t owner = 0;       // placed character, button or initialised sprite; 0 when none is named
  std::int32_t block = 0;       // the tag that holds the code
};

// Code unit `unit` holds a string constant equal to a name of linked asset `asset`.
struct CodeMention {
  std::uint32_t unit = 0;
  std::int32_t asset = 0;
  bool operator<(const CodeMention& other) const {
    return unit != other.unit ? unit < other.unit : asset < other.asset;
  }
  bool operator==(const CodeMention&) const = default;
};

// The names a linked asset answers to in code: every linkage name, and for
// `__Packages.a.b.C` also "a.b.C" and "C".
struct AssetName {
  std::uint64_t hash = 0;
  std::int32_t asset = 0;
};

struct CodeNames {
  std::vector<CodeUnit> units;        // the pieces of code that name some asset
  std::vector<CodeMention> mentions;  // sorted by unit, each pair once

  // During the scan only: every name of every linked asset, sorted by hash,
  // and one bit per (length, first byte) of any name, which turns most string
  // constants away before they are hashed.
  std::vector<AssetName> names;
  std::vector<std::uint64_t> nameShapes;
  bool unitOpen = false;  // the pending unit has been given a place in `units`
  CodeUnit pending;
};

std::uint64_t hashCodeString(std::string_view text);

// The linkage names of the main timeline's ExportAssets tags, from the tag
// headers of `movie` (its bytes up to the declared length) from `firstTag` on.
void collectLinkageNames(CodeNames& names, std::span<const std::uint8_t> movie, std::uint64_t firstTag);
// A new piece of code begins; it takes a place only once it names an asset.
void beginCodeUnit(CodeNames& names, const CodeUnit& unit);
// A string constant of the current piece of code.
void noteCodeString(CodeNames& names, std::string_view text);
// After the scan: the mentions sorted, the names dropped.
void resolveCodeMentions(CodeNames& names);

}  // namespace framestow
