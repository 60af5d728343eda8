// Faults an engineer's machine can throw at the tool, each ending with a
// clear message and nothing lost: the component file written before
// survives byte for byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "import/section_import.h"
#include "model/errors.h"
#include "output/byte_sink.h"
#include "output/component_writer.h"
#include "output/generate.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kTable =
    "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
    "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n";

// A folder holding a table and the component file made from it.
class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(table_, kTable);
    ImportSectionFile(state_, table_.string(), '.');
    GenerateComponentFile(state_, component_);
    old_file_ = ReadFile(component_);
    ASSERT_EQ(old_file_.size(), 4355u);
  }

  void ExpectNothingLost() { EXPECT_EQ(ReadFile(component_), old_file_); }

  std::string ImportError(const std::filesystem::path& table) {
    try {
      ImportSectionFile(state_, table.string(), '.');
    } catch (const Error& e) {
      EXPECT_EQ(state_.imported_count, 0);
      return e.what();
    }
    return "no error";
  }

  TempDir dir_;
  std::filesystem::path table_ = dir_ / "sections.csv";
  std::filesystem::path component_ = dir_ / kComponentFileName;
  BrenmoorState state_;
  std::string old_file_;
};

TEST_F(FaultTest, TableGoneOrNoTableBetweenDialogAndRead) {
  std::filesystem::remove(table_);
  EXPECT_EQ(ImportError(table_),
            "Cannot open file \"" + table_.string() + "\". No such file or directory");
  EXPECT_EQ(ImportError(dir_.path()),
            "Cannot open file \"" + dir_.path().string() + "\". Is a directory");
  ExpectNothingLost();
}

TEST_F(FaultTest, UnreadableTable) {
  ::chmod(table_.c_str(), 0);
  // Root reads anything, so the check runs as an ordinary user.
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && ::setuid(65534) != 0) std::abort();
        std::fprintf(stderr, "%s\n", ImportError(table_).c_str());
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "Cannot open file \".*sections.csv\". Permission denied\n");
  ExpectNothingLost();
}

TEST_F(FaultTest, ComponentFileHeldOpenByAnotherProgram) {
  const int reader = ::open(component_.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  state_.records[1].NAME = "KZ1-NEW";
  GenerateComponentFile(state_, component_);
  // The program holding the old file still reads it whole; the name now
  // leads to the new one.
  std::string held(old_file_.size() + 1, '\0');
  EXPECT_EQ(::pread(reader, held.data(), held.size(), 0), static_cast<ssize_t>(old_file_.size()));
  held.resize(old_file_.size());
  EXPECT_EQ(held, old_file_);
  ::close(reader);
  EXPECT_EQ(ReadFile(component_).substr(72, 7), "KZ1-NEW");
}

// Runs the import of table in a child process; returns its peak memory in MB.
double ImportPeakMemoryMb(const std::filesystem::path& table) {
  const pid_t child = ::fork();
  if (child == 0) {
    BrenmoorState state;
    try {
      ImportSectionFile(state, table.string(), '.');
    } catch (const Error&) {
    }
    std::_Exit(0);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  return usage.ru_maxrss / 1024.0;
}

TEST_F(FaultTest, HugeGarbageNeitherHangsNorEatsMemory) {
  std::mt19937 random(5);
  std::string garbage(100'000'000, ' ');
  for (char& c : garbage) c = static_cast<char>(random() % 120 == 0 ? '\n' : 33 + random() % 94);
  const auto big = dir_ / "garbage.csv";
  WriteFile(big, garbage);

  std::string one_line = "NUM\n1,";
  one_line.append(50'000'000, '7');
  one_line += ",C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n";
  const auto long_line = dir_ / "long.csv";
  WriteFile(long_line, one_line);
  garbage.clear();
  garbage.shrink_to_fit();
  one_line.clear();
  one_line.shrink_to_fit();

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ImportError(big), "The table holds 832075 sections; at most 32767 are allowed");
  const std::string message = ImportError(long_line);
  EXPECT_LT(message.size(), 200u) << message;
  EXPECT_EQ(message.substr(0, 21), "Section name \"7777777");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));

#if !defined(__SANITIZE_ADDRESS__)
  // The file in memory and a few copies of its longest field: never more.
  EXPECT_LT(ImportPeakMemoryMb(big), 100 * 4 + 50);
  EXPECT_LT(ImportPeakMemoryMb(long_line), 50 * 4 + 50);
#endif
  ExpectNothingLost();
}

}  // namespace
}  // namespace brenmoor
