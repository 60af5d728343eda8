#include "import/section_import.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "import/line_reader.h"
#include "import/number_text.h"
#include "import/split_line.h"
#include "import/stirrup_columns.h"
#include "model/fiber_layout.h"
#include "model/materials.h"
#include "model/parallel.h"
#include "platform/files.h"

namespace brenmoor {
namespace {

// The component file gives a section name 40 bytes; a longer one would shift
// every later field of its block.
constexpr std::size_t kMaxNameBytes = 40;

// The line number (the header is line 1) of the line holding bytes[offset],
// a byte that is no line end.
int LineNumberAt(std::string_view bytes, std::size_t offset) {
  LineReader reader(bytes);
  std::string_view line;
  int number = 0;
  while (reader.Next(line)) {
    ++number;
    if (static_cast<std::size_t>(line.data() + line.size() - bytes.data()) > offset) break;
  }
  return number;
}

// The number of lines LineReader hands out: one per line end (CR, LF, or the
// pair CR LF), and one more for a last line without an end. A plain count,
// faster than finding the lines one by one.
std::int64_t CountLines(std::string_view bytes) {
  if (bytes.empty()) return 0;
  std::int64_t ends = bytes[0] == '\r' || bytes[0] == '\n';
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    ends += bytes[i] == '\r' || (bytes[i] == '\n' && bytes[i - 1] != '\r');
  }
  return ends + (bytes.back() == '\r' || bytes.back() == '\n' ? 0 : 1);
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted += ShortenedForMessage(text);
  quoted += '"';
  return quoted;
}

// Refuses a section whose sizes no column can have: the formulas would give
// negative areas, shear areas and torsion constants, or divide by zero, and
// the analysis model would take them without a word. A zero bar area stays
// allowed: a face without bars.
void CheckSizes(const TSECTION& section, char decimal_separator) {
  const auto text = [decimal_separator](float value) {
    return FormatGridNumber(value, decimal_separator);
  };
  const struct {
    const char* title;
    float value;
    const char* what;
  } values[] = {{"H", section.H, "a size"},      {"B", section.B, "a size"},
                {"CC", section.CC, "a cover"},   {"ASX", section.ASX, "an area"},
                {"ASY", section.ASY, "an area"}, {"ASCOR", section.ASCOR, "an area"}};
  for (const auto& value : values) {
    if (value.value < 0.0f) {
      throw Error("Section " + Quoted(section.NAME) + " has " + value.title + " = " +
                  text(value.value) + "; " + value.what + " cannot be negative");
    }
  }
  // The torsion constant of a section without any size is 0 / 0.
  if (section.H == 0.0f && section.B == 0.0f) {
    throw Error("Section " + Quoted(section.NAME) + " has H = 0 and B = 0");
  }
  if (section.H == 0.0f || section.B == 0.0f) {
    throw Error("Section " + Quoted(section.NAME) + " has " + (section.H == 0.0f ? "H" : "B") +
                " = 0; a side cannot be 0");
  }
  // The corner bars would sit on or beyond the centre line, and the cells
  // between them would have no size or a negative one.
  if (2.0L * section.CC >= std::min(section.H, section.B)) {
    throw Error("Section " + Quoted(section.NAME) + ": CC = " + text(section.CC) +
                " reaches the centre of a " + text(section.H) + " × " + text(section.B) +
                " section");
  }
}

// Fills one record from one data line. The values are converted in the order
// H, B, FX, FY, NX, NY, ASX, ASY, ASCOR, CC, so a line with several bad values
// reports the first of them; only then are the section's limits checked.
// column is left naming the cell a conversion or a material name failed on,
// and empty for the checks of the whole section.
void ReadSection(const BrenmoorState& state, const LineFields& field, char decimal_separator,
                 TSECTION& section, const char*& column) {
  section.kind = kRectangularColumn;
  section.NAME = field[0];
  const std::optional<std::int32_t> concrete = FindMaterial(state, field[1]);
  const std::optional<std::int32_t> steel = FindMaterial(state, field[2]);
  const auto real = [&](const char* title, int index) {
    column = title;
    return TextToFloat(field[index], decimal_separator);
  };
  const auto count = [&](const char* title, int index) {
    column = title;
    return TextToInt(field[index]);
  };
  section.H = real("H", 3);
  section.B = real("B", 4);
  section.FX = count("FX", 5);
  section.FY = count("FY", 6);
  section.NX = count("NX", 7);
  section.NY = count("NY", 8);
  section.ASX = real("ASX", 9);
  section.ASY = real("ASY", 10);
  section.ASCOR = real("ASCOR", 11);
  section.CC = real("CC", 12);

  // An unknown name would silently become "C30" and put the wrong material
  // into the engineer's model.
  column = "CONC";
  if (!concrete)
    throw Error("'" + ShortenedForMessage(field[1]) + "' is not a valid material name");
  column = "STEEL";
  if (!steel) throw Error("'" + ShortenedForMessage(field[2]) + "' is not a valid material name");
  column = "";
  section.concrete_material = *concrete;
  section.steel_material = *steel;

  const struct {
    const char* title;
    std::int32_t value;
  } counts[] = {{"FX", section.FX}, {"FY", section.FY}, {"NX", section.NX}, {"NY", section.NY}};
  for (const auto& count : counts) {
    if (count.value < 0) {
      throw Error("Section " + Quoted(section.NAME) + " has " + count.title + " = " +
                  std::to_string(count.value) + "; a count cannot be negative");
    }
  }
  const std::int64_t fibers = FiberCountOf(section);
  if (fibers > kMaxFibers) {
    throw Error("Section " + Quoted(section.NAME) + " needs " + std::to_string(fibers) +
                " fibers; at most " + std::to_string(kMaxFibers) + " are allowed");
  }
  if (section.NAME.size() > kMaxNameBytes) {
    throw Error("Section name " + Quoted(section.NAME) + " is " +
                std::to_string(section.NAME.size()) + " bytes long; at most " +
                std::to_string(kMaxNameBytes) + " are allowed");
  }
  CheckSizes(section, decimal_separator);
}

}  // namespace

void CancelImport(BrenmoorState& state) {
  BuildMaterialTable(state);
  state.imported_count = 0;
  state.warnings.clear();
  state.stirrup_columns = false;
  state.stirrup_problems.clear();
}

namespace {

// Sections whose material columns look swapped, a common slip when columns
// are reordered in a spreadsheet. Steel as the concrete may be intended (a
// steel section modelled as cells), so it converts as it always did; the
// engineer is told.
std::vector<TableWarning> SwappedMaterialWarnings(const BrenmoorState& state,
                                                  const std::vector<TSECTION>& records) {
  std::vector<TableWarning> warnings;
  for (std::size_t r = 1; r < records.size(); ++r) {
    const TSECTION& s = records[r];
    const int line = static_cast<int>(r) + 1;
    const SwappedMaterials swapped = MaterialsLookSwapped(state, s);
    if (swapped.steel_as_concrete) {
      warnings.push_back({line, "Section " + Quoted(s.NAME) + " has the steel \"" +
                                    MaterialName(state, s.concrete_material) +
                                    "\" as its concrete; check the CONC column"});
    }
    if (swapped.concrete_as_bars) {
      warnings.push_back({line, "Section " + Quoted(s.NAME) + " has the concrete \"" +
                                    MaterialName(state, s.steel_material) +
                                    "\" as its bars; check the STEEL column"});
    }
  }
  return warnings;
}

}  // namespace

namespace {

void ImportLines(BrenmoorState& state, std::string_view bytes, char decimal_separator,
                 const std::string& file, Progress* progress) {
  if (const void* zero = std::memchr(bytes.data(), '\0', bytes.size())) {
    const auto offset = static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data());
    throw ImportError(
        "The table holds a zero byte and is probably saved in a 16-bit encoding such as "
        "UTF-16; save it as plain text or UTF-8",
        file, LineNumberAt(bytes, offset));
  }
  // The lines are independent, so they are read on every core, in pieces;
  // the error reported is that of the first line that fails, as if they
  // were read in order. One pass finds where each piece begins (a table of
  // every line would cost more memory than the table itself); the lines of
  // a table too large are only counted, for the message.
  constexpr std::size_t kLinesPerPiece = 1024;
  std::vector<std::size_t> piece_starts;  // the offset of line piece * kLinesPerPiece + 2
  std::int64_t lines_total = 0;
  LineReader reader(bytes);
  for (std::string_view line; lines_total <= kMaxSections + 1; ++lines_total) {
    const std::size_t start = reader.position();
    if (!reader.Next(line)) break;
    if (lines_total % kLinesPerPiece == 1) piece_starts.push_back(start);
  }
  if (lines_total > kMaxSections + 1) lines_total = CountLines(bytes);
  const std::int64_t count = lines_total > 0 ? lines_total - 1 : 0;
  if (count > kMaxSections) {
    throw ImportError("The table holds " + std::to_string(count) + " sections; at most " +
                          std::to_string(kMaxSections) + " are allowed",
                      file, 0);
  }

  // The header is read only for the optional stirrup columns.
  std::vector<StirrupProblem> stirrup_problems;
  StirrupColumns stirrup_columns;
  if (std::string_view header; LineReader(bytes).Next(header)) {
    LineFields fields;
    SplitFields(header, fields);
    stirrup_columns = FindStirrupColumns(fields, stirrup_problems);
  }
  // Each piece keeps its own lines' stirrup problems, in line order.
  std::vector<std::vector<StirrupProblem>> piece_problems(piece_starts.size());

  std::vector<TSECTION> records(static_cast<std::size_t>(count) + 1);
  // Item j is record j + 1, the table's line j + 2.
  ForEachPiece(static_cast<std::size_t>(count),
               {.piece = kLinesPerPiece, .progress = progress, .step = "Reading sections"},
               [&](std::size_t first, std::size_t last) {
                 LineFields fields;
                 LineReader lines(bytes.substr(piece_starts[first / kLinesPerPiece]));
                 std::vector<StirrupProblem>& problems = piece_problems[first / kLinesPerPiece];
                 std::string_view line;
                 for (std::size_t i = first + 1; i <= last && lines.Next(line); ++i) {
                   const int line_number = static_cast<int>(i) + 1;
                   const char* column = "";
                   bool split = false;
                   try {
                     SplitFields(line, fields);
                     split = true;
                     ReadSection(state, fields, decimal_separator, records[i], column);
                   } catch (const Error& error) {
                     throw ImportError(error.what(), file, line_number,
                                       split ? ShortenedForMessage(fields[0]) : std::string(),
                                       column);
                   }
                   records[i].stirrups = ReadStirrups(fields, stirrup_columns, records[i],
                                                      line_number, decimal_separator, problems);
                 }
               });
  for (std::vector<StirrupProblem>& problems : piece_problems) {
    for (StirrupProblem& problem : problems) stirrup_problems.push_back(std::move(problem));
  }
  state.stirrup_columns = stirrup_columns.named;
  state.stirrup_problems = std::move(stirrup_problems);
  state.warnings = SwappedMaterialWarnings(state, records);
  state.records = std::move(records);
  state.imported_count = static_cast<std::int32_t>(count);
  state.table = file;
}

}  // namespace

namespace {

// What a cancelled import gives back besides the records, which it never
// touched: the table imported before, with what was found of it.
struct TableFindings {
  explicit TableFindings(const BrenmoorState& state)
      : imported_count(state.imported_count),
        warnings(state.warnings),
        stirrup_columns(state.stirrup_columns),
        stirrup_problems(state.stirrup_problems) {}
  void RestoreTo(BrenmoorState& state) {
    state.imported_count = imported_count;
    state.warnings = std::move(warnings);
    state.stirrup_columns = stirrup_columns;
    state.stirrup_problems = std::move(stirrup_problems);
  }
  std::int32_t imported_count;
  std::vector<TableWarning> warnings;
  bool stirrup_columns;
  std::vector<StirrupProblem> stirrup_problems;
};

}  // namespace

void ImportSectionTable(BrenmoorState& state, std::string_view bytes, char decimal_separator,
                        const std::string& file, Progress* progress) {
  // From here on every way out leaves what a refused import leaves; the
  // records are replaced only once the whole table has been read, so a
  // cancel needs only the count and the findings back: without them an
  // analysis would take the earlier table's stirrups unchecked.
  TableFindings previous(state);
  CancelImport(state);
  try {
    ImportLines(state, bytes, decimal_separator, file, progress);
  } catch (const Cancelled&) {
    previous.RestoreTo(state);
    throw;
  }
}

void ImportSectionFile(BrenmoorState& state, const std::string& path, char decimal_separator,
                       Progress* progress, std::string* bytes_read) {
  TableFindings previous(state);
  CancelImport(state);
  std::string bytes;
  try {
    // A zero byte refuses the table, so nothing after it is read: reading
    // /dev/zero or a disk image ends at once.
    // "-" is standard input, as for every program that reads a file.
    bytes = path == "-" ? ReadStandardInput(ReadLimits{.stop_at_zero = true})
                        : ReadWholeFile(PathFromUtf8(path), ReadLimits{.stop_at_zero = true});
  } catch (const Error& e) {
    throw ImportError(e.what(), path, 0);
  }
  previous.RestoreTo(state);
  ImportSectionTable(state, bytes, decimal_separator, path, progress);
  if (bytes_read != nullptr) *bytes_read = std::move(bytes);
}

}  // namespace brenmoor
