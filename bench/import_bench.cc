// The import and the whole conversion of the largest table a component file
// can number (32,767 sections), against a plain read of the same file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "import/section_import.h"
#include "output/generate.h"

namespace brenmoor {
namespace {

constexpr int kSections = 32767;

// A table like an engineer's: a few section shapes, names numbered.
std::string LargestTable() {
  static const char* const kShapes[] = {
      "C35,STEEL,500,500,6,6,5,5,1000,1000,490,40",
      "C30,STEEL,600,400,4,6,3,4,600,800,314,40",
      "C40,STEEL,700,700,5,5,4,4,1256,1256,380.1,45",
      "C50,STEEL,800,600,4,5,3,3,942,942,490.9,50",
  };
  std::string table = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\r\n";
  for (int i = 1; i <= kSections; ++i) {
    table += std::to_string(i);
    table += ",KZ";
    table += std::to_string(i);
    table += ',';
    table += kShapes[i % 4];
    table += "\r\n";
  }
  return table;
}

std::string PlainRead(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  std::string bytes;
  char buffer[1 << 16];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  ::close(fd);
  return bytes;
}

}  // namespace
}  // namespace brenmoor

int main(int argc, char** argv) {
  using namespace brenmoor;
  benchmark::Initialize(&argc, argv);
  bench::ScratchDir scratch;
  const std::string table = (scratch.path() / "sections.csv").string();
  const auto output = scratch.path() / kComponentFileName;
  {
    const std::string bytes = LargestTable();
    FILE* file = std::fopen(table.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }

  benchmark::RegisterBenchmark("BM_PlainRead/32767_lines", [&](benchmark::State& st) {
    for (auto _ : st) benchmark::DoNotOptimize(PlainRead(table));
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_ImportSectionFile/32767_lines", [&](benchmark::State& st) {
    BrenmoorState state;
    for (auto _ : st) ImportSectionFile(state, table, '.');
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_GenerateComponentFile/imported",
                               [&](benchmark::State& st) {
                                 BrenmoorState state;
                                 ImportSectionFile(state, table, '.');
                                 for (auto _ : st) GenerateComponentFile(state, output);
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3)
      ->UseRealTime();
  benchmark::RegisterBenchmark("BM_Convert/32767_lines",
                               [&](benchmark::State& st) {
                                 for (auto _ : st) {
                                   BrenmoorState state;
                                   ImportSectionFile(state, table, '.');
                                   GenerateComponentFile(state, output);
                                 }
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3)
      ->UseRealTime();

  bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const double read = reporter.Milliseconds("BM_PlainRead");
  const double import = reporter.Milliseconds("BM_ImportSectionFile");
  const double generate = reporter.Milliseconds("BM_GenerateComponentFile");
  const double convert = reporter.Milliseconds("BM_Convert");
  std::printf("\nplain read of the table:   %8.2f ms\n", read);
  std::printf("import:                    %8.2f ms  (target < 10; %.1fx the plain read)\n", import,
              import / read);
  std::printf("generate alone:            %8.2f ms\n", generate);
  std::printf("whole conversion:          %8.2f ms  (%.2fx generate alone; target <= 2)\n", convert,
              convert / generate);
  benchmark::Shutdown();
  return 0;
}
