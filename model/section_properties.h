#pragma once

#include <cstddef>

#include "model/errors.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// Computes the elastic properties of a section whose fibers were just laid
// out, from the material table of the last import:
//  - shear modulus E / 2.4 of the concrete entry (13125 for "C35");
//  - both shear areas (5/6 · B) · H (208333.33 for 500 × 500);
//  - the torsion constant of the solid rectangle, with a = max(B, H)/2 and
//    b = min(B, H)/2 each rounded to float32:
//      J = (16/3 - (1 - (b·b)·(b·b)/12 / ((a·a)·(a·a))) · ((b/a) · 3.36)) · ((b·(b·b)) · a)
//    evaluated in that grouping (8802083840 for 500 × 500);
//  - the area, area·x² and area·y² sums of the concrete and of the steel
//    fibers, each a float32 running sum rounded after every addition, in slot
//    order, with every term formed as (area · coordinate) · coordinate.
// 5/6, 16/3, 2.4 and 3.36 are extended-precision constants; every result is
// rounded once to float32.
// Throws "Invalid floating point operation" for B = H = 0 (the torsion series
// divides 0 by 0); the torsion constant and the sums then keep their earlier
// values. One side 0 gives shear areas and torsion constant 0, no error.
void ComputeSectionProperties(const BrenmoorState& state, TSECTION& section);

// For records 1 to the imported-section count: LayoutFibers and then
// ComputeSectionProperties on each record of kind 1, on every core (the
// sections are independent); records of another kind are left alone. Throws
// the error of the lowest record that fails, as SectionError gives it; the
// records before it are then complete. With a progress, counts the sections
// computed and stops with Cancelled when asked to.
void PrepareSections(BrenmoorState& state, Progress* progress = nullptr);

// Every section computed before a byte is written, where written bytes
// cannot be taken back (the component file sent to standard output): for
// every record of kind 1, its fibers are laid out in a scratch section and
// its properties computed exactly as PrepareSections does, on every core (the
// sections are independent); the record keeps its fiber count and its
// properties, but not its fibers. Records of another kind are left alone.
// Throws the error PrepareSections would throw first (that of the lowest
// record that fails); the records before it are then complete. With a
// progress, counts the sections computed and stops with Cancelled when asked
// to.
void ComputeSections(BrenmoorState& state, Progress* progress = nullptr);

// A copy of the imported sections of state, prepared exactly as the generate
// command prepares them before writing (PrepareSections): record i of the
// copy holds the values the component file gets for section i, its fibers
// included. state itself is not changed. Throws what PrepareSections
// throws; with a progress, counts the sections and stops with Cancelled when
// asked to.
BrenmoorState PreparedCopy(const BrenmoorState& state, Progress* progress = nullptr);

// An error met while computing record (a value that overflows only in the
// arithmetic, say) as the engineer can find it in the table: the section's
// name in the message, the table and the record's line (record + 1, the
// header being line 1) in the ImportError, which every command prints as
// "TABLE:LINE: message" and the window as "Line N of <file>". Every
// computation over the sections reports its errors through this.
// Example: "Section \"HUGE\": Floating point overflow" on line 4.
ImportError SectionError(const BrenmoorState& state, std::size_t record, const Error& error);

}  // namespace brenmoor
