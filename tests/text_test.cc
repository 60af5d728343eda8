#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

#include "model/errors.h"

namespace brenmoor {
namespace {

TEST(IsValidUtf8, AcceptsWellFormedTextOnly) {
  const struct {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"KZ1", true},
      {"\xE4\xB8\xAD\xE6\x9F\xB1", true},  // 中柱
      {"\xF0\x9F\x8F\x97", true},          // a four-byte character
      {"\xD6\xD0\xD6\xF9", false},         // 中柱 in GB18030
      {"\xC0\xAF", false},                 // an overlong '/'
      {"\xE0\x80\xAF", false},             // an overlong '/' in three bytes
      {"\xED\xA0\x80", false},             // a surrogate
      {"\xF4\x90\x80\x80", false},         // beyond U+10FFFF
      {"\xE4\xB8", false},                 // cut short
      {"\x80", false},                     // a continuation byte alone
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
  }
}

TEST(DisplayText, ShowsUtf8AsItIsAndDecodesGb18030) {
  const struct {
    std::string bytes;
    std::string shown;
  } cases[] = {
      {"KZ1", "KZ1"},
      {"\xE4\xB8\xAD\xE6\x9F\xB1-1", "\xE4\xB8\xAD\xE6\x9F\xB1-1"},
      // 中柱-1 and 边柱 as a Chinese spreadsheet saves them
      {"\xD6\xD0\xD6\xF9-1", "\xE4\xB8\xAD\xE6\x9F\xB1-1"},
      {"\xB1\xDF\xD6\xF9", "\xE8\xBE\xB9\xE6\x9F\xB1"},
      // 0xFF is neither: shown as a replacement character, the rest kept
      {"A\xFF"
       "B",
       "A\xEF\xBF\xBD"
       "B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(DisplayText(c.bytes), c.shown);
  }
  EXPECT_EQ(Gb18030ToUtf8("\xFF"), std::nullopt);
}

// Our own UTF-8 words ("×") and a table's GB18030 name in one message: read
// as a whole, either spoils the other.
TEST(DisplayMessage, DecodesEachQuotedTextOnItsOwn) {
  const struct {
    std::string message;
    std::string shown;
  } cases[] = {
      {"Section \"\xD6\xD0\xD6\xF9\": CC = 260 reaches the centre of a 500 \xC3\x97 400 section",
       "Section \"\xE4\xB8\xAD\xE6\x9F\xB1\": CC = 260 reaches the centre of a 500 \xC3\x97 400 "
       "section"},
      {"'\xB1\xDF\xD6\xF9' is not a valid material name",
       "'\xE8\xBE\xB9\xE6\x9F\xB1' is not a valid material name"},
      {"\xC3\x97\"\"'", "\xC3\x97\"\"'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(DisplayMessage(c.message), c.shown);
  }
}

// A name or a file name with control characters in a message must not act
// on the terminal it is shown on (erase the line, move the cursor, retitle
// the window): each is shown as \x and its code, inside quotes or not, and
// after a GB18030 name is decoded.
TEST(DisplayMessage, ShowsControlCharactersEscaped) {
  const struct {
    std::string message;
    std::string shown;
  } cases[] = {
      {"Section \"B\x1b[1A\x1b[2K\": too small", "Section \"B\\x1b[1A\\x1b[2K\": too small"},
      {"\x1b]0;title\x07", "\\x1b]0;title\\x07"},
      {"a\tb\nc\rd\x7f", "a\\x09b\\x0ac\\x0dd\\x7f"},
      {std::string("nul\0end", 7), "nul\\x00end"},
      // C1 controls (CSI is U+009B), while other characters of two bytes stay.
      {"\xC2\x9B"
       "2J \xC2\xA0\xC3\x97",
       "\\x9b"
       "2J \xC2\xA0\xC3\x97"},
      {"'\xD6\xD0\xD6\xF9\x1b'", "'\xE4\xB8\xAD\xE6\x9F\xB1\\x1b'"},  // GB18030, decoded
      {"C:\\Users\\x1b", "C:\\Users\\x1b"},  // backslashes stay as they are
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(DisplayMessage(c.message), c.shown);
  }
}

// A spreadsheet evaluates a field that starts like a formula, even quoted;
// an apostrophe in front makes it text. Only the first character counts.
TEST(CsvName, QuotesAndDisarmsFormulas) {
  const struct {
    std::string name;
    std::string field;
  } cases[] = {
      {"KZ1", "\"KZ1\""},
      {"=1+1", "\"'=1+1\""},
      {"+A1", "\"'+A1\""},
      {"-1+1", "\"'-1+1\""},
      {"@SUM(1)", "\"'@SUM(1)\""},
      {"\tX", "\"'\tX\""},
      {"\rX", "\"'\rX\""},
      {"=\"a\"", "\"'=\"\"a\"\"\""},  // the quote marks still doubled
      {"KZ-1=2", "\"KZ-1=2\""},       // inside a name: harmless
      {"", "\"\""},
      {"\xD6\xD0\xD6\xF9", "\"\xE4\xB8\xAD\xE6\x9F\xB1\""},  // GB18030 shown as UTF-8
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CsvName(c.name), c.field);
  }
}

}  // namespace
// A long message is cut between characters, so standard error and the error
// box get valid UTF-8.
TEST(ShortenedForMessage, KeepsWholeCharacters) {
  for (const std::string prefix : {"", "a", "ab"}) {
    std::string text = prefix;
    for (int i = 0; i < 40; ++i) text += "柱";
    const std::string shortened = ShortenedForMessage(text);
    SCOPED_TRACE(shortened);
    EXPECT_TRUE(IsValidUtf8(shortened));
    EXPECT_TRUE(shortened.ends_with("..."));
    EXPECT_GE(shortened.size(), 58u + 3u);
  }
}

}  // namespace brenmoor
