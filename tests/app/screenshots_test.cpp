// Renders the window at three moments of a use (at start, after Analyze, after
// Save) into PNG files under the build folder, for the README and for a look
// at the layout without a display. Run at scale 2 the names end in "@2x".
#include <QDir>

#include "qt_helpers.hpp"

namespace framestow::test::app {

class Screenshots : public QObject {
  Q_OBJECT

 private slots:
  void renderAUse() {
    const std::string folder = freshFolder("screenshots");
    writeTestMovie(folder + "/movies", "intro.swf", {.redundantBytes = 40});
    // A short relative path reads better in the picture than the build folder.
    QDir::setCurrent(QString::fromStdString(folder));
    MainDialog dialog;
    QVERIFY(showActive(dialog));
    capture(dialog, "start");
    QTest::keyClicks(dialog.control(FILE_PATH_FLD), QStringLiteral("movies/intro.swf"));
    QTest::keyClick(dialog.control(FILE_PATH_FLD), Qt::Key_Return);
    QTest::mouseClick(dialog.control(IDSCAN), Qt::LeftButton);
    QTest::mouseClick(widgetOf<UpDownControl>(dialog, F_TARGET_BTN)->increaseButton(), Qt::LeftButton);
    capture(dialog, "analysed");
    QTest::mouseClick(dialog.control(BTN_SAVE), Qt::LeftButton);
    QCOMPARE(shown(dialog, COMMENTTEXT3), QStringLiteral("FILE MODIFIED"));
    capture(dialog, "saved");
  }

 private:
  static void capture(MainDialog& dialog, const char* name) {
    QDir().mkpath(QStringLiteral(FRAMESTOW_SCREENSHOTS));
    const QImage image = dialog.grab().toImage();
    const QString file = QStringLiteral(FRAMESTOW_SCREENSHOTS "/%1%2.png")
                             .arg(QLatin1String(name), image.devicePixelRatio() > 1 ? "@2x" : "");
    QVERIFY2(!image.isNull() && image.save(file), qPrintable(file));
  }
};

}  // namespace framestow::test::app

QTEST_MAIN(framestow::test::app::Screenshots)
#include "screenshots_test.moc"
