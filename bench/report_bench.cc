// The section report of a 2,000-section table, as `brenmoor report` makes it:
// import, prepare, draw every page into a PDF and write it (target 2 s), and
// the properties table of the same sections.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "bench/bench_support.h"
#include "import/section_import.h"
#include "model/section_properties.h"
#include "output/properties_csv.h"
#include "report/section_report.h"

namespace brenmoor {
namespace {

constexpr int kSections = 2000;

// Sections of many sizes, materials and bar counts, so that the drawings
// differ; every one has 60 fibers or fewer.
std::string ReportTable() {
  std::string table = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
  for (int i = 1; i <= kSections; ++i) {
    table += std::to_string(i) + ",KZ-" + std::to_string(i) + ",C" +
             std::to_string(30 + 5 * (i % 11)) + ",STEEL," + std::to_string(400 + 50 * (i % 13)) +
             "," + std::to_string(400 + 50 * (i % 9)) + ",6,6," + std::to_string(2 + i % 4) + "," +
             std::to_string(2 + i % 3) + "," + std::to_string(600 + 100 * (i % 7)) + "," +
             std::to_string(600 + 100 * (i % 5)) + ",490.9," + std::to_string(40 + 5 * (i % 3)) +
             "\n";
  }
  return table;
}

}  // namespace
}  // namespace brenmoor

int main(int argc, char** argv) {
  using namespace brenmoor;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  bench::ScratchDir scratch;
  const std::string table = (scratch.path() / "sections.csv").string();
  const std::string pdf = (scratch.path() / "sections.pdf").string();
  {
    const std::string bytes = ReportTable();
    FILE* file = std::fopen(table.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }

  int pages = 0;
  benchmark::RegisterBenchmark(
      "BM_ReportCommand/2000_sections",
      [&](benchmark::State& st) {
        for (auto _ : st) {
          BrenmoorState state;
          std::ostringstream out, err;
          if (RunCommandLine({"brenmoor", "report", table, "-o", pdf}, state, out, err) != 0) {
            st.SkipWithError(err.str().c_str());
            break;
          }
          pages = PlanReport(state).pages();
        }
      })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3)
      ->UseRealTime();
  benchmark::RegisterBenchmark("BM_PropertiesCsv/2000_sections", [&](benchmark::State& st) {
    BrenmoorState state;
    ImportSectionFile(state, table, '.');
    PrepareSections(state);
    for (auto _ : st) benchmark::DoNotOptimize(PropertiesCsv(state));
  })->Unit(benchmark::kMillisecond);

  bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nreport of %d sections (%d pages): %8.1f ms  (target 2000 ms)\n", kSections, pages,
              reporter.Milliseconds("BM_ReportCommand"));
  std::printf("properties table:                     %8.1f ms\n",
              reporter.Milliseconds("BM_PropertiesCsv"));
  benchmark::Shutdown();
  return 0;
}
