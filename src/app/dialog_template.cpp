#include "app/dialog_template.hpp"

#include <array>
#include <cmath>

namespace framestow::app {
namespace {

using K = ControlKind;

// The three spare lines (under the analysis lines, under the verdict lines
// and under the backup box) each add 9 units to their group, which moves the
// groups below them down. The target field holds five digits, the most frames
// a movie can declare.
constexpr std::array<ControlTemplate, 32> kControls{{
    {FILE_LOCATION_LABEL, K::StaticText, "File Location", {15, 62, 40, 8}, false},
    {FILE_PATH_FLD, K::Edit, "", {15, 70, 180, 12}, true},
    {IDBROWSE, K::PushButton, "&Browse...", {200, 69, 40, 14}, true},
    {FILE_INFO_GROUP, K::GroupBox, "File Information", {15, 89, 234, 60}, false},
    {SHORTNAMETEXT, K::StaticText, "File Name:", {21, 100, 170, 8}, false},
    {HEADERTEXT1, K::StaticText, "SWF Version:", {21, 109, 170, 8}, false},
    {HEADERTEXT2, K::StaticText, "File Size:", {21, 118, 170, 8}, false},
    {HEADERTEXT3, K::StaticText, "Dimensions:", {21, 127, 170, 8}, false},
    {HEADERTEXT4, K::StaticText, "Frames (main timeline):", {21, 136, 170, 8}, false},
    {IDSCAN, K::PushButton, "&Analyze", {200, 132, 40, 14}, true},
    {ANALYSIS_GROUP, K::GroupBox, "Analysis", {15, 154, 234, 60}, false},
    {ANALYSISTEXT1, K::StaticText, "", {21, 165, 220, 8}, false},
    {ANALYSISTEXT2, K::StaticText, "", {21, 174, 220, 8}, false},
    {ANALYSISTEXT3, K::StaticText, "", {21, 183, 220, 8}, false},
    {ANALYSISTEXT4, K::StaticText, "", {21, 192, 220, 8}, false},
    {SAVE_BLOCKED_TEXT, K::StaticText, "", {21, 201, 220, 8}, false},
    {MODIFICATION_GROUP, K::GroupBox, "Modification", {15, 219, 234, 65}, false},
    {TARGET_LABEL, K::StaticText, "Move assets to frame", {31, 230, 80, 8}, false},
    {F_TARGET_FLD, K::DigitsEdit, "", {46, 240, 28, 12}, true},
    {F_TARGET_BTN, K::UpDown, "", {74, 240, 22, 12}, true},
    {COMMENTTEXT1, K::StaticText, "", {113, 230, 128, 8}, false},
    {COMMENTTEXT2, K::StaticText, "", {113, 239, 128, 8}, false},
    {COMMENTTEXT3, K::StaticText, "", {113, 248, 128, 8}, false},
    {PROFILE_BTN, K::PushButton, "&Profile…", {31, 255, 50, 14}, true},
    {SAVE_CAUSE_TEXT, K::StaticText, "", {21, 271, 220, 8}, false},
    {OUTPUT_GROUP, K::GroupBox, "Output", {15, 289, 234, 58}, false},
    {IDOPTIMISE, K::CheckBox, "Remove Redundant Bytes", {23, 300, 150, 8}, true},
    {IDBACKUP, K::CheckBox, "Save original as [filename]_old.swf", {23, 312, 150, 8}, true},
    {BACKUP_NAME_TEXT, K::StaticText, "", {35, 321, 160, 8}, false},
    {KEEP_ASSETS, K::CheckBox, "Keep assets that earlier code uses", {23, 333, 150, 8}, true},
    {BTN_SAVE, K::PushButton, "&Save", {200, 303, 40, 14}, true},
    {IDCANCEL, K::PushButton, "&Exit", {200, 353, 40, 14}, true},
}};

const DialogTemplate kMainDialog{
    "Framestow", {70, 20, 265, 373}, "Helvetica", 8, kControls};

}  // namespace

const DialogTemplate& mainDialogTemplate() { return kMainDialog; }

const ControlTemplate* findControl(ControlId id) {
  for (const ControlTemplate& control : kMainDialog.controls) {
    if (control.id == id) {
      return &control;
    }
  }
  return nullptr;
}

PixelRect toPixels(const DialogRect& rect, double unitX, double unitY) {
  const auto px = [](int units, double unit) { return static_cast<int>(std::lround(units * unit)); };
  const int left = px(rect.x, unitX);
  const int top = px(rect.y, unitY);
  const int right = px(rect.x + rect.width, unitX);
  const int bottom = px(rect.y + rect.height, unitY);
  return {left, top, right - left, bottom - top};
}

}  // namespace framestow::app
