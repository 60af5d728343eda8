#include "capacity/best_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "capacity/internal/biaxial_contour.h"
#include "capacity/internal/strain_path.h"
#include "model/fiber_layout.h"
#include "model/parallel.h"

namespace brenmoor {
namespace {

using namespace capacity_internal;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// What every grid of one section is measured against.
struct ExactFigures {
  double N = 0.0;  // N
  ErrorLevels x, y;
  Contour contour;
};

// The section with the cells of grid FX × FY, or nothing when a cell's area
// overflows a float.
std::optional<CapacitySection> WithGrid(const CapacitySection& base, const TSECTION& record, int FX,
                                        int FY) {
  TSECTION laid;
  CopyLayoutInput(record, laid);
  laid.FX = FX;
  laid.FY = FY;
  try {
    LayoutFibers(laid);
  } catch (const Error&) {
    return std::nullopt;
  }
  CapacitySection section = base;
  section.cells.clear();
  const FiberSlot* fibers = laid.fibers.data();
  for (int k = 0; k < laid.fiber_count; ++k) {
    if (fibers[k].type == kConcreteFiber) {
      section.cells.push_back({fibers[k].x, fibers[k].y, fibers[k].area});
    }
  }
  return section;
}

// A grid's error, or a figure above give_up_above as soon as one of its
// errors is known to pass it. The coarser direction is tried first: it is
// the cheaper one and the likelier to fail. *worst_direction carries the
// biaxial direction to try first from grid to grid.
double GridErrorPct(const CapacitySection& section, int FX, int FY, const ExactFigures& exact,
                    double give_up_above, int* worst_direction) {
  const BendingAxis first = FX < FY ? BendingAxis::kY : BendingAxis::kX;
  const BendingAxis second = first == BendingAxis::kX ? BendingAxis::kY : BendingAxis::kX;
  auto levels = [&](BendingAxis axis) -> const ErrorLevels& {
    return axis == BendingAxis::kX ? exact.x : exact.y;
  };
  double error = FiberErrorPct(section, first, levels(first), give_up_above);
  if (error > give_up_above) return error;
  error = std::max(error, FiberErrorPct(section, second, levels(second), give_up_above));
  if (error > give_up_above || !exact.contour.holds) return error;
  return std::max(error,
                  ContourErrorPct(section, exact.N, exact.contour, give_up_above, worst_direction));
}

// Of two grids whose errors tie, whether grid a goes before grid b.
bool BetterOfTied(int ax, int ay, int bx, int by, double aspect) {
  if (ax * ay != bx * by) return ax * ay < bx * by;
  const double da = std::abs(std::log(static_cast<double>(ax) / ay) - aspect);
  const double db = std::abs(std::log(static_cast<double>(bx) / by) - aspect);
  if (std::abs(da - db) > 1e-12) return da < db;
  return ax < bx;
}

}  // namespace

GridChoice ChooseBestGrid(const BrenmoorState& state, int record, const CapacityOptions& options) {
  const CapacitySection section = MakeCapacitySection(state, record, options);
  const TSECTION& input = state.records[static_cast<std::size_t>(record)];
  GridChoice choice;
  choice.FX = choice.best_FX = input.FX;
  choice.FY = choice.best_FY = input.FY;

  ExactFigures exact;
  exact.N = AxialLoadNewtons(section, options.axial_ratio);
  exact.contour = ExactContour(section, exact.N);
  // Without the load there is no biaxial error, but the grid still matters
  // in bending about x and y: the grids are compared on those alone.
  choice.biaxial = exact.contour.holds;
  if (!choice.biaxial) choice.verdict = GridVerdict::kCannotCarry;
  exact.x = ExactErrorLevels(section, BendingAxis::kX);
  exact.y = ExactErrorLevels(section, BendingAxis::kY);
  int worst_direction = 0;
  choice.error_pct = choice.best_error_pct =
      GridErrorPct(section, input.FX, input.FY, exact, kInfinity, &worst_direction);
  const int budget = kMaxFibers - (2 * input.NX + 2 * input.NY + 4);
  if (budget < 1) {
    choice.verdict = GridVerdict::kNoRoom;
    return choice;
  }

  // Likely winners first, so that the bound is tight early: many cells,
  // shaped like the section.
  const double aspect = std::log(static_cast<double>(section.B) / section.H);
  struct Grid {
    int FX, FY;
  };
  std::vector<Grid> grids;
  for (int fx = 1; fx <= budget; ++fx) {
    for (int fy = 1; fx * fy <= budget; ++fy) grids.push_back({fx, fy});
  }
  auto closeness = [&](const Grid& g) {
    return std::abs(std::log(static_cast<double>(g.FX) / g.FY) - aspect);
  };
  std::stable_sort(grids.begin(), grids.end(), [&](const Grid& a, const Grid& b) {
    if (a.FX * a.FY != b.FX * b.FY) return a.FX * a.FY > b.FX * b.FY;
    return closeness(a) < closeness(b);
  });

  // Every grid within kGridTiePoints of the least error so far, computed
  // whole so that the tie rules decide among them whatever the order the
  // grids were tried in. The section's own grid is a candidate when it has
  // cells; its error is the first bound.
  struct Scored {
    Grid grid;
    double error;
  };
  std::vector<Scored> near;
  double least = kInfinity;
  if (input.FX >= 1 && input.FY >= 1) {
    near.push_back({{input.FX, input.FY}, choice.error_pct});
    least = choice.error_pct;
  }
  for (const Grid& g : grids) {
    if (g.FX == input.FX && g.FY == input.FY) continue;
    const std::optional<CapacitySection> with_grid = WithGrid(section, input, g.FX, g.FY);
    if (!with_grid) continue;
    const double bound = least + kGridTiePoints;
    const double error = GridErrorPct(*with_grid, g.FX, g.FY, exact, bound, &worst_direction);
    if (error > bound) continue;
    near.push_back({g, error});
    least = std::min(least, error);
  }
  const Scored* best = nullptr;
  for (const Scored& s : near) {
    if (s.error > least + kGridTiePoints) continue;
    if (!best || BetterOfTied(s.grid.FX, s.grid.FY, best->grid.FX, best->grid.FY, aspect)) {
      best = &s;
    }
  }
  if (best) {
    choice.best_FX = best->grid.FX;
    choice.best_FY = best->grid.FY;
    choice.best_error_pct = best->error;
  }
  return choice;
}

std::vector<GridChoice> ChooseBestGrids(const BrenmoorState& state, const CapacityOptions& options,
                                        Progress* progress) {
  const int count = state.imported_count;
  // Refuse before computing anything: the first refused record wins.
  for (int r = 1; r <= count; ++r) MakeCapacitySection(state, r, options);

  // Records with the same layout input (their names apart) have the same
  // choice: each is searched once, at its first record.
  auto key_of = [&](int r) {
    const TSECTION& s = state.records[static_cast<std::size_t>(r)];
    const float floats[] = {s.H, s.B, s.CC, s.ASX, s.ASY, s.ASCOR};
    const std::int32_t ints[] = {s.concrete_material, s.steel_material, s.NX, s.NY, s.FX, s.FY};
    std::string key(sizeof floats + sizeof ints, '\0');
    std::memcpy(key.data(), floats, sizeof floats);
    std::memcpy(key.data() + sizeof floats, ints, sizeof ints);
    return key;
  };
  std::vector<int> first_of(static_cast<std::size_t>(count) + 1);
  std::vector<int> unique;
  {
    std::map<std::string, int> first;
    for (int r = 1; r <= count; ++r) {
      const auto [at, inserted] = first.emplace(key_of(r), r);
      first_of[static_cast<std::size_t>(r)] = at->second;
      if (inserted) unique.push_back(r);
    }
  }

  // The progress counts the distinct sections searched: the copies take
  // no time.
  std::vector<GridChoice> results(static_cast<std::size_t>(count));
  ForEachPiece(unique.size(),
               {.piece = 1, .progress = progress, .step = "Searching the best grids"},
               [&](std::size_t first, std::size_t last) {
                 for (std::size_t i = first; i < last; ++i) {
                   const int r = unique[i];
                   results[static_cast<std::size_t>(r - 1)] = ChooseBestGrid(state, r, options);
                 }
               });
  for (int r = 1; r <= count; ++r) {
    const int first = first_of[static_cast<std::size_t>(r)];
    results[static_cast<std::size_t>(r - 1)] = results[static_cast<std::size_t>(first - 1)];
  }
  return results;
}

}  // namespace brenmoor
