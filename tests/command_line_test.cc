#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "import/section_import.h"
#include "model/fiber_layout.h"
#include "model/section_properties.h"
#include "output/component_reader.h"
#include "tests/system_texts.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

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

const std::string kSample = std::string(BRENMOOR_SOURCE_DIR) + "/examples/sample.csv";

TEST(CommandLine, ConvertsTheSampleTableAndInspectReadsItBack) {
  TempDir dir;
  const std::string output = (dir / "KAVOSEC.PF3CMP").string();
  BrenmoorState state;
  const Outcome convert = RunWith({"convert", kSample, "-o", output}, state);
  ASSERT_EQ(convert.status, 0) << convert.err;
  EXPECT_EQ(convert.out, "Wrote 7 sections to " + output + "\n");
  EXPECT_EQ(convert.err, "");

  const ComponentFile file = ReadComponentFile(ReadFile(output));
  ASSERT_EQ(file.sections.size(), 7u);
  for (int i = 1; i <= 7; ++i) {
    SCOPED_TRACE(i);
    // Convert keeps each record's properties; its fibers are laid out only
    // while its block is written, so they are laid out again here.
    TSECTION record = state.records[i];
    LayoutFibers(record);
    const FileSection& read = file.sections[i - 1];
    EXPECT_EQ(read.name, record.NAME);
    EXPECT_EQ(read.fiber_count, record.fiber_count);
    EXPECT_EQ(read.shear_modulus, record.shear_modulus);
    EXPECT_EQ(read.torsion_constant, record.torsion_constant);
    EXPECT_EQ(read.concrete_ay2_sum, record.concrete_ay2_sum);
    EXPECT_EQ(read.steel_ax2_sum, record.steel_ax2_sum);
    for (int k = 0; k < record.fiber_count; ++k) {
      EXPECT_EQ(read.fibers[k].x, record.fibers[k].x);
      EXPECT_EQ(read.fibers[k].y, record.fibers[k].y);
      EXPECT_EQ(read.fibers[k].area, record.fibers[k].area);
    }
  }
  EXPECT_EQ(state.records[1].fiber_count, 60);
  EXPECT_EQ(state.records[5].fiber_count, 24);

  const Outcome inspect = RunWith({"inspect", output, "--fibers"});
  EXPECT_EQ(inspect.status, 0) << inspect.err;
  EXPECT_NE(inspect.out.find("model KAVOSEC, 7 sections"), std::string::npos) << inspect.out;
  EXPECT_NE(inspect.out.find("Section 1: KZ1\n  fibers            60 (24 bars, 36 concrete cells)\n"
                             "  shear modulus     13125 N/mm2\n"),
            std::string::npos)
      << inspect.out;
  EXPECT_NE(inspect.out.find("  torsion constant  8802083840 mm4\n"), std::string::npos)
      << inspect.out;
  EXPECT_NE(
      inspect.out.find("      1  steel    STEEL             -140           210           200\n"),
      std::string::npos)
      << inspect.out;
}

TEST(CommandLine, FailuresSayWhereAndChangeNothing) {
  TempDir dir;
  const std::string output = (dir / "out.PF3CMP").string();
  WriteFile(output, "older file");
  const std::string bad_table = (dir / "bad.csv").string();
  WriteFile(bad_table,
            "NUM,NAME\n1,A,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n2,B,C35,STEEL,5x0\n");
  const std::string zero_table = (dir / "zero.csv").string();
  WriteFile(zero_table, "NUM,NAME\n1,A,C35,STEEL,0,0,6,6,5,5,1000,1000,490,40\n");
  const std::string missing = (dir / "missing.csv").string();
  const std::string not_a_file = (dir / "bad.csv").string();

  const struct {
    std::vector<std::string> args;
    std::string err_start;
  } cases[] = {
      {{"convert", bad_table, "-o", output},
       "brenmoor: " + bad_table + ":3: '5x0' is not a valid floating point value.\n"},
      {{"convert", missing, "-o", output},
       "brenmoor: Cannot open file \"" + missing + "\". " + testing::Texts().missing_file + ".\n"},
      {{"convert", zero_table, "-o", output}, "brenmoor: " + zero_table + ":2: "},
      {{"convert", kSample, "-o", (dir / "no" / "x").string()},
       "brenmoor: Cannot create file \"" + (dir / "no" / "x").string() + "\". " +
           testing::Texts().missing_folder + ".\n"},
      {{"inspect", not_a_file}, "brenmoor: Not a valid component file: wrong magic"},
      {{"inspect", missing},
       "brenmoor: Cannot open file \"" + missing + "\". " + testing::Texts().missing_file + ".\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const Outcome run = RunWith(c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(0, c.err_start.size()), c.err_start) << run.err;
  }
  EXPECT_EQ(ReadFile(output), "older file");
  EXPECT_EQ(testing::EntriesIn(dir.path()), 3);
}

// "Open with" from the file manager passes the one file; anything else is a
// command line.
TEST(CommandLine, OneExistingTableOpensTheWindow) {
  TempDir dir;
  WriteFile(dir / "report", "NUM\n");
  const struct {
    std::vector<std::string> args;
    bool window;
  } cases[] = {
      {{"brenmoor", kSample}, true},
      {{"brenmoor", (dir / "missing.csv").string()}, false},
      {{"brenmoor", dir.path().string()}, false},  // a folder
      {{"brenmoor", kSample, "-o"}, false},
      {{"brenmoor", "--help"}, false},
      {{"brenmoor", "report"}, false},  // a command, even beside a file of that name
      {{"brenmoor"}, false},
  };
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    EXPECT_EQ(OpensWindowWithTable(c.args), c.window);
  }
  std::filesystem::current_path(before);
}

TEST(CommandLine, WrongCallsPrintUsageAndExit2) {
  const std::vector<std::vector<std::string>> calls = {
      {},
      {"frobnicate"},
      {"convert"},
      {"convert", "a.csv", "-o"},
      {"inspect", "a", "b"},
      {"convert", "a.csv", "--fibers"},
      {"inspect", "--bogus", "x"},
  };
  for (const auto& args : calls) {
    SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
    const Outcome run = RunWith(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage: brenmoor"), std::string::npos);
  }
  EXPECT_EQ(RunWith({"--version"}).out, "brenmoor " BRENMOOR_VERSION
                                        "\n"
#ifdef BRENMOOR_QT_VERSION
                                        "window and report built with Qt " BRENMOOR_QT_VERSION "\n"
#endif
  );
  EXPECT_EQ(RunWith({"--help"}).status, 0);
}

}  // namespace
}  // namespace brenmoor
