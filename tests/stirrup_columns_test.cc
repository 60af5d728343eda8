// The optional stirrup columns: found by name, read per line, and what
// cannot be used recorded for the analysis to refuse and convert to warn of,
// never refusing the table at import.
#include "import/stirrup_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/section_import.h"
#include "tests/varied_table.h"

namespace brenmoor {
namespace {

constexpr char kHeader[] = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC";
// KZ1 of the sample: 500 × 500, CC 40, five bars a face, corner bars of 490.
constexpr char kKZ1[] = "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40";

// Each problem as "line|section|column".
std::vector<std::string> Places(const BrenmoorState& state) {
  std::vector<std::string> places;
  for (const StirrupProblem& p : state.stirrup_problems) {
    places.push_back(std::to_string(p.line) + "|" + p.section + "|" + p.column);
  }
  return places;
}

TEST(StirrupColumns, FoundByNameAfterTheTableColumns) {
  const std::string all = ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y";
  const struct {
    std::string header_tail, line_tail;
    std::optional<Stirrups> stirrups;
    std::vector<std::string> places;
  } cases[] = {
      {"", ",10,100,4,4", std::nullopt, {}},  // read as before
      {all, ",10,100,4,3", Stirrups{10, 100, 4, 3}, {}},
      {",legs_y,Stirrup_S,NOTE,LEGS_X,stirrup_d", ",3,150,x,4,12.7", Stirrups{12.7, 150, 4, 3}, {}},
      {all, ",,, ,", std::nullopt, {}},  // no stirrups
      {",STIRRUP_D,STIRRUP_S,LEGS_X", ",10,100,4", std::nullopt, {"1||LEGS_Y"}},
      {all + ",STIRRUP_D", ",10,100,4,4,10", std::nullopt, {"1||STIRRUP_D"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header_tail + " / " + c.line_tail);
    BrenmoorState state;
    ImportSectionTable(state, kHeader + c.header_tail + "\n" + kKZ1 + c.line_tail, '.', "t.csv");
    ASSERT_EQ(state.imported_count, 1);
    EXPECT_EQ(TableHasStirrups(state), !c.header_tail.empty());
    EXPECT_EQ(state.records[1].stirrups, c.stirrups);
    EXPECT_EQ(Places(state), c.places);
  }
}

// A line's four stirrup fields; refused ones name the columns to fix.
TEST(StirrupColumns, RefusesWhatTheAnalysisCannotUse) {
  // KZ1: d_cor = √(4·490/π) = 24.978 mm, so a hoop fits while
  // a = 40 − 12.489 − d_s/2 > 0, that is d_s < 55.02 mm.
  // S, 100 × 100, CC 40, corner bars of 490, hoop of 6: a = 24.511,
  // bc·dc = (100 − 2a)² = 2598.8; the corners' 4·490 = 1960 leave room,
  // NX = 1 with ASX = 400 adds 800 and fills it; with NX = 0 ASX counts not.
  const std::string kz1 = kKZ1;
  const struct {
    std::string line;
    std::optional<Stirrups> stirrups;
    std::vector<std::string> columns;
  } cases[] = {
      {kz1 + ",10,100,4.0,7", Stirrups{10, 100, 4, 7}, {}},  // 7 = NX + 2 bars to hold
      {kz1 + ",10,,4,", std::nullopt, {"STIRRUP_S and LEGS_Y"}},
      {kz1 + ",ten,100,4,4", std::nullopt, {"STIRRUP_D"}},
      {kz1 + ",10,-100,4,4", std::nullopt, {"STIRRUP_S"}},
      {kz1 + ",10,100,2.5,4", std::nullopt, {"LEGS_X"}},
      {kz1 + ",10,100,4,1", std::nullopt, {"LEGS_Y"}},
      {kz1 + ",10,100,8,4", std::nullopt, {"LEGS_X"}},  // more than NY + 2 = 7
      {kz1 + ",10,10,4,4", std::nullopt, {"STIRRUP_S"}},
      {kz1 + ",55,100,4,4", Stirrups{55, 100, 4, 4}, {}},
      {kz1 + ",56,100,4,4", std::nullopt, {"STIRRUP_D"}},
      {"1,S,C30,STEEL,100,100,2,2,1,0,400,0,490,40,6,50,2,2", std::nullopt, {"STIRRUP_D"}},
      {"1,S,C30,STEEL,100,100,2,2,0,0,400,0,490,40,6,50,2,2", Stirrups{6, 50, 2, 2}, {}},
  };
  const std::string header = std::string(kHeader) + ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    BrenmoorState state;
    ImportSectionTable(state, header + c.line, '.', "t.csv");
    EXPECT_EQ(state.records[1].stirrups, c.stirrups);
    std::vector<std::string> columns;
    for (const StirrupProblem& p : state.stirrup_problems) columns.push_back(p.column);
    EXPECT_EQ(columns, c.columns);
  }
}

TEST(RefuseBadStirrups, NamesEveryLineSectionAndColumnOnce) {
  const std::string table = std::string(kHeader) +
                            ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y\n"
                            "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,10,8,4,4\n"
                            "2,KZ2,C30,STEEL,600,400,4,6,3,4,600,800,314,40,10,100,4,4\n"
                            "3,KZ3,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40,-1,100,4,9\n";
  BrenmoorState state;
  ImportSectionTable(state, table, '.', "t.csv");
  try {
    RefuseBadStirrups(state);
    ADD_FAILURE() << "not refused";
  } catch (const ImportError& e) {
    EXPECT_EQ(e.file(), "t.csv");
    EXPECT_EQ(e.line(), 0);
    EXPECT_EQ(std::string(e.what()),
              "The analysis cannot use the table's stirrups; correct these 3:\n"
              "line 2, section \"KZ1\", STIRRUP_S: '8' is not more than STIRRUP_D = '10': the "
              "hoops would touch or overlap\n"
              "line 4, section \"KZ3\", STIRRUP_D: '-1' cannot be negative\n"
              "line 4, section \"KZ3\", LEGS_Y: '9' legs, more than the NX + 2 = 7 bars of a "
              "face they could hold");
  }
  // Convert warns of the same, each on its line.
  const std::vector<TableWarning> warnings = StirrupWarnings(state);
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_EQ(warnings[1].line, 4);

  // One problem is named by its line, as every other error of a line is.
  BrenmoorState one;
  ImportSectionTable(one, std::string(kHeader) + ",STIRRUP_D,STIRRUP_S,LEGS_X\n" + kKZ1, '.',
                     "t.csv");
  try {
    RefuseBadStirrups(one);
    ADD_FAILURE() << "not refused";
  } catch (const ImportError& e) {
    EXPECT_EQ(e.line(), 1);
    EXPECT_EQ(std::string(e.what()),
              "LEGS_Y: the header names STIRRUP_D, STIRRUP_S and LEGS_X but not this; give all "
              "four stirrup columns or none");
  }
}

// An import cancelled midway keeps the table imported before whole: its
// stirrups stay refused, not taken unchecked.
TEST(RefuseBadStirrups, ACancelledImportKeepsTheEarlierTablesProblems) {
  class CancelAtOnce : public Progress {
   public:
    void Show(std::string_view, std::int64_t, std::int64_t) override { Cancel(); }
  };
  BrenmoorState state;
  ImportSectionTable(
      state, std::string(kHeader) + ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y\n" + kKZ1 + ",10,8,4,4",
      '.', "t.csv");
  CancelAtOnce cancel;
  EXPECT_THROW(ImportSectionTable(state, testing::VariedTable(6000, 2), '.', "big.csv", &cancel),
               Cancelled);
  EXPECT_TRUE(TableHasStirrups(state));
  EXPECT_EQ(Places(state), std::vector<std::string>{"2|KZ1|STIRRUP_S"});
}

}  // namespace
}  // namespace brenmoor
