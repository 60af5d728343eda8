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
      {"\xE9\xA1\xB9", 3},  // 项, whole
      {"a\xE9", 1},         // its first byte
      {"a\xE9\xA1", 1},     // its first two bytes
      {"\xC3\xA9", 2},      // é
      {"x\xC3", 1},
      {"\xF0\x9F\x98\x80", 4},  // an emoji, four bytes
      {"\xF0\x9F\x98", 0},
      {"ab\x80", 3},  // a stray continuation byte: never completed
      {"ab\xFF", 3},  // not UTF-8 at all
      {"\xE9\xA1\xB9\xE7", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(CompleteUtf8Prefix(c.bytes), c.whole);
  }
}

TEST(WideFromUtf8, RoundTripsChineseAndFourByteCharacters) {
  const std::string text = "D:\\项目\\柱截面 表.csv \xF0\x9F\x98\x80";
  const std::wstring wide = WideFromUtf8(text);
  EXPECT_EQ(wide, L"D:\\\u9879\u76EE\\\u67F1\u622A\u9762 \u8868.csv \xD83D\xDE00");
  EXPECT_EQ(Utf8FromWide(wide), text);
  EXPECT_EQ(WideFromUtf8(""), L"");
}

TEST(SystemErrorText, TrimsTheEndAsMessagesNeedIt) {
  for (const DWORD error :
       {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL}) {
    SCOPED_TRACE(error);
    const std::string text = SystemErrorText(error);
    EXPECT_EQ(text, testing::Text(error));
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.');
    EXPECT_NE(text.back(), '\n');
  }
  EXPECT_EQ(SystemErrorText(0x2000FFFF), "System error 536936447");
}

}  // namespace
}  // namespace brenmoor::windows
