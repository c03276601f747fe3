#include "app/up_down_control.hpp"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>

namespace framestow::app {

UpDownControl::UpDownControl(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), buddy_(buddy), decrease_(new QToolButton(this)), increase_(new QToolButton(this)) {
  decrease_->setArrowType(Qt::LeftArrow);
  increase_->setArrowType(Qt::RightArrow);
  for (QToolButton* button : {decrease_, increase_}) {
    // Holding an arrow keeps stepping; the arrows never take the focus from the field.
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
  }
  connect(decrease_, &QToolButton::clicked, this, [this] { stepBy(-1); });
  connect(increase_, &QToolButton::clicked, this, [this] { stepBy(+1); });
  // Up and Down in the field step too, as they do with the arrows focused.
  buddy_->installEventFilter(this);
  // A tab stop, but a click on an arrow leaves the focus in the field.
  setFocusPolicy(Qt::TabFocus);
}

void UpDownControl::setRange(int lower, int upper) {
  lower_ = lower;
  upper_ = std::max(lower, upper);
  position_ = std::clamp(position_, lower_, upper_);
}

void UpDownControl::stepBy(int delta) {
  bool isNumber = false;
  const int typed = buddy_->text().toInt(&isNumber);
  if (isNumber && typed >= lower_ && typed <= upper_) {
    position_ = typed;
  }
  const int next = std::clamp(position_ + delta, lower_, upper_);
  if (next == position_) {
    return;
  }
  position_ = next;
  buddy_->setText(QString::number(position_));
  emit moved(position_);
}

int UpDownControl::deltaForKey(int key, bool horizontalKeys) {
  switch (key) {
    case Qt::Key_Up:
      return +1;
    case Qt::Key_Down:
      return -1;
    case Qt::Key_Right:
      return horizontalKeys ? +1 : 0;
    case Qt::Key_Left:
      return horizontalKeys ? -1 : 0;
    default:
      return 0;
  }
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
  if (const int delta = deltaForKey(event->key(), true); delta != 0) {
    stepBy(delta);
    return;
  }
  QWidget::keyPressEvent(event);
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
  // Left and Right stay with the field to move its cursor.
  if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
    if (const int delta = deltaForKey(static_cast<QKeyEvent*>(event)->key(), false); delta != 0) {
      stepBy(delta);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent* event) {
  // A one-pixel margin is left for the focus frame.
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const int half = inner.width() / 2;
  decrease_->setGeometry(inner.x(), inner.y(), half, inner.height());
  increase_->setGeometry(inner.x() + half, inner.y(), inner.width() - half, inner.height());
  QWidget::resizeEvent(event);
}

void UpDownControl::paintEvent(QPaintEvent*) {
  // The arrows never hold the focus themselves; show where the keyboard is.
  if (!hasFocus()) {
    return;
  }
  QStylePainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void UpDownControl::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void UpDownControl::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

}  // namespace framestow::app
