// A window without a screen: it keeps every control's text, enable and tick
// state as the controller leaves them, and lets a test play the user.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <utility>

#include "app/dialog_controller.hpp"
#include "app/dialog_template.hpp"
#include "app/dialog_window.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {

using namespace framestow::app;

class FakeWindow : public DialogWindow {
 public:
  FakeWindow() {
    // As the window is created: captions from the layout, everything enabled.
    for (const ControlTemplate& control : mainDialogTemplate().controls) {
      texts[control.id] = control.caption;
      enabled[control.id] = true;
      ticked[control.id] = false;
    }
  }

  void setText(ControlId id, const std::string& text) override {
    ++changes;
    texts[id] = text;
    // The path field reports every change, as an edit control does.
    if (id == FILE_PATH_FLD && controller != nullptr) {
      controller->pathFieldChanged(text);
    }
  }
  std::string text(ControlId id) const override { return texts.at(id); }
  void enable(ControlId id, bool on) override {
    ++changes;
    enabled[id] = on;
    if (!on && focus == id) {
      focus = 0;  // a disabled control cannot hold the focus
    }
  }
  void setTicked(ControlId id, bool on) override {
    ++changes;
    ticked[id] = on;
  }
  bool isTicked(ControlId id) const override { return ticked.at(id); }
  void setUpDownRange(ControlId, int lower, int upper) override {
    ++changes;
    range = {lower, upper};
  }
  int focusedControl() const override { return focus; }
  std::string chooseFile() override {
    ++chooserShown;
    if (choices.empty()) {
      return {};
    }
    std::string next = choices.front();
    choices.pop_front();
    return next;
  }
  void endDialog(int code) override { endCode = code; }
  void invalidateAnimation() override { ++invalidations; }
  void repaintNow() override { ++repaints; }

  // --- the user ---

  void typePath(const std::string& path) {
    texts[FILE_PATH_FLD] = path;
    controller->pathFieldChanged(path);
  }
  // Enter in a control: the dialog turns it into IDOK.
  void pressEnterIn(ControlId id) {
    ASSERT_TRUE(enabled[id]) << "control " << id << " is disabled";
    focus = id;
    controller->command(IDOK);
  }
  void typeTargetAndEnter(const std::string& typed) {
    ASSERT_TRUE(enabled[F_TARGET_FLD]);
    texts[F_TARGET_FLD] = typed;
    pressEnterIn(F_TARGET_FLD);
  }
  // A click: check boxes tick or untick themselves before they report.
  void click(ControlId id) {
    ASSERT_TRUE(enabled[id]) << "control " << id << " is disabled";
    focus = id;
    if (id == IDOPTIMISE || id == IDBACKUP) {
      ticked[id] = !ticked[id];
    }
    controller->command(id);
  }
  void browseTo(const std::string& path) {
    choices.push_back(path);
    click(IDBROWSE);
  }

  DialogController* controller = nullptr;
  std::map<int, std::string> texts;
  std::map<int, bool> enabled;
  std::map<int, bool> ticked;
  std::pair<int, int> range{0, 0};
  int focus = FILE_PATH_FLD;
  std::deque<std::string> choices;
  int chooserShown = 0;
  int endCode = -1;
  int changes = 0;
  int invalidations = 0;
  int repaints = 0;
};

// A fresh folder named after the running test; tests run in parallel.
inline std::string folderForThisTest() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return freshFolder(std::string(info->test_suite_name()) + "." + info->name());
}

// A controller wired to a fake window, started as the real window starts it.
struct FakeDialog {
  FakeDialog() : controller(window) {
    window.controller = &controller;
    controller.start();
  }
  FakeWindow window;
  DialogController controller;
};

}  // namespace framestow::test::app
