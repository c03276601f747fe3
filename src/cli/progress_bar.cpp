#include "cli/progress_bar.hpp"

#include <algorithm>

#include "cli/terminal.hpp"

namespace framestow::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
// Narrower than this, the bar itself is left out and only the counts shown.
constexpr int kSmallestBar = 10;

std::string elapsedText(std::chrono::steady_clock::duration elapsed) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
  const auto rest = seconds % 60;
  return std::to_string(seconds / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& terminal, std::string label, std::size_t total, bool shown)
    : terminal_(terminal),
      label_(std::move(label)),
      total_(total),
      shown_(shown),
      started_(std::chrono::steady_clock::now()),
      lastDrawn_(started_ - kRedrawInterval) {}

void ProgressBar::update(std::size_t done) {
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDrawn_ < kRedrawInterval) return;
  lastDrawn_ = now;
  draw(done);
}

void ProgressBar::hide() {
  if (!visible_) return;
  terminal_ << '\r' << std::string(static_cast<std::size_t>(width_), ' ') << '\r' << std::flush;
  visible_ = false;
}

void ProgressBar::draw(std::size_t done) {
  done = std::min(done, total_);
  const std::size_t percent = total_ == 0 ? 100 : done * 100 / total_;
  // The count as wide as the total, so that the bar stays where it is.
  const std::string totalText = std::to_string(total_);
  std::string doneText = std::to_string(done);
  doneText.insert(0, totalText.size() - doneText.size(), ' ');
  const std::string counts = label_ + "  " + doneText + "/" + totalText;
  const std::string tail = "  " + std::to_string(percent) + "%  " + elapsedText(lastDrawn_ - started_);
  // One column short of the terminal's width: writing its last column makes
  // some terminals wrap to a new line.
  const int room = terminalColumns() - 1;
  const int barWidth = room - static_cast<int>(counts.size() + tail.size()) - 3;
  std::string line = counts;
  if (barWidth >= kSmallestBar) {
    const auto filled = static_cast<std::size_t>(barWidth) * done / std::max<std::size_t>(total_, 1);
    std::string bar(static_cast<std::size_t>(barWidth), ' ');
    std::fill_n(bar.begin(), filled, '=');
    if (filled < bar.size() && done > 0) bar[filled] = '>';
    line += " [" + bar + "]";
  }
  line += tail;
  if (static_cast<int>(line.size()) > room) line.resize(static_cast<std::size_t>(std::max(room, 0)));
  // Blanks over whatever a longer earlier line left (within the terminal's
  // width, which may have shrunk since).
  const int width = static_cast<int>(line.size());
  const int blanked = std::min(width_, room);
  if (width < blanked) line += std::string(static_cast<std::size_t>(blanked - width), ' ');
  width_ = std::max(width, blanked);
  terminal_ << '\r' << line << std::flush;
  visible_ = true;
}

}  // namespace framestow::cli
