#include "cli/profile_command.hpp"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/file_report.hpp"
#include "cli/frame_number.hpp"
#include "cli/json_output.hpp"
#include "cli/profile_svg.hpp"
#include "cli/target_frames.hpp"
#include "cli/text_output.hpp"
#include "document/profile_chart.hpp"

namespace framestow::cli {
namespace {

// Frames listed one by one before the table goes over to groups, and the
// most groups it then prints.
constexpr std::size_t kFramesInFull = 20;
constexpr std::size_t kGroups = 20;

const char* compressionName(Compression compression) {
  switch (compression) {
    case Compression::kZlib: return "CWS, zlib";
    case Compression::kLzma: return "ZWS, LZMA";
    case Compression::kNone: break;
  }
  return "FWS, uncompressed";
}

std::string seconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

void printRow(std::ostream& out, const std::string& frames, std::uint64_t bytes, const FrameTiming& last, double waits) {
  char line[160];
  std::snprintf(line, sizeof line, "%11s %10llu %11llu %8s %8s %8s\n", frames.c_str(),
                static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(last.cumulativeBytes),
                seconds(last.arrivesSeconds).c_str(), seconds(last.showsSeconds).c_str(), seconds(waits).c_str());
  out << line;
}

// Every frame while there are few; else the first ones, then groups whose
// bytes and waits add up and whose times are those of their last frame.
void printTable(std::ostream& out, const std::string& title, Compression compression, const Playback& playback) {
  out << title << " (" << compressionName(compression) << "):\n";
  out << "      Frame      Bytes  Cumulative  Arrives    Shows    Waits\n";
  const auto& frames = playback.frames;
  const std::size_t full = frames.size() <= kFramesInFull * 2 ? frames.size() : kFramesInFull;
  for (std::size_t f = 0; f < full; ++f) {
    printRow(out, std::to_string(frames[f].frame), frames[f].bytes, frames[f], frames[f].waitsSeconds);
  }
  const std::size_t rest = frames.size() - full;
  const std::size_t groupSize = rest == 0 ? 1 : (rest + kGroups - 1) / kGroups;
  for (std::size_t start = full; start < frames.size(); start += groupSize) {
    const std::size_t end = std::min(frames.size(), start + groupSize);
    std::uint64_t bytes = 0;
    double waits = 0;
    for (std::size_t f = start; f < end; ++f) {
      bytes += frames[f].bytes;
      waits += frames[f].waitsSeconds;
    }
    const std::string label = end - start == 1 ? std::to_string(start + 1)
                                               : std::to_string(start + 1) + "-" + std::to_string(end);
    printRow(out, label, bytes, frames[end - 1], waits);
  }
  out << "(seconds) " << playbackSummary(playback) << "\n";
}

// Ordered as the fields are documented: the file, the speeds, before, after.
using OrderedJson = nlohmann::ordered_json;

OrderedJson playbackJson(const Playback& playback) {
  OrderedJson frames = OrderedJson::array();
  for (const FrameTiming& t : playback.frames) {
    frames.push_back({{"frame", t.frame},
                      {"bytes", t.bytes},
                      {"cumulativeBytes", t.cumulativeBytes},
                      {"arrivesSeconds", t.arrivesSeconds},
                      {"showsSeconds", t.showsSeconds},
                      {"waitsSeconds", t.waitsSeconds}});
  }
  return {{"firstFrameSeconds", playback.firstFrameSeconds},
          {"completeSeconds", playback.completeSeconds},
          {"frames", std::move(frames)}};
}

ExitStatus usage(const std::string& message, bool json, std::ostream& out, std::ostream& err) {
  if (json) printJson(out, nlohmann::json{{"status", "error"}, {"message", message}});
  err << message << "\nRun with --help for more information.\n";
  return ExitStatus::Usage;
}

}  // namespace

CLI::App* addProfileCommand(CLI::App& app, ProfileArguments& arguments) {
  CLI::App* command = app.add_subcommand(
      "profile", "Show how the movie streams in at a connection speed: the bytes each frame needs, when it can "
                 "show and which frames wait, before and after the move to a target frame.");
  command->add_option("FILE", arguments.file, "The SWF movie")->required();
  command->add_option("--frame,-f", arguments.frame,
                      "Also profile the movie that save --frame N would write (with its default options)");
  command->add_option("--bandwidth,-b", arguments.bandwidth,
                      "Connection: 14.4, 28.8, 56k, DSL or T1 (1200, 2400, 4800, 33400 and 134400 bytes per "
                      "second, as in the authoring tool's download settings), or kB/s (1 kB = 1000 bytes); default 56k");
  command->add_flag("--json", arguments.json, "Print JSON, every frame listed");
  command->add_option("--svg", arguments.svg, "Write the chart to this SVG file");
  return command;
}

ExitStatus runProfile(const ProfileArguments& arguments, std::ostream& out, std::ostream& err) {
  const auto bandwidth = parseBandwidth(arguments.bandwidth);
  if (!bandwidth) {
    return usage("--bandwidth takes 14.4, 28.8, 56k, DSL, T1 or a number of kB/s above 0, not " + arguments.bandwidth +
                     ".",
                 arguments.json, out, err);
  }
  std::optional<std::int64_t> frame;
  if (!arguments.frame.empty()) {
    if (std::string why = frameNumberError(arguments.frame); !why.empty()) return usage(why, arguments.json, out, err);
    frame = parseFrameNumber(arguments.frame);
  }

  Document document;
  FileReport report = loadFile(document, arguments.file);
  if (report.ok() && !analyseFile(document, report)) {
    if (report.ok()) fail(report, ExitStatus::CannotProcess, "A movie older than version 5 has no profile here: it is not analysed.");
  }
  if (report.ok() && frame) {
    if (auto error = frameRangeError(*frame, report.frameCount)) fail(report, ExitStatus::Usage, *error);
  }
  std::optional<StreamProfile> stored;
  if (report.ok()) {
    stored = document.streamProfile();
    if (!stored) fail(report, ExitStatus::Unreadable, "Sorry, the file doesn't appear to be complete.");
  }
  std::optional<StreamProfile> saved;
  const auto n = static_cast<std::int32_t>(frame.value_or(0));
  if (report.ok() && frame) {
    // What `save --frame N` writes: redundant export entries go when there are any.
    saved = document.savedStreamProfile(n, report.redundantBytes > 0);
    if (!saved) {
      fail(report, ExitStatus::CannotProcess,
           report.cannotSave.empty() ? "The movie for frame " + std::to_string(n) + " could not be put together."
                                     : report.cannotSave);
    }
  }
  if (!report.ok()) {
    if (arguments.json) {
      printJson(out, nlohmann::json{{"file", report.path}, {"status", "error"}, {"message", report.message}});
    }
    printError(out, err, report.path, report.message, report.reason);
    return report.status;
  }

  const Playback before = playBack(*stored, report.frameRate, *bandwidth);
  std::optional<Playback> after;
  if (saved) after = playBack(*saved, report.frameRate, *bandwidth);
  const ProfileChart chart = makeProfileChart(before, after ? &*after : nullptr, n);

  if (arguments.json) {
    OrderedJson document{{"file", report.path},
                         {"frameRate", report.frameRate},
                         {"bandwidth", *bandwidth},
                         {"before", playbackJson(before)}};
    if (after) document["after"] = playbackJson(*after);
    // A path that is not UTF-8 is printed with replacement characters, as by the other commands.
    out << document.dump(2, ' ', false, OrderedJson::error_handler_t::replace) << '\n';
  } else {
    out << "File Name: " << report.shortName << "\n";
    out << "Frame rate: " << report.frameRate << " fps"
        << (report.frameRate > 0 ? "" : " (frames show as soon as they arrive)") << "; connection: "
        << bandwidthName(*bandwidth) << " (" << *bandwidth << " bytes/s)\n\n";
    out << chart.headline << "\n\n";
    printTable(out, "Before", stored->compression, before);
    if (after) {
      out << "\n";
      printTable(out, "After the move to frame " + std::to_string(n), saved->compression, *after);
    }
  }
  if (arguments.svg) {
    std::ofstream file(*arguments.svg, std::ios::binary | std::ios::trunc);
    file << profileSvg(chart, report.shortName);
    file.close();
    if (!file) {
      printError(out, err, *arguments.svg, "The chart could not be written.");
      return ExitStatus::WriteFailed;
    }
  }
  return ExitStatus::Ok;
}

}  // namespace framestow::cli
