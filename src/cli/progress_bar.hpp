// A one-line progress bar on a terminal: "analyze  812/2964 [=====>    ]  27%  0:04".
// It is drawn over itself with a carriage return, so it only makes sense on a
// terminal; the caller decides whether it is shown at all.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace framestow::cli {

class ProgressBar {
 public:
  // Nothing is ever written when `shown` is false.
  ProgressBar(std::ostream& terminal, std::string label, std::size_t total, bool shown);
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // `done` of the total are finished. Redraws at most ten times a second:
  // a terminal that is written to for every one of thousands of small movies
  // would slow the run down.
  void update(std::size_t done);
  // Takes the bar off its line, so that other text can be written there; the
  // next update draws it again.
  void hide();

 private:
  void draw(std::size_t done);

  std::ostream& terminal_;
  std::string label_;
  std::size_t total_;
  bool shown_;
  bool visible_ = false;
  int width_ = 0;  // characters drawn, all blanked again by hide()
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace framestow::cli
