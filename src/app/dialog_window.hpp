// What the dialog controller may ask of its window. The operations mirror the
// classic dialog-box calls (set a control's text, enable it, tick it, ...) so
// the controller's logic reads like the dialog it drives, and a fake window in
// the tests can record every state without a display.
#pragma once

#include <functional>
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
  // Gives the keyboard focus to an enabled control.
  virtual void focusControl(ControlId id) = 0;
  // Asks the user for an existing movie file, starting in `folder` (in the
  // folder remembered last when ""); "" when cancelled.
  virtual std::string chooseFile(const std::string& folder) = 0;
  // A movie was loaded from `folder`: later runs start their chooser there.
  virtual void rememberFolder(const std::string& folder) = 0;
  // Closes the dialog; `code` becomes the program's exit status.
  virtual void endDialog(int code) = 0;

  // Runs `work` (an analysis) to its end. The window may run it on another
  // thread and go on painting meanwhile; the controller keeps every control
  // disabled and ignores commands until this returns, so no click or key made
  // during the work acts afterwards.
  virtual void runBusy(const std::function<void()>& work) = 0;
  // The busy animation changed frame: its area needs painting. May be called
  // from the thread that runs the work of runBusy.
  virtual void invalidateAnimation() = 0;
  // Paints whatever is pending at once, when the work runs on the window's
  // own thread. May be called from the thread that runs the work of runBusy.
  virtual void repaintNow() = 0;

  // Opens (or raises) the window with the stream profile, which asks the
  // controller for its chart (DialogController::profileChart).
  virtual void showProfile() {}
  // The target frame or the plan changed: an open profile window redraws.
  virtual void profileChanged() {}
};

}  // namespace framestow::app
