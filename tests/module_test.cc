// Loading a library on demand: the file loaded is the file that was checked,
// whatever is renamed over its name in between.
#include "platform/module.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

using testing::ReadFile;

// Another library renamed over the checked one before it is loaded, again
// and again: each time the checked one must run. Every file is kept open
// (and loaded) to the end, so that each load is of a file of its own.
TEST(LibraryFile, LoadsTheFileThatWasReadNotTheOneRenamedOverIt) {
  testing::TempDir dir;
  const std::string checked = ReadFile(BRENMOOR_LIBRARY_A);
  const std::string other = ReadFile(BRENMOOR_LIBRARY_B);
  ASSERT_NE(checked, other);
  constexpr int kLoads = 200;
  std::vector<std::unique_ptr<LibraryFile>> held;
  int others_loaded = 0;
  for (int i = 0; i < kLoads; ++i) {
    const auto name = dir / ("module" + std::to_string(i) + ".lib");
    testing::WriteFile(name, checked);
    held.push_back(std::make_unique<LibraryFile>(name));
    ASSERT_EQ(held.back()->Read(checked.size() + 1), checked);
    testing::WriteFile(dir / "other", other);
    // Refused on Windows while the file is held; done on Linux.
    std::error_code ignored;
    std::filesystem::rename(dir / "other", name, ignored);
    using Which = int (*)();
    const auto which = reinterpret_cast<Which>(held.back()->LoadFunction("WhichLibrary"));
    if (which() != 'A') ++others_loaded;
  }
  EXPECT_EQ(others_loaded, 0) << "of " << kLoads;
}

}  // namespace
}  // namespace brenmoor
