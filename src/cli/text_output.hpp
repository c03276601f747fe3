// The console texts of framestow-cli. The lines the dialog shows are printed
// exactly as the dialog shows them; the rest is laid out for reading in a terminal.
#pragma once

#include <ostream>
#include <string>

#include "cli/file_report.hpp"
#include "cli/save_report.hpp"

namespace framestow::cli {

// "<path>: <message>" on the error stream, then "<path>: <reason>" on a line
// of its own when there is a reason, after flushing `out` so that the two
// streams interleave in order on a terminal.
void printError(std::ostream& out, std::ostream& err, const std::string& path, const std::string& message,
                const std::string& reason = {});

// "File Name: %s", then the four file-information lines when the movie loaded.
void printFileInfo(std::ostream& out, const FileReport& report);

// The analysis lines, the redundant export bytes and the target frames: a
// table, or with `singleFrame` (one frame asked for) that frame's movable
// bytes and verdict lines one per line, as the dialog shows them.
void printAnalysis(std::ostream& out, const FileReport& report, bool singleFrame);

// The plan that was saved, the writer's result and the sizes.
void printSave(std::ostream& out, const FileReport& report, const SaveReport& save);

}  // namespace framestow::cli
