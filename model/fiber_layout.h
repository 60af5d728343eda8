#pragma once

#include <cstdint>

#include "model/section.h"

namespace brenmoor {

// Lays out the fibers of one section from its input fields and sets its fiber
// count n = 2·NX + 2·NY + FX·FY + 4. Slots, counted from 1:
//   1 .. NX                X bars of the face at +y, from -x to +x
//   NX+1 .. 2·NX           X bars of the face at -y
//   2·NX+1 .. 2·NX+NY      Y bars of the face at -x, from -y to +y
//   .. 2·NX+2·NY           Y bars of the face at +x
//   next four              corner bars (-dx,-dy), (+dx,+dy), (+dx,-dy), (-dx,+dy)
//   the rest               FY rows (from -y) of FX concrete cells (from -x)
// with dx = B/2 - CC and dy = H/2 - CC. A group whose count is 0 is left out
// (and divides by nothing); the corner bars are always there.
//
// Every coordinate and area is computed in extended precision in one fixed
// order and rounded once to float32: a bar at (((B - CC·2) / (NX + 1)) · k) - dx,
// a cell at -(B/2 - w/2) + w·(c - 1) with w = B / FX, a cell area of
// (B / FX) · (H / FY). Example: H = B = 500, CC = 40, NX = NY = 5,
// FX = FY = 6 gives 60 fibers, slot 1 at (-140, 210) with area ASX / 5.
//
// The section must be within the limits the import enforces: counts of 0 or
// more and n <= 60. Slots above n keep what they held.
void LayoutFibers(TSECTION& section);

// The fiber count LayoutFibers gives a section, 2·NX + 2·NY + FX·FY + 4,
// from its counts alone, in 64 bits so that no count the table can hold
// overflows it; -1 when a count is negative. What the import checks against
// the 60 slots and what the writer plans the file's offsets with.
std::int64_t FiberCountOf(const TSECTION& section);

}  // namespace brenmoor
