#pragma once

#include <vector>

#include "capacity/capacity.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// ---- The best concrete grid within the file's 60 fibers ---------------------
// A section's fibers are 2·NX + 2·NY + 4 bars and FX·FY cells, at most 60 in
// all, so its grids are FX, FY ≥ 1 with FX·FY ≤ 60 − (2·NX + 2·NY + 4) (the
// cell budget). A grid's error is the worst of its fiber errors about x and
// about y (AxisCapacity::fiber_error_pct) and biaxial
// (BiaxialFigures::fiber_error_pct at the options' axial ratio), each exactly
// the figure those functions give for the section laid out with that grid;
// for a section that cannot carry the axial load, the worst of the errors
// about x and y alone. Every grid within kGridTiePoints of the smallest
// error counts as equally good (differences finer than the file's float
// areas, or the rounding between a square section's FX × FY and FY × FX,
// are worth no fibers), and of those the best has the fewest cells, then
// FX/FY closest to B/H (by |ln(FX·H / (FY·B))|), then the smaller FX.
//
// Examples, examples/sample.csv at r = 0.3: KZ1 (500 × 500, 6 × 6 cells,
// NX = NY = 5: a budget of 36 cells) has the error 0.954 % (about x and y;
// biaxial 0.761 %) and no grid does better; KZ2 (B = 400, H = 600, 4 × 6
// cells, a budget of 42) goes from 2.85 % to 1.08 % with 7 × 6.

// The change worth making: the best error lower than the current one by
// more than this many percentage points.
inline constexpr double kGridImprovementPoints = 0.01;
// Grids whose errors lie within this many percentage points of each other
// are equally good.
inline constexpr double kGridTiePoints = 0.001;

enum class GridVerdict {
  kSearched,     // the best grid was searched for
  kNoRoom,       // the bars leave no cell: 2·NX + 2·NY + 4 ≥ 60
  kCannotCarry,  // N of the axial ratio is below Nt or above N0: searched for
                 // on the errors about x and y alone, there being no biaxial one
};

struct GridChoice {
  GridVerdict verdict = GridVerdict::kSearched;
  bool biaxial = true;           // whether the errors take in the biaxial one
  int FX = 0, FY = 0;            // the section's own grid
  double error_pct = 0.0;        // its error
  int best_FX = 0, best_FY = 0;  // the best grid; the section's own for kNoRoom
  double best_error_pct = 0.0;   // its error
  // Whether the best grid is worth the change (kGridImprovementPoints).
  bool Improves() const {
    return verdict != GridVerdict::kNoRoom && error_pct - best_error_pct > kGridImprovementPoints;
  }
};

// The best grid of record `record` (1 .. imported_count) of an imported
// table. Throws CapacityRefusal as MakeCapacitySection does. A grid whose
// cell area overflows a float (a huge section cut in few cells) is left out.
// It spends its time on the few grids that could win: the exact figures are
// computed once, the coarser axis of a grid is tried first, and a grid is
// dropped as soon as one of its errors exceeds the best so far. About 1 ms
// for a section of 60 fibers, against some 40 ms for every grid in full.
GridChoice ChooseBestGrid(const BrenmoorState& state, int record, const CapacityOptions& options);

// Every imported section's (result [r − 1] for record r), on every core.
// Sections with the same material, sizes, bars and grid are searched once.
// Refuses as ComputeCapacityTable does, before computing anything; with a
// progress, counts the sections ("Searching the best grids") and stops with
// Cancelled when asked to.
std::vector<GridChoice> ChooseBestGrids(const BrenmoorState& state, const CapacityOptions& options,
                                        Progress* progress = nullptr);

}  // namespace brenmoor
