// Starts the one window of the desktop app, loading the movie named on the
// command line when there is one. Qt takes its own options (platform, style)
// from the same command line first.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <csignal>
#include <cstring>

#include "app/main_dialog.hpp"
#include "document/document.hpp"

namespace {

void describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Moves a Flash movie's linked assets out of frame 1 to a later frame."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("movie"), QStringLiteral("The SWF movie to open."),
                               QStringLiteral("[movie]"));
}

// --help and --version only print, so they must work without a display.
bool onlyPrints(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
      if (std::strcmp(argv[i], option) == 0) {
        return true;
      }
    }
  }
  return false;
}

// Ctrl-C in the terminal that started the app, or a termination request,
// during a save: the temporary file goes, then the signal ends the process
// as usual. A signal the app was started with ignored stays ignored.
void stopSaving(int signal) {
  framestow::removeTemporaryFilesInProgress();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void removeTemporaryFilesWhenStopped() {
  for (int signal : {SIGINT, SIGTERM}) {
    if (std::signal(signal, stopSaving) == SIG_IGN) {
      std::signal(signal, SIG_IGN);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("framestow"));
  QCoreApplication::setApplicationVersion(QStringLiteral(FRAMESTOW_VERSION));
  if (onlyPrints(argc, argv)) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    parser.process(application);  // prints and ends the process
    return 0;
  }

  removeTemporaryFilesWhenStopped();
  QApplication application(argc, argv);
  QApplication::setDesktopFileName(QStringLiteral("framestow"));
  QCommandLineParser parser;
  describe(parser);
  parser.process(application);
  const QStringList movies = parser.positionalArguments();
  if (movies.size() > 1) {
    parser.showHelp(1);
  }

  framestow::app::MainDialog dialog;
  // The pictures are registered by the window; the icon is one of them.
  QApplication::setWindowIcon(dialog.windowIcon());
  if (!movies.isEmpty()) {
    dialog.controller().openMovie(movies.constFirst().toUtf8().toStdString());
  }
  return dialog.exec();
}
