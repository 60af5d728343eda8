// The whole `brenmoor convert` of the largest table a component file can
// number (32,767 sections of 60 fibers, 140.4 MB out), run as a child process
// of the real program, against the durable write floor: the same number of
// bytes written with 1 MB buffers and fsync'd, in a child process too (what
// `dd bs=1M conv=fsync` does). Both write a fresh file, and both replace one
// that is there (convert renames its new file over it, the floor truncates
// it), since freeing the old file's space is part of replacing it. They run
// in pairs, in turn, and each pair gives a ratio, so a machine whose speed
// drifts meanwhile moves both sides. Also the import of that table in this
// process, and the peak memory of the conversion for tables of different
// sizes.
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

constexpr int kPairs = 9;
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

// program with args, through the launcher: its own time and peak memory.
ChildRun Measured(const std::vector<std::string>& args) {
  static const bench::ScratchDir figures_dir;
  const std::string figures = (figures_dir.path() / "figures").string();
  std::vector<const char*> argv = {"run_measured", figures.c_str()};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  const ChildRun launcher =
      InChild([&] { ::execv(BRENMOOR_RUN_MEASURED, const_cast<char* const*>(argv.data())); });
  ChildRun run;
  long peak_kb = 0;
  FILE* file = std::fopen(figures.c_str(), "r");
  if (launcher.status != 0 || file == nullptr ||
      std::fscanf(file, "%lf %ld %d", &run.milliseconds, &peak_kb, &run.status) != 3) {
    run.status = 1;
  }
  if (file != nullptr) std::fclose(file);
  run.peak_mb = static_cast<double>(peak_kb) / 1024.0;
  return run;
}

// Whether a run writes a fresh file or replaces the one there.
enum class Target { kFresh, kReplacing };

ChildRun Convert(const std::filesystem::path& table, const std::filesystem::path& output,
                 Target target = Target::kFresh) {
  if (target == Target::kFresh) std::filesystem::remove(output);
  return Measured({kProgram, "convert", table.string(), "-o", output.string()});
}

ChildRun DurableWriteFloor(const std::filesystem::path& output, std::uintmax_t bytes,
                           Target target) {
  static const std::vector<char> kBuffer(1 << 20, '\0');
  if (target == Target::kFresh) std::filesystem::remove(output);
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

  // Per case: the convert's times and peaks, the floor's times, the ratios.
  struct Pairs {
    const char* name;
    Target target;
    std::vector<double> convert_ms, floor_ms, ratios, peaks;
  };
  Pairs cases[] = {{"fresh", Target::kFresh, {}, {}, {}, {}},
                   {"replacing", Target::kReplacing, {}, {}, {}, {}}};
  std::uintmax_t bytes = 0;
  bool failed = false;
  for (Pairs& pairs : cases) {
    const std::string name = std::string("BM_ConvertVsDurableWriteFloor/32767x60/") + pairs.name;
    benchmark::RegisterBenchmark(
        name.c_str(),
        [&](benchmark::State& st) {
          if (pairs.target == Target::kReplacing) {
            // Files to replace, as every later run leaves them.
            failed |= Convert(table, output).status != 0;
            DurableWriteFloor(floor_output, std::filesystem::file_size(output), Target::kFresh);
          }
          for (auto _ : st) {
            const ChildRun convert = Convert(table, output, pairs.target);
            failed |= convert.status != 0;
            bytes = std::filesystem::file_size(output);
            const ChildRun floor = DurableWriteFloor(floor_output, bytes, pairs.target);
            pairs.convert_ms.push_back(convert.milliseconds);
            pairs.floor_ms.push_back(floor.milliseconds);
            pairs.ratios.push_back(convert.milliseconds / floor.milliseconds);
            pairs.peaks.push_back(convert.peak_mb);
            st.SetIterationTime(convert.milliseconds / 1000);
          }
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kPairs)
        ->UseManualTime();
  }

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

  // What every script pays on every call: the start of the program, and
  // the memory of converting the sample table.
  constexpr int kStarts = 31;
  std::vector<double> version_ms, true_ms, sample_peaks;
  for (int i = 0; i < kStarts; ++i) {
    version_ms.push_back(Measured({kProgram, "--version"}).milliseconds);
    true_ms.push_back(Measured({"/bin/true"}).milliseconds);
  }
  for (int i = 0; i < kPairs; ++i) {
    sample_peaks.push_back(Convert(BRENMOOR_SOURCE_DIR "/examples/sample.csv", output).peak_mb);
  }

  const double import = reporter.Milliseconds("BM_ImportSectionFile");
  const double read = reporter.Milliseconds("BM_ReadWholeFile");
  std::printf(
      "\nwhole convert, child process %s (%d sections of 60 fibers, %.1f MB), median of %d:\n",
      kProgram.c_str(), kMaxSections, static_cast<double>(bytes) / 1e6, kPairs);
  for (const Pairs& pairs : cases) {
    std::printf("  %-9s brenmoor convert:            %8.1f ms%s\n", pairs.name,
                Median(pairs.convert_ms), failed ? "  (a run FAILED)" : "");
    std::printf("  %-9s durable write floor:         %8.1f ms (1 MB writes, fsync)\n", pairs.name,
                Median(pairs.floor_ms));
    std::printf("  %-9s ratio, median of the pairs:  %8.2f    (target <= 1.0)\n", pairs.name,
                Median(pairs.ratios));
  }
  std::vector<double> peaks = cases[0].peaks;
  peaks.insert(peaks.end(), cases[1].peaks.begin(), cases[1].peaks.end());
  std::printf("  peak memory of convert:                %8.1f MB (target < 10; largest %.1f)\n",
              Median(peaks), *std::max_element(peaks.begin(), peaks.end()));
  for (const auto& [sections, peak] : peak_by_size) {
    std::printf("  peak memory, %5d sections:           %8.1f MB\n", sections, peak);
  }
  std::printf(
      "import of the %d-line table:           %8.2f ms (target < 10), of which reading the "
      "file %.2f ms\n",
      kMaxSections, import, read);
  std::printf(
      "start-up of brenmoor --version, median of %d: %5.2f ms (target < 3; /bin/true %.2f ms)\n",
      kStarts, Median(version_ms), Median(true_ms));
  std::printf("peak memory of convert examples/sample.csv: %5.1f MB (target < 6)\n",
              Median(sample_peaks));
  benchmark::Shutdown();
  return failed ? 1 : 0;
}
