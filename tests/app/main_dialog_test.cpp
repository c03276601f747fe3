// The Qt window itself, driven by keys and mouse on the offscreen platform:
// its layout and painting, a whole use (which also renders the README's
// pictures, with "@2x" names when run at scale 2), mnemonics, input during an
// analysis, fitting the screen, the remembered folder and dropped movies.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSemaphore>
#include <QStyle>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <QComboBox>
#include <QLabel>
#include <atomic>
#include <filesystem>

#include "app/main_dialog.hpp"
#include "app/profile_window.hpp"
#include "app/up_down_control.hpp"
#include "support/tag_list.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {

using namespace framestow::app;

QString shown(MainDialog& dialog, ControlId id) { return QString::fromStdString(dialog.text(id)); }

// Shows the dialog and makes it the active window, so focus and mnemonics work.
bool showActive(MainDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  return QTest::qWaitForWindowActive(&dialog);
}

void capture(MainDialog& dialog, const char* name) {
  QDir().mkpath(QStringLiteral(FRAMESTOW_SCREENSHOTS));
  const QImage image = dialog.grab().toImage();
  const QString file = QStringLiteral(FRAMESTOW_SCREENSHOTS "/%1%2.png")
                           .arg(QLatin1String(name), image.devicePixelRatio() > 1 ? "@2x" : "");
  QVERIFY2(!image.isNull() && image.save(file), qPrintable(file));
}

class MainDialogTest : public QObject {
  Q_OBJECT

 public:
  // Paints of the page watched by a test.
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && paintWatch) paintWatch();
    return false;
  }
  std::function<void()> paintWatch;

 private slots:
  void layoutFollowsTheTemplate() {
    MainDialog dialog;
    QVERIFY(dialog.windowTitle() == "Framestow" && !dialog.windowIcon().isNull() && dialog.font().pointSize() == 8);
    // One shift puts the controls one margin under the banner, which spans the page between equal margins.
    const auto place = [&](DialogRect r) { return toPixels(r, dialog.unitX(), dialog.unitY()); };
    const int shift = dialog.control(FILE_LOCATION_LABEL)->y() - place(findControl(FILE_LOCATION_LABEL)->rect).y;
    for (const ControlTemplate& control : mainDialogTemplate().controls) {
      const PixelRect r = place(control.rect);
      QCOMPARE(dialog.control(control.id)->geometry(), QRect(r.x, r.y + shift, r.width, r.height));
    }
    const int width = place({0, 0, mainDialogTemplate().rect.width, 0}).width;
    const QRect banner = dialog.bannerRect();
    const int below = dialog.control(FILE_LOCATION_LABEL)->y() - 1 - banner.bottom();
    QCOMPARE(QList<int>({banner.left(), width - 1 - banner.right(), below}), QList<int>(3, MainDialog::kMargin));
    // The target field holds the five digits of the largest frame count.
    QWidget* field = dialog.control(F_TARGET_FLD);
    const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
    QVERIFY(field->fontMetrics().horizontalAdvance(QStringLiteral("65535")) + 2 * frame + 4 <= field->width());
    // A line shows one line, a long one cut with "…" (a file name in its middle) and whole as a tip.
    const std::string longName = "File Name: " + std::string(200, 'n') + ".swf\r\n";
    dialog.setText(SHORTNAMETEXT, longName);
    auto* name = static_cast<QLabel*>(dialog.control(SHORTNAMETEXT));
    QVERIFY(name->text().contains(QChar(0x2026)) && name->text().endsWith(".swf") && name->textFormat() == Qt::PlainText);
    QVERIFY(name->fontMetrics().horizontalAdvance(name->text()) <= name->width() && dialog.text(SHORTNAMETEXT) == longName);
    QFileDialog chooser;
    configureOpenDialog(chooser);
    QVERIFY(chooser.nameFilters() == QStringList({"All files (*)", "Flash Movies (*.swf)"}) &&
            chooser.windowTitle() == "Open" && chooser.selectedNameFilter() == "Flash Movies" &&
            chooser.defaultSuffix() == "swf" && chooser.fileMode() == QFileDialog::ExistingFile);
    // The banner and the animation frame are painted on the page.
    QVERIFY(showActive(dialog));
    const QRect area(dialog.animationPosition(), QSize(56, 56));
    const QImage idle = dialog.page()->grab().toImage();
    QVERIFY2(idle.pixelColor(banner.center()) != dialog.palette().color(QPalette::Window), "the banner is drawn");
    dialog.controller().animation().setFrame(3);
    const QImage busy = dialog.page()->grab().toImage();
    QVERIFY(idle.copy(area) != busy.copy(area) && idle.copy(banner) == busy.copy(banner));
    // Any frame outside the busy cycle paints as idle.
    dialog.controller().animation().setFrame(40);
    QVERIFY(dialog.page()->grab().toImage().copy(area) == idle.copy(area));
    QCOMPARE(dialog.controller().animation().frame(), BusyAnimation::kIdleFrame);
  }

  void wholeUseByKeysAndMouse() {
    const std::string folder = freshFolder("whole_use@" + std::to_string(qRound(qApp->devicePixelRatio())));
    const std::string path = writeTestMovie(folder, "intro.swf", {.redundantBytes = 40});
    const auto original = readFile(path);
    QDir::setCurrent(QString::fromStdString(folder));  // a short path reads better in the pictures
    MainDialog dialog;
    QVERIFY(showActive(dialog));
    capture(dialog, "start");
    auto* target = static_cast<QLineEdit*>(dialog.control(F_TARGET_FLD));
    auto* arrows = static_cast<UpDownControl*>(dialog.control(F_TARGET_BTN));
    // Type the path and press Enter: the movie loads. After Analyze the focus
    // is in the target field, where Enter is harmless.
    QCOMPARE(dialog.focusedControl(), static_cast<int>(FILE_PATH_FLD));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("intro.swf"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(shown(dialog, HEADERTEXT4), QStringLiteral("Frames (main timeline): 3"));
    QTest::mouseClick(dialog.control(IDSCAN), Qt::LeftButton);
    QCOMPARE(shown(dialog, ANALYSISTEXT3), QStringLiteral("Redundant export codes found: 40 Bytes"));
    QCOMPARE(QApplication::focusWidget(), target);
    // The arrows and Up step and plan, never past the last frame.
    QTest::mouseClick(arrows->increaseButton(), Qt::LeftButton);
    QCOMPARE(shown(dialog, COMMENTTEXT2), QStringLiteral("OK to move to frame 2."));
    capture(dialog, "analysed");
    // The safe plan's box is off at first; a click plans with it, another without.
    QTest::mouseClick(dialog.control(KEEP_ASSETS), Qt::LeftButton);
    QVERIFY(dialog.controller().document().safePlan() && shown(dialog, COMMENTTEXT2) == "OK to move to frame 2.");
    QTest::mouseClick(dialog.control(KEEP_ASSETS), Qt::LeftButton);
    QVERIFY(!dialog.controller().document().safePlan());
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Up);
    QTest::mouseClick(arrows->increaseButton(), Qt::LeftButton);
    QVERIFY(target->text() == "3" && shown(dialog, COMMENTTEXT2) == "Some assets may be unavailable");
    // Letters never reach the field; a number past the end is clamped on Enter.
    target->selectAll();
    QTest::keyClicks(target, QStringLiteral("x9"));
    QTest::keyClick(target, Qt::Key_Return);
    QVERIFY2(target->text() == "3" && dialog.controller().document().analysed(), "Enter in the field clamps, never reloads");
    // Type 2 and click Save at once: the typed frame counts before the write.
    target->selectAll();
    QTest::keyClicks(target, QStringLiteral("2"));
    QTest::mouseClick(dialog.control(BTN_SAVE), Qt::LeftButton);
    QCOMPARE(shown(dialog, COMMENTTEXT3), QStringLiteral("FILE MODIFIED"));
    capture(dialog, "saved");
    const auto tags = listMovie(readFile(path)).tags;
    const auto bitmap = std::find_if(tags.begin(), tags.end(), [](const ListedTag& t) { return t.code == 20 && t.id == 1; });
    QVERIFY(bitmap != tags.end() && bitmap->frame == 2u);
    QVERIFY(readFile(path).size() == original.size() - 40 && readFile(folder + "/intro_old.swf") == original);
    // The focus is not left on Exit: the next Enter quits nothing.
    QCOMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
  }

  void profileWindowFollowsTheTargetFrame() {
    const std::string path = writeTestMovie(freshFolder("profile"), "intro.swf", {.signature = "CWS"});
    MainDialog dialog;
    QVERIFY(showActive(dialog));
    QVERIFY(!dialog.control(PROFILE_BTN)->isEnabled());
    dialog.controller().openMovie(path);
    QTest::mouseClick(dialog.control(IDSCAN), Qt::LeftButton);
    QTest::mouseClick(static_cast<UpDownControl*>(dialog.control(F_TARGET_BTN))->increaseButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.control(PROFILE_BTN), Qt::LeftButton);
    ProfileWindow* window = dialog.profileWindow();
    QVERIFY(window != nullptr && window->isVisible());
    const auto panels = [&] { return window->chartView()->chart()->panels; };
    QVERIFY(window->headline()->text().startsWith("At 56k: first frame after ") && window->headline()->text().contains(" instead of "));
    QCOMPARE(panels().back().title, std::string("After the move to frame 2"));
    // The window follows the target frame and the speed chosen.
    QTest::mouseClick(static_cast<UpDownControl*>(dialog.control(F_TARGET_BTN))->increaseButton(), Qt::LeftButton);
    QCOMPARE(panels().back().title, std::string("After the move to frame 3"));
    window->speedChooser()->setCurrentIndex(0);
    QVERIFY(window->headline()->text().startsWith("At 14.4: "));
    window->resize(760, 480);
    QDir().mkpath(QStringLiteral(FRAMESTOW_SCREENSHOTS));
    const QImage image = window->grab().toImage();
    QVERIFY(image.save(QStringLiteral(FRAMESTOW_SCREENSHOTS "/profile%1.png").arg(image.devicePixelRatio() > 1 ? "@2x" : "")));
  }

  void mnemonicsPressOnlyEnabledButtons() {
    const std::string path = writeTestMovie(freshFolder("mnemonics"), "intro.swf", {});
    MainDialog dialog;
    dialog.setFileChooser([&](const std::string&) { return path; });
    QVERIFY(showActive(dialog));
    // Enter on a button presses it; a mnemonic presses its button visibly, the click follows a moment later.
    dialog.control(IDBROWSE)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(shown(dialog, ANALYSISTEXT1), QStringLiteral("Number of linked assets found: 1"));
    // Analyze and Save are off now: their mnemonics do nothing, in either field.
    for (ControlId id : {FILE_PATH_FLD, F_TARGET_FLD}) {
      dialog.control(id)->setFocus();
      QTest::keyClick(dialog.control(id), Qt::Key_A, Qt::AltModifier);
      QTest::keyClick(dialog.control(id), Qt::Key_S, Qt::AltModifier);
    }
    QTest::qWait(200);
    QVERIFY(dialog.text(FILE_PATH_FLD) == path && dialog.text(F_TARGET_FLD) == "1" && dialog.text(COMMENTTEXT3).empty());
    dialog.controller().upDownMoved(2);
    QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(shown(dialog, COMMENTTEXT3), QStringLiteral("FILE MODIFIED"));
    QTest::keyClick(&dialog, Qt::Key_E, Qt::AltModifier);
    QTRY_VERIFY(!dialog.isVisible());
  }

  void nothingDoneDuringAnAnalysisActsAndTheAnimationTurns() {
    const std::string folder = freshFolder("busy");
    const std::string path = writeTestMovie(folder, "long.swf", {.frames = 40, .redundantBytes = 40});
    const auto original = readFile(path);
    // The scan's clock: each reading 60 ms after the last, so every tick steps.
    // The first tick holds the scan until the user has done everything; the
    // next ones wait until the frame they leave has been painted.
    QSemaphore scanning, userDone;
    QList<int> painted;
    std::atomic<int> lastPainted = -1;
    std::uint32_t now = 0;
    MainDialog dialog(nullptr, [&] {
      const int frame = static_cast<int>(now / 60 % 12);  // each reading steps the frame once
      if (now == 0) {
        scanning.release();
        userDone.tryAcquire(1, 10000);
      }
      for (int i = 0; frame < 4 && lastPainted != frame && i < 500; ++i) QThread::msleep(10);
      return now += 60;
    });
    dialog.setFileChooser([&](const std::string&) { return path; });
    QVERIFY(showActive(dialog));
    dialog.controller().command(IDBROWSE);
    dialog.page()->installEventFilter(this);
    paintWatch = [&] { painted.append(lastPainted = dialog.controller().animation().frame()); };
    QTimer user;
    connect(&user, &QTimer::timeout, [&] {
      if (!scanning.tryAcquire()) return;
      user.stop();
      // All a user might do while the animation turns: keys, mnemonics, clicks, closing.
      QTest::keyClicks(dialog.control(FILE_PATH_FLD), QStringLiteral("x"));
      for (Qt::Key key : {Qt::Key_S, Qt::Key_E, Qt::Key_A, Qt::Key_B}) QTest::keyClick(&dialog, key, Qt::AltModifier);
      for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(&dialog, key);
      for (ControlId id : {BTN_SAVE, IDCANCEL, IDBROWSE}) QTest::mouseClick(dialog.control(id), Qt::LeftButton);
      dialog.close();
      userDone.release();
    });
    user.start(5);
    QTest::mouseClick(dialog.control(IDSCAN), Qt::LeftButton);  // returns when the scan is over
    QTest::qWait(300);  // anything still queued
    QVERIFY(dialog.isVisible() && dialog.text(FILE_PATH_FLD) == path && dialog.text(COMMENTTEXT3).empty());
    QCOMPARE(shown(dialog, ANALYSISTEXT1), QStringLiteral("Number of linked assets found: 1"));
    QVERIFY(readFile(path) == original && !std::filesystem::exists(folder + "/long_old.swf"));
    QCOMPARE(dialog.focusedControl(), static_cast<int>(F_TARGET_FLD));
    // Painted while the scan ran: the busy frames in turn, then the idle picture.
    painted.removeIf([](int frame) { return frame >= BusyAnimation::kBusyFrames; });
    QCOMPARE(QList<int>(painted.begin(), std::unique(painted.begin(), painted.end())).mid(0, 4), QList<int>({0, 1, 2, 3}));
    QTRY_COMPARE(static_cast<int>(lastPainted), BusyAnimation::kIdleFrame);
    paintWatch = nullptr;
  }

  void fitsTheScreenAndTabsToEveryControl() {
    MainDialog dialog;
    QVERIFY(showActive(dialog));
    const QRect available = dialog.screen()->availableGeometry();
    QVERIFY(available.contains(dialog.frameGeometry()));
    // Room for the whole page: centred on the screen; else it scrolls.
    const bool fits = dialog.page()->height() <= available.height();
    QCOMPARE(dialog.scrollArea()->verticalScrollBar()->maximum() > 0, !fits);
    if (fits) QCOMPARE(dialog.frameGeometry().center().x() / 2, dialog.screen()->geometry().center().x() / 2);
    // With every control enabled, Tab walks them in template order and shows each.
    const QList<ControlId> order{FILE_PATH_FLD, IDBROWSE, IDSCAN, F_TARGET_FLD, F_TARGET_BTN, IDOPTIMISE, IDBACKUP, KEEP_ASSETS, BTN_SAVE, IDCANCEL};
    for (ControlId id : order) dialog.control(id)->setEnabled(true);
    dialog.control(FILE_PATH_FLD)->setFocus();
    QWidget* viewport = dialog.scrollArea()->viewport();
    for (ControlId id : order) {
      QWidget* focused = QApplication::focusWidget();
      QCOMPARE(dialog.focusedControl(), static_cast<int>(id));
      QVERIFY(viewport->rect().contains(QRect(focused->mapTo(viewport, QPoint(0, 0)), focused->size())));
      QTest::keyClick(focused, Qt::Key_Tab);
    }
    // The window can be made smaller; the page then scrolls.
    dialog.resize(dialog.width() - 60, dialog.height() - 60);
    QTRY_VERIFY(dialog.scrollArea()->verticalScrollBar()->maximum() > 0);
  }

  void remembersTheFolderAndOpensDroppedMovies() {
    const std::string folder = freshFolder("remember");
    const std::string path = writeTestMovie(folder, "intro.swf", {});
    {
      MainDialog first;
      QMimeData mime;
      mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
      QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&first, &enter);
      QApplication::sendEvent(&first, &drop);
      QVERIFY(enter.isAccepted() && first.text(FILE_PATH_FLD) == path);
      QCOMPARE(shown(first, SHORTNAMETEXT), QStringLiteral("File Name: intro.swf"));
      QVERIFY2(!first.control(FILE_PATH_FLD)->acceptDrops(), "a drop loads, never types a URL");
    }
    // A later run's chooser starts where the last movie came from.
    MainDialog next;
    std::string startedIn;
    next.setFileChooser([&](const std::string& start) { return startedIn = start, std::string(); });
    next.controller().command(IDBROWSE);
    QCOMPARE(QString::fromStdString(startedIn), QString::fromStdString(folder));
  }
};

}  // namespace framestow::test::app

QTEST_MAIN(framestow::test::app::MainDialogTest)
#include "main_dialog_test.moc"
