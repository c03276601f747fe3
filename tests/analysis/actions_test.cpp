// Attach codes in action records, per timeline, and actions that run past their tag.
#include <gtest/gtest.h>

#include "common/tag_codes.hpp"
#include "support/scan.hpp"

namespace framestow {
namespace {

using test::Actions;
using test::Bytes;
using test::scanTimeline;
using test::Timeline;

Bytes attach(const std::string& name) { return Actions().pushString("clip").pushString(name).callMethod().bytes; }

TEST(AttachCodes, ConstantPoolEntryCountsInItsFrame) {
  Timeline t;
  t.showFrame().showFrame().doAction(Actions().constantPool({"x", "attachMovie"}).pushConstant(1).bytes).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.attachFound[0], 3);
}

TEST(AttachCodes, OnlyTheFirstFrameOfATimelineCounts) {
  Timeline t;
  t.showFrame().doAction(attach("attachSound")).showFrame().showFrame().showFrame().doAction(attach("attachMovie"))
      .showFrame().end();
  EXPECT_EQ(scanTimeline(t).analysis.attachFound[0], 2);
}

TEST(AttachCodes, SpritesHaveEntriesOfTheirOwn) {
  Timeline plain;
  plain.showFrame().end();
  Timeline withCode;
  withCode.doAction(attach("attachMovie")).showFrame().end();
  Timeline t;
  t.sprite(1, plain).sprite(2, plain).sprite(3, plain).sprite(4, plain).sprite(5, withCode).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.attachFound[5], 1);
  EXPECT_EQ(s.analysis.attachFound[0], 0);
}

TEST(AttachCodes, NamesAreComparedExactly) {
  Timeline t;
  t.doAction(attach("AttachMovie")).doAction(attach("attachmovie")).doAction(attach("attachMovie ")).showFrame().end();
  EXPECT_EQ(scanTimeline(t).analysis.attachFound[0], 0);
}

TEST(AttachCodes, PushValuesBeforeTheStringAreSkipped) {
  Timeline t;
  t.showFrame().doAction(Actions().pushDoubleThenString(3.5, "attachSound").bytes).showFrame().end();
  EXPECT_EQ(scanTimeline(t).analysis.attachFound[0], 2);

  Bytes push;
  push.u8(1).u32(0).u8(2).u8(3).u8(4).u8(0).u8(5).u8(1).u8(7).u32(0).u8(8).u8(1).u8(9).u16(1).u8(0).str("attachMovie");
  Timeline many;
  many.doAction(Actions().action(0x96, push).bytes).showFrame().end();
  EXPECT_EQ(scanTimeline(many).analysis.attachFound[0], 1);
}

TEST(AttachCodes, ButtonAndClipActionsAreScanned) {
  Bytes button;
  button.u16(30).u8(0x0F).u16(1).u16(1).matrix().u8(0).raw(attach("attachMovie").data).u8(0);
  Timeline t;
  t.showFrame().tag(kDefineButton, button).showFrame().end();
  EXPECT_EQ(scanTimeline(t).analysis.attachFound[0], 2);

  // DefineButton2 with one condition-action record.
  Bytes button2;
  button2.u16(31).u8(0);
  const std::size_t offsetField = button2.size();
  button2.u16(0);
  button2.u8(0x01).u16(1).u16(1).matrix().cxform(std::nullopt, std::nullopt, true).u8(0);
  const auto offset = static_cast<std::uint16_t>(button2.size() - offsetField);
  button2.data[offsetField] = static_cast<std::uint8_t>(offset);
  button2.u16(0).u16(0x08).raw(attach("attachSound").data).u8(0);
  Timeline t2;
  t2.showFrame().showFrame().tag(kDefineButton2, button2).showFrame().end();
  EXPECT_EQ(scanTimeline(t2).analysis.attachFound[0], 3);
}

// PlaceObject2 with a name and a clip depth, then clip actions for SWF `version`.
Bytes clipActionPlacement(int version, bool keyPress, const Bytes& actions) {
  Bytes b;
  b.u8(0x80 | 0x40 | 0x20 | 0x02).u16(1).u16(7).str("inst").u16(10);
  const bool wide = version >= 6;
  b.u16(0);
  if (wide) b.u32(keyPress ? 0x20000 : 0x1); else b.u16(0x1);
  if (wide) b.u32(keyPress ? 0x20000 : 0x1); else b.u16(0x1);
  b.u32(static_cast<std::uint32_t>(actions.size() + 1 + (keyPress ? 1 : 0)));
  if (keyPress) b.u8(65);
  b.raw(actions).u8(0);
  if (wide) b.u32(0); else b.u16(0);
  return b;
}

TEST(ClipActions, ReadFromTheRightPlaceForEachVersion) {
  for (int version : {5, 6, 7}) {
    for (bool keyPress : {false, true}) {
      if (version == 5 && keyPress) continue;
      Timeline t;
      t.defineShape(7).showFrame().tag(kPlaceObject2, clipActionPlacement(version, keyPress, attach("attachMovie")))
          .showFrame().end();
      test::MovieOptions o;
      o.version = static_cast<std::uint8_t>(version);
      const auto s = scanTimeline(t, o);
      EXPECT_EQ(s.analysis.attachFound[0], 2) << version << keyPress;
      const std::size_t place = s.find(kPlaceObject2);
      EXPECT_EQ(s.block(place).withThis, 3u);
      EXPECT_EQ(s.block(place).thisHead, 2u);
      EXPECT_EQ(s.row(0), (std::vector<std::pair<int, int>>{{7, 2}}));
    }
  }
}

TEST(Overruns, DoActionRunningPastItsTagRaisesTheFlag) {
  // A push claiming 50 bytes in a 10-byte tag; the movie still analyses.
  Timeline t;
  t.tag(kDoAction, Bytes().u8(0x96).u16(50).u8(0).str("at").u8(0)).showFrame().doAction(attach("attachMovie")).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_TRUE(s.analysis.analysed);
  EXPECT_EQ(s.analysis.asObfuscation, 1);
  EXPECT_EQ(s.analysis.attachFound[0], 2);
}

TEST(Overruns, ClipActionOverrunSkipsTheRestOfTheTag) {
  Bytes broken;
  broken.u8(0x96).u16(500);
  Timeline t;
  t.defineShape(7).tag(kPlaceObject2, clipActionPlacement(6, false, broken)).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_TRUE(s.analysis.analysed);
  EXPECT_EQ(s.analysis.asObfuscation, 1);
  EXPECT_EQ(s.analysis.attachFound[0], 0);
  EXPECT_TRUE(s.analysis.endTagFound);
}

TEST(Overruns, ShortActionsHaveNoLength) {
  // 0x07 (stop) has no length field; 0x81 (goto frame) always has one.
  Timeline t;
  t.doAction(Actions().action(0x07).action(0x81, Bytes().u16(3)).pushString("attachMovie").bytes).showFrame().end();
  const auto s = scanTimeline(t);
  EXPECT_EQ(s.analysis.attachFound[0], 1);
  EXPECT_EQ(s.analysis.asObfuscation, 0);
}

}  // namespace
}  // namespace framestow
