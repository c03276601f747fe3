// A pair of horizontal arrows that steps the number in the field beside it.
// Each step reads the field first, so a typed number is where the arrows go on
// from; the new position is written back into the field and announced.
#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace framestow::app {

class UpDownControl : public QWidget {
  Q_OBJECT

 public:
  UpDownControl(QLineEdit* buddy, QWidget* parent);

  void setRange(int lower, int upper);
  int lower() const { return lower_; }
  int upper() const { return upper_; }
  int position() const { return position_; }
  QToolButton* decreaseButton() const { return decrease_; }
  QToolButton* increaseButton() const { return increase_; }

  // Moves by `delta` within the range; does nothing at either end.
  void stepBy(int delta);

 signals:
  void moved(int position);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // +1, -1, or 0 for keys that do not step.
  static int deltaForKey(int key, bool horizontalKeys);

  QLineEdit* buddy_;
  QToolButton* decrease_;
  QToolButton* increase_;
  int lower_ = 1;
  int upper_ = 1;
  int position_ = 1;
};

}  // namespace framestow::app
