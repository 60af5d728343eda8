#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace brenmoor::bench {

// Peak resident memory of this process so far, in MB.
inline double PeakMemoryMb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A scratch folder beside the build, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenmoor-bench-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The baseline: size bytes through one plain buffered stream (64 KiB
// chunks), made durable and closed the same way the component file is.
inline void PlainBufferedWrite(const std::filesystem::path& path, std::size_t size) {
  static const std::string chunk(1 << 16, 'x');
  FILE* file = std::fopen(path.c_str(), "wb");
  for (std::size_t left = size; left > 0;) {
    const std::size_t n = left < chunk.size() ? left : chunk.size();
    std::fwrite(chunk.data(), 1, n, file);
    left -= n;
  }
  std::fflush(file);
  ::fsync(::fileno(file));
  std::fclose(file);
}

// A table of count sections, every one of 60 fibers, in five shapes and all
// concretes: at kMaxSections, the largest table a component file can number.
inline std::string SixtyFiberTable(int count) {
  static const char* const kShapes[] = {"6,6,5,5", "4,8,6,6", "8,4,6,6", "5,6,6,7", "6,5,7,6"};
  static const char* const kConcretes[] = {"C30", "C35", "C40", "C45", "C50", "C55",
                                           "C60", "C65", "C70", "C75", "C80"};
  std::string table = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\r\n";
  char line[160];
  for (int i = 1; i <= count; ++i) {
    std::snprintf(line, sizeof line, "%d,KZ%d,%s,STEEL,%d,%d,%s,%d.5,%d,490.9,%d\r\n", i, i,
                  kConcretes[i % 11], 400 + (i % 13) * 50, 400 + (i % 7) * 50, kShapes[i % 5],
                  1000 + i % 500, 1200 + i % 300, 35 + i % 10);
    table += line;
  }
  return table;
}

// Prints the usual table and keeps each benchmark's real time per iteration
// in milliseconds, by the name it was registered under (before any "/"), so
// the program can print its figures against their targets afterwards.
class FigureReporter : public benchmark::ConsoleReporter {
 public:
  FigureReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      milliseconds_[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
    }
  }

  // Every benchmark here runs in benchmark::kMillisecond.
  double Milliseconds(const std::string& name) const {
    const auto found = milliseconds_.find(name);
    return found == milliseconds_.end() ? 0.0 : found->second;
  }

 private:
  std::map<std::string, double> milliseconds_;
};

}  // namespace brenmoor::bench
