// The enable and tick states of the dialog's working controls as one line of
// text, so a test states a whole row of expectations at once and a failure
// shows every difference.
#pragma once

#include <string>

#include "fake_window.hpp"

namespace framestow::test::app {

inline std::string controlStates(const FakeWindow& w) {
  const auto on = [&](ControlId id) { return std::string(w.enabled.at(id) ? "on" : "off"); };
  const auto tick = [&](ControlId id) { return std::string(w.ticked.at(id) ? "ticked" : "unticked"); };
  // The field and its arrows always change together.
  const std::string target = w.enabled.at(F_TARGET_FLD) == w.enabled.at(F_TARGET_BTN) ? on(F_TARGET_FLD) : "split";
  return "scan=" + on(IDSCAN) + " target=" + target + " optimise=" + on(IDOPTIMISE) + "," + tick(IDOPTIMISE) +
         " backup=" + on(IDBACKUP) + "," + tick(IDBACKUP) + " save=" + on(BTN_SAVE);
}

}  // namespace framestow::test::app
