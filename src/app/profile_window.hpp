// The window of the stream profile: the chart of the movie's frames before
// and after the move to the target frame, a connection-speed chooser and the
// headline. It decides nothing: it asks its source (the dialog controller)
// for the chart at the chosen speed, and again whenever the dialog says the
// plan changed.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>

#include "document/profile_chart.hpp"

class QComboBox;
class QLabel;

namespace framestow::app {

// Paints a ProfileChart with QPainter, laid out as the command line's SVG.
class ProfileChartView : public QWidget {
 public:
  explicit ProfileChartView(QWidget* parent = nullptr);
  void setChart(std::optional<ProfileChart> chart);
  const std::optional<ProfileChart>& chart() const { return chart_; }
  QSize sizeHint() const override { return {720, 420}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<ProfileChart> chart_;
};

class ProfileWindow : public QDialog {
 public:
  using ChartSource = std::function<std::optional<ProfileChart>(double bytesPerSecond)>;
  ProfileWindow(QWidget* parent, ChartSource source);

  // Asks for the chart again (the target frame or the plan changed).
  void refresh();
  QComboBox* speedChooser() const { return speeds_; }
  QLabel* headline() const { return headline_; }
  ProfileChartView* chartView() const { return view_; }

 private:
  ChartSource source_;
  QComboBox* speeds_ = nullptr;
  QLabel* headline_ = nullptr;
  ProfileChartView* view_ = nullptr;
};

}  // namespace framestow::app
