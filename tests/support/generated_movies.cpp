#include "support/generated_movies.hpp"

#include <random>

namespace framestow::test {

ByteVector generatedMovie(unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&](std::size_t n) { return static_cast<std::uint16_t>(random() % n); };
  std::vector<std::uint16_t> bitmaps, sounds, fonts, shown, defined;  // so far
  auto any = [&](const std::vector<std::uint16_t>& ids) { return ids[pick(ids.size())]; };
  const Bytes attachCall = Actions().pushString("clip").pushString(pick(2) != 0 ? "attachMovie" : "attachSound").callMethod().bytes;
  Tags tags;
  std::uint16_t id = 1;
  auto define = [&](ByteVector tag, std::vector<std::uint16_t>& kind) {
    tags.push_back(std::move(tag));
    defined.push_back(id);
    kind.push_back(id);
  };
  for (int frames = 2 + pick(4); frames > 0; --frames) {
    for (int steps = pick(8); steps > 0; --steps, ++id) {
      const std::uint16_t fill = bitmaps.empty() ? 0 : any(bitmaps);
      switch (pick(12)) {
        case 0: define(bitmap(id, pick(80)), bitmaps); break;
        case 1: define(sound(id), sounds); break;
        case 2: define(font(id), fonts); break;
        case 3: define(fill == 0 ? shape(id) : pick(3) == 0 ? shape4(id, fill, fill) : shape(id, {fill}), shown); break;
        case 4: if (fill != 0) define(morphShape(pick(2) != 0 ? kDefineMorphShape : kDefineMorphShape2, id, fill), shown); break;
        case 5: if (!fonts.empty()) define(text(pick(2) != 0 ? kDefineText : kDefineText2, id, any(fonts), any(fonts)), shown); break;
        case 6:
          if (shown.empty()) break;
          define(pick(2) != 0 ? button(id, {any(shown)}, attachCall) : button2(id, buttonRecord(0x0F, any(shown), true), attachCall), shown);
          if (!sounds.empty()) tags.push_back(buttonSound(id, any(sounds)));
          break;
        case 7: {
          Tags inner;
          for (int f = 1 + pick(3); f > 0; --f) {
            if (!shown.empty() && pick(10) < 7) inner.push_back(place(any(shown), static_cast<std::uint16_t>(f)));
            if (!sounds.empty() && pick(5) == 0) inner.push_back(startSound(any(sounds)));
            inner.push_back(kShowFrameBytes);
          }
          define(sprite(id, inner + Tags{kEndBytes}), shown);
          if (pick(5) < 2) tags.push_back(Timeline().doInitAction(id, Actions().constantPool({"lib", "attachMovie"}).pushConstant(1).bytes).bytes());
          break;
        }
        case 8: if (!shown.empty()) tags.push_back(pick(4) != 0 ? place(any(shown), id) : placeObject3(any(shown))); break;
        case 9: if (!sounds.empty()) tags.push_back(startSound(any(sounds))); break;
        case 10: {
          std::vector<std::pair<std::uint16_t, std::string>> entries;
          for (int i = 1 + pick(3); i > 0 && !defined.empty(); --i) entries.emplace_back(any(defined), "n" + std::to_string(pick(3)));
          if (!entries.empty()) tags.push_back(exports(entries, pick(5) == 0));
          break;
        }
        default:
          // Clip actions place character 1, which must be defined and shown by then.
          if (!shown.empty() && shown[0] == 1 && pick(3) == 0) tags.push_back(clipActions(8, pick(2) != 0, attachCall));
          else tags.push_back(pick(2) != 0 ? kBackground : doAction(attachCall));
      }
    }
    tags.push_back(kShowFrameBytes);
  }
  tags.push_back(kEndBytes);
  if (pick(10) == 0) tags.push_back(ByteVector{1, 2, 3});
  return movieOf(tags, header(pick(10) < 3 ? "CWS" : "FWS", 8, pick(10) == 0 ? std::optional<std::uint16_t>(pick(20) + 1) : std::nullopt));
}

}  // namespace framestow::test
