// Runs load, analyse, one planning run and save on one movie and prints the
// process's peak resident memory. The benchmark program starts it once per
// movie, so that each measurement starts from a fresh process.
//
//   framestow-peak-memory <movie> <target-frame> <output>
//   prints: peak_kb=<kilobytes> result=<save result>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "document/document.hpp"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <movie> <target-frame> <output>\n", argv[0]);
    return 2;
  }
  const int frame = std::atoi(argv[2]);
  int result = -1;
  {
    framestow::Document doc;
    if (!doc.load(argv[1]).empty()) {
      std::fprintf(stderr, "cannot load %s\n", argv[1]);
      return 1;
    }
    if (!doc.analyze()) {
      std::fprintf(stderr, "cannot analyse %s: %s\n", argv[1], doc.analysisError().c_str());
      return 1;
    }
    doc.plan(frame);
    result = static_cast<int>(doc.save(frame, false, false, argv[3]).result);
  }
  std::error_code ec;
  std::filesystem::remove(argv[3], ec);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak_kb=%ld result=%d\n", usage.ru_maxrss, result);
  return result == static_cast<int>(framestow::kFileModified) ? 0 : 1;
}
