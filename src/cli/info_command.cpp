// framestow-cli info: the dialog's "File Information" box for each file.
#include <sstream>

#include "cli/commands.hpp"
#include "cli/file_report.hpp"
#include "cli/movie_batch.hpp"
#include "cli/text_output.hpp"

namespace framestow::cli {

namespace {

MovieResult describeOne(const MovieInput& input) {
  Document document;
  // The file information needs the header only, whatever the movie's size.
  const FileReport report = loadInput(document, input, Reading::HeaderOnly);
  std::ostringstream out;
  std::ostringstream err;
  printFileInfo(out, report);
  if (!report.ok()) printError(out, err, report.path, report.message, report.reason);
  return {out.str(), err.str(), report.status, tallyOf(report, input)};
}

}  // namespace

ExitStatus runInfo(const InfoOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  const auto started = std::chrono::steady_clock::now();
  MovieListing listing;
  if (std::string why = collectMovies(options.input, in, listing); !why.empty()) {
    return listUnreadable(why, false, out, err);
  }
  const BatchSettings settings = batchSettings(options.input, listing, "info", false, kMaxJobs, started);
  return runBatch(
      listing.inputs, settings, [](std::size_t, const MovieInput& input) { return describeOne(input); }, out, err);
}

}  // namespace framestow::cli
