// The generate command on the largest table a component file can number:
// 32,767 sections of 60 fibers (about 140 MB), against a plain buffered write
// of the same number of bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "bench/bench_support.h"
#include "model/materials.h"
#include "model/section_properties.h"
#include "output/component_writer.h"
#include "output/generate.h"

namespace brenmoor {
namespace {

constexpr int kSections = 32767;

BrenmoorState LargestTable() {
  BrenmoorState state;
  BuildMaterialTable(state);
  TSECTION s;
  s.kind = kRectangularColumn;
  s.NAME = "COLSEC1";
  s.concrete_material = 1;
  s.steel_material = 11;
  s.H = s.B = 500.0f;
  s.CC = 40.0f;
  s.NX = s.NY = 5;
  s.FX = s.FY = 6;
  s.ASX = s.ASY = 1000.0f;
  s.ASCOR = 490.0f;
  state.records.assign(kSections + 1, s);
  state.records[0] = TSECTION{};
  state.imported_count = kSections;
  return state;
}

class DiscardingSink : public ByteSink {
 protected:
  void Deliver(const char* data, std::size_t) override { benchmark::DoNotOptimize(data); }
};

class DiscardingFile : public PositionalSink {
 public:
  void WriteAt(const char* data, std::size_t, std::uint64_t) override {
    benchmark::DoNotOptimize(data);
  }
};

struct Figures {
  double peak_after_generate_mb = 0.0;
  std::uintmax_t bytes = 0;
};

}  // namespace
}  // namespace brenmoor

int main(int argc, char** argv) {
  using namespace brenmoor;
  benchmark::Initialize(&argc, argv);
  bench::ScratchDir scratch;
  const auto path = scratch.path() / kComponentFileName;
  Figures figures;

  // Measured first, so the peak memory figure is the writer's alone.
  benchmark::RegisterBenchmark(
      "BM_GenerateComponentFile/32767x60",
      [&](benchmark::State& st) {
        BrenmoorState state = LargestTable();
        for (auto _ : st) GenerateComponentFile(state, path);
        figures.bytes = std::filesystem::file_size(path);
        figures.peak_after_generate_mb = bench::PeakMemoryMb();
        st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * figures.bytes));
        st.counters["peak_MB"] = figures.peak_after_generate_mb;
      })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3)
      ->UseRealTime();

  benchmark::RegisterBenchmark(
      "BM_PlainBufferedWrite/same_bytes",
      [&](benchmark::State& st) {
        const auto baseline = scratch.path() / "baseline.bin";
        for (auto _ : st) bench::PlainBufferedWrite(baseline, figures.bytes);
        st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * figures.bytes));
      })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3)
      ->UseRealTime();

  // Where the time goes: the computation alone, on every core and one
  // section after another; and the making of the file with nothing to take
  // it, each section computed as generate does it: in pieces at their
  // offsets on every core, one worker alone, and in order.
  benchmark::RegisterBenchmark("BM_ComputeSections/32767x60",
                               [](benchmark::State& st) {
                                 BrenmoorState state = LargestTable();
                                 for (auto _ : st) ComputeSections(state);
                               })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();

  benchmark::RegisterBenchmark("BM_PrepareSections/32767x60", [](benchmark::State& st) {
    BrenmoorState state = LargestTable();
    for (auto _ : st) PrepareSections(state);
  })->Unit(benchmark::kMillisecond);

  for (const int workers : {0, 1}) {
    benchmark::RegisterBenchmark(
        workers == 0 ? "BM_WriteComponentPieces/discarding_file"
                     : "BM_WriteComponentPieces/discarding_file/one_worker",
        [workers](benchmark::State& st) {
          BrenmoorState state = LargestTable();
          const ComponentPlan plan(state);
          DiscardingFile file;
          for (auto _ : st) {
            WriteComponentPieces(state, plan, file, {.most_workers = workers});
          }
        })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }

  benchmark::RegisterBenchmark("BM_StreamComponentFile/discarding_sink",
                               [](benchmark::State& st) {
                                 BrenmoorState state = LargestTable();
                                 for (auto _ : st) {
                                   DiscardingSink sink;
                                   StreamComponentFile(state, sink);
                                 }
                               })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();

  bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const double generate = reporter.Milliseconds("BM_GenerateComponentFile");
  const double baseline = reporter.Milliseconds("BM_PlainBufferedWrite");
  std::printf("\ngenerate (prepare + write + sync + rename): %.1f ms for %.1f MB\n", generate,
              figures.bytes / 1e6);
  std::printf("plain buffered write of the same bytes:      %.1f ms\n", baseline);
  // In this process, against a buffered write of the same bytes; the
  // program against the durable write floor is convert_bench's (target 1.0).
  std::printf("ratio: %.2f\n", generate / baseline);
  std::printf("peak memory after generate: %.1f MB (the records and the pieces in flight)\n",
              figures.peak_after_generate_mb);
  benchmark::Shutdown();
  return 0;
}
