#include "output/generate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "model/errors.h"
#include "model/section_properties.h"
#include "output/component_writer.h"
#include "tests/reference_writer.h"
#include "tests/system_texts.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::EntriesIn;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kOldFile = "an older component file the engineer relies on";

std::string ErrorOf(BrenmoorState& state, const std::filesystem::path& path) {
  try {
    GenerateComponentFile(state, path);
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

TEST(GenerateComponentFile, WritesTheSameBytesAsTheWriterAndReplacesTheOldFile) {
  TempDir dir;
  const auto path = dir / kComponentFileName;
  WriteFile(path, kOldFile);
  BrenmoorState state = testing::StateWith(testing::DefaultSection(), testing::Section600x400());
  BrenmoorState prepared = state;
  EXPECT_EQ(GenerateComponentFile(state, path), path);

  StringSink expected;
  PrepareSections(prepared);
  WriteComponentFile(prepared, expected);
  EXPECT_EQ(ReadFile(path), expected.bytes());
  EXPECT_EQ(EntriesIn(dir.path()), 1);

  GenerateComponentFile(state, path);  // again: identical
  EXPECT_EQ(ReadFile(path), expected.bytes());
}

TEST(GenerateComponentFile, RelativeNameLandsInTheCurrentFolder) {
  TempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  BrenmoorState state = testing::StateWith();
  const auto written = GenerateComponentFile(state);
  std::filesystem::current_path(previous);
  EXPECT_EQ(written, dir / kComponentFileName);
  EXPECT_EQ(ReadFile(written).size(), 70u);
}

TEST(GenerateComponentFile, FailuresLeaveTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  const auto path = dir / kComponentFileName;
  const auto in_missing_folder = dir / "missing" / kComponentFileName;
  const auto folder_in_the_way = dir / "folder" / kComponentFileName;
  std::filesystem::create_directories(folder_in_the_way);
  WriteFile(path, kOldFile);

  BrenmoorState zero =
      testing::StateWith(testing::DefaultSection(),
                         testing::MakeSection({"ZERO", 1, 0, 0, 40, 5, 5, 6, 6, 1000, 1000, 490}));
  BrenmoorState good = testing::StateWith(testing::DefaultSection());

  EXPECT_EQ(ErrorOf(zero, path), "Section \"ZERO\": Invalid floating point operation");
  EXPECT_EQ(ErrorOf(good, in_missing_folder), "Cannot create file \"" + in_missing_folder.string() +
                                                  "\". " + testing::Texts().missing_folder);
  EXPECT_EQ(ErrorOf(good, folder_in_the_way), "Cannot create file \"" + folder_in_the_way.string() +
                                                  "\". " + testing::Texts().folder_in_the_way);

  EXPECT_EQ(ReadFile(path), kOldFile);
  EXPECT_EQ(EntriesIn(dir.path()), 2);  // the old file and "folder"
  EXPECT_EQ(EntriesIn(dir / "folder"), 1);
}

}  // namespace
}  // namespace brenmoor
