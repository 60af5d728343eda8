#include "import/grid_rewrite.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/section_import.h"

namespace brenmoor {
namespace {

const std::string kHeader = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC";

BrenmoorState Imported(const std::string& table) {
  BrenmoorState state;
  ImportSectionTable(state, table, '.', "t.csv");
  return state;
}

TEST(RewriteGrids, ChangesOnlyTheGridFieldsAsTheImportFindsThem) {
  const struct {
    const char* what;
    std::string table;
    std::vector<GridChange> changes;
    std::string expect;
  } cases[] = {
      {"commas, CR LF",
       kHeader + "\r\n1,KZ2,C30,STEEL,600,400,4,6,3,4,600,800,314,40\r\n",
       {{1, 7, 6}},
       kHeader + "\r\n1,KZ2,C30,STEEL,600,400,7,6,3,4,600,800,314,40\r\n"},
      {"comma and blank, LF, more digits",
       kHeader + "\n1, KZ2, C30, STEEL, 600, 400, 4, 6, 3, 4, 600, 800, 314, 40\n",
       {{1, 12, 3}},
       kHeader + "\n1, KZ2, C30, STEEL, 600, 400, 12, 3, 3, 4, 600, 800, 314, 40\n"},
      {"blanks alone, CR, no last line end",
       kHeader + "\r1 KZ2 C30 STEEL 600 400 10 4 3 4 600 800 314 40",
       {{1, 6, 7}},
       kHeader + "\r1 KZ2 C30 STEEL 600 400 6 7 3 4 600 800 314 40"},
      {"'=' and '\"' separators, tabs trimmed",
       kHeader + "\r\n1=KZ2=C30=STEEL=600=400,\t4\t\"6\"3,4,600,800,314,40\r\n",
       {{1, 5, 8}},
       kHeader + "\r\n1=KZ2=C30=STEEL=600=400,\t5\t\"8\"3,4,600,800,314,40\r\n"},
      {"signs, zeros and hexadecimal become plain digits",
       kHeader + "\r\n1,KZ2,C30,STEEL,600,400,+04,$6,3,4,600,800,314,40\r\n",
       {{1, 7, 6}},
       kHeader + "\r\n1,KZ2,C30,STEEL,600,400,7,6,3,4,600,800,314,40\r\n"},
      {"a GB18030 name, a byte order mark, mixed line ends, records left alone",
       "\xEF\xBB\xBF" + kHeader +
           "\r\n1,\xD6\xD0\xD6\xF9,C30,STEEL,600,400,4,6,3,4,600,800,314,40\n"
           "2,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\r"
           "3,KZ3,C40,STEEL,700,700,5,5,4,4,1256,1256,380.1,45\r\n",
       {{3, 6, 6}, {1, 7, 6}},
       "\xEF\xBB\xBF" + kHeader +
           "\r\n1,\xD6\xD0\xD6\xF9,C30,STEEL,600,400,7,6,3,4,600,800,314,40\n"
           "2,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\r"
           "3,KZ3,C40,STEEL,700,700,6,6,4,4,1256,1256,380.1,45\r\n"},
      {"nothing to change",
       kHeader + "\r\n1,KZ2,C30,STEEL,600,400,4,6,3,4,600,800,314,40",
       {},
       kHeader + "\r\n1,KZ2,C30,STEEL,600,400,4,6,3,4,600,800,314,40"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string rewritten = RewriteGrids(c.table, c.changes);
    EXPECT_EQ(rewritten, c.expect);
    // The new table imports as the old one did, with the new grids.
    const BrenmoorState before = Imported(c.table), after = Imported(rewritten);
    ASSERT_EQ(after.imported_count, before.imported_count);
    for (int r = 1; r <= before.imported_count; ++r) {
      SCOPED_TRACE(r);
      TSECTION expect = before.records[r];
      for (const GridChange& change : c.changes) {
        if (change.record == r) {
          expect.FX = change.FX;
          expect.FY = change.FY;
        }
      }
      const TSECTION& got = after.records[r];
      EXPECT_EQ(got.NAME, expect.NAME);
      EXPECT_EQ(got.concrete_material, expect.concrete_material);
      EXPECT_EQ(got.H, expect.H);
      EXPECT_EQ(got.B, expect.B);
      EXPECT_EQ(got.FX, expect.FX);
      EXPECT_EQ(got.FY, expect.FY);
      EXPECT_EQ(got.NX, expect.NX);
      EXPECT_EQ(got.NY, expect.NY);
      EXPECT_EQ(got.ASX, expect.ASX);
      EXPECT_EQ(got.ASY, expect.ASY);
      EXPECT_EQ(got.ASCOR, expect.ASCOR);
      EXPECT_EQ(got.CC, expect.CC);
    }
  }
}

TEST(RewriteGrids, RefusesWhatItCannotRewrite) {
  const std::string table = kHeader + "\r\n1,KZ2,C30,STEEL,600,400,4,6,3,4,600,800,314,40\r\n" +
                            "2,SHORT,C30,STEEL,600\r\n";
  const struct {
    std::vector<GridChange> changes;
    std::string error;
  } cases[] = {
      {{{0, 1, 1}}, "The table has no section 0 whose grid could be rewritten"},
      {{{3, 1, 1}}, "The table has no section 3 whose grid could be rewritten"},
      {{{1, 1, 1}, {1, 2, 2}}, "Section 1 is given two new grids"},
      {{{1, -1, 2}}, "A grid of -1 × 2 cells cannot be written"},
      {{{2, 1, 1}}, "Line 3 of the table has no FX and FY fields to rewrite"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    try {
      RewriteGrids(table, c.changes);
      ADD_FAILURE() << "rewritten";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
  }
}

}  // namespace
}  // namespace brenmoor
