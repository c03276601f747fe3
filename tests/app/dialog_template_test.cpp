// The layout data the window is built from, and the conversion of dialog
// units into pixels.
#include <gtest/gtest.h>

#include <set>

#include "app/dialog_template.hpp"

namespace framestow::test::app {
namespace {

using namespace framestow::app;

TEST(DialogTemplate, HoldsEveryControlOnceWithItsCaption) {
  std::set<int> ids;
  for (const ControlTemplate& control : mainDialogTemplate().controls) {
    EXPECT_TRUE(ids.insert(control.id).second) << "duplicate id " << control.id;
  }
  EXPECT_EQ(ids.size(), 27u);
  EXPECT_STREQ(findControl(IDBROWSE)->caption, "&Browse...");
  EXPECT_STREQ(findControl(IDSCAN)->caption, "&Analyze");
  EXPECT_STREQ(findControl(BTN_SAVE)->caption, "&Save");
  EXPECT_STREQ(findControl(IDCANCEL)->caption, "&Exit");
  EXPECT_STREQ(findControl(IDBACKUP)->caption, "Save original as [filename]_old.swf");
  EXPECT_EQ(findControl(IDOK), nullptr) << "Enter has no button of its own";
}

TEST(DialogTemplate, OnlyInputControlsAreTabStops) {
  std::vector<int> tabOrder;
  for (const ControlTemplate& control : mainDialogTemplate().controls) {
    const bool passive = control.kind == ControlKind::StaticText || control.kind == ControlKind::GroupBox;
    EXPECT_EQ(control.tabStop, !passive) << control.id;
    if (control.tabStop) {
      tabOrder.push_back(control.id);
    }
  }
  EXPECT_EQ(tabOrder, (std::vector<int>{FILE_PATH_FLD, IDBROWSE, IDSCAN, F_TARGET_FLD, F_TARGET_BTN, IDOPTIMISE,
                                        IDBACKUP, BTN_SAVE, IDCANCEL}));
}

TEST(DialogTemplate, UpDownFollowsTheFieldItSteps) {
  const auto controls = mainDialogTemplate().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind == ControlKind::UpDown) {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(controls[i - 1].id, F_TARGET_FLD);
    }
  }
}

TEST(DialogUnits, ConvertEdgeByEdgeSoNeighboursMeet) {
  // The target field and its arrows touch at x = 64 dialog units.
  const PixelRect field = toPixels(findControl(F_TARGET_FLD)->rect, 1.3, 1.7);
  const PixelRect arrows = toPixels(findControl(F_TARGET_BTN)->rect, 1.3, 1.7);
  EXPECT_EQ(field.x + field.width, arrows.x);
  EXPECT_EQ(toPixels({202, 97, 40, 14}, 1.5, 1.625).x, 303);
  const PixelRect dialog = toPixels({0, 0, 265, 320}, 1.5, 1.625);
  EXPECT_EQ(dialog.width, 398);
  EXPECT_EQ(dialog.height, 520);
}

}  // namespace
}  // namespace framestow::test::app
