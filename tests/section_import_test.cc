#include "import/section_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/system_texts.h"

namespace brenmoor {
namespace {

using Cells = std::vector<std::string>;

constexpr char kHeader[] = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC";
constexpr char kGood[] = "1,C1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40";

std::string Table(const Cells& lines, const std::string& line_end = "\n") {
  std::string bytes = kHeader;
  for (const std::string& line : lines) bytes += line_end + line;
  return bytes;
}

// Every input field of every record, so that two states can be compared whole.
Cells Summary(const std::vector<TSECTION>& records) {
  Cells rows;
  for (const TSECTION& s : records) {
    char row[512];
    std::snprintf(row, sizeof row, "%d|%s|%d|%d|%a|%a|%d|%d|%d|%d|%a|%a|%a|%a", s.kind,
                  s.NAME.c_str(), s.concrete_material, s.steel_material, s.H, s.B, s.FX, s.FY, s.NX,
                  s.NY, s.ASX, s.ASY, s.ASCOR, s.CC);
    rows.push_back(row);
  }
  return rows;
}

TEST(ImportSectionTable, LineEndsGiveTheSameRecords) {
  const Cells lines = {kGood, "2,KZ2,C30,STEEL,600,400,4,6,3,4,600,800,314,40"};
  BrenmoorState reference;
  ImportSectionTable(reference, Table(lines), '.', "");
  ASSERT_EQ(reference.imported_count, 2);
  for (const std::string& bytes : {Table(lines, "\r\n"), Table(lines, "\r"), Table(lines) + "\n",
                                   Table(lines, "\r\n") + "\r\n", Table(lines, "\r") + "\r"}) {
    SCOPED_TRACE(bytes);
    BrenmoorState state;
    ImportSectionTable(state, bytes, '.', "");
    EXPECT_EQ(Summary(state.records), Summary(reference.records));
  }
  for (const std::string& bytes : {std::string(), std::string(kHeader) + "\r\n"}) {
    BrenmoorState state;
    ImportSectionTable(state, bytes, '.', "");
    EXPECT_EQ(state.imported_count, 0);
    EXPECT_EQ(state.records.size(), 1u);
  }
}

// Each failure names its line, leaves nothing imported and the earlier
// records as they were, and rebuilds the material table.
TEST(ImportSectionTable, RefusesTheWholeTableWithTheLine) {
  const std::string name41(41, 'N');
  const struct {
    std::string bytes;
    int line;
    std::string message;
  } cases[] = {
      {Table({kGood, "2,C2,C35,STEEL,500,500,6.0,6,5,5,1,1,1,40"}), 3,
       "'6.0' is not a valid integer value"},
      {Table({kGood, "2,C2,C35,STEEL,1E39,500,6,6,5,5,1,1,1,40"}), 3, "Floating point overflow"},
      {Table({kGood, "C2,C35,STEEL,500,500,6,6,5,5,1,1,1,40"}), 3,
       "'' is not a valid floating point value"},
      {Table({kGood}) + "\n\r" + kGood, 3, "'' is not a valid floating point value"},
      {Table({kGood, "2,C2,c35,STEEL,x,500,6,6,5,5,1,1,1,40"}), 3,
       "'x' is not a valid floating point value"},
      {Table({kGood, "2,C2,c35,STEEL,500,500,6,6,5,5,1,1,1,40"}), 3,
       "'c35' is not a valid material name"},
      {Table({kGood, "2,C2,C35,HRB400,500,500,6,6,5,5,1,1,1,40"}), 3,
       "'HRB400' is not a valid material name"},
      {Table({kGood, "2,C2,C35,STEEL,500,500,-2,6,-1,5,1,1,1,40"}), 3,
       "Section \"C2\" has FX = -2; a count cannot be negative"},
      {Table({kGood, "2,C2,C35,STEEL,500,500,6,6,6,5,1,1,1,40"}), 3,
       "Section \"C2\" needs 62 fibers; at most 60 are allowed"},
      {Table({kGood, "2,C2,C35,STEEL,500,500,$7FFFFFFF,$7FFFFFFF,0,0,1,1,1,40"}), 3,
       "Section \"C2\" needs 4611686014132420613 fibers; at most 60 are allowed"},
      {Table({kGood, "2," + name41 + ",C35,STEEL,500,500,6,6,5,5,1,1,1,40"}), 3,
       "Section name \"" + name41 + "\" is 41 bytes long; at most 40 are allowed"},
      {Table({kGood, "2,C2,C35,STEEL,0,0,6,6,5,5,1,1,1,40"}), 3,
       "Section \"C2\" has H = 0 and B = 0"},
      // Sizes no column has: refused after the line's conversions, zero bar areas kept.
      {Table({kGood, "2,C2,C35,STEEL,0,-500,6,6,5,5,1,1,1,x"}), 3,
       "'x' is not a valid floating point value"},
      {Table({kGood, "2,C2,C35,STEEL,0,-500,6,6,5,5,1,1,1,40"}), 3,
       "Section \"C2\" has B = -500; a size cannot be negative"},
      {Table({kGood, "2,C2,C35,STEEL,-1,500,6,6,5,5,1,1,1,40"}), 3,
       "Section \"C2\" has H = -1; a size cannot be negative"},
      {Table({kGood, "2,C2,C35,STEEL,500,500,6,6,5,5,1,1,1,-40"}), 3,
       "Section \"C2\" has CC = -40; a cover cannot be negative"},
      {Table({kGood, "2,C2,C35,STEEL,500,500,6,6,5,5,-1,0,0,40"}), 3,
       "Section \"C2\" has ASX = -1; an area cannot be negative"},
      {Table({kGood, "2,C2,C35,STEEL,500,500,6,6,5,5,0,-0.5,0,40"}), 3,
       "Section \"C2\" has ASY = -0.5; an area cannot be negative"},
      {Table({kGood, "2,C2,C35,STEEL,500,500,6,6,5,5,0,0,-2,40"}), 3,
       "Section \"C2\" has ASCOR = -2; an area cannot be negative"},
      {Table({kGood, "2,C2,C35,STEEL,500,0,6,6,5,5,0,0,0,40"}), 3,
       "Section \"C2\" has B = 0; a side cannot be 0"},
      {Table({kGood, "2,C2,C35,STEEL,0,500,6,6,5,5,0,0,0,40"}), 3,
       "Section \"C2\" has H = 0; a side cannot be 0"},
      {Table({kGood, "2,C2,C35,STEEL,500,400,6,6,5,5,1,1,1,260"}), 3,
       "Section \"C2\": CC = 260 reaches the centre of a 500 × 400 section"},
      {Table({kGood, "2,C2,C35,STEEL,500,400,6,6,5,5,1,1,1,200"}), 3,
       "Section \"C2\": CC = 200 reaches the centre of a 500 × 400 section"},
      {Table({kGood, kGood}) + std::string("\0"
                                           "2",
                                           2),
       3,
       "The table holds a zero byte and is probably saved in a 16-bit encoding such as UTF-16; "
       "save it as plain text or UTF-8"},
      {Table(Cells(kMaxSections + 1, kGood)), 0,
       "The table holds 32768 sections; at most 32767 are allowed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    BrenmoorState state;
    ImportSectionTable(state, Table({kGood, kGood, kGood}), '.', "");
    const Cells before = Summary(state.records);
    state.materials.clear();
    try {
      ImportSectionTable(state, c.bytes, '.', "table.csv");
      ADD_FAILURE() << "no error";
    } catch (const ImportError& error) {
      EXPECT_EQ(error.what(), c.message);
      EXPECT_EQ(error.line(), c.line);
      EXPECT_EQ(error.file(), "table.csv");
    }
    EXPECT_EQ(state.imported_count, 0);
    EXPECT_EQ(Summary(state.records), before);
    EXPECT_EQ(state.materials.size(), 12u);
  }
}

// The cell a conversion or a material name failed on, for the error box and
// the command line to point at; the checks of a whole section name none.
TEST(ImportSectionTable, NamesTheSectionAndTheCellAtFault) {
  const struct {
    std::string line;
    std::string section, column;
  } cases[] = {
      {"2,KZ3,C35,STEEL,500,7O0,6,6,5,5,1,1,1,40", "KZ3", "B"},
      {"2,KZ3,C35,STEEL,500,500,6,6,5,x,1,1,1,40", "KZ3", "NY"},
      {"2,KZ3,c35,STEEL,500,500,6,6,5,5,1,1,1,40", "KZ3", "CONC"},
      {"2,KZ3,C35,HRB400,500,500,6,6,5,5,1,1,1,40", "KZ3", "STEEL"},
      // A bad number is met before an unknown material on the same line.
      {"2,KZ3,C36,STEEL,x,500,6,6,5,5,1,1,1,40", "KZ3", "H"},
      {"2,KZ3,C35,STEEL,500,500,-2,6,5,5,1,1,1,40", "KZ3", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    BrenmoorState state;
    try {
      ImportSectionTable(state, Table({kGood, c.line}), '.', "table.csv");
      ADD_FAILURE() << "no error";
    } catch (const ImportError& error) {
      EXPECT_EQ(error.section(), c.section);
      EXPECT_EQ(error.column(), c.column);
    }
  }
}

TEST(ImportSectionTable, ALargeTableReportsItsFirstBadLineWhereverItIs) {
  // The lines are read in pieces on several threads; the error must still be
  // the one a reading in order meets first.
  const std::string bad_number = "9,C9,C35,STEEL,500,5OO,6,6,5,5,1,1,1,40";
  const std::string bad_material = "9,C9,C36,STEEL,500,500,6,6,5,5,1,1,1,40";
  const struct {
    std::vector<int> bad;  // data lines, counted from 1: a bad number, then a bad material
    int line;              // of the file, the header being line 1
    std::string message;
  } cases[] = {
      {{1, 5000}, 2, "'5OO' is not a valid floating point value"},
      {{1025, 1024}, 1025, "'C36' is not a valid material name"},
      {{4999, 3000}, 3001, "'C36' is not a valid material name"},
      {{5000}, 5001, "'5OO' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Cells lines(5000, kGood);
    for (std::size_t k = 0; k < c.bad.size(); ++k) {
      lines[static_cast<std::size_t>(c.bad[k] - 1)] = k == 0 ? bad_number : bad_material;
    }
    BrenmoorState state;
    try {
      ImportSectionTable(state, Table(lines), '.', "big.csv");
      ADD_FAILURE() << "no error";
    } catch (const ImportError& error) {
      EXPECT_EQ(error.line(), c.line);
      EXPECT_EQ(error.what(), c.message);
    }
    EXPECT_EQ(state.imported_count, 0);
  }
}

TEST(ImportSectionFile, ReadsTheSampleAndReportsWhatCannotBeRead) {
  BrenmoorState state;
  ImportSectionFile(state, BRENMOOR_SOURCE_DIR "/examples/sample.csv", '.');
  EXPECT_EQ(state.imported_count, 7);

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "brenmoor_import_test";
  std::filesystem::create_directories(dir);
  const std::string missing = (dir / "missing.csv").string();
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {missing, "Cannot open file \"" + missing + "\". " + testing::Texts().missing_file},
      {dir.string(),
       "Cannot open file \"" + dir.string() + "\". " + testing::Texts().folder_read_as_file},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ImportSectionFile(state, BRENMOOR_SOURCE_DIR "/examples/sample.csv", '.');
    try {
      ImportSectionFile(state, c.path, '.');
      ADD_FAILURE() << "no error";
    } catch (const ImportError& error) {
      EXPECT_EQ(error.what(), c.message);
      EXPECT_EQ(error.file(), c.path);
      EXPECT_EQ(error.line(), 0);
    }
    EXPECT_EQ(state.imported_count, 0);
    EXPECT_EQ(state.records.size(), 8u);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace brenmoor
