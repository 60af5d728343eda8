// The decimal separator comes from the user's regional settings, read
// through the system's own call.
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include "import/number_text.h"
#include "platform/locale.h"

namespace brenmoor {
namespace {

// Sets the user's decimal separator as the regional settings dialog does and
// puts the engineer's own back afterwards.
class UserDecimalSeparator {
 public:
  UserDecimalSeparator() { ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved_, 8); }
  ~UserDecimalSeparator() { ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved_); }
  bool Set(const wchar_t* separator) {
    return ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator);
  }

 private:
  wchar_t saved_[8] = {};
};

TEST(RegionalDecimalSeparator, FollowsTheUsersRegionalSettings) {
  const struct {
    const wchar_t* setting;
    char expected;
  } cases[] = {
      {L",", ','},  {L".", '.'},
      {L";", ';'},  {L"\u066B", '.'},  // the Arabic decimal separator: not one byte in a table
      {L",,", '.'},                    // more than one character
  };
  UserDecimalSeparator user;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.expected));
    ASSERT_TRUE(user.Set(c.setting));
    EXPECT_EQ(RegionalDecimalSeparator(), c.expected);
  }
  // With the separator set to ';' (which does not split a table line), a
  // table number written with it converts, and '.' still does.
  ASSERT_TRUE(user.Set(L";"));
  const char separator = RegionalDecimalSeparator();
  EXPECT_EQ(TextToFloat("380;1", separator), 380.1f);
  EXPECT_EQ(TextToFloat("380.1", separator), 380.1f);
}

}  // namespace
}  // namespace brenmoor
