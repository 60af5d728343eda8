// The decimal separator comes from the user's regional settings, read
// through the system's own call.
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include "import/number_text.h"
#include "platform/locale.h"

namespace brenmoor {
namespace {

TEST(RegionalDecimalSeparator, FollowsTheUsersRegionalSettings) {
  // Set as the regional settings dialog sets it; the engineer's own is put back.
  struct Saved {
    wchar_t separator[8] = {};
    Saved() { ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8); }
    ~Saved() { ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator); }
  } saved;
  const struct {
    const wchar_t* setting;
    char expected;
  } cases[] = {
      {L",", ','},  {L".", '.'}, {L"\u066B", '.'},  // Arabic: not one byte in a table
      {L",,", '.'},                                 // more than one character
      {L";", ';'},                                  // last: used below
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.expected));
    ASSERT_TRUE(::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, c.setting));
    EXPECT_EQ(RegionalDecimalSeparator(), c.expected);
  }
  // A table number written with ';' (which does not split a line) converts,
  // and one with '.' still does.
  EXPECT_EQ(TextToFloat("380;1", RegionalDecimalSeparator()), 380.1f);
  EXPECT_EQ(TextToFloat("380.1", RegionalDecimalSeparator()), 380.1f);
}

}  // namespace
}  // namespace brenmoor
