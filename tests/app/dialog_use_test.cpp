// One whole use of the real window, driven only by keyboard and mouse events:
// type a path and press Enter, Analyze, step the frame with the arrows, type a
// frame and press Enter, untick and tick the options, Save.
#include <QTest>

#include "qt_helpers.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {

class DialogUse : public QObject {
  Q_OBJECT

 private slots:
  void wholeUse();
  void enterOnAButtonPressesThatButton();
  void mnemonicsPressTheirButtons();
};

void DialogUse::wholeUse() {
  const std::string folder = freshFolder("dialog_use");
  MovieShape shape;
  shape.redundantBytes = 40;
  const QString path = QString::fromStdString(writeTestMovie(folder, "intro.swf", shape));
  const auto original = readFile(path.toStdString());

  MainDialog dialog;
  QVERIFY(showActive(dialog));
  auto* pathField = widgetOf<QLineEdit>(dialog, FILE_PATH_FLD);
  auto* target = widgetOf<QLineEdit>(dialog, F_TARGET_FLD);
  auto* arrows = widgetOf<UpDownControl>(dialog, F_TARGET_BTN);
  auto* analyze = widgetOf<QAbstractButton>(dialog, IDSCAN);
  auto* optimise = widgetOf<QCheckBox>(dialog, IDOPTIMISE);
  auto* backup = widgetOf<QCheckBox>(dialog, IDBACKUP);
  auto* save = widgetOf<QAbstractButton>(dialog, BTN_SAVE);
  QCOMPARE(QApplication::focusWidget(), pathField);
  QVERIFY(!analyze->isEnabled());

  // Type the path and press Enter: the movie loads.
  QTest::keyClicks(pathField, path);
  QTest::keyClick(pathField, Qt::Key_Return);
  QCOMPARE(shown(dialog, SHORTNAMETEXT), QStringLiteral("File Name: intro.swf"));
  QCOMPARE(shown(dialog, HEADERTEXT1), QStringLiteral("SWF Version: 6"));
  QCOMPARE(shown(dialog, HEADERTEXT4), QStringLiteral("Frames (main timeline): 3"));
  QVERIFY(analyze->isEnabled());
  QVERIFY(!target->isEnabled());

  // Analyze.
  QTest::mouseClick(analyze, Qt::LeftButton);
  QCOMPARE(shown(dialog, ANALYSISTEXT1), QStringLiteral("Number of linked assets found: 1"));
  QCOMPARE(shown(dialog, ANALYSISTEXT2), QStringLiteral("Attach codes were found in frame 2"));
  QCOMPARE(shown(dialog, ANALYSISTEXT3), QStringLiteral("Redundant export codes found: 40 Bytes"));
  QCOMPARE(optimise->text(), QStringLiteral("Remove 40 Redundant Bytes"));
  QVERIFY(!analyze->isEnabled());
  QVERIFY(target->isEnabled() && arrows->isEnabled());
  QVERIFY(optimise->isEnabled() && optimise->isChecked());
  QVERIFY(backup->isEnabled() && backup->isChecked());
  QVERIFY(save->isEnabled());
  QCOMPARE(arrows->upper(), 3);

  // The right arrow steps to frame 2 and plans.
  QTest::mouseClick(arrows->increaseButton(), Qt::LeftButton);
  QCOMPARE(target->text(), QStringLiteral("2"));
  QCOMPARE(shown(dialog, COMMENTTEXT2), QStringLiteral("OK to move to frame 2."));
  // Up in the field steps on to 3, past the attach code: a warning.
  target->setFocus();
  QTest::keyClick(target, Qt::Key_Up);
  QCOMPARE(target->text(), QStringLiteral("3"));
  QCOMPARE(shown(dialog, COMMENTTEXT2), QStringLiteral("Some assets may be unavailable"));
  // No step beyond the last frame.
  QTest::mouseClick(arrows->increaseButton(), Qt::LeftButton);
  QCOMPARE(target->text(), QStringLiteral("3"));

  // Letters never reach the field; a number past the end is clamped on Enter.
  target->selectAll();
  QTest::keyClicks(target, QStringLiteral("x9"));
  QCOMPARE(target->text(), QStringLiteral("9"));
  QTest::keyClick(target, Qt::Key_Return);
  QCOMPARE(target->text(), QStringLiteral("3"));
  QCOMPARE(dialog.controller().targetFrame(), 3);
  QVERIFY2(dialog.controller().document().analysed(), "Enter in the field must not reload");
  target->selectAll();
  QTest::keyClicks(target, QStringLiteral("2"));
  QTest::keyClick(target, Qt::Key_Return);
  QCOMPARE(dialog.controller().targetFrame(), 2);
  QCOMPARE(shown(dialog, COMMENTTEXT2), QStringLiteral("OK to move to frame 2."));

  // Untick and tick the options.
  QTest::mouseClick(backup, Qt::LeftButton);
  QVERIFY(!backup->isChecked());
  QTest::mouseClick(backup, Qt::LeftButton);
  QVERIFY(backup->isChecked());
  QTest::mouseClick(optimise, Qt::LeftButton);
  QVERIFY(!optimise->isChecked());
  QVERIFY2(save->isEnabled(), "bytes can still move to frame 2");
  QTest::mouseClick(optimise, Qt::LeftButton);
  QVERIFY(optimise->isChecked());

  // Save: the movie is rewritten without the redundant entry, the original kept.
  QTest::mouseClick(save, Qt::LeftButton);
  QCOMPARE(shown(dialog, COMMENTTEXT3), QStringLiteral("FILE MODIFIED"));
  QVERIFY(!save->isEnabled());
  QVERIFY(readFile(folder + "/intro_old.swf") == original);
  QCOMPARE(readFile(path.toStdString()).size(), original.size() - 40);
}

void DialogUse::enterOnAButtonPressesThatButton() {
  MainDialog dialog;
  QVERIFY(showActive(dialog));
  auto* exit = widgetOf<QAbstractButton>(dialog, IDCANCEL);
  exit->setFocus();
  QTest::keyClick(exit, Qt::Key_Return);
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), 0);
}

void DialogUse::mnemonicsPressTheirButtons() {
  const std::string folder = freshFolder("dialog_mnemonics");
  const std::string path = writeTestMovie(folder, "intro.swf", {});
  MainDialog dialog;
  int chooserCalls = 0;
  dialog.setFileChooser([&] {
    ++chooserCalls;
    return path;
  });
  QVERIFY(showActive(dialog));
  // A mnemonic presses its button visibly: the click follows a moment later.
  QTest::keyClick(&dialog, Qt::Key_B, Qt::AltModifier);
  QTRY_COMPARE(chooserCalls, 1);
  QCOMPARE(shown(dialog, SHORTNAMETEXT), QStringLiteral("File Name: intro.swf"));
  QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
  QTRY_COMPARE(shown(dialog, ANALYSISTEXT1), QStringLiteral("Number of linked assets found: 1"));
  dialog.controller().upDownMoved(2);
  QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
  QTRY_COMPARE(shown(dialog, COMMENTTEXT3), QStringLiteral("FILE MODIFIED"));
  QTest::keyClick(&dialog, Qt::Key_E, Qt::AltModifier);
  QTRY_VERIFY(!dialog.isVisible());
}

}  // namespace framestow::test::app

QTEST_MAIN(framestow::test::app::DialogUse)
#include "dialog_use_test.moc"
