// Small movies built with the SWF builder that exercise every tag kind the
// analysis reads: the seeds of the fuzz targets and the subjects of the
// truncation and corruption sweeps.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/swf_builder.hpp"

namespace framestow::test {

struct SampleMovie {
  std::string name;
  ByteVector bytes;
};

// A text (DefineText) using font `font`, one glyph record.
inline Bytes sampleTextBody(std::uint16_t id, std::uint16_t font) {
  Bytes body;
  body.u16(id).rect(0, 400, 0, 200).matrix();
  body.u8(4).u8(4);                       // glyph and advance bits
  body.u8(0x80 | 0x08).u16(font).u16(240);  // state change: font and height
  BitWriter glyphs;
  glyphs.ubits(2, 4).sbits(3, 4);
  body.u8(1).raw(glyphs.finish());        // one glyph
  body.u8(0);                              // end of records
  return body;
}

// DefineEditText with a font.
inline Bytes sampleEditTextBody(std::uint16_t id, std::uint16_t font) {
  Bytes body;
  body.u16(id).rect(0, 400, 0, 200);
  body.u16(0x0001).u16(font).u16(240).str("hello");
  return body;
}

// DefineButton2 with one record placing `character`, and a release action.
inline Bytes sampleButton2Body(std::uint16_t id, std::uint16_t character) {
  Bytes records;
  records.u8(0x0F).u16(character).u16(1).matrix().cxform(std::nullopt, std::nullopt, true);
  records.u8(0);
  Actions onRelease;
  onRelease.pushString("clip").pushString("attachMovie").callMethod().end();
  Bytes body;
  body.u16(id).u8(0).u16(static_cast<std::uint32_t>(records.size() + 2)).raw(records);
  body.u16(0).u16(0x0008).raw(onRelease.bytes);
  return body;
}

// PlaceObject2 with clip actions that attach.
inline Bytes samplePlaceWithClipActions(std::uint16_t id, std::uint16_t depth) {
  Actions attach;
  attach.pushString("lib").pushString("attachMovie").callMethod().end();
  Bytes body;
  body.u8(0x80 | 0x02).u16(depth).u16(id);
  body.u16(0).u32(0x00000001);  // reserved, all events
  body.u32(0x00000001).u32(static_cast<std::uint32_t>(attach.bytes.size())).raw(attach.bytes);
  body.u32(0);
  return body;
}

inline std::vector<SampleMovie> sampleMovies() {
  std::vector<SampleMovie> out;

  {  // Exported sprite in frame 1, attached in frame 2.
    Timeline inner;
    inner.placeObject2(2, 1).showFrame().end();
    Timeline main;
    main.setBackgroundColor().defineShape(2).sprite(3, inner).exportAssets({{3, "clip"}});
    main.showFrame();
    Actions a;
    a.pushString("clip").pushString("attachMovie").callMethod();
    main.doAction(a.bytes).showFrame().end();
    out.push_back({"intro_fws", buildMovie(main)});
    MovieOptions cws;
    cws.signature = "CWS";
    out.push_back({"intro_cws", buildMovie(main, cws)});
  }
  {  // Bitmaps, shapes with bitmap fills, sounds, fonts, texts, buttons, init actions.
    Timeline spriteTl;
    spriteTl.placeObject2(11, 1).startSound(20).showFrame().placeObject2(12, 2).showFrame().end();
    Timeline main;
    main.defineBitsLossless(10, 64).setBackgroundColor(0, 0, 0);
    main.defineShape(11, {10}, 22).defineShape(12, {10, 10}, 32).defineSound(20, 40);
    main.defineFont(30).tag(11, sampleTextBody(31, 30)).tag(37, sampleEditTextBody(32, 30));
    main.tag(34, sampleButton2Body(33, 11));
    main.sprite(40, spriteTl);
    Actions init;
    init.constantPool({"attachMovie", "lib"}).pushConstant(1).pushConstant(0).callMethod();
    main.doInitAction(40, init.bytes);
    main.exportAssets({{40, "lib"}, {33, "btn"}, {31, "txt"}, {20, "snd"}});
    main.exportAssets({{40, "lib"}}, true);  // a redundant entry, long header
    main.placeObject(12, 1).showFrame();
    main.tag(26, samplePlaceWithClipActions(40, 2)).showFrame();
    main.removeObject2(1).showFrame().end();
    out.push_back({"library_fws", buildMovie(main)});
    MovieOptions cws;
    cws.signature = "CWS";
    cws.version = 8;
    out.push_back({"library_cws", buildMovie(main, cws)});
  }
  {  // Nested references and a sprite placing itself; no background colour.
    Timeline selfRef;
    selfRef.placeObject2(50, 1).placeObject2(51, 2).showFrame().end();
    Timeline other;
    other.placeObject2(50, 1).showFrame().end();
    Timeline main;
    main.sprite(50, selfRef).sprite(51, other).exportAssets({{50, "a"}, {51, "b"}});
    main.showFrame().showFrame();
    Actions a;
    a.pushDoubleThenString(1.5, "attachMovie").callMethod();
    main.doAction(a.bytes).showFrame().end();
    out.push_back({"cycle_fws", buildMovie(main)});
  }
  {  // Bytes after the End tag within the declared length; frame count beyond the frames.
    Timeline main;
    main.setBackgroundColor().defineSound(5, 100).exportAssets({{5, "s"}}).showFrame();
    main.startSound(5).showFrame().end().raw({1, 2, 3, 4});
    MovieOptions options;
    options.frameCount = 9;
    out.push_back({"trailing_fws", buildMovie(main, options)});
  }
  {  // Version 4: loaded and described, not analysed.
    Timeline main;
    main.setBackgroundColor().showFrame().end();
    MovieOptions options;
    options.version = 4;
    out.push_back({"old_version", buildMovie(main, options)});
  }
  {  // Many frames, assets spread over them.
    Timeline main;
    main.setBackgroundColor();
    for (std::uint16_t f = 0; f < 40; ++f) {
      const auto id = static_cast<std::uint16_t>(100 + f);
      main.defineBitsLossless(id, 16).defineShape(static_cast<std::uint16_t>(id + 100), {id});
      main.exportAssets({{static_cast<std::uint16_t>(id + 100), "s" + std::to_string(f)}});
      if (f % 3 == 0) main.placeObject2(static_cast<std::uint16_t>(id + 100), f);
      main.showFrame();
    }
    main.end();
    out.push_back({"many_frames_fws", buildMovie(main)});
  }
  return out;
}

}  // namespace framestow::test
