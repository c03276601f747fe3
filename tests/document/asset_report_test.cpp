// The per-asset report and the safe plan: what the report says of each linked
// asset, why each asset stays for a target frame under each plan (one row per
// kind of code that can run before the target frame), and the corpus's
// ActionScript 2 movies that register classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/documents.hpp"
#include "support/test_files.hpp"

namespace framestow::test {
namespace {

const ByteVector& S = kShowFrameBytes;
const ByteVector& E = kEndBytes;

Bytes push(const std::vector<std::string>& strings) {
  Actions actions;
  for (const std::string& text : strings) actions.pushString(text);
  return actions.bytes;
}
ByteVector code(const std::vector<std::string>& strings) { return doAction(push(strings)); }
ByteVector initCode(std::uint16_t sprite, const std::vector<std::string>& strings) {
  return Timeline().doInitAction(sprite, push(strings)).bytes();
}
// Sprite `id` holding shape 1 (defined by each movie), one frame.
ByteVector clip(std::uint16_t id) { return sprite(id, {place(1), S, E}); }

const AssetEntry* entryOf(const AssetReport& report, std::int32_t id) {
  const auto found = std::find_if(report.assets.begin(), report.assets.end(), [id](const AssetEntry& a) { return a.id == id; });
  return found == report.assets.end() ? nullptr : &*found;
}

struct WhyRow {
  const char* name;
  Tags tags;
  std::int32_t frame;
  bool safe;
  std::int32_t asset;
  AssetFate fate;
  StayReason why = StayReason::kNone;
};

TEST(AssetReport, WhyEachAssetMovesOrStays) {
  using enum AssetFate;
  using enum StayReason;
  const Tags lib = {shape(1), clip(2), exports({{2, "Clip"}})};
  const WhyRow rows[] = {
      {"an asset the main timeline places before the target stays, under either plan", {shape(1), exports({{1, "Box"}}), place(1), S, S, E}, 2, false, 1, kStays, kPlacedBefore},
      {"an asset placed in the target frame itself moves", {shape(1), exports({{1, "Box"}}), S, place(1), S, E}, 2, false, 1, kMoves},
      {"the default plan moves an asset that earlier code names", lib + Tags{code({"Clip"}), S, S, E}, 2, false, 2, kMoves},
      {"named by a DoAction of an earlier frame", lib + Tags{code({"Clip"}), S, S, E}, 2, true, 2, kStays, kNamedByCode},
      {"named only by the target frame's own code: it moves", lib + Tags{S, code({"Clip"}), S, E}, 2, true, 2, kMoves},
      {"named by clip actions placed before the target", lib + Tags{clipActions(6, false, push({"Clip"})), S, S, E}, 2, true, 2, kStays, kNamedByCode},
      {"named by the actions of a button placed before the target", lib + Tags{button(3, {1}, push({"Clip"})), place(3), S, S, E}, 2, true, 2, kStays, kNamedByCode},
      {"named by the first frame of a sprite placed before the target", lib + Tags{sprite(4, {code({"Clip"}), S, E}), place(4), S, S, E}, 2, true, 2, kStays, kNamedByCode},
      {"named by a later frame of a sprite placed before the target", lib + Tags{sprite(4, {S, code({"Clip"}), S, E}), place(4), S, S, E}, 2, true, 2, kStays, kNamedByCode},
      {"a sprite never shown runs no code", lib + Tags{sprite(4, {code({"Clip"}), S, E}), S, S, E}, 2, true, 2, kMoves},
      {"named by the init code of a sprite that stays", lib + Tags{clip(5), initCode(5, {"Clip"}), S, S, E}, 2, true, 2, kStays, kNamedByCode},
      {"init code that moves with its sprite names nothing early", lib + Tags{clip(5), exports({{5, "Other"}}), initCode(5, {"Clip"}), S, S, E}, 2, true, 2, kMoves},
      {"needed by an asset that earlier code names", {shape(1), clip(2), sprite(6, {place(2), S, E}), exports({{2, "Clip"}, {6, "Holder"}}), code({"Holder"}), S, S, E}, 2, true, 2, kStays, kNeededByStaying},
      {"its init code names an asset that stays", {shape(1), exports({{1, "Box"}}), clip(5), exports({{5, "__Packages.Widget"}}), initCode(5, {"Box"}), place(1), S, S, E}, 2, true, 5, kStays, kInitNamesStaying},
      {"an ActionScript 2 class named by its own name", {shape(1), clip(5), exports({{5, "__Packages.ui.Widget"}}), initCode(5, {"_global", "ui", "Widget"}), code({"ui", "Widget"}), S, S, E}, 2, true, 5, kStays, kNamedByCode},
      {"an ActionScript 2 class named by its full path", {shape(1), clip(5), exports({{5, "__Packages.ui.Widget"}}), code({"ui.Widget"}), S, S, E}, 2, true, 5, kStays, kNamedByCode},
      {"a superclass named by the init code of a class that stays", {shape(1), clip(5), clip(7), exports({{5, "__Packages.Base"}, {7, "__Packages.Derived"}}), initCode(5, {"Base"}), initCode(7, {"Derived", "Base"}), code({"Derived"}), S, S, E}, 2, true, 5, kStays, kNamedByCode},
      {"an asset defined in the target frame has nothing to move", {shape(1), S, clip(2), exports({{2, "Clip"}}), S, E}, 2, true, 2, kLater},
  };
  for (const WhyRow& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc = analysedMovie(row.tags);
    doc.setSafePlan(row.safe);
    const AssetReport report = doc.assetReport(row.frame);
    const AssetEntry* entry = entryOf(report, row.asset);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(fateText(entry->fate), fateText(row.fate));
    EXPECT_EQ(stayReasonText(entry->why, row.frame), stayReasonText(row.why, row.frame));
    // The safe plan's count and save follow the report.
    EXPECT_EQ(doc.plan(row.frame).movableBytes, report.movableBytes);
  }
}

TEST(AssetReport, WhatItSaysOfEachAsset) {
  // Frame 1: bitmap 3 in shape 4, sprite 2 placing the shape with init code;
  // frame 2 places sprite 2 and names the sound; frame 3 defines a button.
  const Tags tags = {bitmap(3), shape(4, {3}), sprite(2, {place(4), S, E}), sound(5), exports({{2, "Hero"}, {2, "Alias"}, {5, "Beep"}, {4, "Tile"}}),
                     initActions(2), S, place(2), code({"Beep"}), S, button(6, {4}), exports({{6, "Go"}, {9, "Ghost"}}), S, E};
  Document doc = analysedMovie(tags);
  const AssetReport report = doc.assetReport(2);
  const std::int64_t spriteBytes = sizeOf({sprite(2, {place(4), S, E}), initActions(2)});
  const std::int64_t shapeBytes = sizeOf({bitmap(3), shape(4, {3})});
  struct Expected {
    std::int32_t id;
    std::vector<std::string> names;
    std::string kind;
    std::int64_t bytes;
    std::int32_t defined, shown, named;
    bool init;
  };
  const Expected expected[] = {
      {2, {"Hero", "Alias"}, "sprite", spriteBytes + shapeBytes, 1, 2, 0, true},
      {5, {"Beep"}, "sound", sizeOf({sound(5)}), 1, 0, 2, false},
      {4, {"Tile"}, "shape", shapeBytes, 1, 2, 0, false},
      {6, {"Go"}, "button", sizeOf({button(6, {4})}) + shapeBytes, 3, 0, 0, false},
      {9, {"Ghost"}, "", 0, 0, 0, 0, false},
  };
  ASSERT_EQ(report.assets.size(), std::size(expected));
  for (std::size_t i = 0; i < report.assets.size(); ++i) {
    const AssetEntry& got = report.assets[i];
    SCOPED_TRACE(expected[i].id);
    EXPECT_EQ(got.id, expected[i].id);
    EXPECT_EQ(got.names, expected[i].names);
    EXPECT_EQ(got.kind, expected[i].kind);
    EXPECT_EQ(got.bytes, expected[i].bytes);
    EXPECT_EQ(got.definedFrame, expected[i].defined);
    EXPECT_EQ(got.firstShownFrame, expected[i].shown);
    EXPECT_EQ(got.firstNamedFrame, expected[i].named);
    EXPECT_EQ(got.hasInitCode, expected[i].init);
  }
}

TEST(AssetReport, CorpusMoviesThatRegisterClasses) {
  const std::string base = corpusDir() + "/from_gnash/misc-ming.all/";
  if (!std::filesystem::exists(base)) GTEST_SKIP() << "the corpus is absent: " << base;
  struct CorpusRow {
    const char* movie;
    std::int32_t frame;
    std::vector<std::pair<std::string, StayReason>> kept;  // first linkage name -> why it stays (safe plan)
  };
  using enum StayReason;
  const CorpusRow rows[] = {
      {"register_class/registerClassTest", 3, {{"redsquare", kNamedByCode}}},
      {"register_class/registerClassTest2", 4, {{"libItem1", kNamedByCode}, {"libItem2", kNamedByCode}, {"libItem3", kPlacedBefore}}},
      {"action_order/ActionOrderTest3", 4, {{"Segments_Name", kPlacedBefore}, {"__Packages.Bug", kNamedByCode}}},
      {"action_order/ActionOrderTest4", 3, {{"Segments_Name", kPlacedBefore}, {"__Packages.Bug", kNamedByCode}}},
  };
  for (const CorpusRow& row : rows) {
    SCOPED_TRACE(row.movie);
    Document doc;
    ASSERT_EQ(load(doc, base + row.movie + "/test.swf"), "");
    ASSERT_EQ(analyse(doc), "");
    doc.setSafePlan(true);
    const AssetReport report = doc.assetReport(row.frame);
    std::vector<std::pair<std::string, StayReason>> kept;
    for (const AssetEntry& asset : report.assets) {
      if (asset.fate == AssetFate::kStays && !asset.names.empty()) kept.emplace_back(asset.names.front(), asset.why);
    }
    EXPECT_EQ(kept, row.kept);
  }
}

}  // namespace
}  // namespace framestow::test
