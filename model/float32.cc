#include "model/float32.h"

#include <cmath>

#include "model/errors.h"

namespace brenmoor {

float internal::RoundToFloatNotFinite(long double value) {
  if (std::isnan(value)) throw Error(kInvalidOperationMessage);
  if (!std::isinf(value)) throw Error(kOverflowMessage);
  return static_cast<float>(value);
}

long double CheckedDivide(long double numerator, long double denominator) {
  if (std::isnan(numerator) || std::isnan(denominator)) throw Error(kInvalidOperationMessage);
  if (denominator == 0.0L) {
    throw Error(numerator == 0.0L ? kInvalidOperationMessage : kDivisionByZeroMessage);
  }
  if (std::isinf(numerator) && std::isinf(denominator)) throw Error(kInvalidOperationMessage);
  return numerator / denominator;
}

}  // namespace brenmoor
