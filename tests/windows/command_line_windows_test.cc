// The command line as a Windows program: UTF-16 arguments, output that is
// UTF-8 bytes when redirected and characters on a console, exit statuses.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/windows/wide.h"
#include "tests/sample_table.h"
#include "tests/temp_dir.h"
#include "tests/varied_table.h"
#include "tests/windows/system_text.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::Text;

const std::string& kSample = testing::kSampleTable;

// A folder "项目" holding the sample as "柱截面 表.csv".
struct ChineseFolder {
  ChineseFolder() {
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(PathFromUtf8(kSample), folder / PathFromUtf8("柱截面 表.csv"));
  }
  TempDir dir;
  std::filesystem::path folder = dir.path() / PathFromUtf8("项目");
  std::string folder_utf8 = PathToUtf8(folder);
};

TEST(WindowsCommandLine, RunsWithChineseArguments) {
  ChineseFolder here;
  const std::string output = here.folder_utf8 + "\\KAVOSEC.PF3CMP";
  const std::string plain = PathToUtf8(here.dir / "plain.PF3CMP");
  BrenmoorState state;
  std::ostringstream out, err;
  ASSERT_EQ(RunCommandLine({"brenmoor", "convert", kSample, "-o", plain}, state, out, err), 0);
  out.str("");
  EXPECT_EQ(
      RunCommandLine({"brenmoor", "convert", here.folder_utf8 + "\\柱截面 表.csv", "-o", output},
                     state, out, err),
      0)
      << err.str();
  EXPECT_EQ(out.str(), "Wrote 7 sections to " + output + "\n");
  EXPECT_EQ(ReadFile(PathFromUtf8(output)), ReadFile(PathFromUtf8(plain)));
  EXPECT_EQ(testing::EntriesIn(here.folder), 2);  // the table and the component file
  EXPECT_EQ(RunCommandLine({"brenmoor", "inspect", output}, state, out, err), 0);
  const std::string heading = output + ": model KAVOSEC, 7 sections, ";
  EXPECT_EQ(out.str().substr(out.str().find('\n') + 1, heading.size()), heading) << out.str();
}

struct ProgramRun {
  DWORD status = 0;
  std::string out, err;
};

// Starts program with arguments (UTF-16, as cmd.exe passes them) in folder,
// without a console, its output and errors redirected to files as a script
// would.
ProgramRun RunProgram(const std::wstring& arguments, const std::filesystem::path& folder,
                      const char* program = BRENMOOR_CLI_PROGRAM) {
  static int runs = 0;  // new names each time: Wine may close a finished program's handles late
  ++runs;
  const auto out_path = folder / ("out" + std::to_string(runs) + ".txt");
  const auto err_path = folder / ("err" + std::to_string(runs) + ".txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto redirect = [&inherit](const std::filesystem::path& path) {
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = redirect(out_path);
  startup.hStdError = redirect(err_path);
  std::wstring command = L"\"" + PathFromUtf8(program).wstring() + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  const bool started =
      ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                       folder.c_str(), &startup, &process);
  ::CloseHandle(startup.hStdOutput);
  ::CloseHandle(startup.hStdError);
  ProgramRun run;
  EXPECT_TRUE(started) << Text(::GetLastError());
  if (!started) return run;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::GetExitCodeProcess(process.hProcess, &run.status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  return run;
}

TEST(WindowsCommandLine, TheProgramsTakeUtf16ArgumentsAndWriteUtf8WhenRedirected) {
  ChineseFolder here;
  const std::string written = here.folder_utf8 + "\\KAVOSEC.PF3CMP";
  const std::wstring convert =
      L"convert \"\u9879\u76EE\\\u67F1\u622A\u9762 \u8868.csv\" -o \u9879\u76EE\\KAVOSEC.PF3CMP";
  const struct {
    std::wstring arguments;
    DWORD status;
    std::string out_start, err;
    const char* program = BRENMOOR_CLI_PROGRAM;
  } cases[] = {
      {convert, 0, "Wrote 7 sections to " + written + "\n", ""},
      // The window program (GUI subsystem, no console of its own) runs the
      // same command line when given arguments.
      {convert, 0, "Wrote 7 sections to " + written + "\n", "", BRENMOOR_WINDOW_PROGRAM},
      {L"inspect \u9879\u76EE\\KAVOSEC.PF3CMP", 0,
       "\xE9\xA1\xB9\xE7\x9B\xAE\\KAVOSEC.PF3CMP: model KAVOSEC, 7 sections, ", ""},
      {L"convert \u9879\u76EE\\\u7F3A\u5C11.csv", 1, "",
       "brenmoor: Cannot open file \"" + here.folder_utf8 + "\\缺少.csv\". " +
           Text(ERROR_FILE_NOT_FOUND) + ".\n"},
      {L"frobnicate x", 2, "", "brenmoor: unknown command 'frobnicate'\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(windows::Utf8FromWide(c.arguments) + " to " + c.program);
    const ProgramRun run = RunProgram(c.arguments, here.dir.path(), c.program);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out.substr(0, c.out_start.size()), c.out_start) << run.out;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << run.err;
  }
  // Every line of inspect arrives, in the UTF-8 bytes, with "\n" line ends.
  const ProgramRun inspect =
      RunProgram(L"inspect --fibers \u9879\u76EE\\KAVOSEC.PF3CMP", here.dir.path());
  EXPECT_EQ(inspect.status, 0u);
  EXPECT_EQ(inspect.out.find('\r'), std::string::npos);
  EXPECT_NE(inspect.out.find("Section 7: KZ7\n"), std::string::npos);
  EXPECT_TRUE(inspect.out.ends_with('\n'));
}

// A run killed at any moment of its file's road (by Task Manager, a crash)
// leaves the old file or the new one, and no temporary file: the system
// removes it with the program, except in the moment between closing it and
// moving it over the old file, when the next run removes it.
TEST(WindowsCommandLine, AKilledRunLeavesTheOldFileOrTheNewOneAndNoTemporaryFile) {
  TempDir dir;
  testing::WriteFile(dir / "big.csv", testing::VariedTable(2000, 21));
  const std::wstring convert_big = L"convert big.csv -o KAVOSEC.PF3CMP";
  const std::wstring convert_sample =
      L"convert \"" + PathFromUtf8(kSample).wstring() + L"\" -o KAVOSEC.PF3CMP";
  ASSERT_EQ(RunProgram(convert_big, dir.path()).status, 0u);
  const std::string new_bytes = ReadFile(dir / "KAVOSEC.PF3CMP");
  const auto temporaries = [&] {
    int found = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      std::int64_t pid = 0;
      found += IsReplacingFileTemporary(PathToUtf8(entry.path().filename()), pid);
    }
    return found;
  };
  const struct {
    const wchar_t* moment;
    bool new_file;
    int left;  // temporary files left behind
  } cases[] = {
      {L"before-first-write", false, 0}, {L"mid-write", false, 0},   {L"after-sync", false, 0},
      {L"before-rename", false, 1},      {L"after-rename", true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(windows::Utf8FromWide(c.moment));
    ASSERT_EQ(RunProgram(convert_sample, dir.path()).status, 0u);
    const std::string old_bytes = ReadFile(dir / "KAVOSEC.PF3CMP");
    ::SetEnvironmentVariableW(L"BRENMOOR_CRASH_AT", c.moment);
    const ProgramRun run = RunProgram(convert_big, dir.path());
    ::SetEnvironmentVariableW(L"BRENMOOR_CRASH_AT", nullptr);
    EXPECT_EQ(run.status, 137u);
    const std::string left = ReadFile(dir / "KAVOSEC.PF3CMP");
    EXPECT_TRUE(left == (c.new_file ? new_bytes : old_bytes))
        << left.size() << " bytes; old " << old_bytes.size() << ", new " << new_bytes.size();
    EXPECT_EQ(temporaries(), c.left);
  }
  // The next run clears what is left, whatever file it writes.
  const std::wstring convert_other =
      L"convert \"" + PathFromUtf8(kSample).wstring() + L"\" -o other.PF3CMP";
  EXPECT_EQ(RunProgram(convert_other, dir.path()).status, 0u);
  EXPECT_EQ(temporaries(), 0);
}

// Text written to a console arrives as characters, also when a character's
// bytes are split across two writes with a flush between.
TEST(WindowsConsole, ShowsChineseTextOnAConsole) {
  ::FreeConsole();
  if (!::AllocConsole()) GTEST_SKIP() << "no console here: " << Text(::GetLastError());
  // What a console program started from cmd.exe has as its standard handles.
  const HANDLE console =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(console, INVALID_HANDLE_VALUE) << Text(::GetLastError());
  // Wine gives a working console only with a display (make test-windows
  // runs the tests under Xvfb).
  DWORD mode = 0;
  if (!::GetConsoleMode(console, &mode)) GTEST_SKIP() << "this console does not work here";
  ::SetStdHandle(STD_OUTPUT_HANDLE, console);
  ::SetStdHandle(STD_ERROR_HANDLE, console);
  std::ostream& out = ConsoleOut();
  const std::string line = "项目 KZ1";
  out << line.substr(0, 4) << std::flush;  // 项 and the first byte of 目
  out << line.substr(4) << "\n" << std::flush;
  std::ostream& err = ConsoleErr();
  err << "截面\n";
  wchar_t shown[16] = {};
  DWORD read = 0;
  ASSERT_TRUE(::ReadConsoleOutputCharacterW(console, shown, 6, COORD{0, 0}, &read))
      << Text(::GetLastError());
  EXPECT_EQ(std::wstring(shown, read), L"\u9879\u76EE KZ1");
  ASSERT_TRUE(::ReadConsoleOutputCharacterW(console, shown, 2, COORD{0, 1}, &read));
  EXPECT_EQ(std::wstring(shown, read), L"\u622A\u9762");
}

}  // namespace
}  // namespace brenmoor
