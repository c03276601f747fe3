// The layout data the window is built from, and the conversion of dialog
// units into pixels.
#include <gtest/gtest.h>

#include <set>

#include "app/dialog_template.hpp"

namespace framestow::test::app {
namespace {

using namespace framestow::app;

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
  EXPECT_EQ(ids.size(), 32u);
  EXPECT_EQ(tabOrder, (std::vector<int>{FILE_PATH_FLD, IDBROWSE, IDSCAN, F_TARGET_FLD, F_TARGET_BTN, PROFILE_BTN,
                                        IDOPTIMISE, IDBACKUP, KEEP_ASSETS, BTN_SAVE, IDCANCEL}));
  for (auto [id, caption] : {std::pair{IDBROWSE, "&Browse..."}, {IDSCAN, "&Analyze"}, {BTN_SAVE, "&Save"},
                             {IDCANCEL, "&Exit"}, {PROFILE_BTN, "&Profile…"}, {IDBACKUP, "Save original as [filename]_old.swf"},
                             {KEEP_ASSETS, "Keep assets that earlier code uses"}}) {
    EXPECT_STREQ(findControl(id)->caption, caption);
  }
  EXPECT_EQ(findControl(IDOK), nullptr) << "Enter has no button of its own";
}

TEST(DialogTemplate, ControlsStayInsideTheDialogAndApart) {
  const auto inside = [](const DialogRect& a, const DialogRect& b) {
    return a.x >= b.x && a.y >= b.y && a.x + a.width <= b.x + b.width && a.y + a.height <= b.y + b.height;
  };
  const DialogTemplate& dialog = mainDialogTemplate();
  for (const ControlTemplate& a : dialog.controls) {
    EXPECT_TRUE(inside(a.rect, {0, 0, dialog.rect.width, dialog.rect.height})) << a.id;
    for (const ControlTemplate& b : dialog.controls) {
      const bool apart = a.rect.x + a.rect.width <= b.rect.x || b.rect.x + b.rect.width <= a.rect.x ||
                         a.rect.y + a.rect.height <= b.rect.y || b.rect.y + b.rect.height <= a.rect.y;
      if (&a != &b && a.kind != ControlKind::GroupBox && b.kind != ControlKind::GroupBox) EXPECT_TRUE(apart) << a.id << " " << b.id;
    }
  }
  // The spare lines sit inside the boxes they belong to.
  EXPECT_TRUE(inside(findControl(SAVE_BLOCKED_TEXT)->rect, findControl(ANALYSIS_GROUP)->rect));
  EXPECT_TRUE(inside(findControl(SAVE_CAUSE_TEXT)->rect, findControl(MODIFICATION_GROUP)->rect));
  EXPECT_TRUE(inside(findControl(PROFILE_BTN)->rect, findControl(MODIFICATION_GROUP)->rect));
  EXPECT_TRUE(inside(findControl(BACKUP_NAME_TEXT)->rect, findControl(OUTPUT_GROUP)->rect));
}

TEST(DialogUnits, ConvertEdgeByEdgeSoNeighboursMeet) {
  const PixelRect field = toPixels(findControl(F_TARGET_FLD)->rect, 1.3, 1.7);
  const PixelRect arrows = toPixels(findControl(F_TARGET_BTN)->rect, 1.3, 1.7);
  EXPECT_EQ(field.x + field.width, arrows.x);
  EXPECT_EQ(toPixels({202, 97, 40, 14}, 1.5, 1.625).x, 303);
  const PixelRect dialog = toPixels({0, 0, 265, 320}, 1.5, 1.625);
  EXPECT_EQ(std::pair(dialog.width, dialog.height), std::pair(398, 520));
}

}  // namespace
}  // namespace framestow::test::app
