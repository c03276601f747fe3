// framestow-cli assets: the per-asset report for one target frame.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/json_output.hpp"
#include "cli/movie_batch.hpp"
#include "cli/target_frames.hpp"
#include "cli/text_output.hpp"

namespace framestow::cli {
namespace {

// The frame asked for; else the movie's first attach frame, which is where
// `save --frame attach` moves assets; else frame 2, the first that can take any.
std::int32_t targetFrameOf(const AssetsOptions& options, const FileReport& report) {
  if (options.frame) return static_cast<std::int32_t>(*options.frame);
  if (report.attachFrame > 1) return report.attachFrame;
  return report.frameCount > 1 ? 2 : 1;
}

// Why a kept asset stays, as a short word for scripts.
const char* reasonCode(StayReason why) {
  switch (why) {
    case StayReason::kPlacedBefore: return "placed";
    case StayReason::kNamedByCode: return "named";
    case StayReason::kInitNamesStaying: return "init";
    case StayReason::kNeededByStaying: return "needed";
    case StayReason::kNone: break;
  }
  return "";
}

nlohmann::json frameOrNull(std::int32_t frame) { return frame > 0 ? nlohmann::json(frame) : nlohmann::json(); }

nlohmann::json assetReportJson(const AssetReport& report) {
  nlohmann::json assets = nlohmann::json::array();
  for (const AssetEntry& asset : report.assets) {
    const bool stays = asset.why != StayReason::kNone;
    assets.push_back({{"id", asset.id},
                      {"names", asset.names},
                      {"kind", asset.kind.empty() ? nlohmann::json() : nlohmann::json(asset.kind)},
                      {"bytes", asset.bytes},
                      {"definedFrame", frameOrNull(asset.definedFrame)},
                      {"firstShownFrame", frameOrNull(asset.firstShownFrame)},
                      {"firstNamedFrame", frameOrNull(asset.firstNamedFrame)},
                      {"initCode", asset.hasInitCode},
                      {"fate", fateText(asset.fate)},
                      {"why", stays ? nlohmann::json(reasonCode(asset.why)) : nlohmann::json()},
                      {"whyText", stays ? nlohmann::json(stayReasonText(asset.why, report.targetFrame)) : nlohmann::json()}});
  }
  return {{"targetFrame", report.targetFrame},
          {"plan", report.safe ? "safe" : "default"},
          {"movableBytes", report.movableBytes},
          {"assets", assets}};
}

std::string frameText(std::int32_t frame) { return frame > 0 ? std::to_string(frame) : "-"; }

void printAssetReport(std::ostream& out, const AssetReport& report) {
  out << "\nTarget frame: " << report.targetFrame << (report.safe ? " (safe plan)" : "") << '\n'
      << "Movable bytes: " << report.movableBytes << "\n\n"
      << "   Id  Kind          Bytes  Defined  Shown  Named  Init  Fate       Names\n";
  for (const AssetEntry& asset : report.assets) {
    std::string names;
    for (const std::string& name : asset.names) names += (names.empty() ? "" : ", ") + name;
    char line[128];
    std::snprintf(line, sizeof line, "%5d  %-11s %7lld  %7s  %5s  %5s  %-4s  %-9s  ", asset.id,
                  asset.kind.empty() ? "-" : asset.kind.c_str(), static_cast<long long>(asset.bytes),
                  frameText(asset.definedFrame).c_str(), frameText(asset.firstShownFrame).c_str(),
                  frameText(asset.firstNamedFrame).c_str(), asset.hasInitCode ? "yes" : "no",
                  fateText(asset.fate).c_str());
    out << line << names;
    if (asset.why != StayReason::kNone) out << " (" << stayReasonText(asset.why, report.targetFrame) << ')';
    out << '\n';
  }
}

MovieResult assetsOfOne(const AssetsOptions& options, JsonFraming framing, const MovieInput& input) {
  Document document;
  document.setSafePlan(options.safe);
  FileReport report = loadInput(document, input);
  std::optional<AssetReport> assets;
  if (analyseFile(document, report)) {
    const std::int32_t frame = targetFrameOf(options, report);
    if (auto error = frameRangeError(frame, report.frameCount)) {
      fail(report, ExitStatus::Usage, *error);
    } else {
      assets = document.assetReport(frame);
    }
  }
  std::ostringstream out;
  std::ostringstream err;
  if (framing == JsonFraming::None) {
    printFileInfo(out, report);
    if (assets) printAssetReport(out, *assets);
  } else {
    nlohmann::json json = fileReportJson(report);
    json["assetReport"] = assets ? assetReportJson(*assets) : nlohmann::json();
    out << framedJson(json, framing);
  }
  if (!report.ok()) printError(out, err, report.path, report.message, report.reason);
  return {out.str(), err.str(), report.status, tallyOf(report, input)};
}

}  // namespace

ExitStatus runAssets(const AssetsOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  const auto started = std::chrono::steady_clock::now();
  MovieListing listing;
  if (std::string why = collectMovies(options.input, in, listing); !why.empty()) {
    return listUnreadable(why, options.json, out, err);
  }
  const BatchSettings settings = batchSettings(options.input, listing, "assets", options.json, kMaxJobs, started);
  return runBatch(
      listing.inputs, settings, [&](std::size_t, const MovieInput& input) { return assetsOfOne(options, settings.json, input); },
      out, err);
}

}  // namespace framestow::cli
