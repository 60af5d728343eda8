// The file layer where Windows differs: names in UTF-16, files held open
// without sharing, read-only files, temporary files of killed runs.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "import/section_import.h"
#include "model/errors.h"
#include "output/generate.h"
#include "platform/files.h"
#include "tests/temp_dir.h"
#include "tests/windows/system_text.h"

namespace brenmoor {
namespace {

using testing::EntriesIn;
using testing::ReadFile;
using testing::TempDir;
using testing::Text;
using testing::WriteFile;

const std::string kOldFile = "an older component file the engineer relies on";
const std::string kSample = BRENMOOR_SOURCE_DIR "/examples/sample.csv";

std::string GenerateError(BrenmoorState& state, const std::filesystem::path& path) {
  try {
    GenerateComponentFile(state, path);
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

BrenmoorState SampleState() {
  BrenmoorState state;
  ImportSectionFile(state, kSample, '.');
  return state;
}

std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(PathToUtf8(entry.path().filename()));
  }
  return names;
}

TEST(WindowsFiles, ChineseFolderAndNameWithBlankImportAndGenerate) {
  TempDir dir;
  const std::filesystem::path folder = dir.path() / PathFromUtf8("项目");
  std::filesystem::create_directory(folder);
  const std::filesystem::path table = folder / PathFromUtf8("柱截面 表.csv");
  std::filesystem::copy_file(PathFromUtf8(kSample), table);

  BrenmoorState state;
  ImportSectionFile(state, PathToUtf8(table), '.');
  EXPECT_EQ(state.imported_count, 7);
  const auto written = GenerateComponentFile(state, folder / "KAVOSEC.PF3CMP");
  EXPECT_EQ(PathToUtf8(written), PathToUtf8(dir.path()) + "\\项目\\KAVOSEC.PF3CMP");

  BrenmoorState plain = SampleState();
  GenerateComponentFile(plain, dir / "plain.PF3CMP");
  EXPECT_EQ(ReadFile(written), ReadFile(dir / "plain.PF3CMP"));
  EXPECT_EQ(Names(folder), (std::set<std::string>{"KAVOSEC.PF3CMP", "柱截面 表.csv"}));

  // A missing Chinese name is quoted as the engineer wrote it.
  const std::filesystem::path missing = folder / PathFromUtf8("缺少.csv");
  try {
    ImportSectionFile(state, PathToUtf8(missing), '.');
    ADD_FAILURE() << "no error";
  } catch (const ImportError& e) {
    EXPECT_EQ(e.what(),
              "Cannot open file \"" + PathToUtf8(missing) + "\". " + Text(ERROR_FILE_NOT_FOUND));
  }
}

// The "\\?\" form that reaches past MAX_PATH, made here with the system's own
// calls so that the test does not lean on the code it checks.
std::wstring Long(const std::filesystem::path& full) { return LR"(\\?\)" + full.native(); }

std::string ReadLong(const std::filesystem::path& full) {
  std::string bytes;
  const HANDLE file = ::CreateFileW(Long(full).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "cannot open";
  char buffer[65536];
  for (DWORD got = 0; ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0;) {
    bytes.append(buffer, got);
  }
  ::CloseHandle(file);
  return bytes;
}

// Windows refuses names past MAX_PATH in the plain form; Wine does not, so
// under Wine this passes either way and guards a real Windows only.
TEST(WindowsFiles, FoldersDeeperThanMaxPathImportAndGenerate) {
  TempDir dir;
  std::filesystem::path folder = dir.path();
  // Six levels of 40 Chinese characters and a blank: far past 260.
  std::string level;
  for (int i = 0; i < 40; ++i) level += "柱";
  for (int i = 0; i < 6; ++i) {
    folder /= PathFromUtf8(level + " " + std::to_string(i));
    ASSERT_TRUE(::CreateDirectoryW(Long(folder).c_str(), nullptr)) << Text(::GetLastError());
  }
  ASSERT_GT(folder.native().size(), 280u);
  const auto table = folder / "sections.csv";
  const auto component = folder / "KAVOSEC.PF3CMP";
  ASSERT_TRUE(::CopyFileW(PathFromUtf8(kSample).c_str(), Long(table).c_str(), TRUE));

  BrenmoorState state;
  ImportSectionFile(state, PathToUtf8(table), '.');
  EXPECT_EQ(state.imported_count, 7);
  GenerateComponentFile(state, component);
  GenerateComponentFile(state, component);  // and over the old one
  BrenmoorState plain = SampleState();
  GenerateComponentFile(plain, dir / "plain.PF3CMP");
  EXPECT_EQ(ReadLong(component), ReadFile(dir / "plain.PF3CMP"));
  EXPECT_EQ(ReadWholeFile(component), ReadFile(dir / "plain.PF3CMP"));

  std::error_code ignored;
  std::filesystem::remove_all(Long(dir.path() / PathFromUtf8(level + " 0")), ignored);
}

// Another program holds the old component file open the way Windows programs
// do, without sharing it for deletion: the replace must fail with the
// system's reason, the old file intact and no temporary file left.
TEST(WindowsFiles, ComponentFileHeldOpenOrReadOnlyIsRefusedAndKept) {
  const struct {
    const char* what;
    DWORD share;  // how the other program opened it; -1: not open
    bool read_only;
  } cases[] = {
      {"held open, no sharing", 0, false},
      {"held open for reading, sharing reading", FILE_SHARE_READ, false},
      {"held open, sharing reading and writing", FILE_SHARE_READ | FILE_SHARE_WRITE, false},
      {"read-only", static_cast<DWORD>(-1), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto path = dir / "KAVOSEC.PF3CMP";
    WriteFile(path, kOldFile);
    HANDLE other = INVALID_HANDLE_VALUE;
    if (c.share != static_cast<DWORD>(-1)) {
      other = ::CreateFileW(path.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(other, INVALID_HANDLE_VALUE);
    }
    if (c.read_only) {
      ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }

    BrenmoorState state = SampleState();
    const std::string message = GenerateError(state, path);
    const std::string start = "Cannot create file \"" + PathToUtf8(path) + "\". ";
    ASSERT_EQ(message.substr(0, start.size()), start) << message;
    // Windows says "access denied" or "sharing violation" depending on its
    // version; Wine says the first.
    const std::string reason = message.substr(start.size());
    EXPECT_TRUE(reason == Text(ERROR_ACCESS_DENIED) || reason == Text(ERROR_SHARING_VIOLATION))
        << reason;
    if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(path), kOldFile);
    EXPECT_EQ(EntriesIn(dir.path()), 1);

    // Once the other program lets go, generate works again.
    EXPECT_EQ(GenerateError(state, path), "no error");
    EXPECT_NE(ReadFile(path), kOldFile);
  }
}

// A process that has ended, for its id.
DWORD FinishedProcessId() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  wchar_t command[] = L"cmd.exe /c exit 0";
  if (!::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
    return 0;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return process.dwProcessId;
}

TEST(WindowsFiles, TemporaryFilesOfEndedRunsAreRemovedOthersKept) {
  TempDir dir;
  const auto path = dir / "KAVOSEC.PF3CMP";
  const DWORD ended = FinishedProcessId();
  ASSERT_NE(ended, 0u);
  // A process that is still running: a child held suspended.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION alive{};
  wchar_t command[] = L"cmd.exe /c exit 0";
  ASSERT_TRUE(::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                               &alive));
  const std::string ended_temporary = ".KAVOSEC.PF3CMP." + std::to_string(ended) + ".0.tmp";
  const std::string ended_but_open = ".KAVOSEC.PF3CMP." + std::to_string(ended) + ".1.tmp";
  const std::string running = ".KAVOSEC.PF3CMP." + std::to_string(alive.dwProcessId) + ".0.tmp";
  const std::string other_target = ".OTHER.PF3CMP." + std::to_string(ended) + ".0.tmp";
  const std::string not_a_number = ".KAVOSEC.PF3CMP.12x.0.tmp";
  for (const auto& name : {ended_temporary, ended_but_open, running, other_target, not_a_number}) {
    WriteFile(dir / name, "half a file");
  }
  // Still open (and not shared for deletion) somewhere: not ours to delete.
  const HANDLE held = ::CreateFileW((dir / ended_but_open).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  BrenmoorState state = SampleState();
  GenerateComponentFile(state, path);
  EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"KAVOSEC.PF3CMP", ended_but_open, running,
                                                      other_target, not_a_number}));
  ::CloseHandle(held);
  ::TerminateProcess(alive.hProcess, 0);
  ::WaitForSingleObject(alive.hProcess, INFINITE);
  ::CloseHandle(alive.hThread);
  ::CloseHandle(alive.hProcess);
}

TEST(WindowsFiles, TableOpenForWritingElsewhereIsNotRead) {
  const struct {
    const char* what;
    DWORD access, share;
    bool readable;
  } cases[] = {
      {"another reader that shares reading", GENERIC_READ, FILE_SHARE_READ, true},
      {"a writer that shares reading and writing", GENERIC_WRITE,
       FILE_SHARE_READ | FILE_SHARE_WRITE, false},
      {"a reader that shares nothing", GENERIC_READ, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto table = dir / "sections.csv";
    std::filesystem::copy_file(PathFromUtf8(kSample), table);
    const HANDLE other = ::CreateFileW(table.c_str(), c.access, c.share, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    if (c.readable) {
      EXPECT_EQ(ReadWholeFile(table), ReadFile(PathFromUtf8(kSample)));
    } else {
      try {
        ReadWholeFile(table);
        ADD_FAILURE() << "no error";
      } catch (const Error& e) {
        EXPECT_EQ(e.what(), "Cannot open file \"" + PathToUtf8(table) + "\". " +
                                Text(ERROR_SHARING_VIOLATION));
      }
    }
    ::CloseHandle(other);
  }
}

}  // namespace
}  // namespace brenmoor
