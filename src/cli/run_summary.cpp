#include "cli/run_summary.hpp"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <vector>

namespace framestow::cli {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string numbersAsN(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (!isDigit(text[i])) {
      out += text[i++];
      continue;
    }
    out += 'n';
    while (i < text.size() && isDigit(text[i])) ++i;
  }
  return out;
}

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

// Largest groups first, then by text, so that the list reads the same every run.
void printGroups(std::ostream& out, const std::map<std::string, std::size_t>& counts) {
  std::vector<std::pair<std::string, std::size_t>> groups(counts.begin(), counts.end());
  std::stable_sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  for (const auto& [group, count] : groups) out << std::setw(8) << count << "  " << group << '\n';
}

}  // namespace

std::string refusalGroup(const std::string& message, const std::string& reason) {
  std::string group = numbersAsN(message);
  // A reason is "<cause>: <path>"; the path differs from movie to movie.
  const std::string cause = reason.substr(0, reason.find(": "));
  if (!cause.empty()) group += " (" + cause + ")";
  return group;
}

void RunSummary::add(const MovieTally& tally) {
  if (tally.unlistedFolder) {
    ++unlistedFolders_;
    return;
  }
  ++movies_;
  if (tally.read) ++read_;
  if (tally.analysed) ++analysed_;
  if (tally.beforeVersion5) ++beforeVersion5_;
  if (!tally.refusal.empty()) {
    ++refused_;
    ++refusals_[tally.refusal];
  }
  if (!tally.skipped.empty()) {
    ++skipped_;
    ++skips_[numbersAsN(tally.skipped)];
  }
  if (tally.saved) ++saved_;
  if (tally.alreadyLaidOut) ++alreadyLaidOut_;
  movableBytes_ += tally.movableBytes;
}

void RunSummary::print(std::ostream& out, double seconds, std::size_t jobs, std::size_t backupsLeftOut,
                       std::size_t subfoldersPassedOver) const {
  out << "Summary: " << movies_ << (movies_ == 1 ? " movie" : " movies") << " in " << secondsText(seconds) << " s ("
      << jobs << (jobs == 1 ? " job" : " jobs") << ")\n";
  if (command_ == "info") {
    out << "Read: " << read_ << '\n';
  } else {
    out << "Analysed: " << analysed_ << '\n';
    if (beforeVersion5_ > 0) out << "Before version 5 (no linked assets, not analysed): " << beforeVersion5_ << '\n';
  }
  out << "Refused: " << refused_ << '\n';
  printGroups(out, refusals_);
  if (unlistedFolders_ > 0) out << "Folders that could not be read: " << unlistedFolders_ << '\n';
  if (backupsLeftOut > 0) out << "Backups in the folders, left out: " << backupsLeftOut << '\n';
  if (subfoldersPassedOver > 0) {
    out << "Subfolders not searched (--recursive searches them): " << subfoldersPassedOver << '\n';
  }
  if (command_ == "analyze") out << "Movable bytes in total: " << movableBytes_ << '\n';
  if (command_ == "save") {
    out << "Saved: " << saved_ << '\n';
    out << "Already had the layout: " << alreadyLaidOut_ << '\n';
    out << "Moved bytes in total: " << movableBytes_ << '\n';
    out << "Skipped: " << skipped_ << '\n';
    printGroups(out, skips_);
  }
}

}  // namespace framestow::cli
