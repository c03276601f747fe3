// The benchmarks: every step of the job on every generated movie, each timed
// beside its floor (the same work done by zlib or the file system alone) in
// the same run, and one table of ratios against the targets at the end.
//
//   framestow-bench --movies=<folder> --out=<folder> --peak-driver=<program>
//                   [--sizes=1,16,128] [Google Benchmark flags]
//
// Each benchmark runs its step and its floor in alternating pairs and keeps
// the fastest of each, which is what a shared, busy machine lets through
// most faithfully. Compute steps (saving "CWS" included) are timed in process
// CPU time, page faults included; saving "FWS", which waits for the disk, in
// wall time.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/tag_scanner.hpp"
#include "common/file_header.hpp"
#include "document/document.hpp"
#include "movie_gen.hpp"
#include "swfin/loader.hpp"

namespace fs = std::filesystem;
using namespace framestow;
using namespace framestow::bench;

namespace {

struct Options {
  fs::path movies = "movies";
  fs::path out = "out";
  std::string peakDriver;
  std::vector<int> sizes{1, 16, 128};
};
Options options;

// ---- clocks -------------------------------------------------------------

double cpuNow() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double wallNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// ---- the table ----------------------------------------------------------

enum class Unit { Seconds, Megabytes };

struct Row {
  std::string step, movie;
  double time = 0, floor = 0;  // seconds, or MB for memory rows
  double target = 0;           // ratio limit
  double second = 0;           // libdeflate's own time for the floor's work (0: none)
  Unit unit = Unit::Seconds;
  std::string clock;  // "cpu", "wall" or "rss"
  std::string error;
};
std::vector<Row> rows;

void addRow(const std::string& step, const std::string& movie, double time, double floor, double target,
            const std::string& clock, Unit unit = Unit::Seconds, double second = 0) {
  rows.push_back(Row{step, movie, time, floor, target, second, unit, clock, {}});
}
void addError(const std::string& step, const std::string& movie, const std::string& error) {
  Row row;
  row.step = step;
  row.movie = movie;
  row.error = error;
  rows.push_back(row);
}

std::string formatValue(double v, Unit unit) {
  char buf[64];
  if (unit == Unit::Megabytes) {
    std::snprintf(buf, sizeof buf, "%.1f MB", v);
  } else if (v < 1e-3) {
    std::snprintf(buf, sizeof buf, "%.1f us", v * 1e6);
  } else if (v < 1.0) {
    std::snprintf(buf, sizeof buf, "%.2f ms", v * 1e3);
  } else {
    std::snprintf(buf, sizeof buf, "%.3f s", v);
  }
  return buf;
}

std::string cpuModel() {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("model name", 0) == 0) {
      const auto colon = line.find(':');
      return colon == std::string::npos ? line : line.substr(colon + 2);
    }
  }
  return "unknown CPU";
}

void printTable() {
  char date[64];
  const std::time_t now = std::time(nullptr);
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
  std::printf("\nFramestow benchmarks, %s, %ld cores, %s\n", date, sysconf(_SC_NPROCESSORS_ONLN), cpuModel().c_str());
  std::printf("| %-20s | %-20s | %11s | %11s | %11s | %6s | %7s | %-4s | %-4s |\n", "step", "movie", "time", "floor",
              "libdeflate", "ratio", "target", "met", "clock");
  std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(22, '-').c_str(), std::string(22, '-').c_str(),
              std::string(13, '-').c_str(), std::string(13, '-').c_str(), std::string(13, '-').c_str(),
              std::string(8, '-').c_str(), std::string(9, '-').c_str(), std::string(6, '-').c_str(),
              std::string(6, '-').c_str());
  int met = 0, total = 0;
  for (const Row& r : rows) {
    if (!r.error.empty()) {
      std::printf("| %-20s | %-20s | %-66s | %-4s | %-4s |\n", r.step.c_str(), r.movie.c_str(), r.error.c_str(), "NO",
                  "");
      ++total;
      continue;
    }
    const double ratio = r.floor > 0 ? r.time / r.floor : 0;
    const bool ok = ratio <= r.target;
    ++total;
    met += ok ? 1 : 0;
    char target[32];
    std::snprintf(target, sizeof target, "<= %.2f", r.target);
    std::printf("| %-20s | %-20s | %11s | %11s | %11s | %6.3f | %7s | %-4s | %-5s|\n", r.step.c_str(), r.movie.c_str(),
                formatValue(r.time, r.unit).c_str(), formatValue(r.floor, r.unit).c_str(),
                r.second > 0 ? formatValue(r.second, r.unit).c_str() : "", ratio, target, ok ? "yes" : "NO",
                r.clock.c_str());
  }
  std::printf("\n%d of %d targets met.\n", met, total);
}

// ---- movies -------------------------------------------------------------

// The last few files read, so that the benchmarks of one movie read it once.
const std::vector<std::uint8_t>& fileBytes(const fs::path& path) {
  static std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cache;
  for (auto& [name, bytes] : cache) {
    if (name == path.string()) return bytes;
  }
  if (cache.size() >= 2) cache.erase(cache.begin());
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes(fs::file_size(path));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  cache.emplace_back(path.string(), std::move(bytes));
  return cache.back().second;
}

fs::path moviePath(BenchMovie which, bool cws) {
  which.cws = cws;
  return options.movies / movieFileName(which);
}

int pairsFor(int sizeMb) { return sizeMb >= 100 ? 3 : sizeMb >= 10 ? 5 : 12; }

// zlib's uncompress of a "CWS" file's body into a fresh buffer: the floor of
// loading and analysing, timed by `clock` (CPU time by default; the wall clock
// for a load that uses a second core). Seconds, or negative on failure.
double timeInflate(const std::vector<std::uint8_t>& file, double (*clock)() = cpuNow) {
  const std::uint32_t declared = readFileLength(file);
  const double start = clock();
  std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[declared - 8]);
  uLongf outLength = declared - 8;
  const int rc = uncompress(out.get(), &outLength, file.data() + 8, static_cast<uLong>(file.size() - 8));
  const double seconds = clock() - start;
  return rc == Z_OK ? seconds : -1;
}

// libdeflate's inflate of the same body into a fresh buffer: the second
// column, what the fastest inflate we know does. CPU seconds, or negative.
double timeLibdeflateInflate(const std::vector<std::uint8_t>& file) {
  const std::uint32_t declared = readFileLength(file);
  const double start = cpuNow();
  std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[declared - 8]);
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  std::size_t produced = 0;
  const libdeflate_result rc =
      libdeflate_zlib_decompress(d, file.data() + 8, file.size() - 8, out.get(), declared - 8, &produced);
  libdeflate_free_decompressor(d);
  const double seconds = cpuNow() - start;
  return rc == LIBDEFLATE_SUCCESS && produced == declared - 8 ? seconds : -1;
}

// Writes `size` bytes to a new file with the save's flushing (fflush, fsync),
// closes it and renames it over `path`. Returns wall seconds.
double timePlainWrite(const std::uint8_t* data, std::size_t size, const fs::path& path) {
  const std::string temp = path.string() + ".tmp";
  const double start = wallNow();
  std::FILE* f = std::fopen(temp.c_str(), "wbx");
  if (f == nullptr) return -1;
  constexpr std::size_t kChunk = 1 << 20;
  bool ok = true;
  for (std::size_t done = 0; ok && done < size; done += kChunk) {
    ok = std::fwrite(data + done, 1, std::min(kChunk, size - done), f) == std::min(kChunk, size - done);
  }
  ok = ok && std::fflush(f) == 0 && fsync(fileno(f)) == 0;
  ok = std::fclose(f) == 0 && ok;
  std::error_code ec;
  fs::rename(temp, path, ec);
  const double seconds = wallNow() - start;
  return ok && !ec ? seconds : -1;
}

// A step and its floor, one after the other, each first in every other pair,
// so that neither always runs on a cache the other has warmed.
template <typename Floor, typename Step>
void inTurn(int pair, Floor&& floor, Step&& step) {
  if (pair % 2 == 0) {
    floor();
    step();
  } else {
    step();
    floor();
  }
}

struct MinPair {
  double step = std::numeric_limits<double>::infinity();
  double floor = std::numeric_limits<double>::infinity();
  void add(double s, double f) {
    step = std::min(step, s);
    floor = std::min(floor, f);
  }
};

void finish(benchmark::State& state, const MinPair& m) {
  state.counters["floor_ms"] = m.floor * 1e3;
  state.counters["ratio"] = m.step / m.floor;
}

// ---- the benchmarks -----------------------------------------------------

void benchLoad(benchmark::State& state, BenchMovie which) {
  const fs::path path = moviePath(which, true);
  const auto& file = fileBytes(path);
  MinPair m;
  double second = std::numeric_limits<double>::infinity();
  int i = 0;
  for (auto _ : state) {
    double floor = 0, step = 0;
    if (const double fast = timeLibdeflateInflate(file); fast >= 0) second = std::min(second, fast);
    auto runStep = [&] {
      // What reading the file yields: its bytes, with room for the loader's end marker.
      std::vector<std::uint8_t> copy;
      copy.reserve(file.size() + 1);
      copy.assign(file.begin(), file.end());
      const double start = cpuNow();
      const LoadedMovie movie = loadMovieFromBytes(path.string(), std::move(copy));
      step = cpuNow() - start;
      if (!movie.loaded()) step = -1;
    };
    inTurn(i++, [&] { floor = timeInflate(file); }, runStep);
    if (floor < 0 || step < 0) {
      state.SkipWithError("load or inflate failed");
      addError("load", movieName(which) + ".cws", "load or inflate failed");
      return;
    }
    m.add(step, floor);
    state.SetIterationTime(step);
  }
  finish(state, m);
  addRow("load", movieName(which) + ".cws", m.step, m.floor, 0.8, "cpu", Unit::Seconds, second);
}

// Load and analysis of a "CWS" movie from its bytes in memory (as the load
// row), as analyze of one movie does them: the scan alongside the inflate on
// a second core, on the wall clock; or both on one thread (libdeflate's
// inflate, then the scan), in CPU time. Each against zlib's inflate alone on
// the same clock.
void benchLoadAndAnalyse(benchmark::State& state, BenchMovie which, bool alongside) {
  const fs::path path = moviePath(which, true);
  const auto& file = fileBytes(path);
  const auto now = alongside ? wallNow : cpuNow;
  const std::string step = alongside ? "load+analyse 2 cores" : "load+analyse 1 core";
  MinPair m;
  int i = 0;
  for (auto _ : state) {
    double floor = 0, time = 0;
    auto runStep = [&] {
      std::vector<std::uint8_t> copy;
      copy.reserve(file.size() + 1);
      copy.assign(file.begin(), file.end());
      const double start = now();
      MovieIndex index;
      const LoadedMovie movie =
          alongside ? loadMovieFromBytes(path.string(), std::move(copy),
                                         [&](const LoadedMovie& m, const InflateProgress& p) { index = indexMovie(m, {}, &p); })
                    : loadMovieFromBytes(path.string(), std::move(copy));
      if (!alongside && movie.loaded()) index = indexMovie(movie);
      time = movie.loaded() && index.analysed() ? now() - start : -1;
    };
    auto runFloor = [&] { floor = timeInflate(file, alongside ? wallNow : cpuNow); };
    inTurn(i++, runFloor, runStep);
    if (floor < 0 || time < 0) {
      state.SkipWithError("load, analysis or inflate failed");
      addError(step, movieName(which) + ".cws", "load, analysis or inflate failed");
      return;
    }
    m.add(time, floor);
    state.SetIterationTime(time);
  }
  finish(state, m);
  addRow(step, movieName(which) + ".cws", m.step, m.floor, 1.0, alongside ? "wall" : "cpu");
}

double timeAnalysis(Document& doc, const fs::path& path) {
  if (!doc.load(path.string()).empty()) return -1;
  const double start = cpuNow();
  const bool ok = doc.analyze();
  const double seconds = cpuNow() - start;
  return ok ? seconds : -1;
}

void benchAnalyse(benchmark::State& state, BenchMovie which) {
  const fs::path fwsPath = moviePath(which, false);
  const auto& cws = fileBytes(moviePath(which, true));
  const double target = which.kind == MovieKind::Shape ? 1.0 : 0.5;
  MinPair m;
  int i = 0;
  for (auto _ : state) {
    double floor = 0, step = 0;
    auto runStep = [&] {
      Document doc;
      step = timeAnalysis(doc, fwsPath);
    };
    inTurn(i++, [&] { floor = timeInflate(cws); }, runStep);
    if (floor < 0 || step < 0) {
      state.SkipWithError("analysis or inflate failed");
      addError("analyse", movieName(which), "analysis or inflate failed");
      return;
    }
    m.add(step, floor);
    state.SetIterationTime(step);
  }
  finish(state, m);
  addRow("analyse", movieName(which), m.step, m.floor, target, "cpu");
}

// One planning run for frame n, in CPU seconds: the fastest of `batches`
// batches, each timing enough runs back to back (at least 200 us) that the
// clock's own cost does not count.
double timePlan(Document& doc, int n, int batches) {
  double start = cpuNow();
  doc.plan(n);
  const double once = std::max(cpuNow() - start, 1e-7);
  const int perBatch = std::clamp(static_cast<int>(200e-6 / once), 1, 100000);
  double best = std::numeric_limits<double>::infinity();
  for (int b = 0; b < batches; ++b) {
    start = cpuNow();
    for (int r = 0; r < perBatch; ++r) doc.plan(n);
    best = std::min(best, (cpuNow() - start) / perBatch);
  }
  return best;
}

void benchPlan(benchmark::State& state, BenchMovie which) {
  const fs::path path = moviePath(which, false);
  const int analyses = which.sizeMb >= 100 ? 2 : 4;
  const int runs = which.sizeMb >= 100 ? 10 : 30;
  for (auto _ : state) {
    Document doc;
    double analysis = std::numeric_limits<double>::infinity();
    for (int k = 0; k < analyses; ++k) {
      const double t = timeAnalysis(doc, path);
      if (t < 0) {
        state.SkipWithError("analysis failed");
        addError("plan", movieName(which), "analysis failed");
        return;
      }
      analysis = std::min(analysis, t);
    }
    double total = 0;
    for (int n : {2, kMainFrames / 2, kMainFrames}) {
      const double t = timePlan(doc, n, runs);
      total += t;
      addRow("plan n=" + std::to_string(n), movieName(which), t, analysis, 0.02, "cpu");
    }
    state.SetIterationTime(total);
  }
}

void benchDiamondDepth(benchmark::State& state, int sizeMb) {
  const fs::path deep = moviePath({MovieKind::Diamond, sizeMb, false}, false);
  const fs::path shallow = moviePath({MovieKind::Diamond15, sizeMb, false}, false);
  const int runs = sizeMb >= 100 ? 10 : 30;
  for (auto _ : state) {
    Document d30, d15;
    if (timeAnalysis(d30, deep) < 0 || timeAnalysis(d15, shallow) < 0) {
      state.SkipWithError("analysis failed");
      addError("plan depth 30/15", "diamond-" + std::to_string(sizeMb) + "mb", "analysis failed");
      return;
    }
    // Interleaved, so that both see the same machine.
    double t30 = std::numeric_limits<double>::infinity(), t15 = t30;
    for (int r = 0; r < 4; ++r) {
      t30 = std::min(t30, timePlan(d30, kMainFrames, runs / 4 + 1));
      t15 = std::min(t15, timePlan(d15, kMainFrames, runs / 4 + 1));
    }
    addRow("plan depth 30/15", "diamond-" + std::to_string(sizeMb) + "mb", t30, t15, 3.0, "cpu");
    state.SetIterationTime(t30);
  }
}

void benchSave(benchmark::State& state, BenchMovie which) {
  const fs::path path = moviePath(which, which.cws);
  const std::string name = movieName(which) + (which.cws ? ".cws" : ".fws");
  const std::string step = which.cws ? "save CWS" : "save FWS";
  const int n = kMainFrames / 2;
  Document doc;
  if (!doc.load(path.string()).empty() || !doc.analyze()) {
    state.SkipWithError("load or analysis failed");
    addError(step, name, "load or analysis failed");
    return;
  }
  doc.plan(n);
  fs::create_directories(options.out);
  const fs::path saved = options.out / (name + ".saved.swf");
  const fs::path floorFile = options.out / (name + ".floor.swf");
  // The floor's input: the uncompressed movie as the save assembles it, which
  // is what saving the movie's "FWS" twin writes.
  std::vector<std::uint8_t> assembled;
  Document twin;
  if (twin.load(moviePath(which, false).string()).empty() && twin.analyze()) {
    const auto collect = [&](const std::uint8_t* data, std::size_t size) {
      assembled.insert(assembled.end(), data, data + size);
      return std::error_code();
    };
    if (twin.writeTo(n, false, collect, "memory").result != kFileModified) assembled.clear();
  }
  MinPair m;
  double second = std::numeric_limits<double>::infinity();
  std::uintmax_t savedSize = 0, zlibSize = 0;
  int i = 0;
  for (auto _ : state) {
    double floor = 0, time = 0;
    // Saving "CWS" is deflate's work (timed in CPU time, like its floor, as the
    // other steps); saving "FWS" is the file system's (timed on the wall clock).
    const auto now = which.cws ? cpuNow : wallNow;
    auto runStep = [&] {
      const double start = now();
      const SaveResult result = doc.save(n, false, false, saved.string()).result;
      time = now() - start;
      if (result != kFileModified) time = -1;
      std::error_code ec;
      savedSize = fs::file_size(saved, ec);
    };
    auto runFloor = [&] {
      if (which.cws) {
        const double start = now();
        const auto length = static_cast<uLong>(assembled.size() - 8);
        uLongf packed = compressBound(length);
        std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[packed]);
        const int rc = compress2(out.get(), &packed, assembled.data() + 8, length, 9);
        floor = now() - start;
        if (rc != Z_OK) floor = -1;
        zlibSize = 8 + packed;
        // The second column: libdeflate at the save's level, the whole movie in one call.
        const double fastStart = now();
        libdeflate_compressor* c = libdeflate_alloc_compressor(10);
        const std::size_t fast = libdeflate_zlib_compress(c, assembled.data() + 8, length, out.get(),
                                                          compressBound(length));
        libdeflate_free_compressor(c);
        if (fast > 0) second = std::min(second, now() - fastStart);
      } else {
        floor = timePlainWrite(assembled.data(), assembled.size(), floorFile);
      }
    };
    inTurn(i++, runFloor, runStep);
    if (assembled.empty() || floor < 0 || time < 0) {
      state.SkipWithError("save or floor failed");
      addError(step, name, "save or floor failed");
      return;
    }
    m.add(time, floor);
    state.SetIterationTime(time);
  }
  std::error_code ec;
  fs::remove(saved, ec);
  fs::remove(floorFile, ec);
  finish(state, m);
  if (!which.cws) {
    addRow(step, name, m.step, m.floor, 1.5, "wall");
    return;
  }
  addRow(step, name, m.step, m.floor, 0.6, "cpu", Unit::Seconds, second);
  addRow("save CWS size", name, static_cast<double>(savedSize) / 1048576.0, static_cast<double>(zlibSize) / 1048576.0,
         1.0, "size", Unit::Megabytes);
}

void benchProfile(benchmark::State& state, BenchMovie which, bool planned) {
  // The stream profile of a "CWS" movie: as loaded, against one inflate of
  // the file; for the movie a save for frame n would write, against one
  // deflate (level 9) of that movie, which is what the profile runs through
  // the save's encoder before it inflates the result again.
  const fs::path path = moviePath(which, true);
  const std::string name = movieName(which) + ".cws";
  const std::string step = planned ? "profile n=" + std::to_string(kMainFrames / 2) : "profile";
  const int n = kMainFrames / 2;
  const auto& file = fileBytes(path);
  Document doc;
  if (!doc.load(path.string()).empty() || !doc.analyze()) {
    state.SkipWithError("load or analysis failed");
    addError(step, name, "load or analysis failed");
    return;
  }
  doc.plan(n);
  std::vector<std::uint8_t> assembled;
  Document twin;
  if (planned && twin.load(moviePath(which, false).string()).empty() && twin.analyze()) {
    const auto collect = [&](const std::uint8_t* data, std::size_t size) {
      assembled.insert(assembled.end(), data, data + size);
      return std::error_code();
    };
    if (twin.writeTo(n, false, collect, "memory").result != kFileModified) assembled.clear();
  }
  MinPair m;
  int i = 0;
  for (auto _ : state) {
    double floor = 0, time = 0;
    auto runStep = [&] {
      const double start = cpuNow();
      const bool ok = planned ? doc.savedStreamProfile(n, false).has_value() : doc.streamProfile().has_value();
      time = ok ? cpuNow() - start : -1;
    };
    auto runFloor = [&] {
      if (!planned) {
        floor = timeInflate(file);
        return;
      }
      if (assembled.size() < 8) {
        floor = -1;
        return;
      }
      const double start = cpuNow();
      const auto length = static_cast<uLong>(assembled.size() - 8);
      uLongf packed = compressBound(length);
      std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[packed]);
      const int rc = compress2(out.get(), &packed, assembled.data() + 8, length, 9);
      floor = rc == Z_OK ? cpuNow() - start : -1;
    };
    inTurn(i++, runFloor, runStep);
    if (floor < 0 || time < 0) {
      state.SkipWithError("profile or floor failed");
      addError(step, name, "profile or floor failed");
      return;
    }
    m.add(time, floor);
    state.SetIterationTime(time);
  }
  finish(state, m);
  addRow(step, name, m.step, m.floor, 1.25, "cpu");
}

void benchPeakMemory(benchmark::State& state, BenchMovie which) {
  const fs::path path = moviePath(which, which.cws);
  const std::string name = movieName(which) + (which.cws ? ".cws" : ".fws");
  const auto& file = fileBytes(path);
  const std::uint32_t declared = readFileLength(file);
  fs::create_directories(options.out);
  const fs::path saved = options.out / (name + ".peak.swf");
  for (auto _ : state) {
    const std::string command = "'" + options.peakDriver + "' '" + path.string() + "' " +
                                std::to_string(kMainFrames / 2) + " '" + saved.string() + "'";
    const double start = wallNow();
    std::FILE* pipe = popen(command.c_str(), "r");
    long peakKb = -1;
    int result = -1;
    if (pipe != nullptr) {
      if (std::fscanf(pipe, "peak_kb=%ld result=%d", &peakKb, &result) != 2) peakKb = -1;
      pclose(pipe);
    }
    state.SetIterationTime(wallNow() - start);
    if (peakKb < 0 || result != static_cast<int>(kFileModified)) {
      state.SkipWithError("peak-memory driver failed");
      addError("peak memory", name, "peak-memory driver failed");
      return;
    }
    const double movieMb = declared / 1048576.0;
    const double peakMb = static_cast<double>(peakKb) / 1024.0;
    state.counters["peak_MB"] = peakMb;
    // At most 2 x the uncompressed movie + 32 MB, written as a ratio to the movie.
    addRow("peak memory", name, peakMb, movieMb, (2 * movieMb + 32) / movieMb, "rss", Unit::Megabytes);
  }
}

// Progress on stderr; the table is printed once everything has run.
class ProgressReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      std::fprintf(stderr, "  done %-40s %s\n", run.benchmark_name().c_str(),
                   run.error_occurred ? run.error_message.c_str() : "");
    }
  }
};

void registerAll() {
  auto add = [](const std::string& name, int iterations, std::function<void(benchmark::State&)> fn) {
    benchmark::RegisterBenchmark(name.c_str(), [fn](benchmark::State& s) { fn(s); })
        ->Iterations(iterations)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  };
  for (int size : options.sizes) {
    for (MovieKind kind : {MovieKind::TagMix, MovieKind::Bitmap, MovieKind::Shape, MovieKind::Action, MovieKind::Diamond}) {
      const BenchMovie fws{kind, size, false};
      const BenchMovie cws{kind, size, true};
      if (!fs::exists(moviePath(fws, false)) || !fs::exists(moviePath(fws, true))) {
        std::fprintf(stderr, "missing %s: run framestow-bench-gen first\n", movieName(fws).c_str());
        continue;
      }
      const std::string name = movieName(fws);
      const int pairs = pairsFor(size);
      add("load/" + name, pairs, [cws](benchmark::State& s) { benchLoad(s, cws); });
      add("analyse/" + name, pairs, [fws](benchmark::State& s) { benchAnalyse(s, fws); });
      add("load-analyse-1core/" + name, pairs, [cws](benchmark::State& s) { benchLoadAndAnalyse(s, cws, false); });
      add("load-analyse-2cores/" + name, pairs, [cws](benchmark::State& s) { benchLoadAndAnalyse(s, cws, true); });
      add("plan/" + name, 1, [fws](benchmark::State& s) { benchPlan(s, fws); });
      // Flushing a small file to disk takes from one to several milliseconds on
      // a shared machine: small saves need many pairs for a stable minimum.
      add("save-fws/" + name, size >= 100 ? 6 : size >= 10 ? 10 : 40,
          [fws](benchmark::State& s) { benchSave(s, fws); });
      add("save-cws/" + name, size >= 100 ? 2 : pairs, [cws](benchmark::State& s) { benchSave(s, cws); });
      add("profile/" + name, pairs, [cws](benchmark::State& s) { benchProfile(s, cws, false); });
      add("profile-saved/" + name, size >= 100 ? 2 : pairs, [cws](benchmark::State& s) { benchProfile(s, cws, true); });
      if (!options.peakDriver.empty() && (size >= 100 || size <= 1)) {
        add("peak-memory/" + name + ".fws", 1, [fws](benchmark::State& s) { benchPeakMemory(s, fws); });
        add("peak-memory/" + name + ".cws", 1, [cws](benchmark::State& s) { benchPeakMemory(s, cws); });
      }
    }
    if (fs::exists(moviePath({MovieKind::Diamond, size, false}, false)) &&
        fs::exists(moviePath({MovieKind::Diamond15, size, false}, false))) {
      add("plan-depth/diamond-" + std::to_string(size) + "mb", 1,
          [size](benchmark::State& s) { benchDiamondDepth(s, size); });
    }
  }
}

bool takeOption(const std::string& arg, const std::string& name, std::string& value) {
  if (arg.rfind(name + "=", 0) != 0) return false;
  value = arg.substr(name.size() + 1);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // A fixed mmap threshold: every large buffer, a step's or its floor's, then
  // comes fresh from the system and pays its page faults. With glibc's
  // sliding threshold, whichever side ran second could reuse the pages the
  // other had just freed, and the ratios would depend on the order.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string value;
    if (takeOption(arg, "--movies", value)) {
      options.movies = value;
    } else if (takeOption(arg, "--out", value)) {
      options.out = value;
    } else if (takeOption(arg, "--peak-driver", value)) {
      options.peakDriver = value;
    } else if (takeOption(arg, "--sizes", value)) {
      options.sizes.clear();
      std::stringstream list(value);
      std::string item;
      while (std::getline(list, item, ',')) options.sizes.push_back(std::stoi(item));
    } else {
      rest.push_back(argv[i]);
    }
  }
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  registerAll();
  ProgressReporter progress;
  benchmark::RunSpecifiedBenchmarks(&progress);
  benchmark::Shutdown();
  printTable();
  return 0;
}
