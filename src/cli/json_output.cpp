#include "cli/json_output.hpp"

#include <cmath>

namespace framestow::cli {

using nlohmann::json;

namespace {

// Whole pixels as integers, fractions (a frame size in odd twips) as they are.
json pixelValue(double value) {
  if (std::floor(value) == value) return static_cast<std::int64_t>(value);
  return value;
}

json lines(const auto& texts) {
  json array = json::array();
  for (const std::string& text : texts) array.push_back(text);
  return array;
}

}  // namespace

json fileReportJson(const FileReport& report) {
  json assets = json::array();
  for (const LinkedAsset& asset : report.linkedAssets) assets.push_back({{"id", asset.id}, {"names", asset.names}});

  json targets = json::array();
  for (const TargetRow& row : report.targets) {
    targets.push_back({{"frame", row.frame},
                       {"movableBytes", row.movableBytes},
                       {"verdict", lines(row.verdict)},
                       {"saveEnabled", row.saveEnabled}});
  }

  return {
      {"file", report.path},
      {"status", report.ok() ? "ok" : "error"},
      {"message", report.message},
      {"reason", report.reason},
      {"signature", report.signature},
      {"version", report.version},
      {"declaredLength", report.declaredLength},
      {"fileSize", report.fileSize},
      {"frameCount", report.frameCount},
      {"frameRate", report.frameRate},
      {"width", pixelValue(report.width)},
      {"height", pixelValue(report.height)},
      {"fileInfo", report.loaded ? lines(report.fileInfo) : json::array()},
      {"analysed", report.analysed},
      {"analysis", report.hasAnalysisLines ? lines(report.analysisLines) : json::array()},
      {"linkedAssets", assets},
      {"assetCount", report.assetCount},
      {"redundantBytes", report.redundantBytes},
      {"attachFrame", report.attachFrame},
      {"obfuscation", report.obfuscation},
      {"blockCount", report.blockCount},
      {"cannotSave", report.cannotSave},
      {"targets", targets},
  };
}

json saveReportJson(const FileReport& report, const SaveReport& save) {
  return {
      {"file", report.path},
      {"status", report.ok() ? "ok" : "error"},
      {"message", report.message},
      {"frame", save.frame},
      {"movableBytes", save.movableBytes},
      {"verdict", lines(save.verdict)},
      {"removedRedundantBytes", save.removedRedundantBytes},
      {"backup", save.backupPath},
      {"output", save.outputPath},
      {"result", save.resultText},
      {"reason", save.reason.empty() ? report.reason : save.reason},
      {"sizeBefore", save.sizeBefore},
      {"sizeAfter", save.sizeAfter},
      {"declaredLengthBefore", save.declaredLengthBefore},
      {"declaredLengthAfter", save.declaredLengthAfter},
      {"skipped", save.skipped},
  };
}

void printJson(std::ostream& out, const json& document) { out << jsonText(document, 2) << '\n'; }

std::string jsonText(const json& document, int indent) {
  return document.dump(indent, ' ', false, json::error_handler_t::replace);
}

}  // namespace framestow::cli
