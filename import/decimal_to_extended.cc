#include "import/decimal_to_extended.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace brenmoor {
namespace {

// A nonnegative integer in 32-bit limbs, least significant first, with no zero
// limb on top (zero is the empty vector).
using Limbs = std::vector<std::uint32_t>;

// The last bit of the smallest denormal is 2^-16445; every finite extended
// value is below 2^16384.
constexpr std::int64_t kMinUlpExponent = -16445;
constexpr std::int64_t kMaxTopBit = 16383;

// A value halfway between two extended values is an odd integer below 2^65
// times a power of two no smaller than 2^-16446: at most 11,515 significant
// digits. Cutting the digits after more than that, and standing in a nonzero
// digit for the rest, keeps every comparison with such a value, so the
// rounding comes out the same.
constexpr std::size_t kMaxDigits = 11520;

// Leading digit at 10^4933 or above: beyond the largest value. At 10^-4952 or
// below: under 10^-4951, less than half the smallest denormal.
constexpr std::int64_t kOverflowDecade = 4933;
constexpr std::int64_t kZeroDecade = -4952;

// Far beyond both decades, yet safe to add any digit count to.
constexpr std::int64_t kFarExponent = std::int64_t{1} << 52;

void MulAdd(Limbs& n, std::uint32_t factor, std::uint32_t addend) {
  std::uint64_t carry = addend;
  for (std::uint32_t& limb : n) {
    const std::uint64_t product = std::uint64_t{limb} * factor + carry;
    limb = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) n.push_back(static_cast<std::uint32_t>(carry));
}

Limbs Multiply(const Limbs& a, const Limbs& b) {
  if (a.empty() || b.empty()) return {};
  Limbs product(a.size() + b.size(), 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      const std::uint64_t t = std::uint64_t{a[i]} * b[j] + product[i + j] + carry;
      product[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    product[i + b.size()] = static_cast<std::uint32_t>(carry);
  }
  if (product.back() == 0) product.pop_back();
  return product;
}

void MulSmallPow5(Limbs& n, std::int64_t power) {
  constexpr std::uint32_t kPow5[] = {1,       5,        25,        125,       625,
                                     3125,    15625,    78125,     390625,    1953125,
                                     9765625, 48828125, 244140625, 1220703125};
  for (; power >= 13; power -= 13) MulAdd(n, kPow5[13], 0);
  MulAdd(n, kPow5[power], 0);
}

// 5^(512·i) up to the largest power a conversion needs, about 80 KB built on
// first use: a long number costs one product with an entry and at most 40
// small products instead of up to 1,300.
constexpr std::int64_t kPowerStep = 512;
constexpr std::int64_t kMaxPower5 = -(kZeroDecade + 1) + static_cast<std::int64_t>(kMaxDigits);

const std::vector<Limbs>& SteppedPowersOf5() {
  static const std::vector<Limbs> powers = [] {
    std::vector<Limbs> table{Limbs{1}};
    while (static_cast<std::int64_t>(table.size()) <= kMaxPower5 / kPowerStep) {
      table.push_back(table.back());
      MulSmallPow5(table.back(), kPowerStep);
    }
    return table;
  }();
  return powers;
}

void MulPow5(Limbs& n, std::int64_t power) {
  if (power >= kPowerStep) {
    n = Multiply(n, SteppedPowersOf5().at(static_cast<std::size_t>(power / kPowerStep)));
    power %= kPowerStep;
  }
  MulSmallPow5(n, power);
}

void ShiftLeft(Limbs& n, std::int64_t bits) {
  if (n.empty() || bits == 0) return;
  const int within = static_cast<int>(bits % 32);
  if (within != 0) {
    std::uint32_t carry = 0;
    for (std::uint32_t& limb : n) {
      const std::uint32_t next = limb >> (32 - within);
      limb = (limb << within) | carry;
      carry = next;
    }
    if (carry != 0) n.push_back(carry);
  }
  n.insert(n.begin(), static_cast<std::size_t>(bits / 32), 0);
}

std::int64_t BitLength(const Limbs& n) {
  if (n.empty()) return 0;
  return 32 * static_cast<std::int64_t>(n.size() - 1) +
         static_cast<std::int64_t>(std::bit_width(n.back()));
}

bool Bit(const Limbs& n, std::int64_t index) {
  const auto limb = static_cast<std::size_t>(index / 32);
  return limb < n.size() && ((n[limb] >> (index % 32)) & 1) != 0;
}

bool AnyBitBelow(const Limbs& n, std::int64_t index) {
  const auto whole = std::min(static_cast<std::size_t>(index / 32), n.size());
  for (std::size_t i = 0; i < whole; ++i) {
    if (n[i] != 0) return true;
  }
  const int part = static_cast<int>(index % 32);
  return whole < n.size() && part != 0 && (n[whole] & ((std::uint32_t{1} << part) - 1)) != 0;
}

// quotient = dividend / divisor (divisor nonzero); returns whether a remainder
// is left. Long division by limbs, each quotient limb estimated from the top
// two limbs and corrected (the classic schoolbook method).
bool Divide(Limbs dividend, Limbs divisor, Limbs& quotient) {
  quotient.clear();
  if (dividend.size() < divisor.size()) return !dividend.empty();
  // Normalised so the divisor's top bit is set: then an estimate is at most
  // two too large.
  const int shift = std::countl_zero(divisor.back());
  const std::size_t dividend_size = dividend.size();
  ShiftLeft(divisor, shift);
  ShiftLeft(dividend, shift);
  dividend.resize(dividend_size + 1, 0);
  const std::size_t n = divisor.size();
  const std::size_t steps = dividend.size() - n;
  quotient.assign(steps, 0);
  const std::uint64_t top = divisor[n - 1];
  const std::uint64_t second = n >= 2 ? divisor[n - 2] : 0;
  for (std::size_t j = steps; j-- > 0;) {
    const std::uint64_t head = (std::uint64_t{dividend[j + n]} << 32) | dividend[j + n - 1];
    std::uint64_t estimate = head / top;
    std::uint64_t rest = head % top;
    const std::uint64_t next = n >= 2 ? dividend[j + n - 2] : 0;
    while (estimate >> 32 != 0 || estimate * second > ((rest << 32) | next)) {
      --estimate;
      rest += top;
      if (rest >> 32 != 0) break;
    }
    std::uint64_t carry = 0;
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint64_t product = estimate * divisor[i] + carry;
      carry = product >> 32;
      const std::uint64_t subtract = (product & 0xFFFF'FFFF) + borrow;
      const std::uint64_t current = dividend[i + j];
      dividend[i + j] = static_cast<std::uint32_t>(current - subtract);
      borrow = current < subtract ? 1 : 0;
    }
    const std::uint64_t subtract = carry + borrow;
    const std::uint64_t current = dividend[j + n];
    dividend[j + n] = static_cast<std::uint32_t>(current - subtract);
    if (current < subtract) {
      // One too large after all (rare): add the divisor back.
      --estimate;
      std::uint64_t sum_carry = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t sum = std::uint64_t{dividend[i + j]} + divisor[i] + sum_carry;
        dividend[i + j] = static_cast<std::uint32_t>(sum);
        sum_carry = sum >> 32;
      }
      dividend[j + n] += static_cast<std::uint32_t>(sum_carry);
    }
    quotient[j] = static_cast<std::uint32_t>(estimate);
  }
  while (!quotient.empty() && quotient.back() == 0) quotient.pop_back();
  return std::any_of(dividend.begin(), dividend.begin() + static_cast<std::ptrdiff_t>(n),
                     [](std::uint32_t limb) { return limb != 0; });
}

// n · 2^scale, plus less than 2^scale more when inexact, rounded to extended
// precision. n is nonzero; when inexact it must hold more bits than the result
// keeps, so the first dropped bit is n's own.
std::optional<long double> Round(const Limbs& n, std::int64_t scale, bool inexact) {
  const std::int64_t top_bit = BitLength(n) - 1 + scale;
  std::int64_t ulp = std::max(top_bit - 63, kMinUlpExponent);
  const std::int64_t dropped = ulp - scale;
  std::uint64_t significand = 0;
  for (std::int64_t i = 63; i >= 0; --i) {
    significand = (significand << 1) | (i + dropped >= 0 && Bit(n, i + dropped) ? 1 : 0);
  }
  if (dropped > 0 && Bit(n, dropped - 1) &&
      (inexact || AnyBitBelow(n, dropped - 1) || (significand & 1) != 0)) {
    if (significand == ~std::uint64_t{0}) {
      significand = std::uint64_t{1} << 63;
      ++ulp;
    } else {
      ++significand;
    }
  }
  if (significand == 0) return 0.0L;
  if (static_cast<std::int64_t>(std::bit_width(significand)) - 1 + ulp > kMaxTopBit) {
    return std::nullopt;
  }
  // Both exact: every 64-bit integer is an extended value, and so is the result.
  return std::ldexp(static_cast<long double>(significand), static_cast<int>(ulp));
}

}  // namespace

std::optional<long double> DecimalToExtended(std::string_view int_digits,
                                             std::string_view frac_digits, std::int64_t exponent) {
  const std::size_t count = int_digits.size() + frac_digits.size();
  const auto digit = [&](std::size_t i) {
    return i < int_digits.size() ? int_digits[i] : frac_digits[i - int_digits.size()];
  };
  std::size_t first = 0;
  while (first < count && digit(first) == '0') ++first;
  if (first == count) return 0.0L;
  std::size_t last = count - 1;
  while (digit(last) == '0') --last;

  exponent = std::clamp(exponent, -kFarExponent, kFarExponent);
  const std::int64_t leading = exponent + static_cast<std::int64_t>(int_digits.size()) - 1 -
                               static_cast<std::int64_t>(first);
  if (leading >= kOverflowDecade) return std::nullopt;
  if (leading <= kZeroDecade) return 0.0L;

  Limbs mantissa;
  mantissa.reserve(kMaxDigits / 9 + 2);
  std::uint32_t chunk = 0;
  std::uint32_t chunk_scale = 1;
  const auto push = [&](std::uint32_t d) {
    chunk = chunk * 10 + d;
    chunk_scale *= 10;
    if (chunk_scale == 1'000'000'000) {
      MulAdd(mantissa, chunk_scale, chunk);
      chunk = 0;
      chunk_scale = 1;
    }
  };
  const std::size_t significant = last - first + 1;
  const std::size_t kept = std::min(significant, kMaxDigits);
  for (std::size_t i = first; i < first + kept; ++i) {
    push(static_cast<std::uint32_t>(digit(i) - '0'));
  }
  // The last digit is not zero, so a cut always drops something nonzero.
  if (kept < significant) push(1);
  if (chunk_scale > 1) MulAdd(mantissa, chunk_scale, chunk);
  const std::int64_t kept_digits = static_cast<std::int64_t>(kept + (kept < significant ? 1 : 0));
  const std::int64_t power = leading - (kept_digits - 1);  // of the last kept digit

  if (power >= 0) {
    // m · 10^p = m · 5^p · 2^p, exactly.
    MulPow5(mantissa, power);
    return Round(mantissa, power, false);
  }
  // m / 10^f = (m · 2^k / 5^f) · 2^(-f-k), with k chosen so the quotient has 67
  // or 68 bits: 64 to keep, one to round by and more, the remainder as sticky.
  Limbs divisor{1};
  MulPow5(divisor, -power);
  const std::int64_t k = 67 + BitLength(divisor) - BitLength(mantissa);
  if (k > 0) {
    ShiftLeft(mantissa, k);
  } else {
    ShiftLeft(divisor, -k);
  }
  Limbs quotient;
  const bool inexact = Divide(std::move(mantissa), std::move(divisor), quotient);
  return Round(quotient, power - k, inexact);
}

}  // namespace brenmoor
