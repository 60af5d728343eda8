// The grid's cell texts of an imported table.
#include "ui/grid_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/section_import.h"

namespace brenmoor {
namespace {

using Cells = std::vector<std::string>;

constexpr char kHeader[] = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC";
constexpr char kGood[] = "1,C1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40";

std::string Table(const Cells& lines) {
  std::string bytes = kHeader;
  for (const std::string& line : lines) bytes += "\n" + line;
  return bytes;
}

Cells GridRow(const BrenmoorState& state, int row) {
  Cells cells;
  for (int column = 0; column < kGridColumns; ++column) {
    cells.push_back(GridCellText(state, column, row, ','));
  }
  return cells;
}

TEST(ImportSectionTable, FillsRecordsAndGrid) {
  BrenmoorState state;
  ImportSectionTable(
      state,
      Table({kGood, "2,KZ2,C45,C80,452.4,0.1,$10,0,x2,0,0.000001,0,0,0.03125",
             "3," + std::string(40, 'N') + ",STEEL,STEEL,2.5,400,0,0,0,0,1e16,1,1,1"}),
      ',', "t.csv");
  ASSERT_EQ(state.imported_count, 3);
  ASSERT_EQ(state.records.size(), 4u);
  const struct {
    int row;
    Cells cells;
  } rows[] = {
      {0,
       {"NUM", "NAME", "CONC", "STEEL", "H", "B", "FX", "FY", "NX", "NY", "ASX", "ASY", "ASCOR",
        "CC"}},
      {1,
       {"1", "C1", "C35", "STEEL", "500", "500", "6", "6", "5", "5", "1000", "1000", "490", "40"}},
      {2,
       {"2", "KZ2", "C45", "C80", "452,399993896484", "0,100000001490116", "16", "0", "2", "0",
        "9,99999997475243E-7", "0", "0", "0,03125"}},
      {3,
       {"3", std::string(40, 'N'), "STEEL", "STEEL", "2,5", "400", "0", "0", "0", "0",
        "1,00000002725642E16", "1", "1", "1"}},
      {4, Cells(kGridColumns)},
      {-1, Cells(kGridColumns)},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(GridRow(state, r.row), r.cells);
  }
  EXPECT_EQ(state.records[1].steel_material, 11);
}

TEST(ImportSectionTable, ShorterReimportShrinksTheRecords) {
  BrenmoorState state;
  ImportSectionTable(state, Table({kGood, kGood, kGood}), '.', "");
  ImportSectionTable(state, Table({"1,KZ9,C80,STEEL,300,200,2,2,1,1,10,20,30,25"}), '.', "");
  EXPECT_EQ(state.imported_count, 1);
  ASSERT_EQ(state.records.size(), 2u);
  EXPECT_EQ(GridRow(state, 1), (Cells{"1", "KZ9", "C80", "STEEL", "300", "200", "2", "2", "1", "1",
                                      "10", "20", "30", "25"}));
}

// A table with stirrup columns shows them after CC; a section without
// usable stirrups leaves them empty.
TEST(GridCellText, ShowsTheStirrupColumnsOfATableThatHasThem) {
  BrenmoorState state;
  ImportSectionTable(state,
                     std::string(kHeader) +
                         ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y\n"
                         "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,12.7,100,4,3\n"
                         "2,KZ2,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,10,8,4,4",
                     ',', "t.csv");
  ASSERT_EQ(GridColumnCount(state), kGridColumns + 4);
  const struct {
    int row;
    Cells cells;
  } rows[] = {{0, {"STIRRUP_D", "STIRRUP_S", "LEGS_X", "LEGS_Y", ""}},
              {1, {"12,7", "100", "4", "3", ""}},
              {2, {"", "", "", "", ""}}};
  for (const auto& r : rows) {
    Cells cells;
    for (int column = kGridColumns; column <= kGridColumns + 4; ++column) {
      cells.push_back(GridCellText(state, column, r.row, ','));
    }
    EXPECT_EQ(cells, r.cells);
  }
}

}  // namespace
}  // namespace brenmoor
