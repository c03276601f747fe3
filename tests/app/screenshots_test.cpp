// Renders the window at three moments of a use (at start, after Analyze, after
// Save) into PNG files under the build folder, for the README and for a look
// at the layout without a display.
#include <QDir>
#include <QTest>

#include "qt_helpers.hpp"
#include "test_movies.hpp"

namespace framestow::test::app {

class Screenshots : public QObject {
  Q_OBJECT

 private slots:
  void renderAUse();

 private:
  static void capture(MainDialog& dialog, const QString& name) {
    QDir().mkpath(QStringLiteral(FRAMESTOW_SCREENSHOTS));
    const QString file = QStringLiteral(FRAMESTOW_SCREENSHOTS "/%1.png").arg(name);
    const QImage image = dialog.grab().toImage();
    QVERIFY(!image.isNull());
    QVERIFY2(image.save(file), qPrintable(file));
    QCOMPARE(QImage(file).size(), image.size());
  }
};

void Screenshots::renderAUse() {
  const std::string folder = freshFolder("screenshots");
  MovieShape shape;
  shape.redundantBytes = 40;
  writeTestMovie(folder + "/movies", "intro.swf", shape);
  // A short relative path reads better in the picture than the build folder.
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(folder));

  MainDialog dialog;
  QVERIFY(showActive(dialog));
  capture(dialog, QStringLiteral("start"));

  auto* pathField = widgetOf<QLineEdit>(dialog, FILE_PATH_FLD);
  QTest::keyClicks(pathField, QStringLiteral("movies/intro.swf"));
  QTest::keyClick(pathField, Qt::Key_Return);
  QTest::mouseClick(widgetOf<QAbstractButton>(dialog, IDSCAN), Qt::LeftButton);
  QTest::mouseClick(widgetOf<UpDownControl>(dialog, F_TARGET_BTN)->increaseButton(), Qt::LeftButton);
  capture(dialog, QStringLiteral("analysed"));

  QTest::mouseClick(widgetOf<QAbstractButton>(dialog, BTN_SAVE), Qt::LeftButton);
  QCOMPARE(shown(dialog, COMMENTTEXT3), QStringLiteral("FILE MODIFIED"));
  capture(dialog, QStringLiteral("saved"));
  QDir::setCurrent(previous);
}

}  // namespace framestow::test::app

QTEST_MAIN(framestow::test::app::Screenshots)
#include "screenshots_test.moc"
