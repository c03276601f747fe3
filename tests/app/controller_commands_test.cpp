// Enter, the up-down control, Browse and Save: what each does with the target
// frame, the path and the files on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "control_states.hpp"
#include "fake_window.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {
namespace {

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    path = writeTestMovie(folder, "intro.swf", shape);
    d.window.browseTo(path);
    d.window.click(IDSCAN);
  }

  std::string folder = folderForThisTest();
  MovieShape shape;  // three frames, an exported bitmap, attach code in frame 2
  std::string path;
  FakeDialog d;
};

std::string kiloBytes(std::size_t bytes) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f kBytes", static_cast<float>(bytes) / 1024.0f);
  return text;
}

TEST_F(Commands, EnterInTheTargetFieldPlansForTheTypedFrame) {
  d.window.typeTargetAndEnter("2");
  EXPECT_EQ(d.controller.targetFrame(), 2);
  EXPECT_EQ(d.window.texts[F_TARGET_FLD], "2");
  EXPECT_EQ(d.window.texts[COMMENTTEXT1], kiloBytes(exportedBitmapTagBytes(shape)));
  EXPECT_EQ(d.window.texts[COMMENTTEXT2], "OK to move to frame 2.");
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "");
}

TEST_F(Commands, EnterPastTheAttachFrameWarns) {
  d.window.typeTargetAndEnter("3");
  EXPECT_EQ(d.window.texts[COMMENTTEXT1], kiloBytes(exportedBitmapTagBytes(shape)) + " - WARNING!");
  EXPECT_EQ(d.window.texts[COMMENTTEXT2], "Some assets may be unavailable");
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "if moved to the selected frame.");
}

TEST_F(Commands, EnterClampsZeroAndNothingToFrame1) {
  for (const char* typed : {"0", ""}) {
    d.window.typeTargetAndEnter("2");
    d.window.typeTargetAndEnter(typed);
    EXPECT_EQ(d.controller.targetFrame(), 1) << '"' << typed << '"';
    EXPECT_EQ(d.window.texts[F_TARGET_FLD], "1") << '"' << typed << '"';
    EXPECT_EQ(d.window.texts[COMMENTTEXT2], "") << '"' << typed << '"';
  }
}

TEST_F(Commands, EnterClampsToTheFrameCount) {
  d.window.typeTargetAndEnter("99");
  EXPECT_EQ(d.controller.targetFrame(), 3);
  EXPECT_EQ(d.window.texts[F_TARGET_FLD], "3");
}

TEST_F(Commands, EnterKeepsTheFieldAsTypedWhenInRange) {
  d.window.typeTargetAndEnter("02");
  EXPECT_EQ(d.controller.targetFrame(), 2);
  EXPECT_EQ(d.window.texts[F_TARGET_FLD], "02");
}

TEST_F(Commands, UpDownWritesTheFieldAndPlans) {
  d.controller.upDownMoved(2);
  EXPECT_EQ(d.window.texts[F_TARGET_FLD], "2");
  EXPECT_EQ(d.controller.targetFrame(), 2);
  EXPECT_EQ(d.window.texts[COMMENTTEXT2], "OK to move to frame 2.");
}

TEST_F(Commands, EnterElsewhereReloadsAndDiscardsTheAnalysis) {
  for (ControlId focus : {FILE_PATH_FLD, IDBACKUP}) {
    if (!d.controller.document().analysed()) {
      d.window.click(IDSCAN);
    }
    d.window.typeTargetAndEnter("2");  // the backup box is on offer now
    d.window.pressEnterIn(focus);
    EXPECT_EQ(controlStates(d.window), "scan=on target=off optimise=off,unticked backup=off,ticked save=off")
        << focus;
    EXPECT_EQ(d.window.texts[ANALYSISTEXT1], "") << focus;
    EXPECT_EQ(d.window.texts[COMMENTTEXT2], "") << focus;
    EXPECT_FALSE(d.controller.document().analysed()) << focus;
  }
}

TEST_F(Commands, EnterLoadsATypedPath) {
  MovieShape other;
  other.frames = 5;
  const std::string second = writeTestMovie(folder, "second.swf", other);
  d.window.typePath(second);
  d.window.pressEnterIn(FILE_PATH_FLD);
  EXPECT_EQ(d.window.texts[SHORTNAMETEXT], "File Name: second.swf");
  EXPECT_EQ(d.window.texts[HEADERTEXT4], "Frames (main timeline): 5");
}

TEST_F(Commands, EnterWithNoPathDoesNothing) {
  d.window.typePath("");
  const int before = d.window.changes;
  d.window.pressEnterIn(FILE_PATH_FLD);
  EXPECT_EQ(d.window.changes, before);
}

TEST_F(Commands, CancelledBrowseKeepsTheMovieButLeavesNoPathToSave) {
  d.window.typeTargetAndEnter("2");
  const auto before = readFile(path);
  d.window.click(IDBROWSE);  // the chooser is cancelled
  EXPECT_EQ(d.window.chooserShown, 2);
  EXPECT_EQ(d.window.texts[FILE_PATH_FLD], path) << "the field still shows the movie";
  EXPECT_EQ(d.window.texts[COMMENTTEXT2], "OK to move to frame 2.");
  EXPECT_TRUE(d.window.enabled[BTN_SAVE]);

  d.window.click(BTN_SAVE);
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "ERROR WRITING FILE");
  EXPECT_FALSE(d.window.enabled[BTN_SAVE]);
  EXPECT_EQ(readFile(path), before);
}

TEST_F(Commands, SaveWritesTheMovieAndItsBackup) {
  const auto original = readFile(path);
  d.window.typeTargetAndEnter("2");
  d.window.click(BTN_SAVE);
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "FILE MODIFIED");
  EXPECT_EQ(readFile(folder + "/intro_old.swf"), original);
  const auto written = readFile(path);
  EXPECT_EQ(written.size(), original.size()) << "nothing removed, only moved";
  EXPECT_NE(written, original);
}

TEST_F(Commands, SaveWithoutBackupWritesNoBackup) {
  d.window.typeTargetAndEnter("2");
  d.window.click(IDBACKUP);
  d.window.click(BTN_SAVE);
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "FILE MODIFIED");
  EXPECT_FALSE(std::filesystem::exists(folder + "/intro_old.swf"));
}

TEST_F(Commands, SaveKeepsTheBackupUnderTheNextFreeName) {
  std::filesystem::create_directory(folder + "/intro_old.swf");  // a folder where the backup would go
  const auto original = readFile(path);
  d.window.typeTargetAndEnter("2");
  d.window.click(BTN_SAVE);
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "FILE MODIFIED");
  EXPECT_EQ(readFile(folder + "/intro_old_2.swf"), original);
}

TEST_F(Commands, SaveGoesToTheTypedPath) {
  d.window.typeTargetAndEnter("2");
  const std::string copy = folder + "/copy.swf";
  std::filesystem::copy_file(path, copy);
  d.window.typePath(copy);  // typed, not loaded
  d.window.click(BTN_SAVE);
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "FILE MODIFIED");
  EXPECT_NE(readFile(copy), readFile(path));
}

}  // namespace
}  // namespace framestow::test::app
