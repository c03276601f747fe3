// The --json documents of framestow-cli. Field names are part of the tool's
// interface (scripts depend on them): add fields, never rename them.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/file_report.hpp"
#include "cli/save_report.hpp"

namespace framestow::cli {

nlohmann::json fileReportJson(const FileReport& report);
nlohmann::json saveReportJson(const FileReport& report, const SaveReport& save);

// Pretty-printed, with invalid UTF-8 (linkage names are bytes from the movie)
// replaced rather than failing the whole document.
void printJson(std::ostream& out, const nlohmann::json& document);
// The same text without its line feed: indented by `indent`, or on one line when it is -1.
std::string jsonText(const nlohmann::json& document, int indent);

}  // namespace framestow::cli
