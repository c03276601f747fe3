// Starts the one window of the desktop app. The program reads no settings and
// takes nothing from its command line: the arguments go to Qt alone, for its
// own options (platform, style).
#include <QApplication>
#include <QIcon>

#include "app/main_dialog.hpp"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Framestow"));
  QApplication::setDesktopFileName(QStringLiteral("framestow"));
  framestow::app::MainDialog dialog;
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/framestow/framestow.png")));
  return dialog.exec();
}
