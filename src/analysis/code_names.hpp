// Which linked assets ActionScript names, and where that code lies.
//
// An ActionScript 2 movie reaches an asset by its linkage name (attachMovie,
// attachSound, Object.registerClass) and a class by its name: the compiler
// writes every identifier and string as a string constant (a Push string or a
// ConstantPool entry). A class `a.b.C` is an exported sprite named
// `__Packages.a.b.C` whose DoInitAction defines it, and code reaches it
// through member lookups of "a", "b" and "C", each a string of its own.
//
// The scan hashes every string constant of every piece of code as it passes;
// at its end only the strings equal to a linkage name (or class name) are kept,
// as mentions. A movie without actions records nothing.
#pragma once

#include <cstdint>
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
  std::vector<CodeUnit> units;
  std::vector<CodeMention> mentions;  // sorted by unit, each pair once

  // During the scan only.
  struct SeenString {
    std::uint64_t hash = 0;
    std::uint32_t unit = 0;
  };
  std::vector<SeenString> strings;
  std::vector<AssetName> names;
  bool unitOpen = false;  // the pending unit has been given a place in `units`
  CodeUnit pending;
};

std::uint64_t hashCodeString(std::string_view text);

// A new piece of code begins; it takes a place only once it holds a string.
void beginCodeUnit(CodeNames& names, const CodeUnit& unit);
// A string constant of the current piece of code.
void noteCodeString(CodeNames& names, std::string_view text);
// A linkage name of `asset`, from ExportAssets.
void noteLinkageName(CodeNames& names, std::int32_t asset, std::string_view name);
// After the scan: keeps the mentions of linkage names, drops the strings.
void resolveCodeMentions(CodeNames& names);

}  // namespace framestow
