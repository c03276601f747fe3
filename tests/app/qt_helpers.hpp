// Shared pieces of the Qt window tests: finding controls by identifier and
// reading what the window shows.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/main_dialog.hpp"
#include "app/up_down_control.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {

using namespace framestow::app;

template <typename Widget = QWidget>
Widget* widgetOf(MainDialog& dialog, ControlId id) {
  auto* widget = qobject_cast<Widget*>(dialog.control(id));
  if (widget == nullptr) qFatal("control %d is missing or of another kind", static_cast<int>(id));
  return widget;
}

inline QString shown(MainDialog& dialog, ControlId id) { return QString::fromStdString(dialog.text(id)); }

// Shows the dialog and makes it the active window, so focus and mnemonics work.
inline bool showActive(MainDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  return QTest::qWaitForWindowActive(&dialog);
}

}  // namespace framestow::test::app
