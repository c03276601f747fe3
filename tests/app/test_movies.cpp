#include "test_movies.hpp"

#include <filesystem>

namespace framestow::test::app {
namespace {

constexpr std::uint16_t kBitmapId = 1;
constexpr std::uint16_t kShapeId = 2;

ByteVector buildTestMovie(const MovieShape& shape) {
  Timeline main;
  main.setBackgroundColor();
  main.defineBitsLossless(kBitmapId, kBitmapPixels);
  if (shape.badFill) {
    // DefineShape: id, bounds, one fill style of type 0x13, then filler.
    main.tag(2, Bytes().u16(kShapeId).rect(0, 200, 0, 200).u8(1).u8(0x13).fill(16, 0));
  }
  if (shape.exported) {
    // With redundant bytes, the bitmap's one name is exported twice in the same
    // tag, so that only the repeat goes: it takes the name plus three bytes (id
    // and terminator).
    const std::string name = shape.redundantBytes >= 3 ? std::string(shape.redundantBytes - 3, 'r') : "asset";
    std::vector<std::pair<std::uint16_t, std::string>> entries{{kBitmapId, name}};
    if (shape.redundantBytes >= 3) entries.emplace_back(kBitmapId, name);
    main.exportAssets(entries);
  }
  for (int frame = 1; frame <= shape.frames; ++frame) {
    if (frame == 1 && shape.namedInFrame1) main.doAction(Actions().pushString("asset").bytes);
    if (frame == shape.attachFrame) {
      Actions actions;
      actions.pushString("attachMovie").callMethod();
      // A Push whose declared length reaches far past the tag.
      if (shape.obfuscated) actions.bytes.u8(0x96).u16(500).u8(0);
      main.doAction(actions.bytes);
    }
    main.showFrame();
  }
  main.end();
  return buildMovie(main, MovieOptions{.signature = shape.signature, .version = shape.version});
}

}  // namespace

std::string freshFolder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(FRAMESTOW_TEST_TMP) / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

std::string writeTestMovie(const std::string& folder, const std::string& name, const MovieShape& shape) {
  ByteVector bytes = buildTestMovie(shape);
  if (shape.shortByOne) bytes.pop_back();
  return writeFile((std::filesystem::path(folder) / name).string(), bytes);
}

}  // namespace framestow::test::app
