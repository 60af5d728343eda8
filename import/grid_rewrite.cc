#include "import/grid_rewrite.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>

#include "import/line_reader.h"
#include "import/split_line.h"
#include "model/errors.h"

namespace brenmoor {
namespace {

// Where the FX and FY columns are in the fields SplitFields gives, the row
// number column left out: NAME, CONC, STEEL, H, B, FX, FY, ...
constexpr std::size_t kFxField = 5;
constexpr std::size_t kFyField = 6;

}  // namespace

std::string RewriteGrids(std::string_view table, std::vector<GridChange> changes) {
  std::sort(changes.begin(), changes.end(),
            [](const GridChange& a, const GridChange& b) { return a.record < b.record; });
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const GridChange& c = changes[i];
    if (i > 0 && changes[i - 1].record == c.record) {
      throw Error("Section " + std::to_string(c.record) + " is given two new grids");
    }
    if (c.record < 1) {
      throw Error("The table has no section " + std::to_string(c.record) +
                  " whose grid could be rewritten");
    }
    if (c.FX < 0 || c.FY < 0) {
      throw Error("A grid of " + std::to_string(c.FX) + " × " + std::to_string(c.FY) +
                  " cells cannot be written");
    }
  }

  std::string out;
  out.reserve(table.size() + 8 * changes.size());
  std::size_t copied = 0;  // table[0, copied) is in out
  LineReader reader(table);
  std::string_view line;
  LineFields fields;
  int line_number = 0;
  auto change = changes.begin();
  while (change != changes.end() && reader.Next(line)) {
    ++line_number;
    if (line_number != change->record + 1) continue;
    SplitFields(line, fields);
    const struct {
      std::string_view field;
      int value;
    } replaced[] = {{fields[kFxField], change->FX}, {fields[kFyField], change->FY}};
    for (const auto& r : replaced) {
      // A field the line does not have is an empty view of no line at all.
      const std::less<const char*> before;
      if (before(r.field.data(), line.data()) ||
          before(line.data() + line.size(), r.field.data())) {
        throw Error("Line " + std::to_string(line_number) +
                    " of the table has no FX and FY fields to rewrite");
      }
      const auto begin = static_cast<std::size_t>(r.field.data() - table.data());
      out.append(table.substr(copied, begin - copied));
      out += std::to_string(r.value);
      copied = begin + r.field.size();
    }
    ++change;
  }
  if (change != changes.end()) {
    throw Error("The table has no section " + std::to_string(change->record) +
                " whose grid could be rewritten");
  }
  out.append(table.substr(copied));
  return out;
}

}  // namespace brenmoor
