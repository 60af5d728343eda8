#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "import/section_import.h"
#include "model/fiber_layout.h"
#include "model/section_properties.h"
#include "output/component_reader.h"
#include "tests/command_line_runner.h"
#include "tests/sample_table.h"
#include "tests/system_texts.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

using testing::Outcome;
using testing::RunWith;
const std::string& kSample = testing::kSampleTable;

// Swapped material columns convert as they always did, but every command
// that reads the table says so, with the line as errors number it.
TEST(CommandLine, WarnsOfSwappedMaterialColumnsAndStillConverts) {
  TempDir dir;
  WriteFile(dir / "t.csv",
            "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\r\n"
            "1,SWAP,STEEL,C30,500,500,6,6,5,5,1000,1000,490,40\r\n"
            "2,OK,C30,STEEL,500,500,6,6,5,5,1000,1000,490,40\r\n"
            "3,CELLS,STEEL,STEEL,500,500,6,6,5,5,1000,1000,490,40\r\n");
  const std::string table = (dir / "t.csv").string();
  const std::string warnings =
      "brenmoor: " + table +
      ":2: warning: Section \"SWAP\" has the steel \"STEEL\" as its concrete; check the CONC "
      "column.\n"
      "brenmoor: " +
      table +
      ":2: warning: Section \"SWAP\" has the concrete \"C30\" as its bars; check the STEEL "
      "column.\n"
      "brenmoor: " +
      table +
      ":4: warning: Section \"CELLS\" has the steel \"STEEL\" as its concrete; check the CONC "
      "column.\n";
  const Outcome convert = RunWith({"convert", table, "-o", (dir / "out").string()});
  EXPECT_EQ(convert.status, 0);
  EXPECT_EQ(convert.err, warnings);
  // The bytes are those of the section as the table gives it: bars of C30.
  const ComponentFile file = ReadComponentFile(ReadFile(dir / "out"));
  ASSERT_EQ(file.sections.size(), 3u);
  EXPECT_EQ(file.sections[0].shear_modulus, 85833.336f);
  EXPECT_EQ(file.sections[0].fibers[0].material, 0);

  const Outcome csv = RunWith({"report", table, "--csv", "-o", "-"});
  EXPECT_EQ(csv.status, 0);
  EXPECT_EQ(csv.err, warnings);
}

// The stirrup columns never change a byte of the component file; what of
// them cannot be used is a warning of convert alone, on its line.
TEST(CommandLine, StirrupColumnsLeaveTheComponentFileAsItWas) {
  TempDir dir;
  const std::string kStirrupSample =
      std::string(BRENMOOR_SOURCE_DIR) + "/examples/sample-stirrups.csv";
  const Outcome plain = RunWith({"convert", kSample, "-o", (dir / "plain").string()});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const Outcome stirrups = RunWith({"convert", kStirrupSample, "-o", (dir / "stirrups").string()});
  ASSERT_EQ(stirrups.status, 0) << stirrups.err;
  EXPECT_EQ(stirrups.err, "");
  EXPECT_EQ(ReadFile(dir / "stirrups"), ReadFile(dir / "plain"));

  // The sample's KZ2 (line 3) with hoops closer than their own bar.
  std::string bad = ReadFile(kStirrupSample);
  const std::size_t kz2 = bad.find(",10,100,4,3");
  ASSERT_NE(kz2, std::string::npos);
  bad.replace(kz2, 11, ",10,8,4,3");
  WriteFile(dir / "bad.csv", bad);
  const std::string table = (dir / "bad.csv").string();
  const Outcome convert = RunWith({"convert", table, "-o", (dir / "bad").string()});
  EXPECT_EQ(convert.status, 0);
  EXPECT_EQ(convert.err, "brenmoor: " + table +
                             ":3: warning: Section \"KZ2\", STIRRUP_S: '8' is not more than "
                             "STIRRUP_D = '10': the hoops would touch or overlap; the analysis "
                             "would refuse the table.\n");
  const Outcome csv = RunWith({"report", table, "--csv", "-o", (dir / "bad.csv.csv").string()});
  EXPECT_EQ(csv.status, 0);
  EXPECT_EQ(csv.err, "");
}

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
  const std::string too_many = (dir / "too-many.csv").string();
  std::string lines = "NUM\n";
  for (int i = 0; i <= kMaxSections; ++i) lines += "1\n";
  WriteFile(too_many, lines);

  const struct {
    std::vector<std::string> args;
    std::string err_start;
  } cases[] = {
      {{"convert", bad_table, "-o", output},
       "brenmoor: " + bad_table + ":3: B, column H: '5x0' is not a valid floating point value.\n"},
      {{"convert", missing, "-o", output},
       "brenmoor: Cannot open file \"" + missing + "\". " + testing::Texts().missing_file + ".\n"},
      {{"convert", zero_table, "-o", output}, "brenmoor: " + zero_table + ":2: "},
      {{"convert", too_many, "-o", output},
       "brenmoor: " + too_many + ": The table holds 32768 sections; at most 32767 are allowed.\n"},
      {{"convert", kSample, "-o", (dir / "no" / "x").string()},
       "brenmoor: Cannot create file \"" + (dir / "no" / "x").string() + "\". " +
           testing::Texts().missing_folder + ".\n"},
      {{"inspect", not_a_file},
       "brenmoor: " + not_a_file + ": not a valid component file: wrong magic"},
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
  EXPECT_EQ(testing::EntriesIn(dir.path()), 4);
}

// A value that overflows only in the arithmetic is found like a refused
// line: the table, the line and the section, in every command that computes.
TEST(CommandLine, ComputingErrorsNameTheTableTheLineAndTheSection) {
  TempDir dir;
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"2,HUGE,C35,STEEL,3e38,3e38,5,5,6,6,1,1,1,40", "Section \"HUGE\": Floating point overflow."},
      {"2,TALL,C35,STEEL,1e38,500,5,5,6,6,1,1,1,40", "Section \"TALL\": Floating point overflow."},
      {"2,TINY,C35,STEEL,1e-45,1e-45,5,5,6,6,0,0,0,0",
       "Section \"TINY\": Invalid floating point operation."},
  };
  const std::string table = (dir / "t.csv").string();
  const std::string output = (dir / "out").string();
  for (const auto& c : cases) {
    WriteFile(table, std::string("NUM\n1,A,C35,STEEL,500,500,5,5,6,6,1,1,1,40\n") + c.line + "\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"convert", table, "-o", output},
          std::vector<std::string>{"report", table, "--csv", "-o", output}}) {
      SCOPED_TRACE(args[0] + " " + c.line);
      const Outcome run = RunWith(args);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err, "brenmoor: " + table + ":3: " + c.message + "\n");
    }
  }
}

// Endless or huge input is refused at once, without reading it all: the
// system's count of the bytes read says so, where it keeps one.
TEST(CommandLine, EndlessOrHugeInputIsRefusedWithoutReadingItAll) {
  TempDir dir;
  const std::string huge = (dir / "disk.img").string();
  WriteFile(huge, "");
  std::filesystem::resize_file(huge, std::uintmax_t{2} << 30);  // sparse: costs no disk
  std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"inspect", huge},
       "brenmoor: " + huge +
           ": not a valid component file: wrong magic (not a component file) at offset 0.\n"},
  };
#ifndef _WIN32
  cases.push_back({{"convert", "/dev/zero", "-o", (dir / "out").string()},
                   "brenmoor: /dev/zero:1: The table holds a zero byte and is probably saved in a "
                   "16-bit encoding such as UTF-16; save it as plain text or UTF-8.\n"});
  cases.push_back(
      {{"inspect", "/dev/zero"},
       "brenmoor: /dev/zero: not a valid component file: wrong magic (not a component file) at "
       "offset 0.\n"});
#endif
  for (const auto& [args, err] : cases) {
    SCOPED_TRACE(args[1]);
    const std::optional<std::uint64_t> before = testing::BytesReadSoFar();
    const Outcome run = RunWith(args);
    const std::optional<std::uint64_t> after = testing::BytesReadSoFar();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, err);
    if (before && after) {
      EXPECT_LT(*after - *before, std::uint64_t{16} << 20);
    }
  }
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

// A wrong call says why in one line and where to read more, found before
// anything is read: the request's own checks too.
TEST(CommandLine, WrongCallsSayWhyInOneLineAndExit2) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } calls[] = {
      {{}, "no command given\nTry 'brenmoor --help'"},
      {{"frobnicate", "x"}, "unknown command 'frobnicate'\nTry 'brenmoor --help'"},
      {{"convert"}, "convert needs a file name\nTry 'brenmoor convert --help'"},
      {{"convert", "a.csv", "-o"}, "-o needs a file name\nTry 'brenmoor convert --help'"},
      {{"convert", "a.csv", "-o", ""}, "-o needs a file name\nTry 'brenmoor convert --help'"},
      {{"inspect", "a", "b"}, "unexpected argument 'b'\nTry 'brenmoor inspect --help'"},
      {{"convert", "a.csv", "--fibers"},
       "unexpected argument '--fibers'\nTry 'brenmoor convert --help'"},
      {{"report", "a.csv", "-o", "-"},
       "the report goes to a file; only --csv writes to standard output\n"
       "Try 'brenmoor report --help'"},
      {{"capacity", "a.csv", "--axial-ratio", "2"},
       "--axial-ratio: the axial ratio must be a number from -0.5 to 1.5, not \"2\"\n"
       "Try 'brenmoor capacity --help'"},
      {{"help", "frobnicate"}, "unknown command 'frobnicate'\nTry 'brenmoor --help'"},
  };
  for (const auto& c : calls) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    const Outcome run = RunWith(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "brenmoor: " + c.err + ".\n");
  }
  EXPECT_EQ(RunWith({"--version"}).out, "brenmoor " BRENMOOR_VERSION
                                        "\n"
#ifdef BRENMOOR_QT_VERSION
                                        "window and report built with Qt " BRENMOOR_QT_VERSION "\n"
#endif
  );
  EXPECT_EQ(RunWith({"--help"}).status, 0);
}

// A table without sections leaves nothing to write, and a table is never
// written over, however the output names it: refused, the old files as they
// were.
TEST(CommandLine, NothingToWriteOrTheTableItselfIsRefused) {
  TempDir dir;
  const std::string output = (dir / "KAVOSEC.PF3CMP").string();
  WriteFile(output, "older file");
  const std::string empty = (dir / "empty.csv").string(), header = (dir / "header.csv").string();
  const std::string table = (dir / "t.csv").string();
  WriteFile(empty, "");
  WriteFile(header, "NUM,NAME,CONC,STEEL,H,B\n");
  WriteFile(table, ReadFile(kSample));
  std::filesystem::create_hard_link(table, dir / "hard.csv");
  const std::string nothing = "\". There is nothing to write.\n";
  const std::string itself = "\". It is the section table itself.\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"convert", empty, "-o", output}, "brenmoor: No section in file \"" + empty + nothing},
      {{"convert", header, "-o", output}, "brenmoor: No section in file \"" + header + nothing},
      {{"convert", header, "-o", "-"}, "brenmoor: No section in file \"" + header + nothing},
      {{"convert", table, "-o", table}, "brenmoor: Cannot create file \"" + table + itself},
      {{"convert", table, "-o", (dir.path() / "." / "t.csv").string()},
       "brenmoor: Cannot create file \"" + table + itself},
      {{"convert", table, "-o", (dir / "hard.csv").string()},
       "brenmoor: Cannot create file \"" + (dir / "hard.csv").string() + itself},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + " -o " + c.args.back());
    const Outcome run = RunWith(c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
  EXPECT_EQ(ReadFile(output), "older file");
  EXPECT_EQ(ReadFile(table), ReadFile(kSample));
  EXPECT_EQ(testing::EntriesIn(dir.path()), 5);
}

TEST(CommandLine, EveryCommandHasItsHelpAndTakesTablesAfterTwoDashes) {
  TempDir dir;
  const std::string dashed = (dir / "-t.csv").string();
  WriteFile(dir / "-t.csv", ReadFile(kSample));
  const Outcome usage = RunWith({"--help"});
  EXPECT_EQ(RunWith({"help"}).out, usage.out);
  // Every help reads in a terminal of 80 columns.
  auto longest_line = [](const std::string& text) {
    std::size_t longest = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) longest = std::max(longest, line.size());
    return longest;
  };
  EXPECT_LE(longest_line(usage.out), 80u) << usage.out;
  for (const Command& command : AllCommands()) {
    SCOPED_TRACE(command.name);
    EXPECT_NE(usage.out.find(std::string("\n       brenmoor ") + command.name + " "),
              std::string::npos)
        << usage.out;
    const Outcome help = RunWith({command.name, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_LE(longest_line(help.out), 80u);
    EXPECT_NE(help.out.find(std::string("Usage: brenmoor ") + command.name), std::string::npos)
        << help.out;
    const Outcome named = RunWith({"help", command.name});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.out, help.out);
  }
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const Outcome dashes = RunWith({"convert", "-o", "out", "--", "-t.csv"});
  const Outcome to_stdout = RunWith({"convert", "--", "-t.csv", "-o", "x"});
  const Outcome missing = RunWith({"missing.csv"});
  const Outcome folder = RunWith({"convert", "-t.csv", "-o", "."});
  std::filesystem::current_path(before);
  EXPECT_EQ(dashes.status, 0) << dashes.err;
  EXPECT_EQ(to_stdout.err, "brenmoor: unexpected argument '-o'\nTry 'brenmoor convert --help'.\n");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "brenmoor: Cannot open file \"" + (dir / "missing.csv").string() + "\". " +
                             testing::Texts().missing_file + ".\n");
  EXPECT_EQ(folder.status, 2);  // "-t.csv" without "--" is an option
}

// "-o -" is standard output for convert too: the very bytes of the file.
TEST(CommandLine, ConvertWritesTheComponentFileToStandardOutput) {
  TempDir dir;
  const std::string file = (dir / "K").string();
  ASSERT_EQ(RunWith({"convert", kSample, "-o", file}).status, 0);
  const Outcome run = RunWith({"convert", kSample, "-o", "-"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, ReadFile(file));
  EXPECT_EQ(testing::EntriesIn(dir.path()), 1);
}

// Whatever goes wrong, the command line ends with a message and status 1:
// standard output that takes nothing more, no memory left, any exception.
TEST(CommandLine, EveryFailureEndsWithAMessageAndStatusOne) {
  struct Refusing : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
  };
  const Command throwing[] = {
      {"alloc", "", "",
       [](CLI::App& alloc, CommandCall& call) {
         alloc.callback([&call] { call.run = [] { throw std::bad_alloc(); }; });
       }},
      {"other", "", "",
       [](CLI::App& other, CommandCall& call) {
         other.callback([&call] { call.run = [] { throw std::out_of_range("vector::at"); }; });
       }},
  };
  const struct {
    std::vector<std::string> args;
    bool refusing_out;
    std::string err;
  } cases[] = {
      {{"brenmoor", "alloc"}, false, "brenmoor: std::bad_alloc.\n"},
      {{"brenmoor", "other"}, false, "brenmoor: vector::at.\n"},
      {{"brenmoor", "inspect", kSample},
       false,
       "brenmoor: " + kSample + ": not a valid component file"},
      {{"brenmoor", "--version"}, true, "brenmoor: cannot write to standard output: "},
      {{"brenmoor", "convert", kSample, "-o", "-"},
       true,
       "brenmoor: cannot write to standard output: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    Refusing refusing;
    std::ostringstream out, err;
    std::ostream refused(&refusing);
    BrenmoorState state;
    const int status = c.args[1] == "alloc" || c.args[1] == "other"
                           ? RunCommandLine(c.args, state, out, err, throwing)
                           : RunCommandLine(c.args, state, c.refusing_out ? refused : out, err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str().substr(0, c.err.size()), c.err);
  }
}

// diff prints what differs and names each table in its own messages: an
// error or a warning of the second table names the second table.
TEST(CommandLine, DiffSaysWhatDiffersAndNamesTheTableOfEachMessage) {
  TempDir dir;
  const std::string a = (dir / "a.csv").string(), b = (dir / "b.csv").string();
  const std::string header = "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n";
  WriteFile(a, header + "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n");
  WriteFile(b, header +
                   "1,KZ1,C35,STEEL,600,500,6,6,5,5,1000,1000,490,40\n"
                   "2,SWAP,STEEL,C30,500,500,6,6,5,5,1000,1000,490,40\n");
  const Outcome run = RunWith({"diff", a, b});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "~ KZ1: H 500 → 600; its block in the component file changes\n"
            "+ SWAP (b.csv line 3)\n"
            "a.csv → b.csv: 1 added, 0 removed, 1 changed, 0 the same\n");
  EXPECT_EQ(run.err.substr(0, b.size() + 23), "brenmoor: " + b + ":3: warning: ");

  WriteFile(b, header + "1,KZ1,C35,STEEL,5x0\n");
  const Outcome bad = RunWith({"diff", a, b});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err,
            "brenmoor: " + b + ":2: KZ1, column H: '5x0' is not a valid floating point value.\n");
}

}  // namespace
}  // namespace brenmoor
