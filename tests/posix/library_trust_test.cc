// Where a library may be taken from: only where nobody but the running user
// and root could have put it or could change it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/module.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

TEST(WhyNotTrusted, TheFileAndEveryFolderAboveItBelongToTheUserOrRoot) {
  if (::geteuid() != 0) GTEST_SKIP() << "gives files to another user, which only root may";
  const struct {
    const char* what;
    mode_t folder_mode;
    uid_t folder_owner;
    mode_t file_mode;
    uid_t file_owner;
    gid_t file_group;
    std::string why;  // the folder or file named, then the reason; empty: trusted
  } cases[] = {
      {"root's", 0755, 0, 0644, 0, 0, ""},
      {"under a sticky folder", 01777, 0, 0644, 0, 0, ""},
      {"folder of another user", 0755, 65534, 0644, 0, 0, "lib\" belongs to another user (nobody)"},
      {"file of another user", 0755, 0, 0644, 65534, 0,
       "lib/m.so\" belongs to another user (nobody)"},
      {"folder everyone writes", 0777, 0, 0644, 0, 0, "lib\" is writable by every user"},
      {"file everyone writes", 01777, 0, 0666, 0, 0, "lib/m.so\" is writable by every user"},
      {"file a group writes", 0755, 0, 0664, 0, 65534,
       "lib/m.so\" is writable by the group nogroup"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    const auto lib = dir / "lib";
    std::filesystem::create_directory(lib);
    testing::WriteFile(lib / "m.so", "library");
    ASSERT_EQ(::chown(lib.c_str(), c.folder_owner, 0), 0);
    ASSERT_EQ(::chmod(lib.c_str(), c.folder_mode), 0);
    ASSERT_EQ(::chown((lib / "m.so").c_str(), c.file_owner, c.file_group), 0);
    ASSERT_EQ(::chmod((lib / "m.so").c_str(), c.file_mode), 0);
    const std::string why = WhyNotTrusted(lib / "m.so");
    if (c.why.empty()) {
      EXPECT_EQ(why, "");
    } else {
      EXPECT_EQ(why, '"' + std::filesystem::canonical(dir.path()).string() + "/" + c.why);
    }
  }
}

}  // namespace
}  // namespace brenmoor
