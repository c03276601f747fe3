// The child of the kill-during-save test: loads, analyses and plans a movie,
// says "ready" on stdout, waits for one byte on stdin, then saves. SIGINT and
// SIGTERM remove the temporary files in progress, as in the command line.
//   framestow_save_child <movie> <target frame> <backup 0|1>
// Exit status 0 when the save wrote the movie, 1 when it reported a failure,
// 2 when the movie could not be prepared.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/document.hpp"

namespace {

void stopSaving(int signal) {
  framestow::removeTemporaryFilesInProgress();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, stopSaving);
  std::signal(SIGTERM, stopSaving);
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <movie> <target frame> <backup 0|1>\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  const int n = std::atoi(argv[2]);
  const bool backup = std::string(argv[3]) == "1";
  framestow::Document doc;
  if (!doc.load(path).empty() || !doc.analyze()) return 2;
  doc.plan(n);
  std::fputs("ready\n", stdout);
  std::fflush(stdout);
  if (std::fgetc(stdin) == EOF) return 2;
  const int result = doc.save(n, false, backup).result;
  std::printf("%s\n", framestow::saveResultText(result));
  return result == framestow::kFileModified ? 0 : 1;
}
