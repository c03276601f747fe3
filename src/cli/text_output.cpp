#include "cli/text_output.hpp"

#include <algorithm>
#include <iomanip>

#include "common/byte_text.hpp"

namespace framestow::cli {

namespace {

void printNonEmptyLines(std::ostream& out, const auto& lines) {
  for (const std::string& line : lines) {
    if (!line.empty()) out << line << '\n';
  }
}

// The three verdict lines on one table row.
std::string joinedVerdict(const TargetRow& row) {
  std::string joined;
  for (const std::string& line : row.verdict) {
    if (line.empty()) continue;
    if (!joined.empty()) joined += " | ";
    joined += line;
  }
  return joined;
}

void printTargetTable(std::ostream& out, const FileReport& report) {
  std::size_t frameWidth = std::string("Frame").size();
  std::size_t bytesWidth = std::string("Movable bytes").size();
  for (const TargetRow& row : report.targets) {
    frameWidth = std::max(frameWidth, std::to_string(row.frame).size());
    bytesWidth = std::max(bytesWidth, std::to_string(row.movableBytes).size());
  }
  out << std::setw(static_cast<int>(frameWidth)) << "Frame" << "  " << std::setw(static_cast<int>(bytesWidth))
      << "Movable bytes" << "  Save  Verdict\n";
  for (const TargetRow& row : report.targets) {
    const std::string verdict = joinedVerdict(row);
    out << std::setw(static_cast<int>(frameWidth)) << row.frame << "  " << std::setw(static_cast<int>(bytesWidth))
        << row.movableBytes << "  " << (row.saveEnabled ? "yes" : "no");
    if (!verdict.empty()) out << (row.saveEnabled ? "   " : "    ") << verdict;
    out << '\n';
  }
  const std::size_t shown = report.targets.size();
  if (report.frameCount > 0 && shown < static_cast<std::size_t>(report.frameCount)) {
    out << "(" << shown << " of " << report.frameCount << " frames listed; --all-frames lists every frame.)\n";
  }
}

void printSingleTarget(std::ostream& out, const TargetRow& row) {
  out << "Target frame: " << row.frame << '\n';
  out << "Movable bytes: " << row.movableBytes << '\n';
  printNonEmptyLines(out, row.verdict);
}

std::string sizeLine(std::uint64_t onDisk, std::uint32_t declaredLength, bool compressed) {
  std::string line = std::to_string(onDisk) + " bytes";
  if (compressed) line += " (" + std::to_string(declaredLength) + " bytes uncompressed)";
  return line;
}

}  // namespace

void printError(std::ostream& out, std::ostream& err, const std::string& path, const std::string& message,
                const std::string& reason) {
  out.flush();
  err << path << ": " << message << '\n';
  if (!reason.empty()) err << path << ": " << reason << '\n';
  err.flush();
}

void printFileInfo(std::ostream& out, const FileReport& report) {
  out << formatText("File Name: %s", report.shortName.c_str()) << '\n';
  if (report.loaded) printNonEmptyLines(out, report.fileInfo);
}

void printAnalysis(std::ostream& out, const FileReport& report, bool singleFrame) {
  if (!report.hasAnalysisLines) return;
  out << '\n';
  printNonEmptyLines(out, report.analysisLines);
  if (!report.analysed) return;
  if (!report.cannotSave.empty()) out << report.cannotSave << '\n';
  out << "Redundant export bytes: " << report.redundantBytes << '\n';
  if (report.targets.empty()) return;
  out << '\n';
  if (singleFrame) {
    printSingleTarget(out, report.targets.front());
  } else {
    printTargetTable(out, report);
  }
}

void printSave(std::ostream& out, const FileReport& report, const SaveReport& save) {
  out << '\n';
  out << "Target frame: " << save.frame << '\n';
  out << "Movable bytes: " << save.movableBytes << '\n';
  printNonEmptyLines(out, save.verdict);
  if (save.removedRedundantBytes > 0) {
    out << "Redundant export bytes removed: " << save.removedRedundantBytes << '\n';
  } else if (report.redundantBytes > 0) {
    out << "Redundant export bytes kept: " << report.redundantBytes << '\n';
  }
  if (!save.backupPath.empty()) out << "Backup: " << save.backupPath << '\n';
  out << "Output: " << save.outputPath << '\n';
  if (save.unchanged) out << save.resultText << '\n';
  if (!save.written) return;
  out << save.resultText << '\n';
  out << "Size before: " << sizeLine(save.sizeBefore, save.declaredLengthBefore, report.signature != "FWS") << '\n';
  out << "Size after: " << sizeLine(save.sizeAfter, save.declaredLengthAfter, save.compressedAfter) << '\n';
}

}  // namespace framestow::cli
