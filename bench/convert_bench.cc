// The whole `brenmoor convert` of the largest table a component file can
// number (32,767 sections of 60 fibers, 140.4 MB out), run as a child process
// of the real program, against the durable write floor: the same number of
// bytes written with 1 MB buffers and fsync'd, in a child process too. They
// run in pairs, in turn, and each pair gives a ratio, so a machine whose
// speed drifts meanwhile moves both sides. Also the import of that table in
// this process, and the peak memory of the conversion for tables of
// different sizes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "import/section_import.h"
#include "platform/files.h"

namespace brenmoor {
namespace {

constexpr int kPairs = 7;
// BRENMOOR_BENCH_PROGRAM names another build to time, an older one say.
const std::string kProgram = std::getenv("BRENMOOR_BENCH_PROGRAM") != nullptr
                                 ? std::getenv("BRENMOOR_BENCH_PROGRAM")
                                 : std::string(BRENMOOR_BINARY_DIR) + "/brenmoor";

struct ChildRun {
  double milliseconds = 0.0;
  double peak_mb = 0.0;
  int status = 0;
};

// Runs body in a child process and times it from fork to reaping.
template <typename Body>
ChildRun InChild(Body body) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    body();
    std::_Exit(127);
  }
  ChildRun run;
  rusage usage{};
  ::wait4(child, &run.status, 0, &usage);
  run.milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return run;
}

ChildRun Convert(const std::filesystem::path& table, const std::filesystem::path& output) {
  std::filesystem::remove(output);
  return InChild([&] {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::execl(kProgram.c_str(), "brenmoor", "convert", table.c_str(), "-o", output.c_str(),
            static_cast<char*>(nullptr));
  });
}

ChildRun DurableWriteFloor(const std::filesystem::path& output, std::uintmax_t bytes) {
  static const std::vector<char> kBuffer(1 << 20, '\0');
  std::filesystem::remove(output);
  return InChild([&] {
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    for (std::uintmax_t left = bytes; left > 0;) {
      const auto n = static_cast<std::size_t>(std::min<std::uintmax_t>(left, kBuffer.size()));
      if (::write(fd, kBuffer.data(), n) != static_cast<ssize_t>(n)) std::_Exit(1);
      left -= n;
    }
    std::_Exit(::fsync(fd) == 0 && ::close(fd) == 0 ? 0 : 1);
  });
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void WriteTable(const std::filesystem::path& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace
}  // namespace brenmoor

int main(int argc, char** argv) {
  using namespace brenmoor;
  benchmark::Initialize(&argc, argv);
  bench::ScratchDir scratch;
  const auto table = scratch.path() / "sections.csv";
  const auto output = scratch.path() / "KAVOSEC.PF3CMP";
  const auto floor_output = scratch.path() / "floor.bin";
  WriteTable(table, bench::SixtyFiberTable(kMaxSections));

  std::vector<double> convert_ms, floor_ms, ratios, peaks;
  std::uintmax_t bytes = 0;
  bool failed = false;
  benchmark::RegisterBenchmark("BM_ConvertVsDurableWriteFloor/32767x60",
                               [&](benchmark::State& st) {
                                 for (auto _ : st) {
                                   const ChildRun convert = Convert(table, output);
                                   failed |= convert.status != 0;
                                   bytes = std::filesystem::file_size(output);
                                   const ChildRun floor = DurableWriteFloor(floor_output, bytes);
                                   convert_ms.push_back(convert.milliseconds);
                                   floor_ms.push_back(floor.milliseconds);
                                   ratios.push_back(convert.milliseconds / floor.milliseconds);
                                   peaks.push_back(convert.peak_mb);
                                   st.SetIterationTime(convert.milliseconds / 1000);
                                 }
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(kPairs)
      ->UseManualTime();

  // In this process, the table already written: reading it and importing it.
  benchmark::RegisterBenchmark("BM_ImportSectionFile/32767_lines", [&](benchmark::State& st) {
    BrenmoorState state;
    for (auto _ : st) ImportSectionFile(state, table.string(), '.');
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_ReadWholeFile/32767_lines", [&](benchmark::State& st) {
    for (auto _ : st) benchmark::DoNotOptimize(ReadWholeFile(table));
  })->Unit(benchmark::kMillisecond);

  bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  // Peak memory against the size of the table: it should grow with the
  // records (about 150 bytes a section), not with the fibers or the file.
  std::vector<std::pair<int, double>> peak_by_size;
  for (int sections : {1024, 8192, kMaxSections}) {
    const auto smaller = scratch.path() / ("sections-" + std::to_string(sections) + ".csv");
    WriteTable(smaller, bench::SixtyFiberTable(sections));
    peak_by_size.emplace_back(sections, Convert(smaller, output).peak_mb);
  }

  const double import = reporter.Milliseconds("BM_ImportSectionFile");
  const double read = reporter.Milliseconds("BM_ReadWholeFile");
  std::printf(
      "\nwhole convert, child process %s (%d sections of 60 fibers, %.1f MB), median of %d:\n",
      kProgram.c_str(), kMaxSections, static_cast<double>(bytes) / 1e6, kPairs);
  std::printf("  brenmoor convert:                      %8.1f ms%s\n", Median(convert_ms),
              failed ? "  (a run FAILED)" : "");
  std::printf("  durable write floor (1 MB writes, fsync): %5.1f ms\n", Median(floor_ms));
  std::printf("  ratio, median of the pairs:            %8.2f   (target <= 1.5)\n", Median(ratios));
  std::printf("  peak memory of convert:                %8.1f MB (target < 30)\n", Median(peaks));
  for (const auto& [sections, peak] : peak_by_size) {
    std::printf("  peak memory, %5d sections:           %8.1f MB\n", sections, peak);
  }
  std::printf(
      "import of the %d-line table:           %8.2f ms (target < 10), of which reading the "
      "file %.2f ms\n",
      kMaxSections, import, read);
  benchmark::Shutdown();
  return failed ? 1 : 0;
}
