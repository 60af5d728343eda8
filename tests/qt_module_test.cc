// What the programs trust of the Qt module: only the file their own build
// made, found only at absolute places, and whatever it answers turned into a
// message the engineer can act on.
#include "app/qt_module.h"

#include <gtest/gtest.h>

#include <string>

#include "app/sha256.h"
#include "qtmodule/flat_section.h"
#include "qtmodule/request.h"
#include "tests/temp_dir.h"
#include "tests/test_sections.h"

namespace brenmoor {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(Sha256Hex, KnownDigests) {
  const struct {
    std::string bytes, digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 56 bytes: the length no longer fits the block the message ends in.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1'000'000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    EXPECT_EQ(Sha256Hex(c.bytes), c.digest);
  }
}

// Every field crosses to the module and back, with and without stirrups.
TEST(FlatSection, CarriesEveryFieldBothWays) {
  TSECTION s = testing::Section600x400();
  s.NAME = std::string(40, 'N');
  for (const bool with_stirrups : {false, true}) {
    SCOPED_TRACE(with_stirrups);
    if (with_stirrups) s.stirrups = Stirrups{10.5, 100.25, 4, 3};
    const TSECTION back = SectionFromFlat(FlatSection(s));
    EXPECT_EQ(back.kind, s.kind);
    EXPECT_TRUE(static_cast<const SectionInput&>(back) == s);
  }
}

TEST(CheckQtModule, RefusesAnyFileButTheOneTheBuildMade) {
  TempDir dir;
  const std::string module(300'000, 'm');
  const ModuleIdentity built{module.size(), Sha256Hex(module)};
  std::string other_build = module;
  other_build[150'000] = 'n';
  const std::string refused =
      ": the window and PDF module is damaged or belongs to another build; reinstall Brenmoor";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"cut short", module.substr(0, 1024)},
      {"cut by one byte", module.substr(0, module.size() - 1)},
      {"one byte longer", module + "m"},
      {"another build", other_build},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "module", c.bytes);
    try {
      CheckQtModule(dir / "module", built);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.what(), (dir / "module").string() + refused);
    }
  }
  WriteFile(dir / "module", module);
  EXPECT_NO_THROW(CheckQtModule(dir / "module", built));
}

TEST(QtModuleCandidates, OnlyAbsolutePlaces) {
  const std::filesystem::path installed = "../lib/brenmoor";
  const std::filesystem::path package = std::filesystem::absolute("/usr/lib/brenmoor");
  const std::filesystem::path program = std::filesystem::absolute("/opt/brenmoor/bin");
  const auto beside = QtModuleCandidates(program, installed, package);
  ASSERT_EQ(beside.size(), 3u);
  EXPECT_EQ(beside[0].parent_path(), program);
  EXPECT_EQ(beside[1].parent_path(), std::filesystem::absolute("/opt/brenmoor/lib/brenmoor"));
  EXPECT_EQ(beside[2].parent_path(), package);
  // The program's folder unknown (no /proc): never "../lib/brenmoor" from
  // wherever the current folder is.
  const auto unknown = QtModuleCandidates({}, installed, package);
  ASSERT_EQ(unknown.size(), 1u);
  EXPECT_EQ(unknown[0].parent_path(), package);
  EXPECT_TRUE(QtModuleCandidates({}, installed, {}).empty());
  EXPECT_TRUE(QtModuleCandidates("bin", installed, "lib").empty());
}

TEST(ThrowForQtStatus, EveryAnswerHasAMessageOfItsOwn) {
  const std::filesystem::path path = "/m/libbrenmoor-qt.so";
  EXPECT_NO_THROW(ThrowForQtStatus(kBrenmoorQtDone, "", path, nullptr));
  EXPECT_THROW(ThrowForQtStatus(kBrenmoorQtCancelled, "", path, nullptr), Cancelled);
  const std::exception_ptr full =
      std::make_exception_ptr(Error("Cannot write file \"x\". No space left on device"));
  const struct {
    std::int32_t status;
    std::string message;
    std::exception_ptr write_error;
    std::string says;
  } cases[] = {
      {kBrenmoorQtFailed, "The font is broken", nullptr, "The font is broken"},
      {kBrenmoorQtFailed, "", nullptr,
       path.string() +
           ": the window and PDF module failed without saying why; reinstall Brenmoor if it "
           "happens again"},
      {kBrenmoorQtWriteFailed, "", full, "Cannot write file \"x\". No space left on device"},
      {kBrenmoorQtWriteFailed, "", nullptr,
       path.string() +
           ": the window and PDF module could not hand over the PDF, and the program met no "
           "failure"},
      {kBrenmoorQtWrongInterface, "", nullptr,
       path.string() +
           ": the window and PDF module is damaged or belongs to another build; reinstall "
           "Brenmoor"},
      {77, "", nullptr,
       path.string() +
           ": the window and PDF module answered 77, which this program does not know; reinstall "
           "Brenmoor"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    try {
      ThrowForQtStatus(c.status, c.message, path, c.write_error);
      ADD_FAILURE() << "nothing thrown";
    } catch (const Error& e) {
      EXPECT_EQ(e.what(), c.says);
    }
  }
}

}  // namespace
}  // namespace brenmoor
