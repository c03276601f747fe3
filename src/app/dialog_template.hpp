// The dialog's layout as data: every control with its kind, caption, place and
// tab stop, in dialog units. Dialog units follow the dialog's font (a quarter
// of the average character width across, an eighth of the character height
// down), so the layout keeps its proportions with any font and any screen.
#pragma once

#include <span>

#include "app/control_ids.hpp"

namespace framestow::app {

enum class ControlKind {
  StaticText,
  GroupBox,
  Edit,        // single line, scrolls horizontally
  DigitsEdit,  // single line, accepts digits only
  UpDown,      // horizontal arrows bound to the control before it
  PushButton,
  CheckBox,    // ticks itself when clicked
};

struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ControlTemplate {
  ControlId id;
  ControlKind kind;
  const char* caption;  // '&' marks the mnemonic of a push button
  DialogRect rect;
  bool tabStop;
};

struct DialogTemplate {
  const char* caption;
  DialogRect rect;
  const char* fontFamily;
  int fontPointSize;
  std::span<const ControlTemplate> controls;  // in tab order
};

const DialogTemplate& mainDialogTemplate();
const ControlTemplate* findControl(ControlId id);

// Pixel rectangle of a dialog-unit rectangle, rounded edge by edge as the
// classic dialog manager does, so neighbouring controls meet without gaps.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// `unitX` and `unitY` are pixels per dialog unit.
PixelRect toPixels(const DialogRect& rect, double unitX, double unitY);

}  // namespace framestow::app
