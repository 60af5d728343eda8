#include "platform/windows/wide.h"

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/windows/system_text.h"

namespace brenmoor::windows {
namespace {

TEST(CompleteUtf8Prefix, HoldsBackOnlyTheStartOfAnUnfinishedCharacter) {
  const struct {
    std::string bytes;
    std::size_t whole;
  } cases[] = {
      {"", 0},
      {"KZ1\n", 4},
      {"\xE9\xA1\xB9", 3},      // 项, whole
      {"a\xE9", 1},             // its first byte
      {"a\xE9\xA1", 1},         // its first two bytes
      {"x\xC3", 1},             // the first of é's two
      {"\xF0\x9F\x98\x80", 4},  // an emoji, four bytes
      {"\xF0\x9F\x98", 0},
      {"ab\x80", 3},  // a stray continuation byte: never completed
      {"ab\xFF", 3},  // not UTF-8 at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(CompleteUtf8Prefix(c.bytes), c.whole);
  }
}

TEST(WideFromUtf8, RoundTripsChineseAndFourByteCharacters) {
  const std::string text = "D:\\项目\\柱截面 表.csv \xF0\x9F\x98\x80";
  EXPECT_EQ(WideFromUtf8(text), L"D:\\\u9879\u76EE\\\u67F1\u622A\u9762 \u8868.csv \xD83D\xDE00");
  EXPECT_EQ(Utf8FromWide(WideFromUtf8(text)), text);
  EXPECT_EQ(WideFromUtf8(""), L"");
}

// The codes the file messages use are compared with a conversion written
// apart in the file and command line tests; here the rest.
TEST(SystemErrorText, TrimsTheEndAsMessagesNeedIt) {
  EXPECT_EQ(SystemErrorText(ERROR_DISK_FULL), testing::Text(ERROR_DISK_FULL));
  EXPECT_EQ(SystemErrorText(0x2000FFFF), "System error 536936447");
}

}  // namespace
}  // namespace brenmoor::windows
