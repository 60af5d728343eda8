// `brenmoor capacity TABLE --csv` of the largest table a component file can
// number (32,767 sections of 60 fibers, in five shapes and all concretes), in
// this process: import, both models about both axes on every core, the CSV
// written beside the table (target: under 1 s on two cores). Also the
// figures of the whole table alone, and the curves of one section as a
// window or a report page asks for them.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <thread>

#include "bench/bench_support.h"
#include "capacity/capacity.h"
#include "import/section_import.h"
#include "jobs/capacity_job.h"
#include "model/parallel.h"

namespace {

// User and system time of every thread of this process so far, in ms: on a
// machine others are using, what the work costs whatever the wait for a core.
double ProcessCpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brenmoor;
  benchmark::Initialize(&argc, argv);
  bench::ScratchDir scratch;
  const auto table = scratch.path() / "sections.csv";
  {
    const std::string bytes = bench::SixtyFiberTable(kMaxSections);
    FILE* file = std::fopen(table.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }

  double csv_cpu_ms = 0;
  int csv_runs = 0;
  benchmark::RegisterBenchmark("BM_CapacityCsv/32767x60",
                               [&](benchmark::State& st) {
                                 for (auto _ : st) {
                                   const double cpu_start = ProcessCpuMs();
                                   BrenmoorState state;
                                   CapacityRequest request;
                                   request.table.path = table.string();
                                   request.csv = true;
                                   JobContext context{state};
                                   CapacityCsvJob(request, context);
                                   csv_cpu_ms += ProcessCpuMs() - cpu_start;
                                   ++csv_runs;
                                 }
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);

  BrenmoorState imported;
  ImportSectionFile(imported, table.string(), '.');
  benchmark::RegisterBenchmark(
      "BM_ComputeCapacityTable/32767x60",
      [&](benchmark::State& st) {
        for (auto _ : st)
          benchmark::DoNotOptimize(ComputeCapacityTable(imported, CapacityOptions{}));
      })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);

  benchmark::RegisterBenchmark("BM_OneSectionCurves", [&](benchmark::State& st) {
    const CapacitySection section = MakeCapacitySection(imported, 1, CapacityOptions{});
    for (auto _ : st) {
      for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
        for (CapacityModel model : {CapacityModel::kExact, CapacityModel::kFiber}) {
          benchmark::DoNotOptimize(InteractionCurve(section, axis, model));
          benchmark::DoNotOptimize(MomentCurvatureCurve(section, axis, model, 0.3));
        }
      }
      benchmark::DoNotOptimize(ComputeSectionCapacity(section));
    }
  })->Unit(benchmark::kMillisecond);

  bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\ncapacity of %d sections of 60 fibers, %d workers on %u cores:\n", kMaxSections,
              WorkersFor(kMaxSections), std::thread::hardware_concurrency());
  std::printf("  brenmoor capacity --csv (import, compute, write): %8.1f ms (target < 1000)\n",
              reporter.Milliseconds("BM_CapacityCsv"));
  std::printf("  the same, CPU time of all threads:                %8.1f ms\n",
              csv_runs > 0 ? csv_cpu_ms / csv_runs : 0.0);
  std::printf("  of which the figures of every section:           %8.1f ms\n",
              reporter.Milliseconds("BM_ComputeCapacityTable"));
  std::printf("  one section's figures and all eight curves:      %8.2f ms\n",
              reporter.Milliseconds("BM_OneSectionCurves"));
  benchmark::Shutdown();
  return 0;
}
