// The section report and the properties table, through the command line as
// the engineer runs them, read back with poppler's pdftotext and pdfinfo.
#include <gtest/gtest.h>
#include <stdio.h>

#include <QGuiApplication>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "import/section_import.h"
#include "model/section_properties.h"
#include "report/figures.h"
#include "report/section_report.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::Bits;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kSample = std::string(BRENMOOR_SOURCE_DIR) + "/examples/sample.csv";
const std::string kHeader = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
// "柱截面" as a Chinese spreadsheet saves it (GBK, a part of GB18030).
const std::string kGbkName = "\xD6\xF9\xBD\xD8\xC3\xE6";

struct Outcome {
  int status;
  std::string out, err;
};

Outcome RunWith(std::vector<std::string> args, BrenmoorState& state) {
  args.insert(args.begin(), "brenmoor");
  std::ostringstream out, err;
  const int status = RunCommandLine(args, state, out, err);
  return {status, out.str(), err.str()};
}

Outcome RunWith(std::vector<std::string> args) {
  BrenmoorState state;
  return RunWith(std::move(args), state);
}

// What a shell command prints.
std::string Shell(const std::string& command) {
  std::string text;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  ::pclose(pipe);
  return text;
}

// poppler's tools, which the set-up script installs; not there under Wine.
bool HavePoppler() { return Shell("pdftotext -v 2>&1").find("pdftotext version") != std::string::npos; }

int PdfPages(const std::string& pdf) {
  std::smatch match;
  const std::string info = Shell("pdfinfo '" + pdf + "'");
  return std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(match[1]) : -1;
}

std::string PdfText(const std::string& pdf, int first = 0, int last = 0) {
  std::string range =
      first > 0 ? " -f " + std::to_string(first) + " -l " + std::to_string(last) : "";
  return Shell("pdftotext -layout -enc UTF-8" + range + " '" + pdf + "' -");
}

int Occurrences(const std::string& text, const std::string& word) {
  // Whole words only: KZ1 is not counted in KZ10.
  const std::regex pattern("(^|[^A-Za-z0-9])" + word + "(?![A-Za-z0-9])");
  return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern),
                                        std::sregex_iterator()));
}

// The number inspect prints after label in the block of section `number`.
double InspectFigure(const std::string& inspect, int number, const std::string& label) {
  const std::size_t block = inspect.find("Section " + std::to_string(number) + ":");
  const std::size_t at = inspect.find(label, block);
  return std::strtod(inspect.c_str() + at + label.size(), nullptr);
}

// The report rounds to four significant digits (whole numbers below 10^7 keep
// all their digits): the figure may differ from the exact one by half a unit
// of its fourth digit.
void ExpectShownAs(double shown, double exact, const std::string& what) {
  EXPECT_NEAR(shown, exact, std::max(0.5, std::fabs(exact) * 5e-4)) << what;
}

TEST(ReportCommand, SampleReportHasItsPagesNamesAndTheFiguresInspectReads) {
  if (!HavePoppler()) GTEST_SKIP() << "needs pdftotext and pdfinfo (poppler-utils)";
  TempDir dir;
  const std::string pdf = (dir / "sample report.pdf").string();
  const Outcome report = RunWith({"report", kSample, "-o", pdf});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(report.out, "Wrote the report of 7 sections (3 pages) to " + pdf + "\n");
  // The cover with the whole table, then six drawings to a page.
  EXPECT_EQ(PdfPages(pdf), 3);

  const std::string text = PdfText(pdf);
  for (int i = 1; i <= 7; ++i) {
    SCOPED_TRACE(i);
    // Once in the summary table, once over its drawing.
    EXPECT_EQ(Occurrences(text, "KZ" + std::to_string(i)), 2) << text;
  }
  for (const char* cover :
       {"Table +sample.csv", "Sections +7", "C80 +38000 +1", "STEEL +206000 +7"}) {
    EXPECT_TRUE(std::regex_search(text, std::regex(cover))) << cover << "\n" << text;
  }

  const std::string component = (dir / "KAVOSEC.PF3CMP").string();
  ASSERT_EQ(RunWith({"convert", kSample, "-o", component}).status, 0);
  const std::string inspect = RunWith({"inspect", component}).out;
  // Section 3, KZ3 (700 × 700, C40): its row of the summary table ...
  std::smatch row;
  const std::string page1 = PdfText(pdf, 1, 1);
  ASSERT_TRUE(std::regex_search(
      page1, row,
      std::regex(R"(3 +KZ3 +700 × 700 +C40 +20 / 25 +(\S+) +(\S+) +(\S+) +(\S+) +(\S+) +(\S+))")))
      << page1;
  ExpectShownAs(std::stod(row[1]), InspectFigure(inspect, 3, "steel             area "), "As");
  EXPECT_EQ(row[2], "1.34");  // 6544.4 / 490000
  ExpectShownAs(std::stod(row[3]), InspectFigure(inspect, 3, "shear modulus"), "G");
  ExpectShownAs(std::stod(row[4]), InspectFigure(inspect, 3, "shear areas"), "Av,1");
  ExpectShownAs(std::stod(row[6]), InspectFigure(inspect, 3, "torsion constant"), "J");
  // ... and the figures beside its drawing, the third on page 2.
  const std::string page2 = PdfText(pdf, 2, 2);
  const struct {
    std::string shown, inspected;
  } figures[] = {{"As = ", "steel             area "},
                 {"Ac = ", "concrete          area "},
                 {"G = ", "shear modulus"},
                 {"Av,2 = ", "shear areas"},
                 {"J = ", "torsion constant"}};
  for (const auto& figure : figures) {
    SCOPED_TRACE(figure.shown);
    std::vector<double> values;
    const std::regex pattern(figure.shown + R"(([-0-9.e]+))");
    for (auto it = std::sregex_iterator(page2.begin(), page2.end(), pattern);
         it != std::sregex_iterator(); ++it) {
      values.push_back(std::stod((*it)[1]));
    }
    ASSERT_EQ(values.size(), 6u) << page2;
    ExpectShownAs(values[2], InspectFigure(inspect, 3, figure.inspected), figure.shown);
  }
}

TEST(ReportCommand, LongTableRepeatsItsHeaderOnEveryPage) {
  if (!HavePoppler()) GTEST_SKIP() << "needs pdftotext and pdfinfo (poppler-utils)";
  TempDir dir;
  std::string table = kHeader;
  for (int i = 1; i <= 150; ++i) {
    table += std::to_string(i) + ",S" + std::to_string(i) + ",C" +
             std::to_string(30 + 5 * (i % 11)) + ",STEEL,600,400,4,6,3,4,600,800,314,40\n";
  }
  WriteFile(dir / "long.csv", table);
  BrenmoorState state;
  const Outcome report = RunWith({"report", (dir / "long.csv").string()}, state);
  ASSERT_EQ(report.status, 0) << report.err;
  const std::string pdf = (dir / "long.pdf").string();  // beside the table by default
  const ReportPlan plan = PlanReport(state);
  ASSERT_GT(plan.table_pages, 2);
  EXPECT_EQ(plan.drawing_pages, 25);
  EXPECT_EQ(PdfPages(pdf), plan.pages());

  std::string all;
  for (int page = 1; page <= plan.pages(); ++page) {
    SCOPED_TRACE(page);
    const std::string text = PdfText(pdf, page, page);
    EXPECT_NE(text.find("Page " + std::to_string(page) + " of " + std::to_string(plan.pages())),
              std::string::npos);
    const bool table_page = page <= plan.table_pages;
    EXPECT_EQ(std::regex_search(text, std::regex(R"(No\. +Name +B ?× ?H +Concrete +Fibers)")),
              table_page)
        << text;
    all += text;
  }
  for (int i = 1; i <= 150; ++i) {
    const std::string name = std::string("S").append(std::to_string(i));
    EXPECT_EQ(Occurrences(all, name), 2) << name;
  }
}

// Every field of every section, read back as float32, is the value the
// component file holds, bit for bit.
TEST(ReportCommand, PropertiesTableReadsBackEveryFloat32Exactly) {
  TempDir dir;
  std::string table = ReadFile(kSample);
  table += "8," + kGbkName + ",C55,STEEL,333.3,123.456,3,7,1,6,77.7,1234.5,0.1,12.34\n";
  table += "9,THIN,C65,STEEL,1e4,0.001,1,1,0,0,1e-3,1e-3,1e-5,1e-4\n";
  WriteFile(dir / "t.csv", table);
  const std::string csv_path = (dir / "t.properties.csv").string();
  BrenmoorState state;
  const Outcome run = RunWith({"report", (dir / "t.csv").string(), "--csv"}, state);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string csv = ReadFile(csv_path);
  EXPECT_EQ(RunWith({"report", (dir / "t.csv").string(), "--csv", "-o", "-"}).out, csv);

  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(csv.substr(3));
  for (std::string line; std::getline(lines, line);) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
    rows.push_back(fields);
  }
  ASSERT_EQ(rows.size(), 10u);
  ASSERT_EQ(rows[0].size(), 22u);
  EXPECT_EQ(rows[0][1], "Name");
  EXPECT_EQ(rows[0][21], "Steel ΣA·x² (mm⁴)");
  EXPECT_EQ(rows[8][1], "\"柱截面\"");

  for (int i = 1; i <= 9; ++i) {
    SCOPED_TRACE(i);
    const TSECTION& s = state.records[i];
    const std::vector<std::string>& r = rows[i];
    ASSERT_EQ(r.size(), 22u);
    EXPECT_EQ(r[0], std::to_string(i));
    const struct {
      int column;
      float value;
    } floats[] = {{2, s.B},
                  {3, s.H},
                  {4, s.CC},
                  {10, s.steel_area_sum},
                  {12, s.shear_modulus},
                  {13, s.shear_area_1},
                  {14, s.shear_area_2},
                  {15, s.torsion_constant},
                  {16, s.concrete_area_sum},
                  {17, s.steel_area_sum},
                  {18, s.concrete_ay2_sum},
                  {19, s.steel_ay2_sum},
                  {20, s.concrete_ax2_sum},
                  {21, s.steel_ax2_sum}};
    for (const auto& f : floats) {
      SCOPED_TRACE(f.column);
      EXPECT_EQ(Bits(std::strtof(r[f.column].c_str(), nullptr)), Bits(f.value)) << r[f.column];
    }
    EXPECT_EQ(r[7], std::to_string(s.fiber_count));
    EXPECT_EQ(std::stoi(r[8]) + std::stoi(r[9]), s.fiber_count);
    EXPECT_NEAR(std::stod(r[11]), 100.0 * s.steel_area_sum / (double{s.B} * s.H),
                1e-8 * std::stod(r[11]));
  }
}

TEST(ReportCommand, RefusedTableLeavesEarlierOutputsAsTheyWere) {
  TempDir dir;
  const std::string bad = (dir / "bad.csv").string();
  WriteFile(bad, kHeader + "1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n2,B,C35,STEEL,5x0\n");
  const std::string convert_err = RunWith({"convert", bad, "-o", (dir / "x").string()}).err;
  ASSERT_EQ(convert_err, "brenmoor: " + bad + ":3: '5x0' is not a valid floating point value.\n");

  const std::vector<std::string> calls[] = {
      {"report", bad},
      {"report", bad, "-o", (dir / "bad.pdf").string()},
      {"report", bad, "--csv"},
      {"report", bad, "--csv", "-o", "-"},
  };
  WriteFile(dir / "bad.pdf", "an older report");
  WriteFile(dir / "bad.properties.csv", "an older table");
  for (const auto& call : calls) {
    SCOPED_TRACE(call.back());
    const Outcome run = RunWith(call);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, convert_err);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadFile(dir / "bad.pdf"), "an older report");
  EXPECT_EQ(ReadFile(dir / "bad.properties.csv"), "an older table");
  EXPECT_EQ(testing::EntriesIn(dir.path()), 3);
}

TEST(ReportCommand, NeverWritesOverTheTable) {
  TempDir dir;
  const std::string table = ReadFile(kSample);
  // A table that happens to end in .pdf would be its own default report.
  WriteFile(dir / "sections.pdf", table);
  WriteFile(dir / "sections.csv", table);
  const std::vector<std::string> calls[] = {
      {"report", (dir / "sections.pdf").string()},
      {"report", (dir / "sections.csv").string(), "--csv", "-o", (dir / "sections.csv").string()},
      {"report", (dir / "sections.csv").string(), "-o", (dir / "." / "sections.csv").string()},
  };
  for (const auto& call : calls) {
    SCOPED_TRACE(call[1]);
    const Outcome run = RunWith(call);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("It is the section table itself."), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFile(dir / "sections.pdf"), table);
  EXPECT_EQ(ReadFile(dir / "sections.csv"), table);
  EXPECT_EQ(RunWith({"report", (dir / "sections.csv").string(), "-o", "-"}).status, 2);
}

TEST(ReportCommand, ChineseNamesFromASpreadsheetReadRight) {
  if (!HavePoppler()) GTEST_SKIP() << "needs pdftotext and pdfinfo (poppler-utils)";
  TempDir dir;
  WriteFile(dir / "gbk.csv",
            kHeader + "1," + kGbkName + ",C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  ASSERT_EQ(RunWith({"report", (dir / "gbk.csv").string()}).status, 0);
  EXPECT_EQ(Occurrences(PdfText((dir / "gbk.pdf").string()), "柱截面"), 2);
}

TEST(Figure, FourSignificantDigitsAndAllWholeDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {208333.328125, "208333"}, {380.1000061, "380.1"}, {38.5, "38.5"},     {13125, "13125"},
      {8802083840, "8.802e9"},   {9999999, "9999999"},   {0, "0"},           {-140, "-140"},
      {0.00012346, "1.235e-4"},  {0.0123456, "0.01235"}, {9999.96, "10000"}, {1.5e30, "1.5e30"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Figure(c.value).toStdString(), c.text);
  }
}

}  // namespace
}  // namespace brenmoor

int main(int argc, char** argv) {
  // The report is drawn as the command line draws it: without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
