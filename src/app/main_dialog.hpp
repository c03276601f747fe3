// The Framestow window: the controls laid out from the dialog template, the
// banner and the busy animation. It decides nothing itself: clicks, Enter,
// focus changes and dropped files go to the DialogController, which sets the
// controls back through the DialogWindow operations.
#pragma once

#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QPoint>
#include <array>
#include <functional>
#include <memory>

#include "app/dialog_controller.hpp"
#include "app/dialog_template.hpp"
#include "app/dialog_window.hpp"

class QFileDialog;
class QScrollArea;

namespace framestow::app {

class UpDownControl;
class ProfileWindow;

class MainDialog : public QDialog, public DialogWindow {
  Q_OBJECT

 public:
  // `clock` paces the busy animation; tests pass their own.
  explicit MainDialog(QWidget* parent = nullptr, BusyAnimation::Clock clock = {});
  ~MainDialog() override;

  // DialogWindow
  void setText(ControlId id, const std::string& text) override;
  std::string text(ControlId id) const override;
  void enable(ControlId id, bool enabled) override;
  void setTicked(ControlId id, bool ticked) override;
  bool isTicked(ControlId id) const override;
  void setUpDownRange(ControlId id, int lower, int upper) override;
  int focusedControl() const override;
  void focusControl(ControlId id) override;
  std::string chooseFile(const std::string& folder) override;
  void rememberFolder(const std::string& folder) override;
  void endDialog(int code) override;
  void runBusy(const std::function<void()>& work) override;
  void invalidateAnimation() override;
  void repaintNow() override;
  void showProfile() override;
  void profileChanged() override;
  // The stream profile's window, once Profile… opened it.
  ProfileWindow* profileWindow() const { return profileWindow_; }

  QWidget* control(ControlId id) const { return controls_.value(id, nullptr); }
  DialogController& controller() { return *controller_; }
  // Pixels per dialog unit, measured from the dialog's font.
  double unitX() const { return unitX_; }
  double unitY() const { return unitY_; }
  // The surface that holds the controls at their template places; it scrolls
  // inside the window when the screen is too small for it.
  QWidget* page() const { return page_; }
  QScrollArea* scrollArea() const { return scrollArea_; }
  QPoint animationPosition() const { return animationPosition_; }
  QRect bannerRect() const { return bannerRect_; }
  // Replaces the file chooser, for tests that cannot click through one; it
  // gets the folder the chooser would open in.
  void setFileChooser(std::function<std::string(const std::string&)> chooser) { fileChooser_ = std::move(chooser); }

  static constexpr int kMargin = 7;          // around the banner
  static constexpr int kAnimationArea = 60;  // repainted square, a little larger than a frame

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 public slots:
  void reject() override;

 private:
  void measureDialogUnits();
  void createControls(int top);
  QWidget* createControl(const ControlTemplate& control);
  void loadPictures();
  void paintPage();
  void fitAndCentre();
  QRect animationRect() const;
  const QPixmap& picture(const std::array<QPixmap, 2>& variants, double scale = 1.0) const;

  std::unique_ptr<DialogController> controller_;
  QScrollArea* scrollArea_ = nullptr;
  QWidget* page_ = nullptr;
  QHash<int, QWidget*> controls_;
  UpDownControl* upDown_ = nullptr;
  double unitX_ = 1.5;
  double unitY_ = 1.625;
  QRect bannerRect_;
  QPoint animationPosition_;
  bool animationPending_ = false;
  bool placed_ = false;      // fitted to the screen and centred once shown
  bool frameKnown_ = false;  // ... knowing the size of the window's frame
  // Each picture at 1x and 2x, so it stays sharp on high-density screens.
  std::array<QPixmap, 2> banner_;
  std::array<std::array<QPixmap, 2>, 13> frames_;
  std::function<std::string(const std::string&)> fileChooser_;
  ProfileWindow* profileWindow_ = nullptr;
};

// The open dialog's settings: title, filters, suffix, existing files only.
void configureOpenDialog(QFileDialog& dialog);

}  // namespace framestow::app
