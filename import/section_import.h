#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "model/errors.h"
#include "model/progress.h"
#include "model/state.h"

namespace brenmoor {

// Most sections one component file can number (the number is an int16).
inline constexpr int kMaxSections = 32767;
// What a cancelled import leaves: the material table rebuilt and nothing
// imported (count 0); the records are not touched.
void CancelImport(BrenmoorState& state);

// Imports a section table from its bytes. Lines end at CR, LF or CR LF; the
// first line is a header and is skipped; each further line becomes records
// 1, 2, ... (columns NAME, CONC, STEEL, H, B, FX, FY, NX, NY, ASX, ASY, ASCOR,
// CC after the row number column, converted in the order H, B, FX, FY, NX,
// NY, ASX, ASY, ASCOR, CC). The table is refused whole, with the line it
// failed on, when a value does not convert, a material name is unknown, a
// count is negative, a section needs more than 60 fibers, a NAME is longer
// than 40 bytes, H, B, CC, ASX, ASY or ASCOR is negative, H or B is 0, CC
// is half the smaller side or more, it holds more than 32767 sections or a
// zero byte. Then the state is as after CancelImport and ImportError is
// thrown (line 0 for too many sections, which no single line causes); on
// success records, count, material table and the table's name (file) are
// replaced. The header is read only for the optional stirrup columns
// (import/stirrup_columns.h): their values never refuse the table here, the
// state records what of them cannot be used. The value checks
// come after all ten conversions of a line, so a bad number is reported
// before an unknown material on the same line. file names the table in errors.
// With a progress, counts the lines read; when it is cancelled, Cancelled is
// thrown and the table imported before is kept as it was.
void ImportSectionTable(BrenmoorState& state, std::string_view bytes, char decimal_separator,
                        const std::string& file, Progress* progress = nullptr);

// Reads the file at path (UTF-8) whole and imports it as above. A file that
// cannot be read throws ImportError("Cannot open file \"<full path>\". <reason>", path, 0)
// with the state as after CancelImport. With bytes_read, the bytes imported
// are kept there: what reads a table once (a pipe can be read only once)
// and works on its bytes again.
void ImportSectionFile(BrenmoorState& state, const std::string& path, char decimal_separator,
                       Progress* progress = nullptr, std::string* bytes_read = nullptr);

}  // namespace brenmoor
