// The section report and the properties table, made through the command line
// and read back with pdftotext.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <QGuiApplication>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "report/figures.h"
#include "report/section_report.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

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

Outcome RunWith(std::vector<std::string> args, BrenmoorState* state = nullptr) {
  BrenmoorState fresh;
  args.insert(args.begin(), "brenmoor");
  std::ostringstream out, err;
  const int status = RunCommandLine(args, state ? *state : fresh, out, err);
  return {status, out.str(), err.str()};
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
  EXPECT_EQ(RunWith({"report", path, "--csv", "-o", "-"}).out, csv);

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
  ASSERT_EQ(convert_err, "brenmoor: " + bad + ":3: '5x0' is not a valid floating point value.\n");
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
