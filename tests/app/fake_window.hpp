// A window without a screen: it keeps every control's text, enable and tick
// state as the controller leaves them, for a test that plays the user.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "app/dialog_controller.hpp"
#include "app/dialog_template.hpp"
#include "app/dialog_window.hpp"

namespace framestow::test::app {

using namespace framestow::app;

class FakeWindow : public DialogWindow {
 public:
  FakeWindow() {
    // As the window is created: captions from the layout, everything enabled.
    for (const ControlTemplate& c : mainDialogTemplate().controls) {
      std::tie(texts[c.id], enabled[c.id], ticked[c.id]) = std::tuple(c.caption, true, false);
    }
  }

  void setText(ControlId id, const std::string& text) override { texts[id] = text; }
  std::string text(ControlId id) const override { return texts.at(id); }
  void enable(ControlId id, bool on) override {
    enabled[id] = on;
    if (!on && focus == id) focus = 0;  // a disabled control cannot hold the focus
  }
  void setTicked(ControlId id, bool on) override { ticked[id] = on; }
  bool isTicked(ControlId id) const override { return ticked.at(id); }
  void setUpDownRange(ControlId, int lower, int upper) override {
    range = std::to_string(lower) + "-" + std::to_string(upper);
  }
  int focusedControl() const override { return focus; }
  void focusControl(ControlId id) override { focus = enabled[id] ? id : -1; }
  std::string chooseFile(const std::string& folder) override {
    chooserFolder = folder;
    std::string chosen;
    if (!choices.empty()) chosen = choices.front(), choices.pop_front();
    return chosen;
  }
  void rememberFolder(const std::string& folder) override { remembered = folder; }
  void endDialog(int code) override { endCode = code; }
  void runBusy(const std::function<void()>& work) override {
    statesWhileBusy = states();
    if (whileBusy) whileBusy();
    work();
  }
  void invalidateAnimation() override {}
  void repaintNow() override {}
  void showProfile() override { profileOpen = true; }

  // The enabled input controls, then the ticked boxes: one line that states
  // a whole row of expectations and shows every difference.
  std::string states() const {
    std::string on, ticks;
    for (const auto& [id, name] : {std::pair{FILE_PATH_FLD, "path"}, {IDBROWSE, "browse"}, {IDSCAN, "scan"},
                                   {F_TARGET_FLD, "target"}, {IDOPTIMISE, "optimise"}, {IDBACKUP, "backup"},
                                   {BTN_SAVE, "save"}, {IDCANCEL, "exit"}}) {
      if (enabled.at(id)) on += std::string(on.empty() ? "" : " ") + name;
      if (ticked.at(id)) ticks += std::string(" ") + name;
    }
    // The field and its arrows always change together.
    return on + (enabled.at(F_TARGET_FLD) != enabled.at(F_TARGET_BTN) ? " SPLIT" : "") + " /" + ticks;
  }

  std::map<int, std::string> texts;
  std::map<int, bool> enabled;
  std::map<int, bool> ticked;
  std::string range;
  int focus = FILE_PATH_FLD;  // -1 after the controller focused a disabled control
  std::deque<std::string> choices;
  std::string chooserFolder = "(not shown)";
  std::string remembered;
  int endCode = -1;
  std::string statesWhileBusy;
  std::function<void()> whileBusy;  // what the user does while an analysis runs
  bool profileOpen = false;
};

}  // namespace framestow::test::app
