#include "import/decimal_to_extended.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace brenmoor {
namespace {

// The 10 bytes an extended value is made of; the rest of a long double is padding.
struct Extended {
  std::uint64_t significand;
  std::uint16_t sign_exponent;
  bool operator==(const Extended&) const = default;
};

void PrintTo(const Extended& x, std::ostream* os) {
  *os << std::hex << "{0x" << x.significand << ", 0x" << x.sign_exponent << "}" << std::dec;
}

std::optional<Extended> BitsOf(std::optional<long double> value) {
  if (!value || std::isinf(*value)) return std::nullopt;
  Extended x;
  std::memcpy(&x.significand, &*value, 8);
  std::memcpy(&x.sign_exponent, reinterpret_cast<const char*>(&*value) + 8, 2);
  return x;
}

// "<digits>[.<digits>][e<exponent>]"; no value means beyond the largest one.
std::optional<Extended> Convert(std::string_view text) {
  std::int64_t exponent = 0;
  const std::size_t e = text.find('e');
  if (e != std::string_view::npos) {
    std::from_chars(text.data() + e + 1, text.data() + text.size(), exponent);
  }
  const std::string_view number = text.substr(0, e);
  const std::size_t point = std::min(number.find('.'), number.size());
  const std::string_view fraction = point < number.size() ? number.substr(point + 1) : "";
  return BitsOf(DecimalToExtended(number.substr(0, point), fraction, exponent));
}

// The library's conversion. from_chars reports every denormal as out of range;
// strtold, in the C locale this program never leaves, gives its value.
std::optional<Extended> Reference(const std::string& text) {
  long double value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc()) {
    return BitsOf(value);
  }
  return BitsOf(std::strtold(text.c_str(), nullptr));
}

// (2r + 1) · 2^power, the value halfway between r · 2^(power + 1) and the next value up, as
// exact decimal digits and their power of ten. Base 10^9 limbs, least significant first.
std::pair<std::string, int> Halfway(std::uint64_t r, int power) {
  std::vector<std::uint64_t> n{r % 1'000'000'000, r / 1'000'000'000 % 1'000'000'000,
                               r / 1'000'000'000'000'000'000};
  const auto mul_add = [&n](std::uint64_t factor, std::uint64_t carry) {
    for (auto& limb : n) {
      carry += limb * factor;
      limb = carry % 1'000'000'000;
      carry /= 1'000'000'000;
    }
    for (; carry != 0; carry /= 1'000'000'000) n.push_back(carry % 1'000'000'000);
  };
  mul_add(2, 1);
  for (int k = 0; k < std::abs(power); ++k) mul_add(power < 0 ? 5 : 2, 0);
  while (n.back() == 0) n.pop_back();
  std::string text = std::to_string(n.back());
  for (std::size_t i = n.size() - 1; i-- > 0;) {
    const std::string limb = std::to_string(n[i]);
    text += std::string(9 - limb.size(), '0') + limb;
  }
  return {text, std::min(power, 0)};
}

TEST(DecimalToExtended, RoundsHalfwayCasesToEvenAndNearbyOnesToNearest) {
  const struct {
    std::uint64_t r;  // the value below is r · 2^ulp
    int ulp;
  } cases[] = {
      {0x8000'0000'0000'0000, 0},       // 2^63 + 0.5
      {0x8000'0000'0000'0001, 1},       // 2^64 + 3
      {0xCCCC'CCCC'CCCC'CCCC, -67},     // near 0.1
      {0xFFFF'FFFF'FFFF'FFFF, -64},     // just below 1: up is the next binade
      {0xFFFF'FFFF'FFFF'FFFF, 16320},   // the largest value: up is beyond it
      {0, -16445},                      // half the smallest denormal
      {1, -16445},                      // between the two smallest denormals
      {0x7FFF'FFFF'FFFF'FFFF, -16445},  // the largest denormal: up is the smallest normal
      {0xFFFF'FFFF'FFFF'FFFF, -16445},  // 11,515 significant digits
  };
  for (const auto& c : cases) {
    const auto [digits, exponent] = Halfway(c.r, c.ulp - 1);
    const auto value = [&c](bool up) {
      return BitsOf(std::ldexp(static_cast<long double>(c.r) + (up ? 1 : 0), c.ulp));
    };
    SCOPED_TRACE(digits.substr(0, 40));
    EXPECT_EQ(Convert(digits + "e" + std::to_string(exponent)), value(c.r % 2 == 1));
    // Just above and just below, by a digit right after or far beyond the cut.
    for (std::size_t tail : {0, 20000}) {
      std::string below = digits;
      below.back() -= 1;
      const std::string scale = "e" + std::to_string(exponent - static_cast<int>(tail) - 1);
      EXPECT_EQ(Convert(digits + std::string(tail, '0') + "1" + scale), value(true));
      EXPECT_EQ(Convert(below + std::string(tail + 1, '9') + scale), value(false));
    }
  }
}

// Where from_chars<long double> goes through double, all three come out wrong.
TEST(DecimalToExtended, KeepsWhatDoubleCannotHold) {
  const struct {
    const char* text;
    Extended expect;
  } cases[] = {
      {"0.1000000000000000000001", {0xCCCC'CCCC'CCCC'CCCD, 0x3FFB}},
      {"1.0000000000000000000001e4000", {0xD1BA'8323'FE55'8C61, 0x73E6}},
      {"3.64519953188247460252840593361941982e-4951", {1, 0}},  // the smallest denormal
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Convert(c.text), c.expect);
  }
}

TEST(DecimalToExtended, AgreesWithTheLibraryOnHardAndRandomTexts) {
  long double tenth = 0;
  std::from_chars("0.1", "0.1" + 3, tenth);
  // Some standard libraries convert through double; the comparison then means nothing.
  if (tenth != 0.1L) GTEST_SKIP() << "from_chars<long double> is not exact here";
  std::vector<std::string> texts = {
      "1.18973149535723176502e4932",  // rounds to the largest value
      "1.18973149535723176506e4932",  // beyond it
      "1.8225997659412373012e-4951",  // just below half the smallest denormal
      "1.8225997659412373013e-4951",  // just above it
      "000000000000000000000123.456000000000000000000000000",
      "0.00000000000000000000000000012345678901234567890123",
      "12345678901234567890123000000000000000000000000000000000",
      "0.1",
      "1e-99999999999",
      "7e99999999999",
      "0.00000000000e99999999999",
      "1." + std::string(30000, '0') + "1",
      "0." + std::string(50000, '9'),
      std::string(4933, '9') + ".9"};
  std::mt19937_64 random(2024);
  for (int i = 0; i < 300000; ++i) {
    const int length = 20 + static_cast<int>(random() % 21);
    std::string text(1, static_cast<char>('1' + random() % 9));
    for (int k = 1; k < length; ++k) text += static_cast<char>('0' + random() % 10);
    const int point = static_cast<int>(random() % (length + 1));
    text.insert(point, ".");
    // The leading digit from 10^-4955 to 10^4935: the whole range and past both ends.
    const int leading = static_cast<int>(random() % 9891) - 4955;
    texts.push_back(text + "e" + std::to_string(leading - point + 1));
  }
  for (const std::string& text : texts) {
    ASSERT_EQ(Convert(text), Reference(text)) << text.substr(0, 60);
  }
}

}  // namespace
}  // namespace brenmoor
