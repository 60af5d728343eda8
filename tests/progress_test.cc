// Progress and cancel through the import and generate command: every step
// shows its count, only on the thread that started the work, and a cancel at
// any step leaves the old file, and the table imported before, as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "import/section_import.h"
#include "output/generate.h"
#include "platform/files.h"
#include "tests/temp_dir.h"
#include "tests/varied_table.h"

namespace brenmoor {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::VariedTable;
using testing::WriteFile;

// Records what it is shown, checking that it is shown from the thread that
// made it and never backwards; cancels as soon as step cancel_at is shown
// (the calling thread may do none of a step's pieces itself, so it may see
// no count between the first and the last).
class RecordingProgress : public Progress {
 public:
  explicit RecordingProgress(std::string cancel_at = {}) : cancel_at_(std::move(cancel_at)) {}

  void Show(std::string_view step, std::int64_t done, std::int64_t total) override {
    EXPECT_EQ(std::this_thread::get_id(), owner_) << step;
    if (steps.empty() || steps.back().step != step) steps.push_back({std::string(step), 0, total});
    EXPECT_GE(done, steps.back().done) << step;  // never backwards
    EXPECT_LE(done, total) << step;
    steps.back().done = done;
    if (step == cancel_at_) Cancel();
  }

  struct Seen {
    std::string step;
    std::int64_t done;
    std::int64_t total;
  };
  std::vector<Seen> steps;

 private:
  std::string cancel_at_;
  std::thread::id owner_ = std::this_thread::get_id();
};

constexpr int kSections = 6000;  // several pieces in every step

TEST(Progress, CancelAtAnyStepKeepsTheOldFileTheOldTableAndNoTemporary) {
  const std::string kOldFile = "an older component file the engineer relies on";
  for (const char* step : {"Reading sections", "Writing sections"}) {
    SCOPED_TRACE(step);
    TempDir dir;
    const auto output = dir / "KAVOSEC.PF3CMP";
    WriteFile(output, kOldFile);
    WriteFile(dir / "new.csv", VariedTable(kSections, 2));
    BrenmoorState state;
    ImportSectionTable(state, VariedTable(50, 3), '.', "old.csv");
    const std::string old_name = state.records[7].NAME;

    RecordingProgress progress(step);
    EXPECT_THROW(
        {
          ImportSectionFile(state, PathToUtf8(dir / "new.csv"), '.', &progress);
          GenerateComponentFile(state, output, &progress);
        },
        Cancelled);
    EXPECT_EQ(ReadFile(output), kOldFile);
    EXPECT_EQ(testing::EntriesIn(dir.path()), 2);  // no temporary file behind
    if (std::string_view(step) == "Reading sections") {
      EXPECT_EQ(state.imported_count, 50);
      EXPECT_EQ(state.records[7].NAME, old_name);
    }
  }
}

TEST(Progress, ConvertShowsTheReadingAndTheWritingOfEverySectionInOnePass) {
  // The sections are computed as their pieces are written: no step of its
  // own. The writing ends at its total however the pieces were shared out
  // (the reading may end short of it: its last pieces' counts may be left
  // to threads that show nothing).
  TempDir dir;
  WriteFile(dir / "new.csv", VariedTable(kSections, 2));
  BrenmoorState state;
  RecordingProgress progress;
  ImportSectionFile(state, PathToUtf8(dir / "new.csv"), '.', &progress);
  GenerateComponentFile(state, dir / "KAVOSEC.PF3CMP", &progress);
  ASSERT_EQ(progress.steps.size(), 2u);
  for (std::size_t i = 0; i < progress.steps.size(); ++i) {
    const auto& seen = progress.steps[i];
    SCOPED_TRACE(seen.step);
    EXPECT_EQ(seen.step, i == 0 ? "Reading sections" : "Writing sections");
    EXPECT_EQ(seen.total, kSections);
    if (i == 1) {
      EXPECT_EQ(seen.done, kSections);
    }
  }
}

}  // namespace
}  // namespace brenmoor
