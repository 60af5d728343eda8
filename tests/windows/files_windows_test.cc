// The file layer where Windows differs: names past MAX_PATH, files held
// open without sharing, read-only files, temporary files of killed runs.
// Chinese names are in command_line_windows_test.cc.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <thread>

#include "import/section_import.h"
#include "model/errors.h"
#include "output/generate.h"
#include "platform/files.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"
#include "tests/windows/system_text.h"

namespace brenmoor {
namespace {

using testing::ErrorOf;
using testing::ReadFile;
using testing::TempDir;
using testing::Text;
using testing::WriteFile;

const std::string kOldFile = "an older component file the engineer relies on";
const std::string kSample = BRENMOOR_SOURCE_DIR "/examples/sample.csv";

BrenmoorState SampleState() {
  BrenmoorState state;
  ImportSectionFile(state, kSample, '.');
  return state;
}

std::string SampleComponentFile(const TempDir& dir) {
  BrenmoorState state = SampleState();
  return ReadFile(GenerateComponentFile(state, dir / "plain.PF3CMP"));
}

std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(PathToUtf8(entry.path().filename()));
  }
  return names;
}

// Windows refuses names past MAX_PATH in the plain form; Wine does not, so
// under Wine this passes either way and guards a real Windows only. The
// folders are made and the file read back in the "\\?\" form by the
// system's own calls, apart from the code under test.
TEST(WindowsFiles, FoldersDeeperThanMaxPathImportAndGenerate) {
  TempDir dir;
  const auto in_long_form = [](const std::filesystem::path& full) {
    return std::filesystem::path(LR"(\\?\)" + full.native());
  };
  std::string level;
  for (int i = 0; i < 40; ++i) level += "柱";
  std::filesystem::path folder = dir.path();
  for (int i = 0; i < 6; ++i) {
    folder /= PathFromUtf8(level + " " + std::to_string(i));
    ASSERT_TRUE(::CreateDirectoryW(in_long_form(folder).c_str(), nullptr))
        << Text(::GetLastError());
  }
  ASSERT_GT(folder.native().size(), 280u);
  const auto table = folder / "sections.csv", component = folder / "KAVOSEC.PF3CMP";
  ASSERT_TRUE(::CopyFileW(PathFromUtf8(kSample).c_str(), in_long_form(table).c_str(), TRUE));

  BrenmoorState state;
  ImportSectionFile(state, PathToUtf8(table), '.');
  EXPECT_EQ(state.imported_count, 7);
  GenerateComponentFile(state, component);
  GenerateComponentFile(state, component);  // and over the old one
  EXPECT_EQ(ReadFile(in_long_form(component)), SampleComponentFile(dir));
  EXPECT_EQ(ReadWholeFile(component), SampleComponentFile(dir));
  std::error_code ignored;
  std::filesystem::remove_all(in_long_form(dir.path() / PathFromUtf8(level + " 0")), ignored);
}

// Another program holds the old component file open the way Windows programs
// do, without sharing it for deletion, or the file is read-only: the replace
// fails with the system's reason, the old file intact, no temporary left.
TEST(WindowsFiles, ComponentFileHeldOpenOrReadOnlyIsRefusedAndKept) {
  const DWORD kNotOpen = static_cast<DWORD>(-1);
  const struct {
    const char* what;
    DWORD share;  // how the other program opened it
  } cases[] = {
      {"held open, no sharing", 0},
      {"held open for reading, sharing reading", FILE_SHARE_READ},
      {"held open, sharing reading and writing", FILE_SHARE_READ | FILE_SHARE_WRITE},
      {"read-only", kNotOpen},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const auto path = dir / "KAVOSEC.PF3CMP";
    WriteFile(path, kOldFile);
    HANDLE other = INVALID_HANDLE_VALUE;
    if (c.share != kNotOpen) {
      other = ::CreateFileW(path.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(other, INVALID_HANDLE_VALUE);
    } else {
      ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    BrenmoorState state = SampleState();
    const auto generate = [&] { GenerateComponentFile(state, path); };
    const std::string message = ErrorOf(generate);
    const std::string start = "Cannot create file \"" + PathToUtf8(path) + "\". ";
    ASSERT_EQ(message.substr(0, start.size()), start) << message;
    // Which of the two depends on the Windows version; Wine says the first.
    const std::string reason = message.substr(start.size());
    EXPECT_TRUE(reason == Text(ERROR_ACCESS_DENIED) || reason == Text(ERROR_SHARING_VIOLATION))
        << reason;
    if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(path), kOldFile);
    EXPECT_EQ(testing::EntriesIn(dir.path()), 1);
    EXPECT_EQ(ErrorOf(generate), "no error");  // once the other program lets go
  }
}

PROCESS_INFORMATION StartCmd(DWORD flags) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  wchar_t command[] = L"cmd.exe /c exit 0";
  EXPECT_TRUE(::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, flags | CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &process));
  return process;
}

void End(const PROCESS_INFORMATION& process) {
  ::TerminateProcess(process.hProcess, 0);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

TEST(WindowsFiles, TemporaryFilesOfEndedRunsAreRemovedOthersKept) {
  TempDir dir;
  const PROCESS_INFORMATION ended = StartCmd(0), alive = StartCmd(CREATE_SUSPENDED);
  ::WaitForSingleObject(ended.hProcess, INFINITE);
  End(ended);
  // Which names are temporaries of which run is tested with the shared code.
  const auto temporary = [](DWORD id, char n) {
    return ".KAVOSEC.PF3CMP." + std::to_string(id) + "." + n + ".tmp";
  };
  const std::string ended_but_open = temporary(ended.dwProcessId, '1');
  const std::set<std::string> kept = {ended_but_open, temporary(alive.dwProcessId, '0')};
  WriteFile(dir / temporary(ended.dwProcessId, '0'), "half a file");
  // And one a run left while writing another file.
  WriteFile(dir / (".sections.pdf." + std::to_string(ended.dwProcessId) + ".0.tmp"), "half");
  for (const auto& name : kept) WriteFile(dir / name, "half a file");
  // Still open (and not shared for deletion) somewhere: not ours to delete.
  const HANDLE held = ::CreateFileW((dir / ended_but_open).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  BrenmoorState state = SampleState();
  GenerateComponentFile(state, dir / "KAVOSEC.PF3CMP");
  std::set<std::string> expected = kept;
  expected.insert("KAVOSEC.PF3CMP");
  EXPECT_EQ(Names(dir.path()), expected);
  ::CloseHandle(held);
  End(alive);
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
    std::string read;
    const std::string error = ErrorOf([&] { read = ReadWholeFile(table); });
    EXPECT_EQ(error, c.readable ? "no error"
                                : "Cannot open file \"" + PathToUtf8(table) + "\". " +
                                      Text(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(read, c.readable ? ReadFile(PathFromUtf8(kSample)) : "");
    ::CloseHandle(other);
  }
}

// Large files are handed to the disk while they are written, through a
// second handle on a thread of its own: neither the bytes nor the removal of
// an abandoned file may suffer from it, whether the file is written in order
// or in parts at their offsets, from two threads, last part first, into
// space reserved beforehand.
TEST(WindowsFiles, LargeFilesWrittenOutEarlyKeepTheirBytesAndLeaveNoTemporary) {
  TempDir dir;
  std::string block(1 << 20, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 4096);
  constexpr int kBlocks = 20;  // two flushes and a half
  // Part i is block with its first byte made i, so that a part written at
  // the wrong offset shows.
  const auto part = [&](int i) {
    std::string bytes = block;
    bytes[0] = static_cast<char>(i);
    return bytes;
  };
  for (bool at_offsets : {false, true}) {
    for (bool commit : {true, false}) {
      SCOPED_TRACE(std::string(at_offsets ? "at offsets, " : "in order, ") +
                   (commit ? "committed" : "abandoned"));
      WriteFile(dir / "big.bin", kOldFile);
      {
        ReplacingFile file(dir / "big.bin");
        if (at_offsets) {
          ASSERT_TRUE(file.positional());
          file.Reserve(std::uint64_t{kBlocks} << 20);
          const auto write = [&](int first) {
            for (int i = kBlocks - 1 - first; i >= 0; i -= 2) {
              const std::string bytes = part(i);
              file.WriteAt(bytes.data(), bytes.size(), std::uint64_t(i) << 20);
            }
          };
          std::jthread other(write, 1);
          write(0);
        } else {
          for (int i = 0; i < kBlocks; ++i) file.Write(part(i).data(), block.size());
        }
        if (commit) file.Commit();
      }
      const std::string bytes = ReadFile(dir / "big.bin");
      if (commit) {
        ASSERT_EQ(bytes.size(), kBlocks * block.size());
        for (int i = 0; i < kBlocks; ++i) {
          EXPECT_EQ(bytes.compare(std::size_t(i) << 20, block.size(), part(i)), 0) << "part " << i;
        }
      } else {
        EXPECT_EQ(bytes, kOldFile);
      }
      EXPECT_EQ(Names(dir.path()), std::set<std::string>{"big.bin"});
    }
  }
}

}  // namespace
}  // namespace brenmoor
