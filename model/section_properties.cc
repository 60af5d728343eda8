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

namespace {

// Lays out and computes every record of kind 1 on every core; keep_fibers
// says whether the records keep their fibers or only their fiber counts and
// properties (each then laid out in a scratch section).
void ComputeRecords(BrenmoorState& state, Progress* progress, bool keep_fibers) {
  // Enough sections per piece that taking a piece costs nothing next to it.
  constexpr std::size_t kSectionsPerPiece = 256;
  const std::size_t count = static_cast<std::size_t>(std::max(state.imported_count, 0));
  ForEachPiece(count,
               {.piece = kSectionsPerPiece, .progress = progress, .step = "Computing sections"},
               [&](std::size_t first, std::size_t last) {
                 TSECTION scratch;
                 for (std::size_t i = first + 1; i <= last; ++i) {
                   TSECTION& record = state.records.at(i);
                   if (record.kind != kRectangularColumn) continue;
                   TSECTION& laid = keep_fibers ? record : scratch;
                   try {
                     if (!keep_fibers) CopyLayoutInput(record, scratch);
                     LayoutFibers(laid);
                     ComputeSectionProperties(state, laid);
                   } catch (const Error& error) {
                     throw SectionError(state, i, error);
                   }
                   if (!keep_fibers) {
                     record.fiber_count = scratch.fiber_count;
                     static_cast<ElasticProperties&>(record) = scratch;
                   }
                 }
               });
}

}  // namespace

void PrepareSections(BrenmoorState& state, Progress* progress) {
  ComputeRecords(state, progress, true);
}

void ComputeSections(BrenmoorState& state, Progress* progress) {
  ComputeRecords(state, progress, false);
}

BrenmoorState PreparedCopy(const BrenmoorState& state, Progress* progress) {
  BrenmoorState prepared;
  prepared.records.assign(
      state.records.begin(),
      state.records.begin() +
          std::min<std::size_t>(state.records.size(),
                                static_cast<std::size_t>(std::max(state.imported_count, 0)) + 1));
  prepared.materials = state.materials;
  prepared.imported_count = state.imported_count;
  prepared.table = state.table;
  PrepareSections(prepared, progress);
  return prepared;
}

ImportError SectionError(const BrenmoorState& state, std::size_t record, const Error& error) {
  const std::string& name = record < state.records.size() ? state.records[record].NAME : "";
  return ImportError("Section \"" + ShortenedForMessage(name) + "\": " + error.what(), state.table,
                     static_cast<int>(record) + 1);
}

}  // namespace brenmoor
