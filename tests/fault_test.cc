#include "tests/fault_test.h"

#include "tests/system_texts.h"

namespace brenmoor::testing {
namespace {

TEST_F(FaultTest, TableGoneOrNoTableBetweenDialogAndRead) {
  std::filesystem::remove(table_);
  EXPECT_EQ(ImportError(table_),
            "Cannot open file \"" + PathToUtf8(table_) + "\". " + Texts().missing_file);
  EXPECT_EQ(ImportError(dir_.path()),
            "Cannot open file \"" + PathToUtf8(dir_.path()) + "\". " + Texts().folder_read_as_file);
  ExpectNothingLost();
}

TEST_F(FaultTest, HugeGarbageNeitherHangsNorGrowsTheMessage) {
  WriteHugeTables();
  // A hang is for the test runner's time limit to catch: no clock here.
  EXPECT_EQ(ImportError(huge_garbage_),
            "The table holds 832075 sections; at most 32767 are allowed");
  const std::string message = ImportError(huge_line_);
  EXPECT_LT(message.size(), 200u) << message;
  EXPECT_EQ(message.substr(0, 21), "Section name \"7777777");
  ExpectNothingLost();
}

}  // namespace
}  // namespace brenmoor::testing
