// The dialog's logic: which step runs on which command, and every text, enable
// and tick state the user sees. It knows no toolkit; it reaches the window only
// through DialogWindow, and the movie only through Document.
#pragma once

#include <cstdint>
#include <string>

#include "app/busy_animation.hpp"
#include "app/dialog_window.hpp"
#include "document/document.hpp"

namespace framestow::app {

class DialogController {
 public:
  explicit DialogController(DialogWindow& window, BusyAnimation::Clock clock = {});

  // The window has been created: put every control in its starting state.
  void start();
  // A command: a push button or check box was clicked (by its id), Enter was
  // pressed (IDOK), or the window is being closed (IDCANCEL).
  void command(int id);
  // The path field's text changed, by typing or otherwise.
  void pathFieldChanged(const std::string& text);
  // The up-down control moved to `position`.
  void upDownMoved(int position);

  BusyAnimation& animation() { return animation_; }
  const Document& document() const { return document_; }
  const std::string& fnbuffer() const { return fnbuffer_; }
  std::int32_t targetFrame() const { return targetFNum_; }

 private:
  void browse();
  void enter();
  void load();
  void analyze();
  void showAnalysisError(const std::string& message);
  void plan();
  void optimiseClicked();
  void save();
  void progressTick();

  DialogWindow& window_;
  BusyAnimation animation_;
  Document document_;
  std::string fnbuffer_;     // the movie's path: chosen, or as typed in the path field
  std::string fileInfoStr_;  // what the last load said: "" or why it failed
  std::int32_t targetFNum_ = 1;
};

// The number a user typed: leading blanks, an optional sign, then digits;
// 0 when there are none. Saturates instead of overflowing.
std::int64_t leadingNumber(const std::string& text);

}  // namespace framestow::app
