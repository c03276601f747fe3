#include "cli_movies.hpp"

namespace framestow::clitest {

using test::Actions;
using test::Bytes;
using test::Timeline;

namespace {

test::MovieOptions optionsFor(const std::string& signature, std::uint8_t version, std::uint16_t frames) {
  test::MovieOptions options;
  options.signature = signature;
  options.version = version;
  options.widthTwips = 8000;
  options.heightTwips = 6000;
  options.rateInteger = 12;
  options.frameCount = frames;
  return options;
}

ByteVector movieOf(const std::vector<ByteVector>& tags, const test::MovieOptions& options) {
  Timeline main;
  main.raw(joined(tags));
  return test::buildMovie(main, options);
}

}  // namespace

ByteVector joined(const std::vector<ByteVector>& tags) {
  ByteVector all;
  for (const ByteVector& tag : tags) all.insert(all.end(), tag.begin(), tag.end());
  return all;
}

ByteVector exportTag(const std::vector<std::pair<std::uint16_t, std::string>>& entries) {
  return Timeline().exportAssets(entries).bytes();
}

OneAssetMovie::OneAssetMovie(std::vector<std::pair<std::uint16_t, std::string>> exportEntries) {
  background = Timeline().setBackgroundColor(255, 255, 255).bytes();
  shape = Timeline().defineShape(1).bytes();
  Timeline inner;
  inner.placeObject2(1, 1).showFrame().end();
  sprite = Timeline().sprite(2, inner).bytes();
  exports = exportTag(exportEntries);
  showFrame = Timeline().showFrame().bytes();
  attach = Timeline().doAction(Actions().pushString("attachMovie").callMethod().bytes).bytes();
  end = Timeline().end().bytes();
}

ByteVector OneAssetMovie::file(const std::string& signature, std::uint8_t version) const {
  return movieOf({background, shape, sprite, exports, showFrame, attach, showFrame, end},
                 optionsFor(signature, version, 2));
}

ByteVector OneAssetMovie::movedToFrame2(const ByteVector& exportTag, const std::string& signature) const {
  return movieOf({background, showFrame, shape, sprite, exportTag, attach, showFrame, end},
                 optionsFor(signature, 6, 2));
}

ByteVector noLinkedAssetsMovie() {
  Timeline main;
  main.setBackgroundColor().defineShape(1).placeObject2(1, 1).showFrame().showFrame().end();
  return test::buildMovie(main, optionsFor("FWS", 6, 2));
}

ByteVector unknownFillMovie() {
  Timeline main;
  main.setBackgroundColor();
  main.tag(2, Bytes().u16(1).rect(0, 200, 0, 200).u8(1).u8(0x13).fill(8));
  main.exportAssets({{1, "broken"}}).showFrame().showFrame().end();
  return test::buildMovie(main, optionsFor("FWS", 6, 2));
}

ByteVector obfuscatedMovie() {
  const OneAssetMovie parts;
  // Push (0x96) declaring 200 data bytes inside a 4-byte DoAction body.
  const ByteVector overrun = Timeline().tag(12, Bytes().u8(0x96).u16(200).u8(0)).bytes();
  return movieOf({parts.background, parts.shape, parts.sprite, parts.exports, parts.showFrame, parts.attach,
                  parts.showFrame, overrun, parts.showFrame, parts.end},
                 optionsFor("FWS", 6, 3));
}

ByteVector longMovie(std::uint16_t frames) {
  const OneAssetMovie parts;
  std::vector<ByteVector> tags{parts.background, parts.shape, parts.sprite, parts.exports, parts.showFrame,
                               parts.attach};
  for (std::uint16_t frame = 2; frame <= frames; ++frame) tags.push_back(parts.showFrame);
  tags.push_back(parts.end);
  return movieOf(tags, optionsFor("FWS", 6, frames));
}

std::string writeMovie(const std::string& folder, const std::string& name, const ByteVector& bytes) {
  return test::writeFile(folder + "/" + name, bytes);
}

}  // namespace framestow::clitest
