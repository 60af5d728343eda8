#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/locale.h"

namespace brenmoor {

// Number conversions of the section table and the grid. The decimal separator
// is always a parameter: these functions never look at the process locale.

// Optional blanks, optional sign, digits with an optional decimal separator
// ('.' or the regional one) and fraction, optional exponent ("E"/"e", optional
// sign, digits), optional blanks; nothing else. Parsed to extended precision,
// then rounded once to float32.
// Throws "'<text>' is not a valid floating point value", or
// "Floating point overflow" when the value does not fit a float32.
float TextToFloat(std::string_view text, char decimal_separator);

// An optional sign and decimal digits, or hexadecimal digits after "$", "x",
// "X", "0x" or "0X", within the signed 32-bit range.
// Example: "$10" == 16. Throws "'<text>' is not a valid integer value".
std::int32_t TextToInt(std::string_view text);

// The same text as TextToFloat takes, read as the nearest double: for values
// that never reach the component file (the stirrups), where "12.7" should
// stay 12.7 and not become the float 12.6999998. Throws as TextToFloat does,
// "Floating point overflow" beyond the double range; a value below it reads
// as 0.
double TextToDouble(std::string_view text, char decimal_separator);

// Floating-point text as the grid shows it: the value rounded to 15
// significant digits, trailing zeros dropped, the separator only where a
// fraction remains; below 0.0001 and from 1E15 up in exponent form.
// Example: 452.4f -> "452.399993896484", 1e-6f -> "9.99999997475243E-7".
std::string FormatGridNumber(float value, char decimal_separator);
// The same for a double, such as a stirrup value: 12.7 gives "12.7".
std::string FormatGridNumber(double value, char decimal_separator);

}  // namespace brenmoor
