#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "capacity/capacity.h"
#include "model/state.h"

namespace brenmoor {

// The capacity figures of an imported table as CSV for a spreadsheet, in the
// form of the properties CSV: UTF-8 with a byte order mark, fields separated
// by commas, '.' as the decimal separator whatever the regional settings,
// names as the window shows them and always quoted, lines ending in CR LF.
// Numbers have 6 significant digits (kN, kN·m, percent). The header is
//   No,NAME,axis,N0,Nt,Nb,Mb,M0,fiber_M0,fiber_error_pct
// then one line per section and axis, x before y. figures[r − 1] belongs to
// record r. Example: 1,"KZ1",x,6320.6,-2145.6,2172.13,592.438,441.8,441.089,0.953...
std::string CapacityCsv(const BrenmoorState& state, const std::vector<SectionCapacity>& figures);

// Every point of both models' interaction curves instead, on every core,
// written through write as it is made (a few pieces of sections held at a
// time, whatever the table's size):
//   No,NAME,axis,model,N,M
// per section the curves about x and then y, each exact then fiber, each in
// path order (see InteractionCurve). Throws CapacityRefusal as
// ComputeCapacityTable does, before anything is computed or written. With a
// progress, counts the sections done ("Computing interaction curves") and
// stops with Cancelled when asked to; whatever write throws stops it too.
void WriteCapacityCurvesCsv(const BrenmoorState& state, const CapacityOptions& options,
                            const std::function<void(std::string_view)>& write,
                            Progress* progress = nullptr);

// The lines of record `record` in that CSV.
std::string CapacityCurveRows(const BrenmoorState& state, int record,
                              const CapacityOptions& options);

// A figure as the CSV writes it: 6 significant digits, exponent form only
// where %g would choose it, never "-0". Example: -2145.6 -> "-2145.6".
std::string CapacityCsvNumber(double value);

}  // namespace brenmoor
