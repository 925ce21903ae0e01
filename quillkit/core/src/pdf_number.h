// Locale-independent number output for PDF content and dictionaries.
#pragma once

#include <string>

namespace quillkit {

// Appends v with at most `decimals` digits after the point, trailing zeros
// and a trailing point removed, no exponent ("-0" becomes "0"). Values
// outside +-1e9 are clamped (PDF readers cannot use them anyway); NaN
// becomes 0.
void appendNumber(std::string& out, double v, int decimals = 3);
std::string formatNumber(double v, int decimals = 3);

}  // namespace quillkit
