#include "tests/fault_test.h"

#include <chrono>

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
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ImportError(huge_garbage_),
            "The table holds 832075 sections; at most 32767 are allowed");
  const std::string message = ImportError(huge_line_);
  EXPECT_LT(message.size(), 200u) << message;
  EXPECT_EQ(message.substr(0, 21), "Section name \"7777777");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  ExpectNothingLost();
}

}  // namespace
}  // namespace brenmoor::testing
