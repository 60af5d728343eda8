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
  const struct {
    const char* what;
    std::string header_tail, line_tail;
    bool named;
    std::optional<Stirrups> stirrups;
    std::vector<std::string> places;
  } cases[] = {
      {"no stirrup columns: as before", "", ",10,100,4,4", false, std::nullopt, {}},
      {"the four in order",
       ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y",
       ",10,100,4,3",
       true,
       Stirrups{10, 100, 4, 3},
       {}},
      {"any case, any order, another column between",
       ",legs_y,Stirrup_S,NOTE,LEGS_X,stirrup_d",
       ",3,150,x,4,12.7",
       true,
       Stirrups{12.7, 150, 4, 3},
       {}},
      {"three of four",
       ",STIRRUP_D,STIRRUP_S,LEGS_X",
       ",10,100,4",
       true,
       std::nullopt,
       {"1||LEGS_Y"}},
      {"one twice",
       ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y,STIRRUP_D",
       ",10,100,4,4,10",
       true,
       std::nullopt,
       {"1||STIRRUP_D"}},
      {"all four empty: no stirrups",
       ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y",
       ",,, ,",
       true,
       std::nullopt,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BrenmoorState state;
    ImportSectionTable(state, kHeader + c.header_tail + "\n" + kKZ1 + c.line_tail, '.', "t.csv");
    ASSERT_EQ(state.imported_count, 1);
    EXPECT_EQ(TableHasStirrups(state), c.named);
    EXPECT_EQ(state.records[1].stirrups, c.stirrups);
    EXPECT_EQ(Places(state), c.places);
  }
}

// KZ1 with its four stirrup fields; refused ones name the columns to fix.
TEST(StirrupColumns, RefusesWhatTheAnalysisCannotUse) {
  // d_cor = √(4·490/π) = 24.978 mm: a hoop of d_s fits while
  // a = 40 − 12.489 − d_s/2 > 0, that is d_s < 55.02 mm.
  // A 100 × 100 section, CC 40, corner bars of 490 and a hoop of 6 mm:
  // a = 40 − 12.489 − 3 = 24.511, bc = dc = 100 − 2a = 50.978, bc·dc = 2598.8;
  // the corners' 4 · 490 = 1960 leave room, NX = 1 with ASX = 400 adds
  // 2 · 400 = 800 and fills it (2760), the same ASX with NX = 0 counts not.
  const char* kSmall = "2,S,C30,STEEL,100,100,2,2,%d,0,400,0,490,40,6,50,2,2";
  char small_with_bars[128], small_no_bars[128];
  std::snprintf(small_with_bars, sizeof small_with_bars, kSmall, 1);
  std::snprintf(small_no_bars, sizeof small_no_bars, kSmall, 0);
  const struct {
    std::string line;
    std::optional<Stirrups> stirrups;
    std::vector<std::string> columns;
  } cases[] = {
      {",10,100,4,4", Stirrups{10, 100, 4, 4}, {}},
      {",10,100,4.0,7", Stirrups{10, 100, 4, 7}, {}},  // 7 = NY + 2 bars to hold
      {",10,,4,", std::nullopt, {"STIRRUP_S and LEGS_Y"}},
      {",ten,100,4,4", std::nullopt, {"STIRRUP_D"}},
      {",10,-100,4,4", std::nullopt, {"STIRRUP_S"}},
      {",10,100,2.5,4", std::nullopt, {"LEGS_X"}},
      {",10,100,4,1", std::nullopt, {"LEGS_Y"}},
      {",10,100,8,4", std::nullopt, {"LEGS_X"}},  // more than NY + 2 = 7
      {",-1,100,4,9", std::nullopt, {"STIRRUP_D", "LEGS_Y"}},
      {",10,10,4,4", std::nullopt, {"STIRRUP_S"}},
      {",55,100,4,4", Stirrups{55, 100, 4, 4}, {}},
      {",56,100,4,4", std::nullopt, {"STIRRUP_D"}},
  };
  const std::string header = std::string(kHeader) + ",STIRRUP_D,STIRRUP_S,LEGS_X,LEGS_Y\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    BrenmoorState state;
    ImportSectionTable(state, header + kKZ1 + c.line, '.', "t.csv");
    EXPECT_EQ(state.records[1].stirrups, c.stirrups);
    std::vector<std::string> columns;
    for (const StirrupProblem& p : state.stirrup_problems) {
      EXPECT_EQ(p.line, 2);
      EXPECT_EQ(p.section, "KZ1");
      columns.push_back(p.column);
    }
    EXPECT_EQ(columns, c.columns);
  }
  for (const char* line : {small_with_bars, small_no_bars}) {
    SCOPED_TRACE(line);
    BrenmoorState state;
    ImportSectionTable(state, header + kKZ1 + "\n" + line, '.', "t.csv");
    const bool filled = line == small_with_bars;
    EXPECT_EQ(state.records[2].stirrups.has_value(), !filled);
    EXPECT_EQ(Places(state),
              filled ? std::vector<std::string>{"3|S|STIRRUP_D"} : std::vector<std::string>{});
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
  EXPECT_EQ(warnings[1].message,
            "Section \"KZ3\", STIRRUP_D: '-1' cannot be negative; the analysis would refuse the "
            "table");

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
