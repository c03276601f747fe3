#include "app/main_dialog.hpp"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <utility>

#include "app/busy_animation.hpp"
#include "app/up_down_control.hpp"

// Resources live in a static library; they must be registered by name, and
// only from the global namespace.
static void registerPictures() { Q_INIT_RESOURCE(framestow); }

namespace framestow::app {
namespace {

const char* const kControlIdProperty = "framestowControlId";
// What a static line was last given, before display clean-up.
const char* const kRawTextProperty = "framestowRawText";

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// Static lines show one line each; a message's trailing line break must not
// push its text out of the line.
QString displayLine(const QString& text) {
  QString line = text;
  line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  while (line.endsWith(QLatin1Char('\n'))) {
    line.chop(1);
  }
  return line;
}

QPixmap loadPicture(const QString& name, int scale) {
  const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
  QPixmap pixmap(QStringLiteral(":/framestow/%1%2.png").arg(name, suffix));
  pixmap.setDevicePixelRatio(scale);
  return pixmap;
}

}  // namespace

MainDialog::MainDialog(QWidget* parent, BusyAnimation::Clock clock) : QDialog(parent) {
  registerPictures();
  const DialogTemplate& tmpl = mainDialogTemplate();
  setWindowTitle(QString::fromUtf8(tmpl.caption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QFont font(QString::fromUtf8(tmpl.fontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(tmpl.fontPointSize);
  setFont(font);

  measureDialogUnits();
  const PixelRect size = toPixels({0, 0, tmpl.rect.width, tmpl.rect.height}, unitX_, unitY_);
  setFixedSize(size.width, size.height);
  // The animation sits at (202, 97) in dialog units, inside "File Information".
  animationPosition_ = QPoint(static_cast<int>(202 * unitX_), static_cast<int>(97 * unitY_));

  createControls();
  loadPictures();

  controller_ = std::make_unique<DialogController>(*this, std::move(clock));
  controller_->start();
  if (QWidget* first = control(FILE_PATH_FLD)) {
    first->setFocus();
  }
}

MainDialog::~MainDialog() = default;

void MainDialog::measureDialogUnits() {
  // A dialog unit is a quarter of the average character width across and an
  // eighth of the character height down. The average is taken over the Latin
  // letters, which keeps it stable across fonts whose digits or punctuation
  // are unusually wide.
  const QFontMetricsF metrics(font());
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const double averageWidth = metrics.horizontalAdvance(letters) / letters.size();
  unitX_ = averageWidth / 4.0;
  unitY_ = metrics.height() / 8.0;
}

void MainDialog::createControls() {
  // Created in template order: that order is the tab order, and group boxes
  // come before the lines they frame so the lines stay on top.
  for (const ControlTemplate& control : mainDialogTemplate().controls) {
    QWidget* widget = createControl(control);
    const PixelRect r = toPixels(control.rect, unitX_, unitY_);
    widget->setGeometry(r.x, r.y, r.width, r.height);
    widget->setProperty(kControlIdProperty, static_cast<int>(control.id));
    if (!control.tabStop) {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    controls_.insert(control.id, widget);
  }
}

QWidget* MainDialog::createControl(const ControlTemplate& control) {
  const QString caption = QString::fromUtf8(control.caption);
  const int id = control.id;
  switch (control.kind) {
    case ControlKind::StaticText: {
      auto* label = new QLabel(this);
      // File names are shown as they are, never as markup.
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setProperty(kRawTextProperty, caption);
      label->setText(displayLine(caption));
      return label;
    }
    case ControlKind::GroupBox: {
      auto* box = new QGroupBox(caption, this);
      // The title sits in the top edge of the frame, so the frame spans the
      // template's rectangle from the title's middle down, whatever the style.
      box->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }"));
      return box;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(caption, this);
      connect(edit, &QLineEdit::textChanged, this,
              [this](const QString& text) { controller_->pathFieldChanged(toUtf8(text)); });
      return edit;
    }
    case ControlKind::DigitsEdit: {
      auto* edit = new QLineEdit(caption, this);
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      edit->setAlignment(Qt::AlignRight);
      return edit;
    }
    case ControlKind::UpDown: {
      // Bound to the control created just before it.
      auto* buddy = qobject_cast<QLineEdit*>(controls_.value(F_TARGET_FLD, nullptr));
      upDown_ = new UpDownControl(buddy, this);
      connect(upDown_, &UpDownControl::moved, this, [this](int position) { controller_->upDownMoved(position); });
      return upDown_;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(caption, this);
      // Enter on a focused button presses that button, as in any dialog.
      button->setAutoDefault(true);
      connect(button, &QPushButton::clicked, this, [this, id] { controller_->command(id); });
      return button;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(caption, this);
      connect(box, &QCheckBox::clicked, this, [this, id] { controller_->command(id); });
      return box;
    }
  }
  return new QWidget(this);
}

void MainDialog::loadPictures() {
  for (int scale : {1, 2}) {
    banner_[static_cast<std::size_t>(scale - 1)] = loadPicture(QStringLiteral("banner"), scale);
    for (int f = 0; f < BusyAnimation::kFrameCount; ++f) {
      frames_[static_cast<std::size_t>(f)][static_cast<std::size_t>(scale - 1)] =
          loadPicture(QStringLiteral("busy_%1").arg(f, 2, 10, QLatin1Char('0')), scale);
    }
  }
}

const QPixmap& MainDialog::picture(const std::array<QPixmap, 2>& variants) const {
  return devicePixelRatioF() > 1.0 ? variants[1] : variants[0];
}

QRect MainDialog::animationRect() const { return {animationPosition_, QSize(kAnimationArea, kAnimationArea)}; }

void MainDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(kBannerPosition, picture(banner_));
  const int frame = controller_->animation().frameToPaint();
  painter.drawPixmap(animationPosition_, picture(frames_[static_cast<std::size_t>(frame)]));
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
  // Enter reaches the dialog only when the focused control did not take it
  // (push buttons take it themselves): it is the dialog's OK command.
  const bool plain = event->modifiers() == Qt::NoModifier ||
                     (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    controller_->command(IDOK);
    return;
  }
  QDialog::keyPressEvent(event);
}

void MainDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!centred_) {
    centred_ = true;
    centreOnScreen();
  }
}

void MainDialog::centreOnScreen() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) {
    return;
  }
  // The whole screen, as the classic dialogs are centred, not the work area.
  const QRect area = screen->geometry();
  const QSize frame = frameGeometry().size();
  move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

void MainDialog::reject() { controller_->command(IDCANCEL); }

void MainDialog::setText(ControlId id, const std::string& text) {
  QWidget* widget = control(id);
  const QString value = fromUtf8(text);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setProperty(kRawTextProperty, value);
    label->setText(displayLine(value));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(value);
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    box->setTitle(value);
  }
}

std::string MainDialog::text(ControlId id) const {
  QWidget* widget = control(id);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    return toUtf8(label->property(kRawTextProperty).toString());
  }
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    return toUtf8(edit->text());
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    return toUtf8(button->text());
  }
  if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    return toUtf8(box->title());
  }
  return {};
}

void MainDialog::enable(ControlId id, bool enabled) {
  if (QWidget* widget = control(id)) {
    widget->setEnabled(enabled);
  }
}

void MainDialog::setTicked(ControlId id, bool ticked) {
  if (auto* box = qobject_cast<QCheckBox*>(control(id))) {
    box->setChecked(ticked);
  }
}

bool MainDialog::isTicked(ControlId id) const {
  auto* box = qobject_cast<QCheckBox*>(control(id));
  return box != nullptr && box->isChecked();
}

void MainDialog::setUpDownRange(ControlId id, int lower, int upper) {
  if (id == F_TARGET_BTN && upDown_ != nullptr) {
    upDown_->setRange(lower, upper);
  }
}

int MainDialog::focusedControl() const {
  const QWidget* focused = focusWidget();
  while (focused != nullptr && focused != this) {
    const QVariant id = focused->property(kControlIdProperty);
    if (id.isValid()) {
      return id.toInt();
    }
    focused = focused->parentWidget();
  }
  return 0;
}

void configureOpenDialog(QFileDialog& dialog) {
  dialog.setWindowTitle(QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // The list shows the filter names only. "All files" matches every name,
  // those without a dot too.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters({QStringLiteral("All files (*)"), QStringLiteral("Flash Movies (*.swf)")});
  dialog.selectNameFilter(QStringLiteral("Flash Movies (*.swf)"));
  dialog.setDefaultSuffix(QStringLiteral("swf"));
}

std::string MainDialog::chooseFile() {
  if (fileChooser_) {
    return fileChooser_();
  }
  QFileDialog dialog(this);
  configureOpenDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return toUtf8(dialog.selectedFiles().constFirst());
}

void MainDialog::endDialog(int code) { done(code); }

void MainDialog::invalidateAnimation() {
  animationPending_ = true;
  update(animationRect());
}

void MainDialog::repaintNow() {
  // Only a changed frame costs a paint; the analysis ticks far more often.
  if (animationPending_) {
    animationPending_ = false;
    repaint(animationRect());
  }
}

}  // namespace framestow::app
