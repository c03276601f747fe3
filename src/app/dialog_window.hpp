// What the dialog controller may ask of its window. The operations mirror the
// classic dialog-box calls (set a control's text, enable it, tick it, ...) so
// the controller's logic reads like the dialog it drives, and a fake window in
// the tests can record every state without a display.
#pragma once

#include <string>

#include "app/control_ids.hpp"

namespace framestow::app {

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  // Replaces the whole text of a control; "" empties a line.
  virtual void setText(ControlId id, const std::string& text) = 0;
  virtual std::string text(ControlId id) const = 0;
  // A disabled control takes no input and cannot hold the focus.
  virtual void enable(ControlId id, bool enabled) = 0;
  virtual void setTicked(ControlId id, bool ticked) = 0;
  virtual bool isTicked(ControlId id) const = 0;
  // Bounds of the up-down control's position.
  virtual void setUpDownRange(ControlId id, int lower, int upper) = 0;
  // The control that holds the keyboard focus, 0 when none of ours does.
  virtual int focusedControl() const = 0;
  // Asks the user for an existing movie file; "" when cancelled.
  virtual std::string chooseFile() = 0;
  // Closes the dialog; `code` becomes the program's exit status.
  virtual void endDialog(int code) = 0;

  // The busy animation changed frame: its area needs painting.
  virtual void invalidateAnimation() = 0;
  // Paints whatever is pending at once. The analysis runs on the window's own
  // thread, so this is the only way the animation moves while it works.
  virtual void repaintNow() = 0;
};

}  // namespace framestow::app
