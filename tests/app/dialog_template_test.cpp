// The layout data the window is built from, and the conversion of dialog
// units into pixels.
#include <gtest/gtest.h>

#include <set>

#include "app/dialog_template.hpp"

namespace framestow::test::app {
namespace {

using namespace framestow::app;

bool inside(const DialogRect& inner, const DialogRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

bool overlap(const DialogRect& a, const DialogRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(DialogTemplate, HoldsEveryControlOnceInTabOrder) {
  const auto controls = mainDialogTemplate().controls;
  std::set<int> ids;
  std::vector<int> tabOrder;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    EXPECT_TRUE(ids.insert(controls[i].id).second) << "duplicate id " << controls[i].id;
    const bool passive = controls[i].kind == ControlKind::StaticText || controls[i].kind == ControlKind::GroupBox;
    EXPECT_EQ(controls[i].tabStop, !passive) << controls[i].id;
    if (controls[i].tabStop) tabOrder.push_back(controls[i].id);
    // The arrows step the field created just before them.
    if (controls[i].kind == ControlKind::UpDown) EXPECT_EQ(controls[i - 1].id, F_TARGET_FLD);
  }
  EXPECT_EQ(ids.size(), 30u);
  EXPECT_EQ(tabOrder, (std::vector<int>{FILE_PATH_FLD, IDBROWSE, IDSCAN, F_TARGET_FLD, F_TARGET_BTN, IDOPTIMISE,
                                        IDBACKUP, BTN_SAVE, IDCANCEL}));
  EXPECT_STREQ(findControl(IDBROWSE)->caption, "&Browse...");
  EXPECT_STREQ(findControl(IDSCAN)->caption, "&Analyze");
  EXPECT_STREQ(findControl(BTN_SAVE)->caption, "&Save");
  EXPECT_STREQ(findControl(IDCANCEL)->caption, "&Exit");
  EXPECT_STREQ(findControl(IDBACKUP)->caption, "Save original as [filename]_old.swf");
  EXPECT_EQ(findControl(IDOK), nullptr) << "Enter has no button of its own";
}

TEST(DialogTemplate, ControlsStayInsideTheDialogAndApart) {
  const DialogTemplate& dialog = mainDialogTemplate();
  const DialogRect whole{0, 0, dialog.rect.width, dialog.rect.height};
  for (const ControlTemplate& a : dialog.controls) {
    EXPECT_TRUE(inside(a.rect, whole)) << a.id;
    for (const ControlTemplate& b : dialog.controls) {
      const bool framed = a.kind == ControlKind::GroupBox || b.kind == ControlKind::GroupBox;
      if (&a != &b && !framed) EXPECT_FALSE(overlap(a.rect, b.rect)) << a.id << " and " << b.id;
    }
  }
  // The spare lines sit inside the boxes they belong to, under the lines they follow.
  EXPECT_TRUE(inside(findControl(SAVE_BLOCKED_TEXT)->rect, findControl(ANALYSIS_GROUP)->rect));
  EXPECT_TRUE(inside(findControl(SAVE_CAUSE_TEXT)->rect, findControl(MODIFICATION_GROUP)->rect));
  EXPECT_TRUE(inside(findControl(BACKUP_NAME_TEXT)->rect, findControl(OUTPUT_GROUP)->rect));
}

TEST(DialogUnits, ConvertEdgeByEdgeSoNeighboursMeet) {
  // The target field and its arrows touch.
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
