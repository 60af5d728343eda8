// The section report and the properties table, made through the command line
// and read back with pdftotext.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/qt_module.h"
#include "capacity/analysis.h"
#include "capacity/capacity.h"
#include "jobs/capacity_job.h"
#include "model/section_properties.h"
#include "report/capacity_drawing.h"
#include "report/capacity_report.h"
#include "report/figures.h"
#include "report/pdf_writer.h"
#include "report/section_report.h"
#include "tests/command_line_runner.h"
#include "tests/sample_table.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

using testing::Outcome;
const std::string& kSample = testing::kSampleTable;
const std::string kHeader = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
// "柱截面" as a Chinese spreadsheet saves it (GBK, a part of GB18030).
const std::string kGbkName = "\xD6\xF9\xBD\xD8\xC3\xE6";

Outcome RunWith(std::vector<std::string> args, BrenmoorState* state = nullptr) {
  BrenmoorState fresh;
  return testing::RunWith(std::move(args), state ? *state : fresh);
}

std::string Shell(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}

// pdftotext, which the set-up script installs; not there under Wine.
bool HavePdfToText() {
  return Shell("pdftotext -v 2>&1").find("pdftotext version") != std::string::npos;
}

// The text of each page: pdftotext ends every page with a form feed.
std::vector<std::string> PdfPages(const std::string& pdf) {
  std::vector<std::string> pages;
  std::istringstream text(Shell("pdftotext -layout -enc UTF-8 '" + pdf + "' -"));
  for (std::string page; std::getline(text, page, '\f');) pages.push_back(page);
  return pages;
}

// Whole words only: KZ1 is not counted in KZ10.
int Occurrences(const std::string& text, const std::string& word) {
  const std::regex pattern("(^|[^A-Za-z0-9])" + word + "(?![A-Za-z0-9])");
  return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern),
                                        std::sregex_iterator()));
}

// The report keeps four significant digits (and every whole digit below 10^7).
void ExpectShownAs(double shown, double exact) {
  EXPECT_NEAR(shown, exact, std::max(0.5, std::fabs(exact) * 5e-4));
}

TEST(ReportCommand, SampleReportHasItsPagesNamesAndTheFiguresInspectReads) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  const std::string pdf = (dir / "sample report.pdf").string();
  const Outcome report = RunWith({"report", kSample, "-o", pdf});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(report.out, "Wrote the report of 7 sections (3 pages) to " + pdf + "\n");
  const std::vector<std::string> pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 3u);  // the cover with the whole table, then six drawings a page
  const std::string text = pages[0] + pages[1] + pages[2];
  for (int i = 1; i <= 7; ++i) {  // in the summary table and over its drawing
    EXPECT_EQ(Occurrences(text, "KZ" + std::to_string(i)), 2) << i << "\n" << text;
  }
  for (const char* cover :
       {"Table +sample.csv", "Sections +7", "C80 +38000 +1", "STEEL +206000 +7"}) {
    EXPECT_TRUE(std::regex_search(text, std::regex(cover))) << cover << "\n" << text;
  }

  const std::string component = (dir / "KAVOSEC.PF3CMP").string();
  ASSERT_EQ(RunWith({"convert", kSample, "-o", component}).status, 0);
  const std::string inspect = RunWith({"inspect", component}).out;
  // Section 3, KZ3 (700 × 700, C40): its row of the summary table on page 1
  // and the figures beside its drawing, the third on page 2.
  std::smatch row;
  const std::string &page1 = pages[0], &page2 = pages[1];
  ASSERT_TRUE(std::regex_search(
      page1, row,
      std::regex(R"(3 +KZ3 +700 × 700 +C40 +20 / 25 +(\S+) +(\S+) +(\S+) +(\S+) +(\S+) +(\S+))")))
      << page1;
  EXPECT_EQ(row[2], "1.34");  // 6544.4 / 490000
  const struct {
    int column;  // in the summary row; 0: not there
    std::string shown, inspected;
  } figures[] = {{1, "As = ", "steel             area "},
                 {0, "Ac = ", "concrete          area "},
                 {3, "G = ", "shear modulus"},
                 {4, "Av,2 = ", "shear areas"},
                 {6, "J = ", "torsion constant"}};
  for (const auto& f : figures) {
    SCOPED_TRACE(f.shown);
    const std::size_t at = inspect.find(f.inspected, inspect.find("Section 3:"));
    const double exact = std::strtod(inspect.c_str() + at + f.inspected.size(), nullptr);
    if (f.column > 0) ExpectShownAs(std::stod(row[f.column]), exact);
    std::vector<double> values;
    const std::regex pattern(f.shown + R"(([-0-9.e]+))");
    for (std::sregex_iterator it(page2.begin(), page2.end(), pattern), end; it != end; ++it) {
      values.push_back(std::stod((*it)[1]));
    }
    ASSERT_EQ(values.size(), 6u) << page2;
    ExpectShownAs(values[2], exact);
  }
}

// --lang chooses the texts of the PDF, English unless told; the figures and
// the page count stay, and the CSV is the same in both.
TEST(ReportCommand, LanguageOfThePdfEnglishByDefault) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  const std::string pdf = (dir / "r.pdf").string();
  const struct {
    std::vector<std::string> lang;
    std::vector<std::string> texts;
  } cases[] = {
      {{}, {"Column section report", "Page 1 of 3", "Sections +7", "fibers 60: 24 bars, 36 cells"}},
      {{"--lang", "en"}, {"Column section report", "Page 3 of 3"}},
      {{"--lang", "zh"},
       {"柱截面报告", "第 1 页，共 3 页", "截面数 +7", "纤维 60: 钢筋 24, 单元 36"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang.empty() ? "(default)" : c.lang[1]);
    std::vector<std::string> args = {"report", kSample, "-o", pdf};
    args.insert(args.end(), c.lang.begin(), c.lang.end());
    const Outcome report = RunWith(args);
    ASSERT_EQ(report.status, 0) << report.err;
    const std::vector<std::string> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    const std::string text = pages[0] + pages[1] + pages[2];
    for (const std::string& expected : c.texts) {
      EXPECT_TRUE(std::regex_search(text, std::regex(expected))) << expected << "\n" << text;
    }
  }
  const std::string csv = RunWith({"report", kSample, "--csv", "-o", "-"}).out;
  EXPECT_EQ(RunWith({"report", kSample, "--csv", "-o", "-", "--lang", "zh"}).out, csv);
  for (const char* wrong : {"fr", "ZH"}) {
    const Outcome refused = RunWith({"report", kSample, "--lang", wrong});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(
        refused.err.rfind(std::string("brenmoor: --lang takes en or zh, not '") + wrong + "'\n", 0),
        0u)
        << refused.err;
  }
  EXPECT_EQ(RunWith({"report", kSample, "--lang"}).status, 2);
}

TEST(ReportCommand, LongTableRepeatsItsHeaderOnEveryPageAndShowsChineseNames) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  std::string table = kHeader;
  for (int i = 1; i <= 150; ++i) {
    table += std::to_string(i) + "," +
             (i == 150 ? kGbkName : std::string("S").append(std::to_string(i))) + ",C" +
             std::to_string(30 + 5 * (i % 11)) + ",STEEL,600,400,4,6,3,4,600,800,314,40\n";
  }
  WriteFile(dir / "long.csv", table);
  BrenmoorState state;
  const Outcome report = RunWith({"report", (dir / "long.csv").string()}, &state);
  ASSERT_EQ(report.status, 0) << report.err;
  const std::vector<std::string> pages = PdfPages((dir / "long.pdf").string());  // beside it
  const ReportPlan plan = PlanReport(state);
  ASSERT_GT(plan.table_pages, 2);
  EXPECT_EQ(plan.drawing_pages, 25);
  ASSERT_EQ(static_cast<int>(pages.size()), plan.pages());
  std::string all;
  for (int page = 1; page <= plan.pages(); ++page) {
    SCOPED_TRACE(page);
    const std::string& text = pages[page - 1];
    EXPECT_NE(text.find("Page " + std::to_string(page) + " of " + std::to_string(plan.pages())),
              std::string::npos);
    EXPECT_EQ(std::regex_search(text, std::regex(R"(No\. +Name +B ?× ?H +Concrete +Fibers)")),
              page <= plan.table_pages)
        << text;
    all += text;
  }
  for (int i = 1; i < 150; ++i)
    EXPECT_EQ(Occurrences(all, std::string("S").append(std::to_string(i))), 2) << i;
  EXPECT_EQ(Occurrences(all, "柱截面"), 2);
}

// Every field of every section, read back as float32, is the value the
// component file holds, bit for bit.
TEST(ReportCommand, PropertiesTableReadsBackEveryFloat32Exactly) {
  TempDir dir;
  const std::string path = (dir / "t.csv").string();
  WriteFile(path, ReadFile(kSample) + "8," + kGbkName +
                      ",C55,STEEL,333.3,123.456,3,7,1,6,77.7,1234.5,0.1,12.34\n"
                      "9,THIN,C65,STEEL,1e4,0.001,1,1,0,0,1e-3,1e-3,1e-5,1e-4\n");
  BrenmoorState state;
  const Outcome run = RunWith({"report", path, "--csv"}, &state);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string csv = ReadFile(dir / "t.properties.csv");
  // The file carries the byte order mark a spreadsheet needs; standard
  // output, read by programs, the same text without it.
  EXPECT_EQ("\xEF\xBB\xBF" + RunWith({"report", path, "--csv", "-o", "-"}).out, csv);

  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(csv.substr(3));
  for (std::string line; std::getline(lines, line);) {
    ASSERT_TRUE(line.ends_with('\r')) << line;
    line.pop_back();
    std::istringstream split(line);
    rows.emplace_back();
    for (std::string field; std::getline(split, field, ',');) rows.back().push_back(field);
    ASSERT_EQ(rows.back().size(), 22u) << line;
  }
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[0][1], "Name");
  EXPECT_EQ(rows[0][21], "Steel ΣA·x² (mm⁴)");
  EXPECT_EQ(rows[8][1], "\"柱截面\"");
  for (int i = 1; i <= 9; ++i) {
    SCOPED_TRACE(i);
    const TSECTION& s = state.records[i];
    const std::vector<std::string>& r = rows[i];
    EXPECT_EQ(r[0], std::to_string(i));
    EXPECT_EQ(r[7], std::to_string(s.fiber_count));
    // B, H, CC, then the steel area and every figure from column 12 on.
    const float values[] = {s.B,
                            s.H,
                            s.CC,
                            s.steel_area_sum,
                            s.shear_modulus,
                            s.shear_area_1,
                            s.shear_area_2,
                            s.torsion_constant,
                            s.concrete_area_sum,
                            s.steel_area_sum,
                            s.concrete_ay2_sum,
                            s.steel_ay2_sum,
                            s.concrete_ax2_sum,
                            s.steel_ax2_sum};
    int k = 0;
    for (int column : {2, 3, 4, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}) {
      EXPECT_EQ(testing::Bits(std::strtof(r[column].c_str(), nullptr)), testing::Bits(values[k++]))
          << "column " << column << ": " << r[column];
    }
  }
}

// A refused table gives convert's error, no call writes over the table, and
// every file stays as it was.
TEST(ReportCommand, RefusedCallsLeaveEveryFileAsItWas) {
  TempDir dir;
  const std::string bad = (dir / "bad.csv").string(), csv = (dir / "sections.csv").string();
  // A table that happens to end in .pdf would be its own default report.
  const std::string pdf = (dir / "sections.pdf").string();
  WriteFile(bad, kHeader + "1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n2,B,C35,STEEL,5x0\n");
  const std::string convert_err = RunWith({"convert", bad, "-o", (dir / "x").string()}).err;
  ASSERT_EQ(convert_err,
            "brenmoor: " + bad + ":3: B, column H: '5x0' is not a valid floating point value.\n");
  const std::map<std::string, std::string> files = {{"bad.pdf", "an older report"},
                                                    {"bad.properties.csv", "an older table"},
                                                    {"sections.pdf", ReadFile(kSample)},
                                                    {"sections.csv", ReadFile(kSample)}};
  for (const auto& [name, bytes] : files) WriteFile(dir / name, bytes);
  const std::string itself = "It is the section table itself.\n";
  const struct {
    std::vector<std::string> call;
    std::string err_end;
  } cases[] = {
      {{"report", bad}, convert_err},
      {{"report", bad, "-o", (dir / "bad.pdf").string()}, convert_err},
      {{"report", bad, "--csv"}, convert_err},
      {{"report", bad, "--csv", "-o", "-"}, convert_err},
      {{"report", pdf}, itself},
      {{"report", csv, "--csv", "-o", csv}, itself},
      {{"report", csv, "-o", (dir / "." / "sections.csv").string()}, itself},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call[1] + " " + c.call.back());
    const Outcome run = RunWith(c.call);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, ::testing::EndsWith(c.err_end));
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(RunWith({"report", csv, "-o", "-"}).status, 2);
  for (const auto& [name, bytes] : files) EXPECT_EQ(ReadFile(dir / name), bytes) << name;
  EXPECT_EQ(testing::EntriesIn(dir.path()), 5);
}

// Names cut to fit stay different; a ρ of many digits keeps to its column.
TEST(ReportCommand, LongNamesStayApartAndExtremeRhoFitsItsColumn) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  const std::string name = "KZ-TOWER-A-LEVEL-03-GRID-AXIS-B7-NORTH-";
  WriteFile(dir / "t.csv", kHeader + "1," + name + "1,C35,STEEL,600,400,4,6,3,4,600,800,314,40\n" +
                               "2," + name + "2,C35,STEEL,600,400,4,6,3,4,600,800,314,40\n" +
                               "3,TINY,C35,STEEL,1e-30,1e-30,0,0,0,0,1,1,1,0\n");
  const Outcome report = RunWith({"report", (dir / "t.csv").string()});
  ASSERT_EQ(report.status, 0) << report.err;
  const std::string table = PdfPages((dir / "t.pdf").string()).at(0);
  EXPECT_THAT(table, ::testing::HasSubstr("NORTH-1"));
  EXPECT_THAT(table, ::testing::HasSubstr("NORTH-2"));
  EXPECT_THAT(table, ::testing::HasSubstr(" 4e62 "));
  EXPECT_FALSE(std::regex_search(table, std::regex("[0-9]{12}"))) << table;
}

TEST(Percent, TwoDecimalsOrFourSignificantDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{1.6084, "1.61"},   {0, "0.00"},           {9999.99, "9999.99"},
               {10000, "1e4"},     {3.999999e62, "4e62"}, {0.0001234567, "1.235e-4"},
               {std::nan(""), "–"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Percent(c.value).toStdString(), c.text);
  }
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

// Sections from a micrometre to 10^18 mm: every capacity figure in at most
// seven characters besides the sign, none of them "−0", and a figure that is
// not 0 never shown as 0.
TEST(CapacityFigure, SevenCharactersAtMostAndNeverMinusZero) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {6320.64, 1, "6320.6"},
      {-2145.6, 1, "−2145.6"},
      {0.0, 1, "0.0"},
      {-0.0, 1, "0.0"},
      {0.0, 2, "0.00"},
      {99999.94, 1, "99999.9"},
      {99999.96, 1, "100000"},  // a decimal would make eight characters
      {-123456.7, 1, "−123457"},
      {999999.5, 1, "1000000"},
      {9999999.4, 1, "9999999"},
      {9999999.5, 1, "1e7"},
      {12345678, 1, "1.235e7"},
      {1.67e34, 1, "1.67e34"},
      {-2.0876e55, 1, "−2.088e55"},
      {0.06, 1, "0.1"},
      {0.04, 1, "4e−2"},  // not 0, so not shown as 0
      {-2.5282e-8, 1, "−2.528e−8"},
      {1e-300, 1, "1e−300"},
      {0.95, 2, "0.95"},
      {12345.678, 2, "12345.7"},
      {2087.5, 0, "2088"},
      {-0.4, 0, "−4e−1"},
      {std::nan(""), 1, "–"},
      {-INFINITY, 1, "−∞"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(CapacityFigure(c.value, c.decimals).toStdString(), c.text);
  }
}

// One format for an axial force wherever it is printed: the tables' one
// decimal, and four significant digits below 1 kN where one decimal would
// keep a single digit.
TEST(AxialForceFigure, OneDecimalAndFourDigitsBelowOneKilonewton) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {1252.5, "1252.5"},     {6320.64, "6320.6"}, {-2145.6, "−2145.6"},  {0.0, "0.0"},
      {0.25, "0.25"},         {0.06, "0.06"},      {-0.2468, "−0.2468"},  {0.9999, "0.9999"},
      {0.0012345, "0.00123"}, {2.5e-8, "2.5e−8"},  {12345678, "1.235e7"}, {std::nan(""), "–"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(AxialForceFigure(c.value).toStdString(), c.text);
  }
}

// capacity --lang chooses the texts of the PDF as report's does, English
// unless told; the pages stay, and the CSV is the same in both.
TEST(CapacityReport, LanguageOfThePdfEnglishByDefault) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  const std::string pdf = (dir / "c.pdf").string();
  const struct {
    std::vector<std::string> lang;
    std::vector<std::string> texts;
  } cases[] = {
      {{}, {"Section capacity report", "Page 1 of 15", "about y"}},
      {{"--lang", "en"}, {"Section capacity report", "Page 15 of 15"}},
      {{"--lang", "zh"}, {"截面承载力报告", "第 1 页，共 15 页", "绕 y 轴", "纤维误差"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang.empty() ? "(default)" : c.lang[1]);
    std::vector<std::string> args = {"capacity", kSample, "-o", pdf};
    args.insert(args.end(), c.lang.begin(), c.lang.end());
    const Outcome run = RunWith(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 15u);
    std::string text;
    for (const std::string& page : pages) text += page;
    for (const std::string& expected : c.texts) {
      EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
  }
  EXPECT_EQ(RunWith({"capacity", kSample, "--csv", "-o", "-", "--lang", "zh"}).out,
            RunWith({"capacity", kSample, "--csv", "-o", "-"}).out);
  const Outcome refused = RunWith({"capacity", kSample, "--lang", "de"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err.rfind("brenmoor: --lang takes en or zh, not 'de'\n", 0), 0u) << refused.err;
}

// The capacity report of the sample: the summary and each section's page
// hold the figures worked out independently of this program (KZ1 and KZ2),
// each page shows its own section, and only KZ5 (no concrete cells) is told
// to raise FX and FY.
TEST(CapacityReport, SampleSummaryAndSectionPages) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  const std::string pdf = (dir / "sample capacity.pdf").string();
  BrenmoorState state;
  const Outcome run = RunWith({"capacity", kSample, "-o", pdf}, &state);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote the capacity report of 7 sections to " + pdf + "\n");
  const std::vector<std::string> pages = PdfPages(pdf);
  ASSERT_EQ(static_cast<int>(pages.size()), PlanCapacityReport(7).pages());
  // The summary, then two pages per section: its capacity, its analysis.
  ASSERT_EQ(pages.size(), 15u);
  for (int page = 1; page <= 15; ++page) {
    EXPECT_NE(pages[page - 1].find("Page " + std::to_string(page) + " of 15"), std::string::npos);
  }

  const std::string number = R"(([−0-9.]+))";
  std::smatch row;
  // ρ = As / (B·H): 5960 / 250000 and (2·600 + 2·800 + 4·314) / 240000.
  const std::vector<BiaxialFigures> biaxial = ComputeBiaxialTable(state, CapacityOptions());
  const struct {
    std::string row;
    double m0_x, m0_y, rho, error_x, error_y;
  } summary[] = {{"1 +KZ1 +500 × 500 +C35 +6320.6 +−2145.6", 441.8, 441.8, 2.38, 0.95, 0.95},
                 {"2 +KZ2 +400 × 600 +C30 +4892.2 +−1460.2", 366.8, 235.7, 1.69, 1.08, 2.85}};
  for (std::size_t i = 0; i < std::size(summary); ++i) {
    const auto& s = summary[i];
    SCOPED_TRACE(s.row);
    std::string pattern = s.row;
    for (int column = 0; column < 6; ++column) pattern += " +" + number;
    ASSERT_TRUE(std::regex_search(pages[0], row, std::regex(pattern + " *\n"))) << pages[0];
    EXPECT_NEAR(std::stod(row[1]), s.m0_x, s.m0_x * 1e-3);
    EXPECT_NEAR(std::stod(row[2]), s.m0_y, s.m0_y * 1e-3);
    EXPECT_EQ(std::stod(row[3]), s.rho);
    EXPECT_NEAR(std::stod(row[4]), s.error_x, 0.05);
    EXPECT_NEAR(std::stod(row[5]), s.error_y, 0.05);
    EXPECT_NEAR(std::stod(row[6]), biaxial[i].fiber_error_pct, 0.0051);
  }
  EXPECT_TRUE(std::regex_search(pages[0], std::regex("5 +KZ5 .* raise FX and FY\n")));
  EXPECT_EQ(Occurrences(pages[0], "raise FX"), 1) << pages[0];  // the notes say "raise FY"

  EXPECT_TRUE(std::regex_search(
      pages[1], std::regex("about x +6320.6 +−2145.6 +2172.1 +592.4 +441.8 +441.1 +0.95\n")))
      << pages[1];
  const std::vector<SectionCapacity> figures = ComputeCapacityTable(state, CapacityOptions());
  for (int r = 1; r <= 7; ++r) {
    SCOPED_TRACE(r);
    const std::string& page = pages[2 * r - 1];
    EXPECT_TRUE(std::regex_search(
        page, std::regex("\n +" + std::to_string(r) + " +KZ" + std::to_string(r) + " *\n")));
    ASSERT_TRUE(std::regex_search(
        page, row,
        std::regex("about y +" + number + " +" + number + " +" + number + " +" + number)));
    EXPECT_NEAR(std::stod(row[3]), figures[r - 1].y.Nb, 0.051);
    EXPECT_NEAR(std::stod(row[4]), figures[r - 1].y.Mb, 0.051);
    for (const char* chart : {"N–M, bending about x", "N–M, bending about y", "M–φ about x at N",
                              "My (kN·m)", "φ (1/m)"}) {
      EXPECT_NE(page.find(chart), std::string::npos) << chart;
    }
  }
  // What the figures leave out, on the cover and on every section page,
  // which may be printed alone.
  EXPECT_NE(pages[0].find("N0 is that of the gross section B × H"), std::string::npos) << pages[0];
  for (int r = 1; r <= 7; ++r) {
    const std::string& page = pages[2 * r - 1];
    EXPECT_NE(page.find("without the stability factor 0.9φ"), std::string::npos) << page;
    EXPECT_NE(page.find("N0 of the gross section B × H."), std::string::npos) << page;
  }
  // The charts' N as the tables print it: 0.3·16.7·500·500 N = 1252.5 kN.
  for (const char* title : {"M–φ about x at N = 1252.5 kN", "Mx–My at N = 1252.5 kN"}) {
    EXPECT_NE(pages[1].find(title), std::string::npos) << title << "\n" << pages[1];
  }
}

// Each section's page lists its material values and its contour at the
// axial load, or says that it cannot carry that load; ρ outside 0.50 %–5 %
// is marked in the summary and on the page, and only there. By hand, with
// HRB500 (fy′ = 435, 400 in N0) and r = 1.5 (N = 1.5·16.7·B·H):
//   A  500 × 500, As = 4·250 = 1000: ρ = 0.40 %; N = 6262.5 kN above
//      N0 = 16.7·250000 + 400·1000 N = 4575 kN, so no contour;
//   B  400 × 400, As = 2·3000 + 2·3000 + 4·2000 = 20000: ρ = 12.50 %;
//      N = 4008 kN, N0 = 2672 + 8000 = 10672 kN;
//   C  KZ1, As = 5960: ρ = 2.38 %; N = 6262.5 kN, N0 = 4175 + 2384 = 6559 kN.
TEST(CapacityReport, PagesListMaterialsAndContourAndMarkRho) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  WriteFile(dir / "t.csv", kHeader +
                               "1,A,C35,STEEL,500,500,6,6,0,0,0,0,250,40\n"
                               "2,B,C35,STEEL,400,400,6,6,1,1,3000,3000,2000,40\n"
                               "3,C,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  const Outcome run =
      RunWith({"capacity", (dir / "t.csv").string(), "--steel", "HRB500", "--axial-ratio", "1.5"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> pages = PdfPages((dir / "t.capacity.pdf").string());
  ASSERT_EQ(pages.size(), 7u);
  EXPECT_NE(pages[0].find("HRB500, design strengths: fy = 435, fy′ = 435 N/mm², 400 N/mm² in N0"),
            std::string::npos)
      << pages[0];
  const struct {
    const char* name;
    const char* rho;
    bool outside, carries;
  } sections[] = {
      {"A", "0.40", true, false}, {"B", "12.50", true, true}, {"C", "2.38", false, true}};
  for (std::size_t i = 0; i < std::size(sections); ++i) {
    const auto& s = sections[i];
    SCOPED_TRACE(s.name);
    const std::string mark = s.outside ? "\\*" : "";
    // ρ, then the errors about x and y, and the biaxial one or "–".
    EXPECT_TRUE(std::regex_search(
        pages[0],
        std::regex(std::string("\n +") + std::to_string(i + 1) + " +" + s.name + " .* " + s.rho +
                   mark + " +[0-9.]+ +[0-9.]+ +" + (s.carries ? "[0-9.]+" : "–") + " *\n")))
        << pages[0];
    const std::string& page = pages[2 * i + 1];
    for (const char* value :
         {"fc +16.7 N/mm²", "ε0 +0.002", "εcu +0.0033", "n +2 ", "fy +435 N/mm²", "fy′ +435 N/mm²",
          "fy′ \\(N0\\) +400 N/mm²", "Es +200000 N/mm²"}) {
      EXPECT_TRUE(std::regex_search(page, std::regex(value))) << value << "\n" << page;
    }
    EXPECT_EQ(page.find("lies outside the 0.50 %–5 %") != std::string::npos, s.outside) << page;
    EXPECT_EQ(page.find("90°") != std::string::npos, s.carries) << page;
    EXPECT_EQ(page.find("Least |M|, exact") != std::string::npos, s.carries) << page;
    EXPECT_EQ(page.find("cannot carry N = 6262.5 kN") != std::string::npos, !s.carries) << page;
  }
}

// A report in Chinese asks a translator of its own. Installing one for the
// whole program while drawing would send the window, in whatever language,
// a LanguageChange (the capacity dialog computes its section again on one)
// and make two reports drawn at once answer in each other's language.
TEST(CapacityReport, ChineseReportsLeaveTheProgramsTranslatorsAlone) {
  class LanguageChanges : public QObject {
   public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::LanguageChange) ++count;
      return false;
    }
  } changes;
  qApp->installEventFilter(&changes);
  const BrenmoorState state = testing::StateWith(testing::DefaultSection());
  const CapacityOptions options;
  CapacityReportInfo capacity;
  capacity.language = Language::kChinese;
  const CapacityCurves curves =
      ComputeCapacityCurves(MakeCapacitySection(state, 1, options), options);
  EXPECT_TRUE(SectionCapacityDocument(state, 1, curves, capacity).startsWith("%PDF-"));
  ReportInfo section;
  section.language = Language::kChinese;
  StringSink pdf;
  SectionReportPdf(pdf, PreparedCopy(state), section);
  qApp->removeEventFilter(&changes);
  EXPECT_EQ(changes.count, 0);
}

// A summary longer than a page lists every section once, with its header
// on every page of it, and the chosen materials reach the cover.
TEST(CapacityReport, LongSummaryListsEverySectionOnce) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  std::string table = kHeader;
  for (int i = 1; i <= 45; ++i) {
    table += std::to_string(i) + ",S" + std::to_string(i) + ",C" +
             std::to_string(30 + 5 * (i % 11)) + ",STEEL,600,400,4,6,3,4,600,800,314,40\n";
  }
  WriteFile(dir / "long.csv", table);
  const Outcome run = RunWith({"capacity", (dir / "long.csv").string(), "--steel", "HRB500",
                               "--strength", "characteristic"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> pages = PdfPages((dir / "long.capacity.pdf").string());
  const CapacityReportPlan plan = PlanCapacityReport(45);
  ASSERT_EQ(plan.table_pages, 2);
  ASSERT_EQ(static_cast<int>(pages.size()), plan.pages());
  std::string all;
  for (int page = 1; page <= plan.pages(); ++page) {
    EXPECT_EQ(
        std::regex_search(pages[page - 1], std::regex(R"(No\. +Name +B ?× ?H +Concrete +N0)")),
        page <= plan.table_pages)
        << page;
    all += pages[page - 1];
  }
  // The summary's row, the capacity page and the analysis page.
  for (int i = 1; i <= 45; ++i) EXPECT_EQ(Occurrences(all, "S" + std::to_string(i)), 3) << i;
  EXPECT_NE(pages[0].find("HRB500, characteristic strengths: fy = 500, fy′ = 500"),
            std::string::npos);
}

// Each section's analysis page: the figures of its models as the capacity
// library gives them (worked out by hand in its own tests), the confined row
// only for a section with stirrups, the reasons for empty rows, and, where
// the material table's E is not Table 4.1.5's Ec (C45 here), both.
TEST(CapacityReport, AnalysisPagesShowEveryModelsFigures) {
  if (!HavePdfToText()) GTEST_SKIP() << "needs pdftotext (poppler-utils)";
  TempDir dir;
  const std::string stirrups = std::string(BRENMOOR_SOURCE_DIR) + "/examples/sample-stirrups.csv";
  const std::string pdf = (dir / "s.pdf").string();
  BrenmoorState state;
  ASSERT_EQ(RunWith({"capacity", stirrups, "-o", pdf}, &state).status, 0);
  const std::vector<std::string> pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 15u);
  const std::string& kz1 = pages[2];
  const AnalysisSection section =
      MakeAnalysisSection(state, 1, AnalysisOptionsOf({}), state.records[1].stirrups);
  ASSERT_TRUE(section.core);
  for (AnalysisModel model :
       {AnalysisModel::kExact, AnalysisModel::kFiber, AnalysisModel::kConfined}) {
    const AnalysisFigures f = AnalysisFiguresOf(section, BendingAxis::kY, model, 0.3);
    ASSERT_TRUE(f.holds && f.phi_y1 && f.EI0 && f.phi_y && f.EI_eff && f.mu_phi);
    const std::vector<QString> shown = {Figure(*f.EI0),
                                        Figure(*f.phi_y1),
                                        CapacityFigure(*f.M_y1, 1),
                                        CapacityFigure(f.M_n, 1),
                                        Figure(*f.phi_y),
                                        Figure(*f.EI_eff),
                                        Figure(f.phi_u),
                                        CapacityFigure(f.M_u, 1),
                                        CapacityFigure(f.M_peak, 1),
                                        CapacityFigure(*f.mu_phi, 2)};
    std::string row = std::string("\n[ xy]*") + AnalysisModelName(model);
    for (const QString& value : shown) row += " +" + value.toStdString();
    row += std::string(" +") + CurveEndName(f.ends_by) + " *\n";
    // KZ1 is square and its bars symmetric: the rows about x and y agree.
    const std::regex pattern(row);
    EXPECT_EQ(std::distance(std::sregex_iterator(kz1.begin(), kz1.end(), pattern),
                            std::sregex_iterator()),
              2)
        << row << "\n"
        << kz1;
  }
  EXPECT_EQ(Occurrences(kz1, "fiber error, %"), 2) << kz1;
  EXPECT_NE(kz1.find("Stirrups Φ10@100, 4 legs along x and 4 along y, HRB400"), std::string::npos)
      << kz1;
  EXPECT_NE(pages[0].find("C45 32500 / 33500"), std::string::npos) << pages[0];
  EXPECT_NE(pages[12].find("gives C45 E = 32500 N/mm²; these laws take Ec = 33500"),
            std::string::npos)
      << pages[12];

  // Without the stirrup columns: no confined row. KZ5 has no concrete cells,
  // and at r = 1.2 (N = 1.2·27.5·400·400 N) the bars alone cannot carry N.
  const std::string plain = (dir / "p.pdf").string();
  ASSERT_EQ(RunWith({"capacity", kSample, "-o", plain, "--axial-ratio", "1.2"}).status, 0);
  const std::vector<std::string> without = PdfPages(plain);
  ASSERT_EQ(without.size(), 15u);
  for (int r = 1; r <= 7; ++r) {
    const std::string& page = without[2 * r];
    SCOPED_TRACE(r);
    EXPECT_FALSE(std::regex_search(page, std::regex("\n +confined "))) << page;
    EXPECT_NE(page.find("No stirrups in the table for this section"), std::string::npos) << page;
    EXPECT_EQ(page.find("has no concrete fibers") != std::string::npos, r == 5) << page;
  }
  EXPECT_EQ(Occurrences(without[10], "The model cannot carry N = 5280.0 kN"), 2) << without[10];
}

// A table the capacity refuses writes no report: an older one stays.
TEST(CapacityReport, RefusedTableLeavesTheOldReport) {
  TempDir dir;
  const std::string bad = (dir / "bad.csv").string();
  WriteFile(bad, kHeader +
                     "1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n"
                     "2,B,STEEL,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  WriteFile(dir / "bad.capacity.pdf", "an older report");
  WriteFile(dir / "other.pdf", "another older report");
  for (const std::string& output : {std::string(), (dir / "other.pdf").string()}) {
    SCOPED_TRACE(output);
    std::vector<std::string> call = {"capacity", bad};
    if (!output.empty()) call.insert(call.end(), {"-o", output});
    const Outcome run = RunWith(call);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, ::testing::HasSubstr(bad + ":3: Section \"B\": capacity needs a concrete "
                                                    "grade in CONC"));
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadFile(dir / "bad.capacity.pdf"), "an older report");
  EXPECT_EQ(ReadFile(dir / "other.pdf"), "another older report");
  EXPECT_EQ(testing::EntriesIn(dir.path()), 3);
}

// N upwards and M to the right: a line rising to the right is drawn so, the
// dashed one in its own colour, both inside the picture.
TEST(CapacityChart, DrawsDataTheRightWayUp) {
  Chart chart;
  chart.series.resize(2);
  chart.series[0].points = {{0, -50}, {400, 3000}};
  chart.series[1].points = {{0, 3000}, {400, -50}};
  chart.series[1].dashed = true;
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    DrawChart(painter, QRectF(0, 0, 800, 600), chart, 4.0);
  }
  // The topmost and bottommost pixels of each series' colour, by x.
  auto ends = [&](auto is_colour) {
    int top_x = -1, top_y = 600, bottom_x = -1, bottom_y = -1;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (!is_colour(QColor(image.pixel(x, y)))) continue;
        if (y < top_y) top_x = x, top_y = y;
        if (y > bottom_y) bottom_x = x, bottom_y = y;
      }
    }
    return std::pair(top_x, bottom_x);
  };
  const auto solid = ends([](QColor c) { return c.blue() > 150 && c.red() < 60; });
  const auto dashed =
      ends([](QColor c) { return c.red() > 180 && c.blue() < 60 && c.green() < 110; });
  EXPECT_GT(solid.first, solid.second + 300);  // its top at the right
  EXPECT_LT(dashed.first + 300, dashed.second);
}

// The analysis chart draws each model the section has, and the bilinear
// line through the points its figures define: from the origin at EIeff to
// (φy, EIeff·φy), which is Mn where Mn > My′, then to the end (φu, Mu).
TEST(CapacityChart, AnalysisChartHasEachModelAndItsBilinearLine) {
  TSECTION hooped = testing::DefaultSection();
  hooped.stirrups = Stirrups{10, 100, 4, 4};
  const BrenmoorState state = testing::StateWith(testing::DefaultSection(), hooped);
  CapacityChartTexts texts;
  texts.confined = "confined";
  texts.bilinear = "bilinear";
  texts.analysis_title[1] = texts.cannot_hold = "%1";
  for (int record : {1, 2}) {
    SCOPED_TRACE(record);
    const AnalysisCurves curves = ComputeAnalysisCurves(state, record, CapacityOptions());
    const Chart chart = AnalysisChart(curves, BendingAxis::kY, texts);
    const int models = record == 2 ? 3 : 2;
    EXPECT_EQ(chart.legend_dotted.isEmpty(), record == 1);
    // The models' curves, then a bilinear line for each but the fiber model.
    ASSERT_EQ(chart.series.size(), static_cast<std::size_t>(models + models - 1));
    for (int m = 0; m < models; ++m) {
      const ChartSeries& curve = chart.series[static_cast<std::size_t>(m)];
      const AnalysisFigures& f = curves.curve[1][m].figures;
      ASSERT_TRUE(f.holds && f.phi_y && f.EI_eff && f.M_y1);
      EXPECT_EQ(curve.dotted, m == 2);
      EXPECT_EQ(curve.points.back(), QPointF(f.phi_u, f.M_u));
      if (m == 1) continue;
      const ChartSeries& line = chart.series[static_cast<std::size_t>(models + (m == 0 ? 0 : 1))];
      EXPECT_TRUE(line.thin);
      ASSERT_EQ(line.points.size(), 3u);
      EXPECT_EQ(line.points[0], QPointF(0, 0));
      EXPECT_DOUBLE_EQ(line.points[1].x(), *f.phi_y);
      EXPECT_NEAR(line.points[1].y(), f.M_n > *f.M_y1 ? f.M_n : *f.M_y1, 1e-9 * f.M_n);
      EXPECT_EQ(line.points[2], QPointF(f.phi_u, f.M_u));
    }
  }
}

TEST(CapacityChart, TicksAtRoundSteps) {
  const struct {
    double span;
    int ticks;
    double step;
  } steps[] = {{8466.2, 7, 2000}, {0.043, 6, 0.01},  {0.3, 3, 0.1}, {1, 6, 0.2},
               {12, 6, 2},        {0.025, 5, 0.005}, {600, 6, 100}, {0, 6, 1}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.span);
    EXPECT_DOUBLE_EQ(NiceStep(s.span, s.ticks), s.step);
  }
  const struct {
    double value, step;
    const char* text;
  } labels[] = {{2000, 2000, "2000"},
                {0.0125, 0.0025, "0.0125"},
                {-1000, 500, "−1000"},
                {1e-17, 0.005, "0.000"},
                {0.3, 0.1, "0.3"},
                {4e-18, 2e-18, "0.000000000000"}};  // too long: the axis counts in 10⁻¹⁸
  for (const auto& l : labels) {
    SCOPED_TRACE(l.value);
    EXPECT_EQ(TickLabel(l.value, l.step).toStdString(), l.text);
  }
}

// The four charts of one section, 500 × 500 scaled to `size` mm (bar areas
// by size², CC by size), with the report's words.
std::vector<Chart> ChartsOfSectionSized(double size) {
  const double k = size / 500;
  const auto f = [](double v) { return static_cast<float>(v); };
  const BrenmoorState state =
      testing::StateWith(testing::MakeSection({"S", 1, f(size), f(size), f(40 * k), 5, 5, 6, 6,
                                               f(1000 * k * k), f(1000 * k * k), f(490 * k * k)}));
  const CapacityOptions options;
  const CapacityCurves curves =
      ComputeCapacityCurves(MakeCapacitySection(state, 1, options), options);
  const CapacityChartTexts texts =
      CapacityReportTexts(ReportText(Language::kEnglish, "CapacityReport"));
  std::vector<Chart> charts;
  for (BendingAxis axis : {BendingAxis::kX, BendingAxis::kY}) {
    charts.push_back(InteractionChart(curves, axis, texts));
    charts.push_back(CurvatureChart(curves, axis, texts));
  }
  charts.push_back(BiaxialChart(curves, texts));
  return charts;
}

// From a micrometre to 10^18 mm, on the page and in the smallest chart the
// window draws: no two texts of a chart touch (tick labels, the axes'
// titles, the chart's title), each stays inside the chart's area, a tick
// label has at most six characters besides its sign, none is "−0" and no
// two of an axis are alike.
TEST(CapacityChart, TextsKeepApartFromTinyToHugeSections) {
  const struct {
    double unit;
    QRectF area;
  } places[] = {{10, QRectF(130, 700, 910, 1000)}, {3.4, QRectF(0, 0, 260, 190)}};
  const QRegularExpression minus_zero(QStringLiteral("^−0(\\.0*)?$"));
  for (double size : {1e-3, 1.0, 500.0, 1e5, 1e18}) {
    int scaled_axes = 0;  // of moments
    for (const Chart& chart : ChartsOfSectionSized(size)) {
      for (const auto& place : places) {
        SCOPED_TRACE(QStringLiteral("%1 mm, %2 at unit %3")
                         .arg(size)
                         .arg(chart.title)
                         .arg(place.unit)
                         .toStdString());
        const std::vector<ChartText> texts = ChartTexts(place.area, chart, place.unit);
        ASSERT_GT(texts.size(), 5u);
        QStringList ticks[2];  // along x, along y: no two alike
        for (const ChartText& t : texts) {
          if (t.kind == ChartText::Kind::kTickX) ticks[0] << t.text;
          if (t.kind == ChartText::Kind::kTickY) ticks[1] << t.text;
        }
        for (QStringList& axis : ticks) {
          const qsizetype count = axis.size();
          axis.removeDuplicates();
          EXPECT_EQ(axis.size(), count) << axis.join(u' ').toStdString();
        }
        for (std::size_t i = 0; i < texts.size(); ++i) {
          const ChartText& a = texts[i];
          EXPECT_TRUE(place.area.contains(a.box)) << a.text.toStdString();
          if (a.kind == ChartText::Kind::kTickX || a.kind == ChartText::Kind::kTickY) {
            const QString digits = a.text.startsWith(QChar(0x2212)) ? a.text.mid(1) : a.text;
            EXPECT_LE(digits.size(), 6) << a.text.toStdString();
            EXPECT_FALSE(minus_zero.match(a.text).hasMatch()) << a.text.toStdString();
          }
          // On the page, where the room does not depend on the window; not
          // the contour, whose equal scales leave its ticks less room.
          if (place.unit == 10 && !chart.equal_scales && a.text.contains(QStringLiteral("×10")) &&
              a.text.contains(QStringLiteral("kN·m"))) {
            ++scaled_axes;
          }
          for (std::size_t j = i + 1; j < texts.size(); ++j) {
            EXPECT_FALSE(a.box.intersects(texts[j].box))
                << a.text.toStdString() << " and " << texts[j].text.toStdString();
          }
        }
      }
    }
    // On the page the sample's size counts its moments in kN·m; the others
    // need a power of ten there (a 1 mm section's moments are about 1e-6
    // kN·m). Whether the forces of the sample's size need one depends on
    // how wide the system's font draws "−2000" beside the axis's title.
    EXPECT_EQ(scaled_axes > 0, size != 500) << size;
  }
}

// The contour of a section 600 high and 400 wide keeps its shape: one tick
// step is as long on paper across (My) as upwards (Mx), on the page and in
// the window's chart beside the others, and so Mx's range spans more of it.
TEST(CapacityChart, ContourHasEqualScales) {
  const BrenmoorState state = testing::StateWith(testing::Section600x400());
  const CapacityOptions options;
  const CapacityCurves curves =
      ComputeCapacityCurves(MakeCapacitySection(state, 1, options), options);
  const Chart chart =
      BiaxialChart(curves, CapacityReportTexts(ReportText(Language::kEnglish, "CapacityReport")));
  ASSERT_TRUE(chart.equal_scales);
  // An axis may count in a power of ten named in its title ("Mx (×10³
  // kN·m)") where a system's font draws its ticks too wide to fit.
  const auto power_of = [](const QString& title) {
    const qsizetype at = title.indexOf(QStringLiteral("×10"));
    if (at < 0) return 1.0;
    const QString superscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    int exponent = 0, sign = 1;
    for (qsizetype i = at + 3; i < title.size(); ++i) {
      if (title[i] == QChar(0x207B)) {
        sign = -1;
      } else if (const qsizetype digit = superscripts.indexOf(title[i]); digit >= 0) {
        exponent = 10 * exponent + static_cast<int>(digit);
      } else {
        break;
      }
    }
    return std::pow(10.0, sign * exponent);
  };
  for (const auto& [area, unit] :
       {std::pair(QRectF(130, 2000, 1200, 1000), 10.0), std::pair(QRectF(0, 0, 360, 560), 3.4)}) {
    SCOPED_TRACE(unit);
    std::vector<ChartText> x, y;
    double x_power = 1, y_power = 1;
    for (const ChartText& t : ChartTexts(area, chart, unit)) {
      if (t.kind == ChartText::Kind::kTickX) x.push_back(t);
      if (t.kind == ChartText::Kind::kTickY) y.push_back(t);
      if (t.kind == ChartText::Kind::kAxisX) x_power = power_of(t.text);
      if (t.kind == ChartText::Kind::kAxisY) y_power = power_of(t.text);
    }
    const auto value = [](const ChartText& t, double power) {
      return QString(t.text).replace(QChar(0x2212), u'-').toDouble() * power;
    };
    // Inner ticks only: the outermost labels may be moved inside the area.
    ASSERT_GE(x.size(), 4u);
    ASSERT_GE(y.size(), 4u);
    const double across = (x[2].box.center().x() - x[1].box.center().x()) /
                          (value(x[2], x_power) - value(x[1], x_power));
    const double upwards =
        (y[1].at.y() - y[2].at.y()) / (value(y[2], y_power) - value(y[1], y_power));
    EXPECT_NEAR(across, upwards, 1e-6 * across);
    EXPECT_GT(value(y.back(), y_power) - value(y.front(), y_power),
              value(x.back(), x_power) - value(x.front(), x_power));
  }
}

// Cancels as soon as it is shown step: the engineer stopping the work at
// that point.
class CancelAtStep : public Progress {
 public:
  explicit CancelAtStep(std::string step) : step_(std::move(step)) {}
  void Show(std::string_view step, std::int64_t, std::int64_t) override {
    if (step == step_) Cancel();
  }

 private:
  std::string step_;
};

TEST(CapacityCommand, ACancelAtAnyStepKeepsTheOldFileAndNoTemporary) {
  const struct {
    bool csv;
    CapacityCsv kind;
    const char* step;
  } cases[] = {
      {false, CapacityCsv::kFigures, "Reading sections"},
      {false, CapacityCsv::kFigures, "Computing capacity"},
      {false, CapacityCsv::kFigures, "Computing biaxial bending"},
      {false, CapacityCsv::kFigures, "Drawing capacity pages"},
      {true, CapacityCsv::kCurves, "Computing interaction curves"},
      {true, CapacityCsv::kMomentCurvature, "Computing moment-curvature"},
      {true, CapacityCsv::kBiaxialCurves, "Computing biaxial bending"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    TempDir dir;
    CapacityRequest request;
    request.table.path = kSample;
    request.output = (dir / "out").string();
    request.csv = c.csv;
    request.csv_kind = c.kind;
    WriteFile(dir / "out", "old");
    CancelAtStep progress(c.step);
    BrenmoorState state;
    JobContext context{state, &progress};
    EXPECT_THROW(c.csv ? CapacityCsvJob(request, context)
                       : CapacityPdfJob(request, context, ModuleCapacityRenderer()),
                 Cancelled);
    EXPECT_EQ(ReadFile(dir / "out"), "old");
    EXPECT_EQ(testing::EntriesIn(dir.path()), 1);
  }
}

// A disk that fills up while a report is drawn: Qt's writer cannot carry the
// error, so it must come out once the writer is done, not be lost.
TEST(WritePdf, AFailureOfTheSinkIsThrownOnceTheWriterIsDone) {
  class FullDisk : public ByteSink {
   public:
    FullDisk() : ByteSink(64) {}  // delivers while the writer writes

   protected:
    void Deliver(const char*, std::size_t) override {
      throw Error("Cannot write file \"x\". No space left on device");
    }
  } sink;
  const auto draw_pages = [](QPdfWriter& writer) {
    QPainter painter(&writer);
    for (int page = 0; page < 40; ++page) {
      painter.drawText(QPointF(300, 300), QStringLiteral("page %1").arg(page));
      writer.newPage();
    }
  };
  EXPECT_EQ(testing::ErrorOf([&] { WritePdf(sink, "t", "0", draw_pages); }),
            "Cannot write file \"x\". No space left on device");
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
