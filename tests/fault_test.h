#pragma once
// Faults an engineer's machine can throw at the tool end with a clear
// message, and the component file written before survives byte for byte.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "import/section_import.h"
#include "model/errors.h"
#include "output/generate.h"
#include "platform/files.h"
#include "tests/temp_dir.h"

namespace brenmoor::testing {

inline const std::string kFaultTable =
    "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n"
    "1,KZ1,C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n";

// A folder holding a table and the component file made from it.
class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(table_, kFaultTable);
    ImportSectionFile(state_, PathToUtf8(table_), '.');
    GenerateComponentFile(state_, component_);
    old_file_ = ReadFile(component_);
    ASSERT_EQ(old_file_.size(), 4355u);
  }

  void ExpectNothingLost() { EXPECT_EQ(ReadFile(component_), old_file_); }

  std::string ImportError(const std::filesystem::path& table) {
    try {
      ImportSectionFile(state_, PathToUtf8(table), '.');
    } catch (const Error& e) {
      EXPECT_EQ(state_.imported_count, 0);
      return e.what();
    }
    return "no error";
  }

  // 100 MB of random printable lines, and one line whose name is 50 MB long.
  void WriteHugeTables() {
    std::mt19937 random(5);
    std::string garbage(100'000'000, ' ');
    for (char& c : garbage) c = static_cast<char>(random() % 120 == 0 ? '\n' : 33 + random() % 94);
    WriteFile(huge_garbage_, garbage);
    garbage.clear();
    garbage.shrink_to_fit();
    std::string one_line = "NUM\n1,";
    one_line.append(50'000'000, '7');
    one_line += ",C35,STEEL,500,500,6,6,5,5,1000,1000,490,40\n";
    WriteFile(huge_line_, one_line);
  }

  TempDir dir_;
  std::filesystem::path table_ = dir_ / "sections.csv";
  std::filesystem::path component_ = dir_ / "KAVOSEC.PF3CMP";
  std::filesystem::path huge_garbage_ = dir_ / "garbage.csv";
  std::filesystem::path huge_line_ = dir_ / "long.csv";
  BrenmoorState state_;
  std::string old_file_;
};

}  // namespace brenmoor::testing
