#include "cli/profile_svg.hpp"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace framestow::cli {
namespace {

constexpr double kWidth = 960;
constexpr double kLeft = 78;
constexpr double kRight = 24;
constexpr double kTop = 64;
constexpr double kPlotHeight = 170;
constexpr double kPanelHeight = 250;  // title, plot, frame numbers and summary
constexpr const char* kBarColour = "#4a78b5";
constexpr const char* kWaitColour = "#d0453a";
constexpr const char* kBudgetColour = "#e08a00";

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// Frame numbers under the axis: about ten, on round steps.
std::size_t frameStep(std::size_t frames) {
  for (std::size_t step : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000}) {
    if (frames / step <= 12) return step;
  }
  return 50000;
}

}  // namespace

std::string profileSvg(const ProfileChart& chart, const std::string& fileName) {
  const double plotWidth = kWidth - kLeft - kRight;
  const double height = kTop + kPanelHeight * static_cast<double>(chart.panels.size()) + 30;
  const std::size_t frames = std::max<std::size_t>(1, chart.frameCount);
  const double slot = plotWidth / static_cast<double>(frames);
  const double barWidth = slot >= 3 ? slot * 0.8 : slot;
  const double scale = static_cast<double>(std::max<std::uint64_t>(1, chart.scaleBytes));

  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << number(height)
      << "\" viewBox=\"0 0 " << kWidth << ' ' << number(height)
      << "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n";
  svg << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg << "<text x=\"" << kLeft << "\" y=\"24\" font-size=\"16\" font-weight=\"bold\">" << escaped(chart.headline)
      << "</text>\n";
  svg << "<text x=\"" << kLeft << "\" y=\"44\" fill=\"#555\">" << escaped(fileName)
      << ": bytes of the file each frame needs before it can show</text>\n";

  for (std::size_t p = 0; p < chart.panels.size(); ++p) {
    const ChartPanel& panel = chart.panels[p];
    const double top = kTop + kPanelHeight * static_cast<double>(p) + 22;
    const double bottom = top + kPlotHeight;
    auto yOf = [&](std::uint64_t bytes) { return bottom - kPlotHeight * static_cast<double>(bytes) / scale; };
    svg << "<g>\n<text x=\"" << kLeft << "\" y=\"" << number(top - 8) << "\" font-weight=\"bold\">"
        << escaped(panel.title) << "</text>\n";
    for (std::uint64_t tick : chart.ticks) {
      const double y = yOf(tick);
      svg << "<line x1=\"" << kLeft << "\" y1=\"" << number(y) << "\" x2=\"" << kLeft + plotWidth << "\" y2=\""
          << number(y) << "\" stroke=\"#e4e4e4\"/>\n";
      svg << "<text x=\"" << kLeft - 6 << "\" y=\"" << number(y + 4) << "\" text-anchor=\"end\" fill=\"#555\">"
          << escaped(axisBytes(tick)) << "</text>\n";
    }
    for (std::size_t f = 0; f < panel.frameBytes.size(); ++f) {
      const double x = kLeft + slot * static_cast<double>(f) + (slot - barWidth) / 2;
      // A frame of a few bytes still gets a bar a pixel high.
      const double y = panel.frameBytes[f] > 0 ? std::min(yOf(panel.frameBytes[f]), bottom - 1) : bottom;
      const bool waits = panel.waits[f];
      svg << "<rect x=\"" << number(x) << "\" y=\"" << number(y) << "\" width=\"" << number(barWidth)
          << "\" height=\"" << number(std::max(0.0, bottom - y)) << "\" fill=\"" << (waits ? kWaitColour : kBarColour)
          << "\"><title>frame " << f + 1 << ": " << panel.frameBytes[f] << " bytes" << (waits ? ", waits" : "")
          << "</title></rect>\n";
      if (waits) {
        // A mark under the axis finds a waiting frame whose bar is too low to see.
        svg << "<rect x=\"" << number(x) << "\" y=\"" << number(bottom + 2) << "\" width=\""
            << number(std::max(barWidth, 2.0)) << "\" height=\"4\" fill=\"" << kWaitColour << "\"/>\n";
      }
    }
    svg << "<line x1=\"" << kLeft << "\" y1=\"" << number(bottom) << "\" x2=\"" << kLeft + plotWidth << "\" y2=\""
        << number(bottom) << "\" stroke=\"#333\"/>\n";
    if (chart.budgetBytes > 0 && chart.budgetBytes <= chart.scaleBytes) {
      const double y = yOf(chart.budgetBytes);
      svg << "<line x1=\"" << kLeft << "\" y1=\"" << number(y) << "\" x2=\"" << kLeft + plotWidth << "\" y2=\""
          << number(y) << "\" stroke=\"" << kBudgetColour << "\" stroke-width=\"2\" stroke-dasharray=\"6 4\"/>\n";
    }
    const std::size_t step = frameStep(frames);
    for (std::size_t f = 1; f <= frames; f = (f == 1 && step > 1) ? step : f + step) {
      const double x = kLeft + slot * (static_cast<double>(f) - 0.5);
      svg << "<text x=\"" << number(x) << "\" y=\"" << number(bottom + 20) << "\" text-anchor=\"middle\" fill=\"#555\">"
          << f << "</text>\n";
    }
    svg << "<text x=\"" << kLeft << "\" y=\"" << number(bottom + 40) << "\">" << escaped(panel.summary) << "</text>\n";
    svg << "</g>\n";
  }
  // Legend.
  const double y = height - 14;
  svg << "<rect x=\"" << kLeft << "\" y=\"" << number(y - 10) << "\" width=\"12\" height=\"12\" fill=\"" << kBarColour
      << "\"/><text x=\"" << kLeft + 18 << "\" y=\"" << number(y) << "\">bytes of a frame</text>\n";
  svg << "<rect x=\"" << kLeft + 150 << "\" y=\"" << number(y - 10) << "\" width=\"12\" height=\"12\" fill=\""
      << kWaitColour << "\"/><text x=\"" << kLeft + 168 << "\" y=\"" << number(y)
      << "\">a frame that waits for its bytes</text>\n";
  if (chart.budgetBytes > 0) {
    svg << "<line x1=\"" << kLeft + 400 << "\" y1=\"" << number(y - 4) << "\" x2=\"" << kLeft + 430 << "\" y2=\""
        << number(y - 4) << "\" stroke=\"" << kBudgetColour << "\" stroke-width=\"2\" stroke-dasharray=\"6 4\"/>"
        << "<text x=\"" << kLeft + 436 << "\" y=\"" << number(y) << "\">what the connection delivers per frame ("
        << escaped(axisBytes(chart.budgetBytes)) << ")</text>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace framestow::cli
