// Every flow of the dialog, through the controller and a fake window: a row
// plays the user through a few steps and states what the window and the files
// on disk hold afterwards. During every analysis the fake user also presses
// Enter, Save, Exit, Analyze and the arrows, types a frame, leaves the field
// and drops a movie: none of it may act.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "fake_window.hpp"
#include "test_movies.hpp"
#include "support/tag_list.hpp"

namespace framestow::test::app {
namespace {

// What a row can check besides the controls' texts (keyed by control id).
enum Observed : int { kStates = -1, kFocus = -2, kTarget = -3, kEndBytes = -4, kRange = -5, kChooser = -6,
                      kRemembered = -7, kStatesWhileBusy = -8, kFiles = -9, kProfile = -10 };

struct Flow {
  const char* name;
  MovieShape shape;  // of m.swf; other.swf (five frames), notes.swf (text) and dir/ lie beside it
  const char* steps;
  std::map<int, std::string> expected;  // "{dir}": the folder; "{moved}": the bitmap's tag in kBytes
};

const std::string kReadError = "Sorry, an error has occured reading the file.\r\n";
const std::string kNoRedundant = "No redundant export codes found.";
const std::string kWarning1 = "WARNING - Attach codes not located! These could be";
const std::string kWarning2 = "from a parent or submovie, or within obfuscated code.";
const std::string kUntouched = "m.swf=1 m_old.swf=- other.swf=1 other_old.swf=-";
const std::string kSavedFor2 = "m.swf=2 m_old.swf=1 other.swf=1 other_old.swf=-";
// Control states: the enabled input controls / the ticked boxes.
const std::string kNothing = "path browse exit / backup";
const std::string kLoaded = "path browse scan exit / backup";
const std::string kAnalysed = "path browse target exit / backup";
const std::string kPlanned = "path browse target backup save exit / backup";
const std::string kSaved = "path browse target backup exit / backup";
const std::string kAll = "path browse target optimise backup save exit";
const std::string kOK2 = "OK to move to frame 2.";

const Flow kFlows[] = {
    {"Start", {}, "", {{kStates, kNothing}, {kRange, "1-20"}, {F_TARGET_FLD, "1"}, {ANALYSISTEXT1, ""},
      {COMMENTTEXT1, ""}, {SAVE_CAUSE_TEXT, ""}, {SHORTNAMETEXT, "File Name:"}, {HEADERTEXT4, "Frames (main timeline):"}}},
    // Loading
    {"LoadFailsOnAMissingFile", {}, "load:missing.swf", {{kStates, kNothing}, {SHORTNAMETEXT, "File Name: missing.swf"},
      {HEADERTEXT1, kReadError}, {HEADERTEXT2, "No such file or directory: {dir}/missing.swf"}, {HEADERTEXT4, ""},
      {ANALYSISTEXT1, ""}, {kRemembered, ""}}},
    {"LoadFailsOnAFolder", {}, "load:dir", {{kStates, kNothing}, {HEADERTEXT1, kReadError},
      {HEADERTEXT2, "Is a directory: {dir}/dir"}, {ANALYSISTEXT1, ""}}},
    {"LoadFailsOnAFileThatIsNoMovie", {}, "load:notes.swf",
     {{kStates, kNothing}, {HEADERTEXT1, "Sorry, the file doesn't appear to be an swf.\r\n"}, {ANALYSISTEXT1, ""}}},
    {"Version4LoadsButIsNotAnalysed", {.version = 4}, "load:m.swf", {{kStates, kNothing}, {HEADERTEXT1, "SWF Version: 4"},
      {HEADERTEXT4, "Frames (main timeline): 3"}, {ANALYSISTEXT1, "Version 4 Flash files do not use linked assets."}}},
    {"Version6LoadsReadyForAnalysis", {.signature = "CWS"}, "load:m.swf", {{kStates, kLoaded}, {FILE_PATH_FLD, "{dir}/m.swf"},
      {HEADERTEXT1, "SWF Version: 6 (compressed)"}, {HEADERTEXT3, "Dimensions: 400 x 300"}, {kRemembered, "{dir}"}}},
    {"ALoadClearsEverythingOfThePreviousMovie", {.redundantBytes = 10}, "load:m.swf analyze frame:3 load:m.swf",
     {{kStates, kLoaded}, {F_TARGET_FLD, "1"}, {IDOPTIMISE, "Remove Redundant Bytes"}, {ANALYSISTEXT3, ""}, {COMMENTTEXT1, ""}}},
    {"AFailedLoadClearsEverythingOfThePreviousMovie", {.redundantBytes = 10}, "load:m.swf analyze frame:2 load:notes.swf",
     {{kStates, kNothing}, {IDOPTIMISE, "Remove Redundant Bytes"}, {ANALYSISTEXT3, ""}, {COMMENTTEXT2, ""}}},
    {"EnterLoadsTheTypedPath", {}, "load:m.swf analyze path:other.swf enter",
     {{kStates, kLoaded}, {SHORTNAMETEXT, "File Name: other.swf"}, {HEADERTEXT4, "Frames (main timeline): 5"}}},
    {"EnterElsewhereReloads", {}, "load:m.swf analyze frame:2 enter:backup", {{kStates, kLoaded}, {COMMENTTEXT2, ""}}},
    {"EnterWithAnEmptyPathDoesNothing", {}, "load:m.swf analyze frame:2 path: enter", {{kStates, kPlanned}, {COMMENTTEXT2, kOK2}}},
    {"ADroppedMovieLoads", {}, "load:m.swf analyze drop:other.swf",
     {{kStates, kLoaded}, {FILE_PATH_FLD, "{dir}/other.swf"}, {HEADERTEXT4, "Frames (main timeline): 5"}}},
    {"BrowseStartsInTheFolderOfThePath", {}, "path:dir/x.swf cancel", {{kChooser, "{dir}/dir"}}},
    {"BrowseStartsInTheRememberedFolderWithoutAPath", {}, "path:nowhere/x.swf cancel", {{kChooser, ""}}},
    {"KeepingAssetsThatEarlierCodeUsesLeavesThemInPlace", {.namedInFrame1 = true}, "load:m.swf analyze keep frame:2 save",
     {{COMMENTTEXT1, "0 bytes"}, {COMMENTTEXT3, "FILE ALREADY HAS THIS LAYOUT"}, {kFiles, kUntouched}}},
    {"UntickingKeepMovesThemAgain", {.namedInFrame1 = true}, "load:m.swf analyze keep frame:2 keep save",
     {{COMMENTTEXT1, "{moved}"}, {kFiles, kSavedFor2}}},
    // Analysis
    {"AnalysisFindsAttachCodes", {}, "load:m.swf analyze", {{kStates, kAnalysed}, {kRange, "1-3"}, {kTarget, "1"},
      {ANALYSISTEXT1, "Number of linked assets found: 1"}, {ANALYSISTEXT2, "Attach codes were found in frame 2"},
      {ANALYSISTEXT3, kNoRedundant}, {ANALYSISTEXT4, ""}, {IDOPTIMISE, "Remove Redundant Bytes"}, {kFocus, "target"}}},
    {"AnalysisOffersToRemoveRedundantExports", {.redundantBytes = 10}, "load:m.swf analyze", {{kStates, kAll + " / optimise backup"},
      {ANALYSISTEXT3, "Redundant export codes found: 10 Bytes"}, {IDOPTIMISE, "Remove 10 Redundant Bytes"}}},
    {"RedundantBytesUpTo1024AreCountedInBytes", {.redundantBytes = 1024}, "load:m.swf analyze",
     {{ANALYSISTEXT3, "Redundant export codes found: 1024 Bytes"}, {IDOPTIMISE, "Remove 1024 Redundant Bytes"}}},
    {"RedundantBytesAbove1024AreCountedInKilobytes", {.redundantBytes = 1025}, "load:m.swf analyze",
     {{ANALYSISTEXT3, "Redundant export codes found: 1.00 kBytes"}, {IDOPTIMISE, "Remove 1.00 Redundant kBytes"}}},
    {"AMovieWithoutLinkedAssetsKeepsTheTargetOff", {.exported = false}, "load:m.swf analyze", {{kStates, kNothing},
      {ANALYSISTEXT1, "This movie does not contain linked assets."}, {ANALYSISTEXT2, " "}, {ANALYSISTEXT3, " "}, {kFocus, "path"}}},
    {"AOneFrameMovieMovesTheRedundantLineDown", {.frames = 1, .attachFrame = 0}, "load:m.swf analyze", {{kStates, kNothing},
      {ANALYSISTEXT2, "There is only one frame in the main timeline."}, {ANALYSISTEXT3, "Assets cannot be moved."},
      {ANALYSISTEXT4, kNoRedundant}}},
    {"MissingAttachCodesWarn", {.attachFrame = 0}, "load:m.swf analyze",
     {{ANALYSISTEXT2, kWarning1}, {ANALYSISTEXT3, kWarning2}, {ANALYSISTEXT4, kNoRedundant}}},
    {"ObfuscatedCodeWarnsAndHidesTheRedundantLine", {.obfuscated = true, .redundantBytes = 10}, "load:m.swf analyze",
     {{ANALYSISTEXT2, kWarning1}, {ANALYSISTEXT3, kWarning2}, {ANALYSISTEXT4, ""}}},
    {"AnUnreadableShapeStopsTheAnalysis", {.badFill = true}, "load:m.swf analyze",
     {{kStates, kNothing}, {ANALYSISTEXT1, "Unknown fill type: 19"}, {ANALYSISTEXT2, ""}, {COMMENTTEXT1, ""}, {kFocus, "path"}}},
    {"ANewLoadClearsAFailedAnalysis", {.badFill = true}, "load:m.swf analyze load:other.swf analyze",
     {{kStates, kAnalysed}, {ANALYSISTEXT1, "Number of linked assets found: 1"}}},
    {"NothingActsWhileAnAnalysisRuns", {.redundantBytes = 10}, "load:m.swf analyze", {{kStatesWhileBusy, " / backup"},
      {kEndBytes, "-1"}, {SHORTNAMETEXT, "File Name: m.swf"}, {kTarget, "1"}, {kFiles, kUntouched}}},
    // The target frame
    {"EnterPlansForTheTypedFrame", {}, "load:m.swf analyze frame:2",
     {{kStates, kPlanned}, {kTarget, "2"}, {COMMENTTEXT1, "{moved}"}, {COMMENTTEXT2, kOK2}, {COMMENTTEXT3, ""}}},
    {"AFramePastTheAttachCodeWarns", {}, "load:m.swf analyze frame:3", {{COMMENTTEXT1, "{moved} - WARNING!"},
      {COMMENTTEXT2, "Some assets may be unavailable"}, {COMMENTTEXT3, "if moved to the selected frame."}}},
    {"EnterClampsZeroOrNothingToFrame1", {}, "load:m.swf analyze frame:2 frame:0 frame:2 frame:",
     {{kStates, kAnalysed}, {kTarget, "1"}, {F_TARGET_FLD, "1"}, {COMMENTTEXT1, ""}, {COMMENTTEXT2, ""}}},
    {"EnterClampsToTheFrameCount", {}, "load:m.swf analyze frame:99", {{kTarget, "3"}, {F_TARGET_FLD, "3"}}},
    {"EnterKeepsANumberInRangeAsTyped", {}, "load:m.swf analyze frame:02", {{kTarget, "2"}, {F_TARGET_FLD, "02"}}},
    {"TheArrowsWriteTheFieldAndPlan", {}, "load:m.swf analyze up:2", {{kTarget, "2"}, {F_TARGET_FLD, "2"}, {COMMENTTEXT2, kOK2}}},
    {"LeavingTheFieldCommitsTheTypedFrame", {}, "load:m.swf analyze type:2 leave",
     {{kStates, kPlanned}, {kTarget, "2"}, {COMMENTTEXT2, kOK2}}},
    {"LeavingTheFieldClampsAsEnterDoes", {}, "load:m.swf analyze type:7 leave", {{kTarget, "3"}, {F_TARGET_FLD, "3"}}},
    {"LeavingTheFieldUnchangedLeavesSaveOff", {}, "load:m.swf analyze frame:2 save leave", {{kStates, kSaved}}},
    // Options
    {"PlanningFrame1WithRemovalTickedLeavesSaveAlone", {.redundantBytes = 10}, "load:m.swf analyze save frame:1",
     {{kStates, "path browse target optimise backup exit / optimise backup"}}},
    {"UntickingRemovalAtFrame1TurnsSaveOff", {.redundantBytes = 10}, "load:m.swf analyze optimise",
     {{kStates, "path browse target optimise exit / backup"}}},
    {"TickingRemovalOffersSaveAndTicksTheBackup", {.redundantBytes = 10},
     "load:m.swf analyze frame:2 backup frame:1 optimise optimise", {{kStates, kAll + " / optimise backup"}}},
    {"UntickingRemovalKeepsSaveWhileBytesCanMove", {.redundantBytes = 10}, "load:m.swf analyze frame:2 backup optimise",
     {{kStates, kAll + " / backup"}}},
    // Save: always the loaded movie, for the frame shown
    {"SaveWritesTheMovieAndKeepsTheOriginal", {}, "load:m.swf analyze frame:2 save",
     {{COMMENTTEXT3, "FILE MODIFIED"}, {BACKUP_NAME_TEXT, "Backup: m_old.swf"}, {kStates, kSaved}, {kFiles, kSavedFor2},
      {kFocus, "target"}}},
    {"SaveWithoutBackupKeepsNoCopy", {}, "load:m.swf analyze frame:2 backup save",
     {{COMMENTTEXT3, "FILE MODIFIED"}, {BACKUP_NAME_TEXT, ""}, {kFiles, "m.swf=2 m_old.swf=- other.swf=1 other_old.swf=-"}}},
    {"SaveLeavesWhateverLiesAtTheBackupName", {}, "load:m.swf analyze frame:2 block:m_old.swf save",
     {{COMMENTTEXT3, "FILE MODIFIED"}, {BACKUP_NAME_TEXT, "Backup: m_old_2.swf"}, {kFiles, "m.swf=2 m_old.swf=/ other.swf=1 other_old.swf=-"}}},
    {"SaveAgainAfterTheNextChange", {}, "load:m.swf analyze frame:2 save up:3 save",
     {{COMMENTTEXT3, "FILE MODIFIED"}, {BACKUP_NAME_TEXT, "Backup: m_old_2.swf"},
      {kFiles, "m.swf=3 m_old.swf=1 other.swf=1 other_old.swf=-"}}},
    {"SaveAgainForTheSameFrameWritesNothing", {}, "load:m.swf analyze frame:2 save up:3 up:2 save",
     {{COMMENTTEXT3, "FILE ALREADY HAS THIS LAYOUT"}, {BACKUP_NAME_TEXT, ""}, {kFiles, kSavedFor2}}},
    {"SaveSaysWhyItFailed", {}, "load:m.swf analyze frame:2 readonly:m.swf save",
     {{COMMENTTEXT3, "ERROR WRITING FILE"}, {SAVE_CAUSE_TEXT, "The file is read-only: {dir}/m.swf"}, {kFiles, kUntouched}}},
    {"AMovieShortOfItsLengthIsNeverSaved", {.redundantBytes = 10, .shortByOne = true}, "load:m.swf analyze frame:2",
     {{kStates, "path browse target optimise exit / optimise backup"},
      {SAVE_BLOCKED_TEXT, "This movie cannot be saved: the file is 1 byte shorter than its header declares."}}},
    {"SaveIgnoresAPathTypedWithoutEnter", {}, "load:m.swf analyze frame:2 path:other.swf save",
     {{COMMENTTEXT3, "FILE MODIFIED"}, {FILE_PATH_FLD, "{dir}/other.swf"}, {kFiles, kSavedFor2}}},
    {"SaveIgnoresACancelledBrowse", {}, "load:m.swf analyze frame:2 cancel save",
     {{COMMENTTEXT3, "FILE MODIFIED"}, {FILE_PATH_FLD, "{dir}/m.swf"}, {kFiles, kSavedFor2}}},
    {"SaveCommitsATypedFrameFirst", {.redundantBytes = 10}, "load:m.swf analyze type:2 save",
     {{kTarget, "2"}, {COMMENTTEXT2, kOK2}, {kFiles, kSavedFor2}}},
    {"SaveWritesNothingWhenTheTypedFrameLeavesNothingToSave", {}, "load:m.swf analyze frame:2 type:1 save",
     {{kStates, kAnalysed}, {COMMENTTEXT3, ""}, {kFiles, kUntouched}}},
    // The stream profile: its window shows the panels of the chart it was given and whether the headline compares.
    {"ProfileIsOffUntilTheAnalysis", {}, "load:m.swf", {{kProfile, "closed: no chart"}}},
    {"ProfileForFrame1ShowsTheMovieAsItIs", {.signature = "CWS"}, "load:m.swf analyze profile", {{kProfile, "open: Before"}}},
    {"ProfileComparesWithTheMovieSaveWouldWrite", {.signature = "CWS"}, "load:m.swf analyze frame:2 profile",
     {{kProfile, "open: Before / After the move to frame 2 (instead of)"}}},
    {"ProfileFollowsTheTargetFrame", {}, "load:m.swf analyze frame:2 profile up:3", {{kProfile, "open: Before / After the move to frame 3 (instead of)"}}},
    {"ALoadDropsTheProfile", {}, "load:m.swf analyze frame:2 profile load:other.swf", {{kProfile, "open: no chart"}}},
    {"ExitEndsTheDialogWithCode0", {}, "exit", {{kEndBytes, "0"}}},
};

void PrintTo(const Flow& flow, std::ostream* out) { *out << flow.name; }

class Flows : public ::testing::TestWithParam<Flow> {
 protected:
  void SetUp() override {
    writeTestMovie(folder, "m.swf", GetParam().shape);
    writeTestMovie(folder, "other.swf", {.frames = 5});
    writeFile(folder + "/notes.swf", ByteVector(40, 'n'));  // no movie
    std::filesystem::create_directory(folder + "/dir");
    c.start();
    w.whileBusy = [this] {
      for (int id : {IDOK, BTN_SAVE, IDCANCEL, IDSCAN}) c.command(id);
      c.upDownMoved(2), w.texts[F_TARGET_FLD] = "3", c.targetFieldLeft(), c.openMovie(folder + "/other.swf");
    };
  }

  // One step of the user. A click or Enter needs an enabled control; check
  // boxes tick or untick themselves before they report.
  void play(const std::string& step) {
    const std::size_t colon = step.find(':');
    const std::string verb = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
    const std::string path = arg.empty() ? "" : folder + "/" + arg;
    const std::map<std::string, ControlId> controls{
        {"load", IDBROWSE}, {"cancel", IDBROWSE}, {"analyze", IDSCAN}, {"optimise", IDOPTIMISE}, {"backup", IDBACKUP}, {"keep", KEEP_ASSETS},
        {"save", BTN_SAVE}, {"exit", IDCANCEL},   {"frame", F_TARGET_FLD}, {"type", F_TARGET_FLD},
        {"enter", arg == "backup" ? IDBACKUP : FILE_PATH_FLD}, {"profile", PROFILE_BTN}};
    if (controls.count(verb)) {
      ASSERT_TRUE(w.enabled[controls.at(verb)]) << step << ": control is disabled";
      w.focus = controls.at(verb);
    }
    if (verb == "load") w.choices.push_back(path);
    if (verb == "frame" || verb == "type") w.texts[F_TARGET_FLD] = arg;  // typed, then Enter or not
    if (verb == "optimise" || verb == "backup" || verb == "keep") w.ticked[w.focus] = !w.ticked[w.focus];
    if (verb == "path") w.texts[FILE_PATH_FLD] = path;  // typed, no Enter
    if (verb == "block") std::filesystem::create_directory(path);
    if (verb == "readonly") std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    if (verb == "up") c.upDownMoved(std::stoi(arg));
    if (verb == "drop") c.openMovie(path);
    if (verb == "leave") w.focus = 0, c.targetFieldLeft();
    if (verb == "frame" || verb == "enter") c.command(IDOK);
    if (verb != "frame" && verb != "type" && verb != "enter" && controls.count(verb)) c.command(w.focus);
  }

  // The frame each movie file holds the exported bitmap in; "-" for no file, "/" for a folder.
  std::string files() const {
    std::string out;
    for (const char* name : {"m.swf", "m_old.swf", "other.swf", "other_old.swf"}) {
      const std::string path = folder + "/" + name;
      std::string where = std::filesystem::is_directory(path) ? "/" : "-";
      if (std::filesystem::is_regular_file(path)) {
        const auto tags = listMovie(readFile(path)).tags;
        const auto at = std::find_if(tags.begin(), tags.end(), [](const ListedTag& t) { return t.code == 20 && t.id == 1; });
        where = at == tags.end() ? "?" : std::to_string(at->frame);
      }
      out += std::string(out.empty() ? "" : " ") + name + "=" + where;
    }
    return out;
  }

  // The profile window: open or not, then the panels of the chart it would show at 14.4.
  std::string profile() {
    std::string seen = w.profileOpen ? "open:" : "closed:";
    const auto chart = c.profileChart(1200);
    if (!chart) return seen + " no chart";
    for (const ChartPanel& panel : chart->panels) seen += (seen.back() == ':' ? " " : " / ") + panel.title;
    return seen + (chart->headline.find(" instead of ") != std::string::npos ? " (instead of)" : "");
  }

  // Everything a row can check, by control id or Observed.
  std::map<int, std::string> observed() {
    const std::map<int, std::string> focusNames{{0, "none"}, {FILE_PATH_FLD, "path"}, {F_TARGET_FLD, "target"}};
    std::map<int, std::string> seen(w.texts.begin(), w.texts.end());
    seen.insert({{kStates, w.states()}, {kTarget, std::to_string(c.targetFrame())}, {kEndBytes, std::to_string(w.endCode)},
                 {kRange, w.range}, {kChooser, w.chooserFolder}, {kRemembered, w.remembered}, {kFiles, files()},
                 {kStatesWhileBusy, w.statesWhileBusy}, {kFocus, focusNames.count(w.focus) ? focusNames.at(w.focus) : "?"},
                 {kProfile, profile()}});
    return seen;
  }

  std::string folder = freshFolder(std::string("flows/") + GetParam().name);
  FakeWindow w;
  DialogController c{w};
};

TEST_P(Flows, EndsAsExpected) {
  std::istringstream steps(GetParam().steps);
  for (std::string step; steps >> step;) {
    ASSERT_NO_FATAL_FAILURE(play(step));
  }
  char moved[32];
  std::snprintf(moved, sizeof moved, "%.2f kBytes", kBitmapTagBytes / 1024.0f);
  const std::map<int, std::string> seen = observed();
  for (const auto& [key, want] : GetParam().expected) {
    std::string expected = want;
    for (const auto& [mark, value] : {std::pair<std::string, std::string>{"{dir}", folder}, {"{moved}", moved}}) {
      if (const auto at = expected.find(mark); at != std::string::npos) expected.replace(at, mark.size(), value);
    }
    EXPECT_EQ(seen.at(key), expected) << "key " << key;
  }
}

INSTANTIATE_TEST_SUITE_P(Dialog, Flows, ::testing::ValuesIn(kFlows),
                         [](const ::testing::TestParamInfo<Flow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace framestow::test::app
