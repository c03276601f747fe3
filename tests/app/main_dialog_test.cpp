// The Qt window itself: its controls laid out from dialog units, captions and
// kinds, tab order, the open dialog's settings, painting and centring.
#include <QFileDialog>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "app/dialog_template.hpp"
#include "qt_helpers.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {

class MainDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogUnitsFollowTheFont();
  void everyControlSitsAtItsTemplateRectangle();
  void controlsHaveTheirKindsAndCaptions();
  void tabOrderFollowsTheTemplate();
  void targetFieldTakesDigitsOnly();
  void arrowsStayWithinTheirRange();
  void openDialogSettings();
  void paintsTheBannerAndTheAnimationFrame();
  void animationMovesWhileAnalysing();
  void centresOnTheScreen();
  void staticLinesShowMessagesOnOneLine();
};

void MainDialogTest::dialogUnitsFollowTheFont() {
  MainDialog dialog;
  const QFontMetricsF metrics(dialog.font());
  QCOMPARE(dialog.font().pointSize(), 8);
  QVERIFY(qAbs(dialog.unitY() - metrics.height() / 8.0) < 1e-9);
  QVERIFY(dialog.unitX() > 0.5 && dialog.unitX() < 4.0);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Framestow"));
  const PixelRect size = toPixels({0, 0, 265, 320}, dialog.unitX(), dialog.unitY());
  QCOMPARE(dialog.size(), QSize(size.width, size.height));
  QCOMPARE(dialog.animationPosition(),
           QPoint(static_cast<int>(202 * dialog.unitX()), static_cast<int>(97 * dialog.unitY())));
}

void MainDialogTest::everyControlSitsAtItsTemplateRectangle() {
  MainDialog dialog;
  for (const ControlTemplate& control : mainDialogTemplate().controls) {
    QWidget* widget = dialog.control(control.id);
    QVERIFY2(widget != nullptr, qPrintable(QString::number(control.id)));
    const PixelRect r = toPixels(control.rect, dialog.unitX(), dialog.unitY());
    QCOMPARE(widget->geometry(), QRect(r.x, r.y, r.width, r.height));
  }
}

void MainDialogTest::controlsHaveTheirKindsAndCaptions() {
  MainDialog dialog;
  QCOMPARE(widgetOf<QPushButton>(dialog, IDBROWSE)->text(), QStringLiteral("&Browse..."));
  QCOMPARE(widgetOf<QPushButton>(dialog, IDSCAN)->text(), QStringLiteral("&Analyze"));
  QCOMPARE(widgetOf<QPushButton>(dialog, BTN_SAVE)->text(), QStringLiteral("&Save"));
  QCOMPARE(widgetOf<QPushButton>(dialog, IDCANCEL)->text(), QStringLiteral("&Exit"));
  QCOMPARE(widgetOf<QGroupBox>(dialog, FILE_INFO_GROUP)->title(), QStringLiteral("File Information"));
  QCOMPARE(widgetOf<QGroupBox>(dialog, OUTPUT_GROUP)->title(), QStringLiteral("Output"));
  QCOMPARE(widgetOf<QLabel>(dialog, TARGET_LABEL)->text(), QStringLiteral("Move assets to frame"));
  QCOMPARE(widgetOf<QCheckBox>(dialog, IDOPTIMISE)->text(), QStringLiteral("Remove Redundant Bytes"));
  QCOMPARE(widgetOf<QCheckBox>(dialog, IDBACKUP)->text(), QStringLiteral("Save original as [filename]_old.swf"));
  QVERIFY(widgetOf<QCheckBox>(dialog, IDBACKUP)->isChecked());
  QCOMPARE(widgetOf<QLineEdit>(dialog, F_TARGET_FLD)->text(), QStringLiteral("1"));
  QCOMPARE(widgetOf<UpDownControl>(dialog, F_TARGET_BTN)->upper(), 20);
  // Static texts show file names literally, never as markup.
  QCOMPARE(widgetOf<QLabel>(dialog, SHORTNAMETEXT)->textFormat(), Qt::PlainText);
}

void MainDialogTest::tabOrderFollowsTheTemplate() {
  MainDialog dialog;
  QVERIFY(showActive(dialog));
  const QList<ControlId> expected{FILE_PATH_FLD, IDBROWSE, IDSCAN,   F_TARGET_FLD, F_TARGET_BTN,
                                  IDOPTIMISE,    IDBACKUP, BTN_SAVE, IDCANCEL};
  QList<ControlId> stops;
  for (const ControlTemplate& control : mainDialogTemplate().controls) {
    const bool focusable = dialog.control(control.id)->focusPolicy() & Qt::TabFocus;
    QCOMPARE(focusable, control.tabStop);
  }
  // Walk the chain with everything enabled, as after a movie with removal on offer.
  for (ControlId id : expected) {
    dialog.control(id)->setEnabled(true);
  }
  QWidget* widget = dialog.control(FILE_PATH_FLD);
  widget->setFocus();
  for (int i = 0; i < expected.size(); ++i) {
    stops.append(static_cast<ControlId>(dialog.focusedControl()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QCOMPARE(stops, expected);
}

void MainDialogTest::targetFieldTakesDigitsOnly() {
  MainDialog dialog;
  auto* field = widgetOf<QLineEdit>(dialog, F_TARGET_FLD);
  field->setEnabled(true);
  field->clear();
  QTest::keyClicks(field, QStringLiteral("1a-2 3."));
  QCOMPARE(field->text(), QStringLiteral("123"));
}

void MainDialogTest::arrowsStayWithinTheirRange() {
  MainDialog dialog;
  auto* field = widgetOf<QLineEdit>(dialog, F_TARGET_FLD);
  auto* arrows = widgetOf<UpDownControl>(dialog, F_TARGET_BTN);
  arrows->setEnabled(true);
  arrows->setRange(1, 3);
  QList<int> moves;
  QObject::connect(arrows, &UpDownControl::moved, [&](int p) { moves.append(p); });
  arrows->stepBy(-1);  // already at 1
  QVERIFY(moves.isEmpty());
  field->setText(QStringLiteral("2"));  // typed: the arrows go on from there
  arrows->stepBy(+1);
  arrows->stepBy(+1);
  QCOMPARE(moves, QList<int>{3});
  QCOMPARE(field->text(), QStringLiteral("3"));
  QTest::keyClick(arrows, Qt::Key_Left);
  QCOMPARE(moves, (QList<int>{3, 2}));
}

void MainDialogTest::openDialogSettings() {
  QFileDialog chooser;
  configureOpenDialog(chooser);
  QCOMPARE(chooser.windowTitle(), QStringLiteral("Open"));
  QCOMPARE(chooser.nameFilters().size(), 2);
  QVERIFY(chooser.nameFilters().at(0).startsWith(QStringLiteral("All files (")));
  QCOMPARE(chooser.nameFilters().at(1), QStringLiteral("Flash Movies (*.swf)"));
  // The list names the filters without their patterns, and starts on movies.
  QCOMPARE(chooser.selectedNameFilter(), QStringLiteral("Flash Movies"));
  QVERIFY(chooser.testOption(QFileDialog::HideNameFilterDetails));
  QCOMPARE(chooser.defaultSuffix(), QStringLiteral("swf"));
  QCOMPARE(chooser.fileMode(), QFileDialog::ExistingFile);
  QCOMPARE(chooser.acceptMode(), QFileDialog::AcceptOpen);
}

void MainDialogTest::paintsTheBannerAndTheAnimationFrame() {
  MainDialog dialog;
  QVERIFY(showActive(dialog));
  const QImage banner(QStringLiteral(":/framestow/banner.png"));
  QCOMPARE(banner.size(), QSize(384, 53));
  const QImage idle = dialog.grab().toImage();
  // The banner is opaque: its pixels land unchanged at (7, 6).
  for (QPoint at : {QPoint(0, 0), QPoint(200, 26), QPoint(383, 52)}) {
    QCOMPARE(idle.pixel(at + MainDialog::kBannerPosition), banner.pixel(at));
  }
  const QRect area(dialog.animationPosition(), QSize(56, 56));
  dialog.controller().animation().setFrame(3);
  const QImage busy = dialog.grab().toImage();
  QVERIFY(idle.copy(area) != busy.copy(area));
  QVERIFY(idle.copy(0, 0, 400, 60) == busy.copy(0, 0, 400, 60));
  // Any frame outside the busy cycle paints as idle.
  dialog.controller().animation().setFrame(40);
  QVERIFY(dialog.grab().toImage().copy(area) == idle.copy(area));
  QCOMPARE(dialog.controller().animation().frame(), BusyAnimation::kIdleFrame);
}

// Records the animation frame of every paint of the dialog.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(MainDialog& dialog) : dialog_(dialog) { dialog.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      frames.append(dialog_.controller().animation().frame());
      analysedAtPaint.append(dialog_.controller().document().analysed());
    }
    return false;
  }
  QList<int> frames;
  QList<bool> analysedAtPaint;

 private:
  MainDialog& dialog_;
};

void MainDialogTest::animationMovesWhileAnalysing() {
  const std::string folder = freshFolder("animation");
  MovieShape longMovie;
  longMovie.frames = 40;
  const std::string path = writeTestMovie(folder, "long.swf", longMovie);
  // Every reading of this clock is 60 ms after the one before: each tick steps.
  std::uint32_t now = 0;
  MainDialog dialog(nullptr, [&now] { return now += 60; });
  dialog.setFileChooser([&] { return path; });
  QVERIFY(showActive(dialog));
  QTest::mouseClick(widgetOf<QAbstractButton>(dialog, IDBROWSE), Qt::LeftButton);
  QVERIFY(widgetOf<QAbstractButton>(dialog, IDSCAN)->isEnabled());

  PaintSpy spy(dialog);
  QTest::mouseClick(widgetOf<QAbstractButton>(dialog, IDSCAN), Qt::LeftButton);
  // Painted during the scan, inside the click, showing the busy frames in turn.
  const QList<int> busy = spy.frames.mid(spy.frames.indexOf(1));
  QVERIFY2(busy.size() > 12, qPrintable(QString::number(busy.size())));
  for (int i = 1; i < busy.size(); ++i) {
    QCOMPARE(busy[i], (busy[i - 1] + 1) % 12);
  }
  QVERIFY(!spy.analysedAtPaint.contains(true));
  // Afterwards the idle picture comes back with the next paint.
  QCOMPARE(dialog.controller().animation().frame(), BusyAnimation::kIdleFrame);
  QTRY_COMPARE(spy.frames.constLast(), BusyAnimation::kIdleFrame);
}

void MainDialogTest::centresOnTheScreen() {
  MainDialog dialog;
  QVERIFY(showActive(dialog));
  const QRect screen = dialog.screen()->geometry();
  const QRect frame = dialog.frameGeometry();
  QCOMPARE(frame.x(), screen.x() + (screen.width() - frame.width()) / 2);
  QCOMPARE(frame.y(), screen.y() + (screen.height() - frame.height()) / 2);
}

void MainDialogTest::staticLinesShowMessagesOnOneLine() {
  MainDialog dialog;
  dialog.setText(HEADERTEXT1, "Sorry, the file doesn't appear to be complete.\r\n");
  QCOMPARE(widgetOf<QLabel>(dialog, HEADERTEXT1)->text(),
           QStringLiteral("Sorry, the file doesn't appear to be complete."));
  QCOMPARE(dialog.text(HEADERTEXT1), std::string("Sorry, the file doesn't appear to be complete.\r\n"));
}

}  // namespace framestow::test::app

QTEST_MAIN(framestow::test::app::MainDialogTest)
#include "main_dialog_test.moc"
