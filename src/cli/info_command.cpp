// framestow-cli info: the dialog's "File Information" box for each file.
#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/text_output.hpp"

namespace framestow::cli {

ExitStatus runInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) {
  ExitStatus status = ExitStatus::Ok;
  bool first = true;
  for (const std::string& path : options.files) {
    if (!first) out << '\n';
    first = false;

    Document document;
    // The file information needs the header only, whatever the movie's size.
    const FileReport report = loadFile(document, path, Reading::HeaderOnly);
    printFileInfo(out, report);
    if (!report.ok()) printError(out, err, path, report.message, report.reason);
    status = worst(status, report.status);
  }
  return status;
}

}  // namespace framestow::cli
