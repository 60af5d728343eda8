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
#include "tests/temp_dir.h"
#include "tests/windows/system_text.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::Text;

const std::string kSample = BRENMOOR_SOURCE_DIR "/examples/sample.csv";

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
  const std::string table = here.folder_utf8 + "\\柱截面 表.csv";
  const std::string output = here.folder_utf8 + "\\KAVOSEC.PF3CMP";
  BrenmoorState state;
  std::ostringstream out, err;
  EXPECT_EQ(RunCommandLine({"brenmoor", "convert", table, "-o", output}, state, out, err), 0)
      << err.str();
  EXPECT_EQ(out.str(), "Wrote 7 sections to " + output + "\n");
  EXPECT_EQ(ReadFile(PathFromUtf8(output)).size(),
            std::filesystem::file_size(PathFromUtf8(output)));

  std::ostringstream inspect_out, inspect_err;
  EXPECT_EQ(RunCommandLine({"brenmoor", "inspect", output}, state, inspect_out, inspect_err), 0);
  const std::string heading = output + ": model KAVOSEC, 7 sections, ";
  EXPECT_EQ(inspect_out.str().substr(0, heading.size()), heading) << inspect_out.str();
}

struct ProgramRun {
  DWORD status = 0;
  std::string out, err;
};

HANDLE InheritableFile(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

const char kCliProgram[] = BRENMOOR_CLI_PROGRAM;
const char kWindowProgram[] = BRENMOOR_WINDOW_PROGRAM;

// Starts program (brenmoor-cli.exe, or brenmoor.exe) with arguments (UTF-16,
// as cmd.exe passes them) in folder, its output and errors redirected to
// files there.
ProgramRun RunProgram(const std::wstring& arguments, const std::filesystem::path& folder,
                      const char* program = kCliProgram) {
  // New names each time: Wine may close a finished program's handles late.
  static int runs = 0;
  ++runs;
  const std::filesystem::path out_path = folder / ("out" + std::to_string(runs) + ".txt");
  const std::filesystem::path err_path = folder / ("err" + std::to_string(runs) + ".txt");
  ProgramRun run;
  {
    HANDLE out = InheritableFile(out_path), err = InheritableFile(err_path);
    std::wstring command = L"\"" + PathFromUtf8(program).wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    // No console, as with output redirected by a script.
    const bool started =
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                         folder.c_str(), &startup, &process);
    ::CloseHandle(out);
    ::CloseHandle(err);
    EXPECT_TRUE(started) << Text(::GetLastError());
    if (!started) return run;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &run.status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  return run;
}

TEST(WindowsCommandLine, TheProgramTakesUtf16ArgumentsAndWritesUtf8WhenRedirected) {
  ChineseFolder here;
  const std::string written = here.folder_utf8 + "\\KAVOSEC.PF3CMP";
  const struct {
    std::wstring arguments;
    DWORD status;
    std::string out_start, err;
  } cases[] = {
      {L"convert \"\u9879\u76EE\\\u67F1\u622A\u9762 \u8868.csv\" -o \u9879\u76EE\\KAVOSEC.PF3CMP",
       0, "Wrote 7 sections to " + written + "\n", ""},
      {L"inspect \u9879\u76EE\\KAVOSEC.PF3CMP", 0,
       "\xE9\xA1\xB9\xE7\x9B\xAE\\KAVOSEC.PF3CMP: model KAVOSEC, 7 sections, ", ""},
      {L"convert \u9879\u76EE\\\u7F3A\u5C11.csv", 1, "",
       "brenmoor: Cannot open file \"" + here.folder_utf8 + "\\缺少.csv\". " +
           Text(ERROR_FILE_NOT_FOUND) + ".\n"},
      {L"frobnicate", 2, "", "brenmoor: unknown command 'frobnicate'\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(windows::Utf8FromWide(c.arguments));
    const ProgramRun run = RunProgram(c.arguments, here.dir.path());
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
  EXPECT_EQ(inspect.out.back(), '\n');

  // The window program (GUI subsystem, no console of its own) runs the same
  // command line when given arguments, and its redirected output arrives.
  const ProgramRun window = RunProgram(
      L"convert \"\u9879\u76EE\\\u67F1\u622A\u9762 \u8868.csv\" -o \u9879\u76EE\\KAVOSEC.PF3CMP",
      here.dir.path(), kWindowProgram);
  EXPECT_EQ(window.status, 0u) << window.err;
  EXPECT_EQ(window.out, "Wrote 7 sections to " + written + "\n");
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
