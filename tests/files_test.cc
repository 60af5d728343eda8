// The temporary file's name and the same-file check, on every system.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/errors.h"
#include "platform/text.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// Every name a folder takes gets a temporary name that fits beside it (255
// bytes), is whole UTF-8 and reads back with its process; long names that
// differ only at their end get different ones.
TEST(ReplacingFileTemporaryName, FitsForEveryLegalNameAndReadsBack) {
  const std::string names[] = {"KAVOSEC.PF3CMP",         Repeated("a", 224),
                               Repeated("a", 225),       Repeated("b", 250),
                               Repeated("b", 249) + "c", Repeated("柱", 80) + ".PF3CMP",
                               Repeated("x", 255)};
  for (const std::string& name : names) {
    SCOPED_TRACE(name.size());
    const std::string temporary = ReplacingFileTemporaryName(name, 4294967295, 99);
    EXPECT_LE(temporary.size(), 255u);
    EXPECT_TRUE(IsValidUtf8(temporary));
    std::int64_t pid = 0;
    EXPECT_TRUE(IsReplacingFileTemporary(temporary, name, pid));
    EXPECT_EQ(pid, 4294967295);
  }
  EXPECT_NE(ReplacingFileTemporaryName(names[3], 1, 0), ReplacingFileTemporaryName(names[4], 1, 0));
  std::int64_t pid = 0;
  EXPECT_FALSE(IsReplacingFileTemporary(ReplacingFileTemporaryName(names[3], 1, 0), names[4], pid));
}

TEST(ReplacingFile, WritesAFileWhoseNameIsAsLongAsAllowed) {
  testing::TempDir dir;
  for (const std::string& name : {Repeated("b", 250), Repeated("柱", 80)}) {
    const auto path = dir.path() / PathFromUtf8(name);
    WriteFileReplacing(path, "old");
    WriteFileReplacing(path, "new");
    EXPECT_EQ(testing::ReadFile(path), "new");
  }
  EXPECT_EQ(testing::EntriesIn(dir.path()), 2);
}

// The table is found however the output names it.
TEST(RefuseOutputOverInput, KnowsTheTableByItsIdentity) {
  testing::TempDir dir;
  const auto table = dir / "t.csv";
  testing::WriteFile(table, "NUM\n");
  std::filesystem::create_hard_link(table, dir / "hard.csv");
  testing::WriteFile(dir / "other.csv", "NUM\n");
  const struct {
    std::filesystem::path output;
    bool refused;
  } cases[] = {
      {table, true},
      {dir.path() / "." / "t.csv", true},
      {dir / "hard.csv", true},
#ifdef _WIN32
      {dir / "T.CSV", true},  // names are not told apart by case
#endif
      {dir / "other.csv", false},
      {dir / "new.csv", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    std::string error;
    try {
      RefuseOutputOverInput(c.output, table);
    } catch (const Error& e) {
      error = e.what();
    }
    EXPECT_EQ(error.ends_with("It is the section table itself"), c.refused) << error;
  }
}

}  // namespace
}  // namespace brenmoor
