#include "model/section_properties.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <utility>

#include "model/errors.h"
#include "model/fiber_layout.h"
#include "model/float32.h"
#include "model/parallel.h"

namespace brenmoor {
namespace {

constexpr long double kFiveSixths = 5.0L / 6.0L;
constexpr long double kSixteenThirds = 16.0L / 3.0L;
constexpr long double kShearRatio = 2.4L;  // E / G for the concrete
constexpr long double kTorsionFactor = 3.36L;

// (area · coordinate) · coordinate, added to the running float32 sum.
float AddSecondMoment(float sum, float area, float coordinate) {
  const long double term = static_cast<long double>(area) * coordinate * coordinate;
  return RoundToFloat(term + sum);
}

}  // namespace

void ComputeSectionProperties(const BrenmoorState& state, TSECTION& s) {
  const long double modulus = state.materials.at(s.concrete_material).modulus;
  s.shear_modulus = RoundToFloat(modulus / kShearRatio);

  const float shear_area = RoundToFloat(kFiveSixths * s.B * s.H);
  s.shear_area_1 = shear_area;
  s.shear_area_2 = shear_area;

  const long double a = RoundToFloat(static_cast<long double>(std::max(s.B, s.H)) / 2);
  const long double b = RoundToFloat(static_cast<long double>(std::min(s.B, s.H)) / 2);
  const long double t1 = b * (b * b) * a;
  const long double t2 = (b * b) * (b * b) / 12;
  const long double t3 = (a * a) * (a * a);
  const long double q = 1 - CheckedDivide(t2, t3);
  const long double p = q * (CheckedDivide(b, a) * kTorsionFactor);
  const float torsion = RoundToFloat((kSixteenThirds - p) * t1);

  float concrete_area = 0.0f, concrete_ax2 = 0.0f, concrete_ay2 = 0.0f;
  float steel_area = 0.0f, steel_ax2 = 0.0f, steel_ay2 = 0.0f;
  const FiberSlot* const fibers = std::as_const(s.fibers).data();
  const int n = s.fiber_count;
  for (int k = 0; k < n; ++k) {
    const FiberSlot& f = fibers[k];
    if (f.type == kConcreteFiber) {
      concrete_area = RoundToFloat(static_cast<long double>(concrete_area) + f.area);
      concrete_ax2 = AddSecondMoment(concrete_ax2, f.area, f.x);
      concrete_ay2 = AddSecondMoment(concrete_ay2, f.area, f.y);
    } else if (f.type == kSteelFiber) {
      steel_area = RoundToFloat(static_cast<long double>(steel_area) + f.area);
      steel_ax2 = AddSecondMoment(steel_ax2, f.area, f.x);
      steel_ay2 = AddSecondMoment(steel_ay2, f.area, f.y);
    }
  }

  s.torsion_constant = torsion;
  s.concrete_area_sum = concrete_area;
  s.concrete_ax2_sum = concrete_ax2;
  s.concrete_ay2_sum = concrete_ay2;
  s.steel_area_sum = steel_area;
  s.steel_ax2_sum = steel_ax2;
  s.steel_ay2_sum = steel_ay2;
}

void PrepareSections(BrenmoorState& state) {
  for (std::int32_t i = 1; i <= state.imported_count; ++i) {
    TSECTION& section = state.records.at(i);
    if (section.kind != kRectangularColumn) continue;
    try {
      LayoutFibers(section);
      ComputeSectionProperties(state, section);
    } catch (const Error& error) {
      throw SectionError(state, static_cast<std::size_t>(i), error);
    }
  }
}

ImportError SectionError(const BrenmoorState& state, std::size_t record, const Error& error) {
  const std::string& name = record < state.records.size() ? state.records[record].NAME : "";
  return ImportError("Section \"" + ShortenedForMessage(name) + "\": " + error.what(), state.table,
                     static_cast<int>(record) + 1);
}

void ComputeSections(BrenmoorState& state) {
  // Enough sections per piece that taking a piece costs nothing next to it.
  constexpr std::size_t kSectionsPerPiece = 256;
  const std::size_t count = static_cast<std::size_t>(std::max(state.imported_count, 0));
  const std::size_t pieces = (count + kSectionsPerPiece - 1) / kSectionsPerPiece;
  std::atomic<std::size_t> next_piece{0};
  EarliestFailure failure;
  RunWorkers(WorkersFor(pieces), [&](int) {
    TSECTION scratch;
    for (std::size_t piece; (piece = next_piece++) < pieces;) {
      const std::size_t first = piece * kSectionsPerPiece + 1;
      if (!failure.Matters(first)) return;
      const std::size_t last = std::min(first + kSectionsPerPiece - 1, count);
      for (std::size_t i = first; i <= last; ++i) {
        TSECTION& record = state.records.at(i);
        if (record.kind != kRectangularColumn) continue;
        try {
          CopyLayoutInput(record, scratch);
          LayoutFibers(scratch);
          ComputeSectionProperties(state, scratch);
        } catch (const Error& error) {
          failure.Record(i, std::make_exception_ptr(SectionError(state, i, error)));
          return;
        } catch (...) {
          failure.Record(i, std::current_exception());
          return;
        }
        record.fiber_count = scratch.fiber_count;
        static_cast<ElasticProperties&>(record) = scratch;
      }
    }
  });
  failure.RethrowIfAny();
}

}  // namespace brenmoor
