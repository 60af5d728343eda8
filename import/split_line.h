#pragma once

#include <array>
#include <string>
#include <string_view>

namespace brenmoor {

// How many fields one split table line can hold.
inline constexpr int kFieldCount = 40;

// The trimmed fields of one split line, as texts of their own.
using FieldArray = std::array<std::string, kFieldCount>;

// Splits one table line (without its line end) into fields, clearing all
// 40 entries first. Four bytes end a field: ',' '=' '"' and the blank; a blank
// directly after the previous field end is not a field end, so ", " is one
// separator and " ," two. Quotation marks group nothing. The text before the
// first field end (the row number column) is dropped, so fields[0] is the
// line's second column. Each field is trimmed of leading and trailing bytes
// <= 0x20; bytes >= 0x80 are ordinary bytes.
// Example: "1,C1,C35,STEEL,500" gives "C1", "C35", "STEEL", "500".
//          "1, C1 ,C35" gives "C1", "", "C35".
// A line with more than 38 field ends keeps its first 38 fields (entries 0 to
// 37); the rest are dropped.
void SplitLine(FieldArray& fields, std::string_view line);

// The same split into views of line, for a caller that keeps no copies: the
// import, which splits 32,767 lines on several threads at once.
using LineFields = std::array<std::string_view, kFieldCount>;
void SplitFields(std::string_view line, LineFields& fields);

}  // namespace brenmoor
