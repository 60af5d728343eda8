#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace brenmoor {

// The decimal value <int_digits>.<frac_digits> × 10^exponent rounded once, and
// correctly, to extended precision: the nearest value with a 64-bit
// significand, ties to even, denormals included. Both views hold only the
// bytes '0'..'9'; either may be empty. The sign is the caller's.
// Returns std::nullopt when the value rounds beyond the largest extended value
// (about 1.19e4932); a value up to half the smallest denormal (about 1.8e-4951)
// is 0.
// Exact for any length: past 11,520 significant digits (more than any value
// halfway between two extended values has) the rest of the digits only counts
// as being nonzero. Costs one pass over the digits plus at most a few
// milliseconds of integer arithmetic; the first number that needs it builds a
// table of powers of five (about 80 KB), kept from then on.
// Uses neither the C locale nor the library's long double parsing
// (std::from_chars<long double> goes through double in some standard
// libraries), so every platform gives the same bits.
// Example: DecimalToExtended("0", "1", 0) == 0.1L (significand
//          0xCCCCCCCCCCCCCCCD), DecimalToExtended("12", "5", -1) == 1.25L,
//          DecimalToExtended("1", "", 5000) == std::nullopt.
std::optional<long double> DecimalToExtended(std::string_view int_digits,
                                             std::string_view frac_digits, std::int64_t exponent);

}  // namespace brenmoor
