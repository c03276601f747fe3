#include "app/main_dialog.hpp"
#include "app/profile_window.hpp"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QThread>
#include <QVBoxLayout>
#include <exception>
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

// The surface the controls sit on; the window paints the banner and the
// animation onto it.
class Page : public QWidget {
 public:
  Page(QWidget* parent, std::function<void()> paint) : QWidget(parent), paint_(std::move(paint)) {}

 protected:
  void paintEvent(QPaintEvent*) override { paint_(); }

 private:
  std::function<void()> paint_;
};

// The one local file a drag carries, or "".
QString droppedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().constFirst().isLocalFile()) {
    return {};
  }
  return mime->urls().constFirst().toLocalFile();
}

// Where the folder of the last movie is kept between runs.
QSettings settings() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "Framestow", "framestow"); }
const char* const kLastFolderKey = "lastFolder";

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
  setWindowIcon(QIcon(QStringLiteral(":/framestow/framestow.png")));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QFont font(QString::fromUtf8(tmpl.fontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(tmpl.fontPointSize);
  setFont(font);
  setAcceptDrops(true);
  loadPictures();
  measureDialogUnits();

  // The banner spans the page between equal margins and keeps its
  // proportions; the controls start one margin below it, wherever the font
  // puts the template's top band.
  const PixelRect size = toPixels({0, 0, tmpl.rect.width, tmpl.rect.height}, unitX_, unitY_);
  const QSize banner = banner_[0].size();
  const int bannerWidth = size.width - 2 * kMargin;
  bannerRect_ = QRect(kMargin, kMargin, bannerWidth, bannerWidth * banner.height() / banner.width());
  const int firstLine = toPixels(findControl(FILE_LOCATION_LABEL)->rect, unitX_, unitY_).y;
  const int top = bannerRect_.bottom() + 1 + kMargin - firstLine;

  // The page keeps the template's layout; on a screen too small for it, it
  // scrolls inside the window, which can be resized.
  page_ = new Page(this, [this] { paintPage(); });
  page_->setFixedSize(size.width, size.height + top);
  scrollArea_ = new QScrollArea(this);
  scrollArea_->setFrameShape(QFrame::NoFrame);
  // A click between the controls must leave the focus where it is (a scroll
  // area would take it, and Enter would then reload the movie).
  scrollArea_->setFocusPolicy(Qt::NoFocus);
  scrollArea_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scrollArea_->setWidget(page_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scrollArea_);
  setMinimumSize(160, 120);
  resize(page_->size());

  // The animation sits at (202, 97) in dialog units, inside "File Information".
  animationPosition_ = QPoint(static_cast<int>(202 * unitX_), static_cast<int>(97 * unitY_) + top);
  createControls(top);

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

void MainDialog::createControls(int top) {
  // Created in template order: that order is the tab order, and group boxes
  // come before the lines they frame so the lines stay on top.
  for (const ControlTemplate& control : mainDialogTemplate().controls) {
    QWidget* widget = createControl(control);
    const PixelRect r = toPixels(control.rect, unitX_, unitY_);
    widget->setGeometry(r.x, r.y + top, r.width, r.height);
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
      auto* label = new QLabel(page_);
      // File names are shown as they are, never as markup.
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setProperty(kRawTextProperty, caption);
      label->setText(displayLine(caption));
      return label;
    }
    case ControlKind::GroupBox: {
      auto* box = new QGroupBox(caption, page_);
      // The title sits in the top edge of the frame, so the frame spans the
      // template's rectangle from the title's middle down, whatever the style.
      box->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }"));
      return box;
    }
    case ControlKind::Edit:
    case ControlKind::DigitsEdit: {
      auto* edit = new QLineEdit(caption, page_);
      // Alt+letter and leaving the field are watched; a dropped file goes to
      // the window, never into the text.
      edit->installEventFilter(this);
      edit->setAcceptDrops(false);
      if (control.kind == ControlKind::DigitsEdit) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        edit->setAlignment(Qt::AlignRight);
      }
      return edit;
    }
    case ControlKind::UpDown: {
      // Bound to the control created just before it.
      auto* buddy = qobject_cast<QLineEdit*>(controls_.value(F_TARGET_FLD, nullptr));
      upDown_ = new UpDownControl(buddy, page_);
      connect(upDown_, &UpDownControl::moved, this, [this](int position) { controller_->upDownMoved(position); });
      return upDown_;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(caption, page_);
      // Enter on a focused button presses that button, as in any dialog.
      button->setAutoDefault(true);
      connect(button, &QPushButton::clicked, this, [this, id] { controller_->command(id); });
      return button;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(caption, page_);
      connect(box, &QCheckBox::clicked, this, [this, id] { controller_->command(id); });
      return box;
    }
  }
  return new QWidget(page_);
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

const QPixmap& MainDialog::picture(const std::array<QPixmap, 2>& variants, double scale) const {
  return devicePixelRatioF() * scale > 1.0 ? variants[1] : variants[0];
}

QRect MainDialog::animationRect() const { return {animationPosition_, QSize(kAnimationArea, kAnimationArea)}; }

void MainDialog::paintPage() {
  if (!controller_) {
    return;
  }
  QPainter painter(page_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(bannerRect_, picture(banner_, bannerRect_.width() / static_cast<double>(banner_[0].width())));
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

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
  if (controller_ && qobject_cast<QLineEdit*>(watched) != nullptr) {
    if (event->type() == QEvent::KeyPress) {
      // Alt+letter is a mnemonic. One that no enabled button took belongs to
      // a disabled button and must do nothing, not type its letter.
      const Qt::KeyboardModifiers modifiers = static_cast<QKeyEvent*>(event)->modifiers();
      if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier)) {
        return true;
      }
    } else if (event->type() == QEvent::FocusOut && watched == control(F_TARGET_FLD) &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      // Leaving the target field (Tab, a click on Save) commits what it shows.
      controller_->targetFieldLeft();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty() && !controller_->busy()) {
    event->acceptProposedAction();
  }
}

void MainDialog::dropEvent(QDropEvent* event) {
  const QString file = droppedFile(event->mimeData());
  if (!file.isEmpty()) {
    event->acceptProposedAction();
    controller_->openMovie(toUtf8(file));
  }
}

void MainDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!placed_) {
    placed_ = true;
    fitAndCentre();
    frameKnown_ = frameGeometry().size() != size();
  }
}

void MainDialog::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  // Some window systems tell the size of the window's frame only once it is
  // shown (X11 window managers do): fit again the first time it is known.
  if (placed_ && !frameKnown_ && frameGeometry().size() != size()) {
    frameKnown_ = true;
    fitAndCentre();
  }
}

void MainDialog::fitAndCentre() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) {
    return;
  }
  // The whole page when the screen has room for it; otherwise as much as the
  // available area holds (without panels and window frame), with scroll bars.
  const QRect available = screen->availableGeometry();
  const QSize frame = (frameGeometry().size() - size()).expandedTo(QSize(0, 0));
  const QSize room = available.size() - frame;
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollArea_);
  QSize wanted = page_->size();
  if (wanted.height() > room.height()) {
    wanted.rwidth() += bar;
  }
  if (wanted.width() > room.width()) {
    wanted.rheight() += bar;
  }
  resize(wanted.boundedTo(room));
  // Centred on the whole screen, as the classic dialogs are, but never
  // reaching past the available area.
  const QRect whole = screen->geometry();
  const QSize outer = size() + frame;
  const int x = whole.x() + (whole.width() - outer.width()) / 2;
  const int y = whole.y() + (whole.height() - outer.height()) / 2;
  move(qBound(available.left(), x, qMax(available.left(), available.right() + 1 - outer.width())),
       qBound(available.top(), y, qMax(available.top(), available.bottom() + 1 - outer.height())));
}

void MainDialog::reject() { controller_->command(IDCANCEL); }

void MainDialog::setText(ControlId id, const std::string& text) {
  QWidget* widget = control(id);
  const QString value = fromUtf8(text);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setProperty(kRawTextProperty, value);
    // A line too long for its place ends in "…" (a file name loses its
    // middle, so its end stays), and the whole of it shows as a tip.
    const QString line = displayLine(value);
    const Qt::TextElideMode mode = id == SHORTNAMETEXT ? Qt::ElideMiddle : Qt::ElideRight;
    const QString fitted = label->fontMetrics().elidedText(line, mode, label->width());
    label->setText(fitted);
    label->setToolTip(fitted == line ? QString() : line);
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

void MainDialog::focusControl(ControlId id) {
  if (QWidget* widget = control(id)) {
    widget->setFocus(Qt::OtherFocusReason);
    scrollArea_->ensureWidgetVisible(widget);
  }
}

std::string MainDialog::chooseFile(const std::string& folder) {
  const QString start = folder.empty() ? settings().value(kLastFolderKey).toString() : fromUtf8(folder);
  if (fileChooser_) {
    return fileChooser_(toUtf8(start));
  }
  QFileDialog dialog(this);
  configureOpenDialog(dialog);
  if (!start.isEmpty()) {
    dialog.setDirectory(start);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return toUtf8(dialog.selectedFiles().constFirst());
}

void MainDialog::rememberFolder(const std::string& folder) { settings().setValue(kLastFolderKey, fromUtf8(folder)); }

void MainDialog::endDialog(int code) { done(code); }

void MainDialog::runBusy(const std::function<void()>& work) {
  // The analysis runs on a thread of its own while this one goes on painting
  // and takes in whatever the user does; the controls are disabled and the
  // controller ignores commands meanwhile, so nothing of it acts afterwards.
  std::exception_ptr failure;
  QEventLoop loop;
  std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  if (failure) {
    std::rethrow_exception(failure);
  }
}

void MainDialog::invalidateAnimation() {
  if (QThread::currentThread() != thread()) {
    // From the analysis thread: widgets are painted on their own thread only.
    QMetaObject::invokeMethod(this, [this] { page_->update(animationRect()); }, Qt::QueuedConnection);
    return;
  }
  animationPending_ = true;
  page_->update(animationRect());
}

void MainDialog::repaintNow() {
  // Only a changed frame costs a paint; the analysis ticks far more often. On
  // the analysis thread the update posted above is painted by the event loop.
  if (animationPending_ && QThread::currentThread() == thread()) {
    animationPending_ = false;
    page_->repaint(animationRect());
  }
}

void MainDialog::showProfile() {
  if (profileWindow_ == nullptr) {
    profileWindow_ = new ProfileWindow(this, [this](double bytesPerSecond) {
      return controller_->profileChart(bytesPerSecond);
    });
  } else {
    profileWindow_->refresh();
  }
  profileWindow_->show();
  profileWindow_->raise();
}

void MainDialog::profileChanged() {
  // Only an open window follows the target frame: measuring costs a deflate.
  if (profileWindow_ != nullptr && profileWindow_->isVisible()) profileWindow_->refresh();
}

}  // namespace framestow::app
