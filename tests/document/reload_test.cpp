// A document that has held one movie behaves for the next exactly as a fresh one.
#include <gtest/gtest.h>

#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

using test::Actions;
using test::buildMovie;
using test::ByteVector;
using test::MovieOptions;
using test::Timeline;

// Many frames, sprites with init actions, redundant exports, attach codes,
// character ids the second movie reuses for other things.
ByteVector busyMovie() {
  Timeline inner;
  inner.placeObject2(30, 1).showFrame().end();
  Timeline main;
  main.setBackgroundColor()
      .defineBitsLossless(31, 50)
      .defineShape(30, {31})
      .sprite(40, inner)
      .doInitAction(40, Actions().action(0x07).bytes)
      .sprite(41, inner)
      .doInitAction(41, Actions().action(0x07).bytes)
      .exportAssets({{40, "a"}, {41, "b"}, {40, "again"}})
      .showFrame();
  for (int f = 0; f < 6; ++f) main.placeObject2(41, static_cast<std::uint16_t>(f + 1)).showFrame();
  main.doAction(Actions().pushString("attachMovie").bytes).showFrame().end();
  return buildMovie(main);
}

// Sprite 40 again, now without init actions; shape 30 now plain.
ByteVector quietMovie() {
  Timeline inner;
  inner.placeObject2(30, 1).showFrame().end();
  Timeline main;
  main.setBackgroundColor().defineShape(30).sprite(40, inner).exportAssets({{40, "clip"}}).showFrame();
  main.showFrame().showFrame().end();
  MovieOptions compressed;
  compressed.signature = "CWS";
  return buildMovie(main, compressed);
}



void expectSameAnalysis(const Analysis& a, const Analysis& b) {
  ASSERT_EQ(a.byteoutput.size(), b.byteoutput.size());
  for (std::size_t i = 0; i < a.byteoutput.size(); ++i) {
    const bytesOut& x = a.byteoutput[i];
    const bytesOut& y = b.byteoutput[i];
    EXPECT_EQ(x.thisBlockType, y.thisBlockType) << "block " << i;
    EXPECT_EQ(x.thisHead, y.thisHead) << "block " << i;
    EXPECT_EQ(x.thisSprite, y.thisSprite) << "block " << i;
    EXPECT_EQ(x.thisStart, y.thisStart) << "block " << i;
    EXPECT_EQ(x.origLength, y.origLength) << "block " << i;
    EXPECT_EQ(x.thisLength, y.thisLength) << "block " << i;
    EXPECT_EQ(x.withThis, y.withThis) << "block " << i;
  }
  ASSERT_EQ(a.redundantList.size(), b.redundantList.size());
  for (const auto& [block, copy] : a.redundantList) {
    ASSERT_TRUE(b.redundantList.count(block)) << "block " << block;
    EXPECT_EQ(copy.byteNum, b.redundantList.at(block).byteNum);
    EXPECT_EQ(copy.thisLength, b.redundantList.at(block).thisLength);
  }
  EXPECT_EQ(a.redundantAssetTotal, b.redundantAssetTotal);
  EXPECT_EQ(a.blockRef, b.blockRef);
  EXPECT_EQ(a.dependTotals, b.dependTotals);
  for (std::size_t row = 0; row < a.dependTotals.size(); ++row) {
    for (std::int32_t j = 0; j < a.dependTotals[row]; ++j) {
      EXPECT_EQ(a.dependList[row][static_cast<std::size_t>(j)], b.dependList[row][static_cast<std::size_t>(j)]);
      EXPECT_EQ(a.dependFrame[row][static_cast<std::size_t>(j)], b.dependFrame[row][static_cast<std::size_t>(j)]);
    }
  }
  EXPECT_EQ(a.origAssetsList, b.origAssetsList);
  EXPECT_EQ(a.initScriptArray, b.initScriptArray);
  EXPECT_EQ(a.mainShowFrameBlocks, b.mainShowFrameBlocks);
  EXPECT_EQ(a.attachFound, b.attachFound);
  EXPECT_EQ(a.spriteExportArray, b.spriteExportArray);
  EXPECT_EQ(a.assetCountTotal, b.assetCountTotal);
  EXPECT_EQ(a.mainFrameCount, b.mainFrameCount);
  EXPECT_EQ(a.spriteCounter, b.spriteCounter);
  EXPECT_EQ(a.bgndColorBlock, b.bgndColorBlock);
  EXPECT_EQ(a.asObfuscation, b.asObfuscation);
  EXPECT_EQ(a.analysed, b.analysed);
}

void expectSameVerdict(const Verdict& a, const Verdict& b) {
  EXPECT_EQ(a.movableBytes, b.movableBytes);
  EXPECT_EQ(a.commentText1, b.commentText1);
  EXPECT_EQ(a.commentText2, b.commentText2);
  EXPECT_EQ(a.commentText3, b.commentText3);
  EXPECT_EQ(a.saveControls, b.saveControls);
}

// Loads `second` into `used` (which already held other movies) and into a
// fresh document, and compares everything either shows or writes.
void expectLikeFresh(Document& used, const ByteVector& second) {
  const std::string usedPath = test::writeFile(test::tempPath("used.swf"), second);
  const std::string freshPath = test::writeFile(test::tempPath("fresh.swf"), second);
  Document fresh;
  EXPECT_EQ(used.load(usedPath), fresh.load(freshPath));
  EXPECT_EQ(used.planState().testCounterFlag, kFirstPlanningStamp);
  EXPECT_EQ(used.movie().hInfoString1, fresh.movie().hInfoString1);
  EXPECT_EQ(used.movie().hInfoString2, fresh.movie().hInfoString2);
  EXPECT_EQ(used.movie().hInfoString3, fresh.movie().hInfoString3);
  EXPECT_EQ(used.movie().hInfoString4, fresh.movie().hInfoString4);
  EXPECT_EQ(used.analyze(), fresh.analyze());
  EXPECT_EQ(used.report().lines, fresh.report().lines);
  EXPECT_EQ(used.report().noModFlag, fresh.report().noModFlag);
  EXPECT_EQ(used.report().optimiseCaption, fresh.report().optimiseCaption);
  expectSameAnalysis(used.analysis(), fresh.analysis());

  for (std::int32_t n : {1, 2, 3, 4, 2}) {
    SCOPED_TRACE("n = " + std::to_string(n));
    expectSameVerdict(used.plan(n), fresh.plan(n));
    EXPECT_EQ(used.planState().testCounterFlag, fresh.planState().testCounterFlag);
    expectSameAnalysis(used.analysis(), fresh.analysis());
  }
  for (bool optimise : {false, true}) {
    const std::string a = test::tempPath(optimise ? "used-opt-out.swf" : "used-out.swf");
    const std::string b = test::tempPath(optimise ? "fresh-opt-out.swf" : "fresh-out.swf");
    EXPECT_EQ(used.save(2, optimise, false, a).result, fresh.save(2, optimise, false, b).result);
    EXPECT_EQ(test::readFile(a), test::readFile(b));
  }
}

TEST(Reload, SecondMovieAfterAnAnalysedAndPlannedOneIsLikeAFreshLoad) {
  Document doc;
  const std::string first = test::writeFile(test::tempPath("first.swf"), busyMovie());
  ASSERT_EQ(doc.load(first), "");
  ASSERT_TRUE(doc.analyze());
  doc.plan(3);
  doc.plan(5);
  ASSERT_EQ(doc.save(3, true, false, test::tempPath("first-out.swf")), kFileModified);
  expectLikeFresh(doc, quietMovie());
}

TEST(Reload, SameMovieTwiceIsLikeAFreshLoad) {
  Document doc;
  const std::string first = test::writeFile(test::tempPath("first.swf"), busyMovie());
  ASSERT_EQ(doc.load(first), "");
  ASSERT_TRUE(doc.analyze());
  doc.plan(4);
  expectLikeFresh(doc, busyMovie());
}

TEST(Reload, FailedLoadClearsEverythingOfTheMovieBefore) {
  Document doc;
  const std::string first = test::writeFile(test::tempPath("first.swf"), busyMovie());
  ASSERT_EQ(doc.load(first), "");
  ASSERT_TRUE(doc.analyze());
  doc.plan(4);
  const std::string junk = test::writeFile(test::tempPath("junk.swf"), {'J', 'U', 'N', 'K', 0, 0, 0, 0, 0, 0});
  EXPECT_NE(doc.load(junk), "");
  EXPECT_FALSE(doc.loaded());
  EXPECT_EQ(doc.analysis().byteoutputNum(), 0u);
  EXPECT_EQ(doc.planState().movableBytes, 0);
  EXPECT_EQ(doc.planState().testCounterFlag, kFirstPlanningStamp);
  EXPECT_FALSE(doc.analyze());
  EXPECT_EQ(doc.save(2, false, false, test::tempPath("junk-out.swf")), kErrorWritingFile);
  expectLikeFresh(doc, quietMovie());
}

TEST(Reload, FirstPlanAfterAnyLoadUsesTheFirstStamp) {
  Document doc;
  test::loadMovie(doc, busyMovie(), "a.swf");
  doc.plan(2);
  doc.plan(3);
  test::loadMovie(doc, quietMovie(), "b.swf");
  doc.plan(2);
  EXPECT_EQ(doc.planState().testCounterFlag, kFirstPlanningStamp + 1);
}

}  // namespace
}  // namespace framestow
