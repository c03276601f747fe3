#include "app/profile_window.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "document/player_model.hpp"

namespace framestow::app {
namespace {

const QColor kBarColour(0x4a, 0x78, 0xb5);
const QColor kWaitColour(0xd0, 0x45, 0x3a);
const QColor kBudgetColour(0xe0, 0x8a, 0x00);

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

}  // namespace

ProfileChartView::ProfileChartView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(480, 300);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
}

void ProfileChartView::setChart(std::optional<ProfileChart> chart) {
  chart_ = std::move(chart);
  update();
}

void ProfileChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (!chart_ || chart_->panels.empty()) {
    painter.drawText(rect(), Qt::AlignCenter, tr("Analyse a movie to see how it streams in."));
    return;
  }
  const ProfileChart& chart = *chart_;
  const QFontMetrics metrics(font());
  const int line = metrics.height();
  const int left = metrics.horizontalAdvance(QStringLiteral("1000 kB")) + 12;
  const int right = 12;
  const int panels = static_cast<int>(chart.panels.size());
  const int legend = line + 8;
  const int panelHeight = (height() - legend) / panels;
  const double plotWidth = std::max(1, width() - left - right);
  const std::size_t frames = std::max<std::size_t>(1, chart.frameCount);
  const double slot = plotWidth / static_cast<double>(frames);
  const double barWidth = slot >= 3 ? slot * 0.8 : slot;
  const double scale = static_cast<double>(std::max<std::uint64_t>(1, chart.scaleBytes));

  for (int p = 0; p < panels; ++p) {
    const ChartPanel& panel = chart.panels[static_cast<std::size_t>(p)];
    const int top = p * panelHeight + line + 4;  // the panel's title sits on this line
    const int plotTop = top + line / 2 + 4;     // ... above the top tick's label
    const int bottom = (p + 1) * panelHeight - 2 * line - 6;
    const int plotHeight = std::max(1, bottom - plotTop);
    auto yOf = [&](std::uint64_t bytes) { return bottom - plotHeight * static_cast<double>(bytes) / scale; };
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(left, top - 4, fromUtf8(panel.title));
    painter.setFont(font());
    for (std::uint64_t tick : chart.ticks) {
      const int y = static_cast<int>(yOf(tick));
      painter.setPen(QColor(0xe4, 0xe4, 0xe4));
      painter.drawLine(left, y, width() - right, y);
      painter.setPen(QColor(0x55, 0x55, 0x55));
      painter.drawText(QRect(0, y - line / 2, left - 6, line), Qt::AlignRight | Qt::AlignVCenter,
                       fromUtf8(axisBytes(tick)));
    }
    for (std::size_t f = 0; f < panel.frameBytes.size(); ++f) {
      const double x = left + slot * static_cast<double>(f) + (slot - barWidth) / 2;
      const double y = panel.frameBytes[f] > 0 ? std::min(yOf(panel.frameBytes[f]), bottom - 1.0) : bottom;
      const QColor colour = panel.waits[f] ? kWaitColour : kBarColour;
      painter.fillRect(QRectF(x, y, std::max(barWidth, 1.0), bottom - y), colour);
      if (panel.waits[f]) painter.fillRect(QRectF(x, bottom + 2, std::max(barWidth, 2.0), 4), kWaitColour);
    }
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawLine(left, bottom, width() - right, bottom);
    if (chart.budgetBytes > 0 && chart.budgetBytes <= chart.scaleBytes) {
      QPen dashed(kBudgetColour, 2, Qt::DashLine);
      painter.setPen(dashed);
      const int y = static_cast<int>(yOf(chart.budgetBytes));
      painter.drawLine(left, y, width() - right, y);
    }
    painter.setPen(Qt::black);
    painter.drawText(left, bottom + line + 6, fromUtf8(panel.summary));
  }
  // Legend.
  const int y = height() - line / 2 - 4;
  painter.fillRect(left, y - 5, 10, 10, kBarColour);
  painter.setPen(Qt::black);
  painter.drawText(left + 14, y + line / 3, tr("bytes of a frame"));
  const int waitX = left + 14 + metrics.horizontalAdvance(tr("bytes of a frame")) + 18;
  painter.fillRect(waitX, y - 5, 10, 10, kWaitColour);
  painter.drawText(waitX + 14, y + line / 3, tr("a frame that waits"));
  if (chart.budgetBytes > 0) {
    const int budgetX = waitX + 14 + metrics.horizontalAdvance(tr("a frame that waits")) + 18;
    painter.setPen(QPen(kBudgetColour, 2, Qt::DashLine));
    painter.drawLine(budgetX, y, budgetX + 24, y);
    painter.setPen(Qt::black);
    painter.drawText(budgetX + 30, y + line / 3,
                     tr("per frame at this speed (%1)").arg(fromUtf8(axisBytes(chart.budgetBytes))));
  }
}

ProfileWindow::ProfileWindow(QWidget* parent, ChartSource source) : QDialog(parent), source_(std::move(source)) {
  setWindowTitle(tr("Stream profile"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(tr("&Connection:"), this);
  speeds_ = new QComboBox(this);
  label->setBuddy(speeds_);
  for (const ConnectionSpeed& speed : connectionSpeeds()) {
    speeds_->addItem(QStringLiteral("%1 (%2 bytes/s)").arg(QString::fromUtf8(speed.name)).arg(speed.bytesPerSecond),
                     speed.bytesPerSecond);
    if (speed.bytesPerSecond == kDefaultBytesPerSecond) speeds_->setCurrentIndex(speeds_->count() - 1);
  }
  row->addWidget(label);
  row->addWidget(speeds_);
  row->addStretch(1);
  layout->addLayout(row);
  headline_ = new QLabel(this);
  QFont bold = headline_->font();
  bold.setBold(true);
  headline_->setFont(bold);
  layout->addWidget(headline_);
  view_ = new ProfileChartView(this);
  layout->addWidget(view_, 1);
  connect(speeds_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
  refresh();
}

void ProfileWindow::refresh() {
  std::optional<ProfileChart> chart = source_ ? source_(speeds_->currentData().toDouble()) : std::nullopt;
  headline_->setText(chart ? fromUtf8(chart->headline) : QString());
  view_->setChart(std::move(chart));
}

}  // namespace framestow::app
