// The real program where only a process shows the fault: its standard output
// on a full disk or named as a file, no display, the toolkit's own talk on
// standard error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/sample_table.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

const std::string kProgram = std::string(BRENMOOR_BINARY_DIR) + "/brenmoor";
const std::string& kSample = testing::kSampleTable;

const std::string kWithoutDisplay =
    "Every command works without one (convert, inspect, report, capacity, materials, refine, "
    "diff); see brenmoor --help.\n";

TEST(Program, SaysWhatWentWrongOnStandardError) {
  testing::TempDir dir;
  const std::string err = (dir / "err").string();
  const std::string component = (dir / "K").string();
  const std::string no_display = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
  // A display number nobody serves here (its socket is not there).
  int silent = 57;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(silent))) ++silent;
  const std::string silent_display =
      "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:" + std::to_string(silent) + " ";
  const std::string silent_says =
      "brenmoor: the window needs a display, and :" + std::to_string(silent) +
      " does not answer.\n" + kWithoutDisplay;
  const std::string full = "brenmoor: cannot write to standard output: No space left on device.\n";
  const struct {
    std::string command;
    int status;
    std::string err;
  } cases[] = {
      {kProgram + " convert " + kSample + " -o " + component, 0,
       "" /* and the file for inspect below */},
      {kProgram + " report " + kSample + " --csv -o - >/dev/full", 1, full},
      {kProgram + " inspect " + component + " --fibers >/dev/full", 1, full},
      {kProgram + " convert " + kSample + " -o - >/dev/full", 1, full},
      {kProgram + " convert " + kSample + " -o /dev/stdout >/dev/full", 1, full},
      {no_display + kProgram, 1,
       "brenmoor: the window needs a display, and there is none (DISPLAY and WAYLAND_DISPLAY are "
       "not set).\n" +
           kWithoutDisplay},
      {silent_display + kProgram, 1, silent_says},
      {silent_display + kProgram + " " + kSample, 1, silent_says},
      {no_display + "-u XDG_RUNTIME_DIR " + kProgram + " report " + kSample + " -o " +
           (dir / "r.pdf").string() + " >/dev/null",
       0, ""},
      // PDFs need no display, whatever platform the environment names.
      {no_display + "QT_QPA_PLATFORM=xcb " + kProgram + " capacity " + kSample + " -o " +
           (dir / "c.pdf").string() + " >/dev/null",
       0, ""},
      {"env -u WAYLAND_DISPLAY DISPLAY=:" + std::to_string(silent) + " QT_QPA_PLATFORM=wayland " +
           kProgram + " report " + kSample + " -o " + (dir / "r.pdf").string() + " >/dev/null",
       0, ""},
      // Not a table to open the window with, in a build that has one.
      {kProgram + " /dev/null", 1,
       "brenmoor: Cannot open file \"/dev/null\". It is not a file; the window opens a section "
       "table saved as a CSV file.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const int status = std::system((c.command + " 2>" + err).c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status);
    EXPECT_EQ(testing::ReadFile(err), c.err);
  }
}

// refine reads its table once, so a named pipe or standard input works with
// an output named, and without one it is refused rather than written into
// /dev. Exit 1 changes nothing: a summary standard output does not take
// fails the command before its file replaces anything.
TEST(Program, RefineReadsItsTableOnceAndAFailureLeavesNoOutput) {
  testing::TempDir dir;
  const std::string table = (dir / "t.csv").string();
  testing::WriteFile(table, testing::ReadFile(kSample));
  ASSERT_EQ(std::system((kProgram + " refine " + table + " -o " + (dir / "plain.csv").string() +
                         " >/dev/null")
                            .c_str()),
            0);
  const std::string refined = testing::ReadFile(dir / "plain.csv");
  const std::string fifo = (dir / "in.csv").string(), out = (dir / "out.csv").string();
  const std::string err = (dir / "err").string();
  const struct {
    std::string command;
    int status;
    std::string output;  // what the command must leave there ("" for nothing)
    std::string err;
  } cases[] = {
      {"mkfifo " + fifo + " && (cat " + table + " >" + fifo + " &) && timeout 60 " + kProgram +
           " refine " + fifo + " -o " + out + " >/dev/null",
       0, refined, ""},
      {kProgram + " refine /dev/stdin -o " + out + " <" + table + " >/dev/null", 0, refined, ""},
      {kProgram + " refine /dev/stdin <" + table, 2, "",
       "brenmoor: Cannot refine file \"/dev/stdin\". It is not a file saved in a folder, so there "
       "is nowhere beside it for the refined table; name the refined table with -o\nTry 'brenmoor "
       "refine --help'.\n"},
      {kProgram + " refine - <" + table, 2, "",
       "brenmoor: the table comes from standard input, so there is no folder to write beside it: "
       "name the output with -o\nTry 'brenmoor refine --help'.\n"},
      {kProgram + " refine " + table + " -o " + out + " >/dev/full", 1, "",
       "brenmoor: cannot write to standard output: No space left on device.\n"},
      {kProgram + " convert " + table + " -o " + out + " >/dev/full", 1, "",
       "brenmoor: cannot write to standard output: No space left on device.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    std::filesystem::remove(fifo);
    std::filesystem::remove(out);
    const int status = std::system((c.command + " 2>" + err).c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status);
    EXPECT_EQ(testing::ReadFile(err), c.err);
    if (c.output.empty()) {
      EXPECT_FALSE(std::filesystem::exists(out));
    } else {
      EXPECT_EQ(testing::ReadFile(out), c.output);
    }
  }
  EXPECT_FALSE(std::filesystem::exists("/dev/stdin.refined.csv"));
}

// Every command that writes a file writes it to standard output by any of
// its names, down a pipe or into the file the shell opened (at its position:
// after what it holds when the shell appends), the same bytes as "-o -" and
// nothing else (no "Wrote ..." line after them).
TEST(Program, WritesItsFileToStandardOutputByItsNames) {
  testing::TempDir dir;
  const std::string out = (dir / "out").string(), err = (dir / "err").string();
  for (const std::string command :
       {"convert", "report --csv", "capacity --csv", "capacity --csv --curves"}) {
    const std::string run = kProgram + " " + command + " " + kSample + " -o ";
    ASSERT_EQ(std::system((run + "- >" + out).c_str()), 0);
    const std::string expected = testing::ReadFile(out);
    ASSERT_GT(expected.size(), 100u);
    const struct {
      std::string name, shell;
      std::string before;  // in the file before the run
    } cases[] = {
        {"/dev/stdout", " | cat >" + out, ""},
        {"/dev/stdout", " >" + out, ""},
        {"/dev/fd/1", " >>" + out, "kept\n"},
        {"/proc/self/fd/1", " | cat >>" + out, "kept\n"},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(command + " -o " + c.name + c.shell);
      testing::WriteFile(out, c.before);
      const int status = std::system((run + c.name + " 2>" + err + c.shell).c_str());
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
      EXPECT_EQ(testing::ReadFile(err), "");
      EXPECT_EQ(testing::ReadFile(out), c.before + expected);
      EXPECT_EQ(testing::EntriesIn(dir.path()), 2);  // no temporary file left anywhere
    }
  }
}

// "-" is standard input for every command that reads a table, --output is
// -o, and -q leaves standard output to the output alone.
TEST(Program, ReadsItsTableFromStandardInputAndIsQuietWhenAsked) {
  testing::TempDir dir;
  const std::string out = (dir / "out").string(), err = (dir / "err").string();
  for (const std::string command :
       {"convert", "report --csv", "capacity --csv", "capacity --csv --analysis", "materials"}) {
    SCOPED_TRACE(command);
    ASSERT_EQ(std::system((kProgram + " " + command + " " + kSample + " -o - >" + out).c_str()), 0);
    const std::string expected = testing::ReadFile(out);
    ASSERT_EQ(std::system((kProgram + " " + command + " - --output - <" + kSample + " >" + out +
                           " 2>" + err)
                              .c_str()),
              0);
    EXPECT_EQ(testing::ReadFile(out), expected);
    EXPECT_EQ(testing::ReadFile(err), "");
  }
  const std::string file = (dir / "k.pf").string();
  ASSERT_EQ(std::system((kProgram + " convert -q " + kSample + " -o " + file + " >" + out).c_str()),
            0);
  EXPECT_EQ(testing::ReadFile(out), "");
  EXPECT_GT(testing::ReadFile(file).size(), 4000u);
}

// A window and PDF module that is not the one this build made (a copy cut
// short by an interrupted install, another build's) is refused before it is
// loaded, with a message and status 1; what needs no module goes on.
TEST(Program, RefusesAModuleThatIsNotItsOwn) {
#ifndef BRENMOOR_QT_MODULE
  GTEST_SKIP() << "a build without the module";
#else
  const std::string module = testing::ReadFile(BRENMOOR_QT_MODULE);
  const std::string name = std::filesystem::path(BRENMOOR_QT_MODULE).filename().string();
  std::string other_build = module;
  other_build[other_build.size() / 2] ^= 0x20;
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"cut at 1 KB", module.substr(0, 1024)},
      {"cut at 300 KB", module.substr(0, std::min<std::size_t>(300'000, module.size() - 1))},
      {"another build", other_build},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    std::filesystem::copy_file(kProgram, dir / "brenmoor");
    testing::WriteFile(dir / name, c.bytes);
    const std::string program = (dir / "brenmoor").string(), err = (dir / "err").string();
    const int report = std::system((program + " report " + kSample + " -o " +
                                    (dir / "r.pdf").string() + " >/dev/null 2>" + err)
                                       .c_str());
    ASSERT_TRUE(WIFEXITED(report));
    EXPECT_EQ(WEXITSTATUS(report), 1);
    EXPECT_EQ(testing::ReadFile(err),
              "brenmoor: " + (dir / name).string() +
                  ": the window and PDF module is damaged or belongs to another build; reinstall "
                  "Brenmoor.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "r.pdf"));
    const int convert = std::system(
        (program + " convert " + kSample + " -o " + (dir / "K").string() + " >/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(convert) && WEXITSTATUS(convert) == 0);
  }
#endif
}

// The module shows the programs its one function: nothing else of its copy
// of the core can stand in for the program's.
TEST(Program, TheModuleExportsOneFunction) {
#ifndef BRENMOOR_QT_MODULE
  GTEST_SKIP() << "a build without the module";
#else
  testing::TempDir dir;
  const std::string symbols = (dir / "symbols").string();
  ASSERT_EQ(std::system(
                ("nm -D --defined-only --format=posix " BRENMOOR_QT_MODULE " >" + symbols).c_str()),
            0);
  std::string names;
  std::istringstream lines(testing::ReadFile(symbols));
  for (std::string line; std::getline(lines, line);) names += line.substr(0, line.find(' ')) + "\n";
  EXPECT_EQ(names, "BrenmoorQtMain\n");
#endif
}

// A program copied alone into a folder inside a shared one (/tmp) looks for
// the module in ../lib/brenmoor, which anyone may create there: another
// user's folder is passed over (even holding the right module) and the
// message says why.
TEST(Program, TakesNoModuleFromAFolderAnotherUserMade) {
#ifndef BRENMOOR_QT_MODULE
  GTEST_SKIP() << "a build without the module";
#else
  if (::geteuid() != 0) GTEST_SKIP() << "gives a folder to another user, which only root may";
  testing::TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::copy_file(kProgram, dir / "bin" / "brenmoor");
  const auto planted = dir / "lib" / "brenmoor";
  std::filesystem::create_directories(planted);
  const std::string name = std::filesystem::path(BRENMOOR_QT_MODULE).filename().string();
  std::filesystem::copy_file(BRENMOOR_QT_MODULE, planted / name);
  ASSERT_EQ(::chown((dir / "lib").c_str(), 65534, 65534), 0);
  const std::string err = (dir / "err").string();
  const int status = std::system(((dir / "bin" / "brenmoor").string() + " report " + kSample +
                                  " -o " + (dir / "r.pdf").string() + " 2>" + err)
                                     .c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string said = testing::ReadFile(err);
  EXPECT_NE(said.find("\"" + (planted / name).string() + "\" was not taken, since \"" +
                      (dir / "lib").string() + "\" belongs to another user (nobody)"),
            std::string::npos)
      << said;
  EXPECT_FALSE(std::filesystem::exists(dir / "r.pdf"));
#endif
}

// Without /proc (a container, a chroot) the program cannot tell its own
// folder: it must not look for the module relative to the current folder,
// where anyone may have planted one. Needs a mount namespace of its own,
// which only root gets; skipped elsewhere.
TEST(Program, WithoutProcNoModuleIsTakenFromTheCurrentFolder) {
#ifdef BRENMOOR_SANITIZED_PROGRAM
  GTEST_SKIP() << "AddressSanitizer reads /proc itself and misreports without it";
#endif
  testing::TempDir dir;
  std::filesystem::create_directories(dir / "work");
  std::filesystem::create_directories(dir / "lib" / "brenmoor");
  // A planted module: loading it would end the program at once.
  testing::WriteFile(dir / "lib" / "brenmoor" / "libbrenmoor-qt.so", "planted");
  const std::string err = (dir / "err").string();
  const std::string hidden_proc = "unshare -m sh -c 'mount -t tmpfs none /proc || exit 77; cd " +
                                  (dir / "work").string() + " && exec " + kProgram + " report " +
                                  kSample + " -o r.pdf' 2>" + err;
  const int status = std::system(hidden_proc.c_str());
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 77 ||
      testing::ReadFile(err).find("unshare") != std::string::npos) {
    GTEST_SKIP() << "no mount namespace to hide /proc in";
  }
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string said = testing::ReadFile(err);
  EXPECT_NE(said.find("brenmoor: Cannot find the window and PDF module: "), std::string::npos)
      << said;
  EXPECT_NE(said.find("this program cannot tell its own folder"), std::string::npos) << said;
  EXPECT_EQ(said.find("planted"), std::string::npos) << said;
}

}  // namespace
}  // namespace brenmoor
