#include "import/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>
#include <string>

#include "import/decimal_to_extended.h"
#include "model/errors.h"
#include "test_sections.h"

namespace brenmoor {
namespace {

using testing::Bits;
using testing::ErrorOf;

TEST(TextToFloat, ReadsTheNumberGrammarAndRoundsOnce) {
  const struct {
    const char* text;
    char separator;
    float expect;
  } cases[] = {
      {"500", '.', 500.0f},
      {"452.4", '.', 452.4f},
      {"  -12.5  ", '.', -12.5f},
      {"+1e3", '.', 1000.0f},
      {"2.5E-1", '.', 0.25f},
      {".5", '.', 0.5f},
      {"5.", '.', 5.0f},
      {"12,5", ',', 12.5f},
      {"12.5", ',', 12.5f},
      {"-0", '.', -0.0f},
      {"1e-50", '.', 0.0f},
      {"1e-99999999999999999999", '.', 0.0f},
      {"0e99999999999999999999", '.', 0.0f},
      {"3.4028235e38", '.', std::numeric_limits<float>::max()},
      // Rounded to extended precision first: the tiny excess is lost there, and
      // the exact tie left over rounds to even.
      {"16777217.0000000000000000001", '.', 16777216.0f},
      // Kept in extended precision (a double would lose it and tie to even).
      {"16777217.00000000010000000001", '.', 16777218.0f},
      {"-1e-4950", '.', -0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Bits(TextToFloat(c.text, c.separator)), Bits(c.expect));
  }
  for (const char* bad :
       {"", "abc", ".", "1e", "1.2.3", "1 000", "12,5", "--1", "inf", "0x10", "\t1"}) {
    SCOPED_TRACE(bad);
    std::string expect = "'";
    expect.append(bad).append("' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([bad] { TextToFloat(bad, '.'); }), expect);
  }
  EXPECT_EQ(ErrorOf([] { TextToFloat("1E39", '.'); }), "Floating point overflow");
  // Beyond float32 is an overflow however far beyond: past the extended range
  // and with exponents of any length too; underflow of any size is zero.
  for (const std::string& huge :
       {std::string("1e4000"), std::string("1e5000"), std::string("-1e5000"),
        std::string("1e1000000000000000000000000"), std::string(6000, '9')}) {
    EXPECT_EQ(ErrorOf([&huge] { TextToFloat(huge, '.'); }), "Floating point overflow") << huge;
  }
  for (const char* tiny : {"1e-5000", "1e-1000000000000000000000000"}) {
    EXPECT_EQ(Bits(TextToFloat(tiny, '.')), Bits(0.0f)) << tiny;
  }
  EXPECT_EQ(ErrorOf([] { TextToFloat("-3.5e38", ','); }), "Floating point overflow");
}

TEST(TextToInt, ReadsDecimalAndHexadecimal) {
  const struct {
    const char* text;
    std::int32_t expect;
  } cases[] = {
      {"6", 6},
      {"-5", -5},
      {"+7", 7},
      {"007", 7},
      {"$10", 16},
      {"x1f", 31},
      {"X1F", 31},
      {"0x10", 16},
      {"0XfF", 255},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"$7FFFFFFF", 2147483647},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextToInt(c.text), c.expect);
  }
  for (const char* bad : {"", "6.0", " 6", "6 ", "$", "0x", "1e3", "2147483648", "-2147483649",
                          "$80000000", "99999999999999999999", "+", "$G"}) {
    SCOPED_TRACE(bad);
    std::string expect = "'";
    expect.append(bad).append("' is not a valid integer value");
    EXPECT_EQ(ErrorOf([bad] { TextToInt(bad); }), expect);
  }
}

TEST(FormatGridNumber, ShowsFifteenSignificantDigits) {
  const struct {
    float value;
    char separator;
    const char* expect;
  } cases[] = {
      {452.4f, '.', "452.399993896484"},
      {0.1f, '.', "0.100000001490116"},
      {1e-6f, '.', "9.99999997475243E-7"},
      {500.0f, '.', "500"},
      {12.5f, ',', "12,5"},
      {0.0f, '.', "0"},
      {-0.0f, '.', "0"},
      {-490.9f, '.', "-490.899993896484"},
      {0.0001220703125f, '.', "0.0001220703125"},            // 2^-13, not below 0.0001
      {6.103515625e-05f, '.', "6.103515625E-5"},             // 2^-14
      {2.384185791015625e-07f, '.', "2.38418579101563E-7"},  // a tie, rounded away from zero
      {999999986991104.0f, '.', "999999986991104"},          // the float nearest 1E15, below it
      {1000000054099968.0f, '.', "1.00000005409997E15"},
      {std::numeric_limits<float>::max(), '.', "3.40282346638529E38"},
      {std::numeric_limits<float>::denorm_min(), ',', "1,40129846432482E-45"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expect);
    EXPECT_EQ(FormatGridNumber(c.value, c.separator), c.expect);
  }
}

// Stirrup values are read as the nearest double and shown as such: the
// engineer's 12.7 stays 12.7, not the float 12.6999998.
TEST(TextToDouble, ReadsTheTableGrammarToTheNearestDouble) {
  const struct {
    const char* text;
    char separator;
    double expect;
    const char* shown;
  } cases[] = {
      {"12.7", '.', 12.7, "12.7"},
      {" +8,5 ", ',', 8.5, "8.5"},
      {"1e-400", '.', 0.0, "0"},
      {"0000123456789012345678901234567890", '.', 123456789012345678901234567890.0,
       "1.23456789012346E29"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextToDouble(c.text, c.separator), c.expect);
    EXPECT_EQ(FormatGridNumber(c.expect, '.'), c.shown);
  }
  EXPECT_EQ(ErrorOf([] { TextToDouble("1e400", '.'); }), "Floating point overflow");
}

}  // namespace
}  // namespace brenmoor

namespace brenmoor {
namespace {

// Short table values take a quicker road than a general decimal
// conversion; both must give the same float for every text.
TEST(TextToFloat, QuickAndGeneralConversionsAgree) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 200000; ++i) {
    const std::string digits = std::to_string(random() % 100000000000ULL);
    const std::size_t point = random() % (digits.size() + 1);
    std::string text = digits.substr(0, point);
    text += '.';
    text += digits.substr(point);
    int exponent = 0;
    if (random() % 3 == 0) {
      exponent = static_cast<int>(random() % 55) - 30;
      text += 'e';
      text += std::to_string(exponent);
    }
    const long double general =
        *DecimalToExtended(digits.substr(0, point), digits.substr(point), exponent);
    SCOPED_TRACE(text);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(TextToFloat(text, '.')),
              std::bit_cast<std::uint32_t>(static_cast<float>(general)));
  }
}

}  // namespace
}  // namespace brenmoor
