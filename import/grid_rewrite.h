#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brenmoor {

// A new concrete grid for record `record` (1 .. the table's section count)
// of a section table.
struct GridChange {
  int record = 0;
  int FX = 0;
  int FY = 0;
};

// The bytes of a section table with the FX and FY fields of the changed
// records rewritten and every other byte kept: the header, the other fields,
// the separators and blanks around the fields, the line ends (CR, LF or
// CR LF, mixed or not), a last line without a line end, and the encoding
// (bytes 0x80 and up are only copied). Record r is line r + 1 (the header is
// line 1), lines as the import counts them, and FX and FY are the fields
// SplitFields finds 6th and 7th after the row number column: the text
// between their separators less the blanks around it is replaced by the new
// value in decimal digits. So importing the result gives the same records
// with the new FX and FY.
// Example: "N,NAME,...\r\n1,KZ2,C30,STEEL,600,400, 4 ,6,3,4,600,800,314,40\r\n"
// with {1, 7, 6} gives "...,600,400, 7 ,6,3,..." and the same header and CR LF.
// Throws Error when a record is not a line of the table, its line has no
// FX or FY field, a record is given twice, or FX or FY is negative.
std::string RewriteGrids(std::string_view table, std::vector<GridChange> changes);

}  // namespace brenmoor
