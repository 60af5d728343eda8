#pragma once

#include <cmath>
#include <limits>

namespace brenmoor {

// All section arithmetic runs in x87 extended precision (64-bit significand,
// round to nearest, ties to even) and is rounded to float32 only where a
// stored value is formed. The last bit of every sum in the component file
// depends on this.
static_assert(std::numeric_limits<long double>::digits == 64,
              "extended precision must have a 64-bit significand");

inline constexpr char kOverflowMessage[] = "Floating point overflow";
inline constexpr char kInvalidOperationMessage[] = "Invalid floating point operation";
inline constexpr char kDivisionByZeroMessage[] = "Floating point division by zero";

namespace internal {
// RoundToFloat for a value that does not round to a finite float32.
float RoundToFloatNotFinite(long double value);
}  // namespace internal

// Rounds an extended value once to float32 (nearest, ties to even).
// Throws Error("Floating point overflow") when the result does not fit a
// float32 and Error("Invalid floating point operation") for a NaN, the way the
// runtime's floating-point unit reports those faults. Underflow to zero or to
// a denormal is not an error. Inline: a section's layout and sums round a few
// hundred values.
// Example: RoundToFloat(250000.0L / 36.0L) == 6944.4443f
inline float RoundToFloat(long double value) {
  const float rounded = static_cast<float>(value);
  if (std::isfinite(rounded)) [[likely]]
    return rounded;
  return internal::RoundToFloatNotFinite(value);
}

// numerator / denominator in extended precision, with the division faults made
// explicit: 0/0 (and inf/inf, or a NaN operand) throws "Invalid floating point
// operation", any other x/0 throws "Floating point division by zero".
long double CheckedDivide(long double numerator, long double denominator);

}  // namespace brenmoor
