#include "import/number_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "import/decimal_to_extended.h"
#include "model/errors.h"
#include "model/float32.h"

namespace brenmoor {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// '.' is always a decimal separator: with a comma as the regional one, a
// fraction could not be written at all, since a comma always ends a field.
bool IsDecimalSeparator(char c, char regional) {
  return c == '.' || (c == regional && !IsDigit(regional) && regional != 'e' && regional != 'E' &&
                      regional != '+' && regional != '-' && regional != ' ');
}

std::string_view TakeDigits(std::string_view text, std::size_t& i) {
  const std::size_t begin = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return text.substr(begin, i - begin);
}

// The exponent as written, held within +-10^15: far beyond any float or
// extended value, yet safe to add a digit count to.
std::int64_t SaturatedExponent(std::string_view digits, bool negative) {
  constexpr std::int64_t kLimit = 1'000'000'000'000'000;
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > kLimit) {
      value = kLimit;
      break;
    }
  }
  return negative ? -value : value;
}

int HexDigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The common case of a table value ("500", "490.9", "1e3") without a general
// decimal conversion: with at most 19 significant digits the digits are an
// exact integer m, and 10^k is exact for k <= 27, so m · 10^k or m / 10^k is
// one correctly rounded operation: the same value DecimalToExtended gives.
std::optional<long double> ExactQuotient(std::string_view int_digits, std::string_view frac_digits,
                                         std::int64_t exponent) {
  constexpr int kMaxDigits = 19;
  constexpr int kMaxPower = 27;
  std::uint64_t m = 0;
  int digits = 0;
  for (std::string_view part : {int_digits, frac_digits}) {
    for (char c : part) {
      if (digits == 0 && c == '0') continue;
      if (++digits > kMaxDigits) return std::nullopt;
      m = m * 10 + static_cast<std::uint64_t>(c - '0');
    }
  }
  if (m == 0) return 0.0L;
  const std::int64_t power = exponent - static_cast<std::int64_t>(frac_digits.size());
  if (power < -kMaxPower || power > kMaxPower) return std::nullopt;
  long double scale = 1.0L;
  for (std::int64_t k = 0; k < (power < 0 ? -power : power); ++k) scale *= 10.0L;
  const long double mantissa = static_cast<long double>(m);
  return power < 0 ? mantissa / scale : mantissa * scale;
}

}  // namespace

namespace {

// A number text of the table, taken apart: sign, digits before and after the
// separator, and the exponent as written.
struct NumberParts {
  bool negative = false;
  std::string_view int_digits;
  std::string_view frac_digits;
  std::int64_t exponent = 0;
};

NumberParts SplitNumberText(std::string_view text, char decimal_separator) {
  const auto invalid = [text] {
    return Error("'" + ShortenedForMessage(text) + "' is not a valid floating point value");
  };
  NumberParts parts;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) parts.negative = text[i++] == '-';
  parts.int_digits = TakeDigits(text, i);
  if (i < text.size() && IsDecimalSeparator(text[i], decimal_separator)) {
    ++i;
    parts.frac_digits = TakeDigits(text, i);
  }
  if (parts.int_digits.empty() && parts.frac_digits.empty()) throw invalid();
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool exponent_negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponent_negative = text[i++] == '-';
    const std::string_view exponent_digits = TakeDigits(text, i);
    if (exponent_digits.empty()) throw invalid();
    parts.exponent = SaturatedExponent(exponent_digits, exponent_negative);
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) throw invalid();
  return parts;
}

}  // namespace

float TextToFloat(std::string_view text, char decimal_separator) {
  const NumberParts n = SplitNumberText(text, decimal_separator);
  if (const auto quick = ExactQuotient(n.int_digits, n.frac_digits, n.exponent)) {
    return RoundToFloat(n.negative ? -*quick : *quick);
  }

  // Too large for extended precision is far too large for a float32 too; a
  // value too small for a float reads as a (signed) zero in RoundToFloat.
  const std::optional<long double> value =
      DecimalToExtended(n.int_digits, n.frac_digits, n.exponent);
  if (!value) throw Error(kOverflowMessage);
  return RoundToFloat(n.negative ? -*value : *value);
}

double TextToDouble(std::string_view text, char decimal_separator) {
  const NumberParts n = SplitNumberText(text, decimal_separator);
  // The library's double conversion rounds correctly on every platform we
  // build for (unlike its long double one); it wants '.' and digits only.
  std::string plain(n.int_digits.empty() ? "0" : n.int_digits);
  plain += '.';
  plain += n.frac_digits;
  plain += 'e';
  plain += std::to_string(n.exponent);
  double value = 0.0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Out of range downwards is a zero, upwards an overflow: the digits
    // before the separator and the exponent tell which.
    const std::size_t leading = n.int_digits.find_first_not_of('0');
    const std::int64_t magnitude =
        n.exponent + (leading == std::string_view::npos
                          ? 0
                          : static_cast<std::int64_t>(n.int_digits.size() - leading));
    if (magnitude > 0) throw Error(kOverflowMessage);
    value = 0.0;
  }
  return n.negative ? -value : value;
}

std::int32_t TextToInt(std::string_view text) {
  const auto invalid = [text] {
    return Error("'" + ShortenedForMessage(text) + "' is not a valid integer value");
  };
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    i += 1;
  } else if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X") {
    base = 16;
    i += 2;
  }
  if (i == text.size()) throw invalid();
  const std::uint64_t limit = negative ? 2'147'483'648u : 2'147'483'647u;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0 || digit >= base) throw invalid();
    magnitude = magnitude * base + digit;
    if (magnitude > limit) throw invalid();
  }
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                            : static_cast<std::int64_t>(magnitude));
}

std::string FormatGridNumber(float value, char decimal_separator) {
  return FormatGridNumber(static_cast<double>(value), decimal_separator);
}

std::string FormatGridNumber(double value, char decimal_separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";

  // Every float has a finite decimal expansion of at most 105 significant
  // digits; writing all of them lets the 15-digit rounding below see the
  // exact value, ties included. A double's can be longer; its first 120
  // digits, correctly rounded, still settle the rounding at the 15th unless
  // the value lies within one part in 10^100 of a tie.
  constexpr int kExactDigits = 120;
  char buffer[kExactDigits + 16];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                     std::chars_format::scientific, kExactDigits);
  const std::string_view exact(buffer, static_cast<std::size_t>(written.ptr - buffer));
  // exact is "d.ddd...e+XX".
  const std::size_t e_at = exact.find('e');
  int exponent = 0;
  std::from_chars(exact.data() + e_at + (exact[e_at + 1] == '+' ? 2 : 1),
                  exact.data() + exact.size(), exponent);

  constexpr int kSignificant = 15;
  std::string digits;
  digits += exact[0];
  digits += exact.substr(2, kSignificant - 1);
  // Rounded half away from zero, as decimal text is rounded by hand.
  if (exact[2 + kSignificant - 1] >= '5') {
    int k = kSignificant - 1;
    while (k >= 0 && digits[k] == '9') digits[k--] = '0';
    if (k >= 0) {
      ++digits[k];
    } else {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    }
  }
  digits.erase(digits.find_last_not_of('0') + 1);

  std::string text;
  if (value < 0) text += '-';
  if (exponent < -4 || exponent >= kSignificant) {
    text += digits[0];
    if (digits.size() > 1) {
      text += decimal_separator;
      text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(exponent);
  } else if (exponent < 0) {
    text += '0';
    text += decimal_separator;
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else {
    const std::size_t int_length = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= int_length) {
      text += digits;
      text.append(int_length - digits.size(), '0');
    } else {
      text.append(digits, 0, int_length);
      text += decimal_separator;
      text.append(digits, int_length);
    }
  }
  return text;
}

}  // namespace brenmoor
