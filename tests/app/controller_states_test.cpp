// Every row of the dialog's state table: which controls are enabled and
// ticked after each kind of event.
#include <gtest/gtest.h>

#include <fstream>

#include "control_states.hpp"
#include "fake_window.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {
namespace {

class ControllerStates : public ::testing::Test {
 protected:
  std::string movie(const std::string& name, const MovieShape& shape = {}) {
    return writeTestMovie(folder, name, shape);
  }
  // Loaded and analysed, the way a user gets there.
  void open(const std::string& path) {
    d.window.browseTo(path);
    d.window.click(IDSCAN);
  }

  std::string folder = folderForThisTest();
  FakeDialog d;
};

TEST_F(ControllerStates, Start) {
  EXPECT_EQ(controlStates(d.window), "scan=off target=off optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.range, std::make_pair(1, 20));
  EXPECT_EQ(d.window.texts[F_TARGET_FLD], "1");
  for (ControlId id : {ANALYSISTEXT1, ANALYSISTEXT2, ANALYSISTEXT3, ANALYSISTEXT4, COMMENTTEXT1, COMMENTTEXT2,
                       COMMENTTEXT3}) {
    EXPECT_EQ(d.window.texts[id], "") << id;
  }
  // The file lines keep their captions until a movie is loaded.
  EXPECT_EQ(d.window.texts[SHORTNAMETEXT], "File Name:");
  EXPECT_EQ(d.window.texts[HEADERTEXT4], "Frames (main timeline):");
  for (ControlId id : {FILE_PATH_FLD, IDBROWSE, IDCANCEL}) {
    EXPECT_TRUE(d.window.enabled[id]) << id;
  }
}

TEST_F(ControllerStates, LoadFailedOnMissingFile) {
  d.window.browseTo(folder + "/missing.swf");
  EXPECT_EQ(controlStates(d.window), "scan=off target=off optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[HEADERTEXT1], "Sorry, an error has occured reading the file.\r\n");
  EXPECT_EQ(d.window.texts[SHORTNAMETEXT], "File Name: missing.swf");
  for (ControlId id : {HEADERTEXT2, HEADERTEXT3, HEADERTEXT4}) {
    EXPECT_EQ(d.window.texts[id], "") << id;
  }
  // Nothing was loaded: the cleared header reads as version 0.
  EXPECT_EQ(d.window.texts[ANALYSISTEXT1], "Version 0 Flash files do not use linked assets.");
  EXPECT_EQ(d.window.texts[FILE_PATH_FLD], folder + "/missing.swf");
}

TEST_F(ControllerStates, LoadFailedOnFileThatIsNoMovie) {
  const std::string path = folder + "/notes.swf";
  std::ofstream(path) << "These are notes, not a movie.";
  d.window.browseTo(path);
  EXPECT_EQ(controlStates(d.window), "scan=off target=off optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[HEADERTEXT1], "Sorry, the file doesn't appear to be an swf.\r\n");
}

TEST_F(ControllerStates, LoadedVersion4CannotBeAnalysed) {
  MovieShape old;
  old.version = 4;
  d.window.browseTo(movie("old.swf", old));
  EXPECT_EQ(controlStates(d.window), "scan=off target=off optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[HEADERTEXT1], "SWF Version: 4");
  EXPECT_EQ(d.window.texts[HEADERTEXT4], "Frames (main timeline): 3");
  EXPECT_EQ(d.window.texts[ANALYSISTEXT1], "Version 4 Flash files do not use linked assets.");
}

TEST_F(ControllerStates, LoadedVersion5OrLaterCanBeAnalysed) {
  MovieShape compressed;
  compressed.signature = "CWS";
  d.window.browseTo(movie("intro.swf", compressed));
  EXPECT_EQ(controlStates(d.window), "scan=on target=off optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[SHORTNAMETEXT], "File Name: intro.swf");
  EXPECT_EQ(d.window.texts[HEADERTEXT1], "SWF Version: 6 (compressed)");
  EXPECT_EQ(d.window.texts[HEADERTEXT3], "Dimensions: 400 x 300");
  EXPECT_EQ(d.window.texts[HEADERTEXT4], "Frames (main timeline): 3");
  EXPECT_EQ(d.window.texts[ANALYSISTEXT1], "");
}

TEST_F(ControllerStates, AnalyzeWithRedundantExportsOffersRemovalAndSave) {
  MovieShape redundant;
  redundant.redundantBytes = 10;
  open(movie("r.swf", redundant));
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=on,ticked backup=on,ticked save=on");
  EXPECT_EQ(d.window.range, std::make_pair(1, 3));
  EXPECT_EQ(d.window.texts[F_TARGET_FLD], "1");
  EXPECT_EQ(d.controller.targetFrame(), 1);
}

TEST_F(ControllerStates, AnalyzeWithoutRedundantExportsLeavesSaveOff) {
  open(movie("plain.swf"));
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[IDOPTIMISE], "Remove Redundant Bytes");
}

TEST_F(ControllerStates, AnalyzeWithoutLinkedAssetsKeepsTheTargetOff) {
  MovieShape none;
  none.exported = false;
  open(movie("none.swf", none));
  EXPECT_EQ(controlStates(d.window), "scan=off target=off optimise=off,unticked backup=off,ticked save=off");
}

TEST_F(ControllerStates, AnalyzeOfOneFrameKeepsTheTargetOff) {
  MovieShape single;
  single.frames = 1;
  single.attachFrame = 0;
  open(movie("single.swf", single));
  EXPECT_EQ(controlStates(d.window), "scan=off target=off optimise=off,unticked backup=off,ticked save=off");
}

TEST_F(ControllerStates, PlannerAfterFrame1EnablesSaveAndBackup) {
  open(movie("plain.swf"));
  d.window.typeTargetAndEnter("2");
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=off,unticked backup=on,ticked save=on");
}

TEST_F(ControllerStates, PlannerAtFrame1WithRemovalUntickedDisablesSaveAndBackup) {
  open(movie("plain.swf"));
  d.window.typeTargetAndEnter("2");
  d.window.typeTargetAndEnter("1");
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[COMMENTTEXT1], "");
  EXPECT_EQ(d.window.texts[COMMENTTEXT2], "");
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "");
}

TEST_F(ControllerStates, PlannerAtFrame1WithRemovalTickedLeavesSaveAndBackupAlone) {
  MovieShape redundant;
  redundant.redundantBytes = 10;
  open(movie("r.swf", redundant));
  d.window.click(BTN_SAVE);  // Save turns itself off
  d.window.typeTargetAndEnter("1");
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=on,ticked backup=on,ticked save=off");
}

TEST_F(ControllerStates, TickingRemovalEnablesSaveAndTicksBackup) {
  MovieShape redundant;
  redundant.redundantBytes = 10;
  open(movie("r.swf", redundant));
  d.window.click(IDOPTIMISE);  // unticked at frame 1: nothing to save
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=on,unticked backup=off,ticked save=off");
  d.window.ticked[IDBACKUP] = false;
  d.window.click(IDOPTIMISE);
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=on,ticked backup=on,ticked save=on");
}

TEST_F(ControllerStates, UntickingRemovalKeepsSaveWhileBytesCanMove) {
  MovieShape redundant;
  redundant.redundantBytes = 10;
  open(movie("r.swf", redundant));
  d.window.typeTargetAndEnter("2");
  d.window.click(IDBACKUP);  // the user declines the backup...
  d.window.click(IDOPTIMISE);
  // ...and unticking removal, with bytes to move, offers it again.
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=on,unticked backup=on,ticked save=on");
}

TEST_F(ControllerStates, SaveTurnsItselfOffUntilTheNextChange) {
  const std::string path = movie("plain.swf");
  open(path);
  d.window.typeTargetAndEnter("2");
  d.window.click(BTN_SAVE);
  EXPECT_EQ(d.window.texts[COMMENTTEXT3], "FILE MODIFIED");
  EXPECT_EQ(controlStates(d.window), "scan=off target=on optimise=off,unticked backup=on,ticked save=off");
  d.controller.upDownMoved(3);
  EXPECT_TRUE(d.window.enabled[BTN_SAVE]);
}

TEST_F(ControllerStates, LoadingAgainReturnsToTheLoadRow) {
  MovieShape redundant;
  redundant.redundantBytes = 10;
  const std::string path = movie("r.swf", redundant);
  open(path);
  d.window.typeTargetAndEnter("3");
  d.window.browseTo(path);
  EXPECT_EQ(controlStates(d.window), "scan=on target=off optimise=off,unticked backup=off,ticked save=off");
  EXPECT_EQ(d.window.texts[F_TARGET_FLD], "1");
  EXPECT_EQ(d.window.texts[IDOPTIMISE], "Remove 10 Redundant Bytes") << "the caption stays until the next analysis";
  for (ControlId id : {ANALYSISTEXT1, ANALYSISTEXT2, ANALYSISTEXT3, ANALYSISTEXT4, COMMENTTEXT1, COMMENTTEXT2,
                       COMMENTTEXT3}) {
    EXPECT_EQ(d.window.texts[id], "") << id;
  }
}

TEST_F(ControllerStates, ExitEndsTheDialogWithCodeZero) {
  d.window.click(IDCANCEL);
  EXPECT_EQ(d.window.endCode, 0);
}

}  // namespace
}  // namespace framestow::test::app
