#include "pdf_number.h"

#include <cmath>
#include <cstdint>

namespace quillkit {

void appendNumber(std::string& out, double v, int decimals) {
    if (!std::isfinite(v)) v = std::isnan(v) ? 0 : (v > 0 ? 1e9 : -1e9);
    if (v > 1e9) v = 1e9;
    if (v < -1e9) v = -1e9;
    if (decimals < 0) decimals = 0;
    if (decimals > 6) decimals = 6;
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    bool negative = v < 0;
    int64_t n = static_cast<int64_t>(std::llround(std::fabs(v) * static_cast<double>(scale)));
    if (n == 0) {
        out += '0';
        return;
    }
    int64_t whole = n / scale;
    int64_t frac = n % scale;
    char buf[32];
    int len = 0;
    // fraction digits, trailing zeros dropped
    int fracDigits = decimals;
    while (fracDigits > 0 && frac % 10 == 0) {
        frac /= 10;
        --fracDigits;
    }
    for (int i = 0; i < fracDigits; ++i) {
        buf[len++] = static_cast<char>('0' + frac % 10);
        frac /= 10;
    }
    if (fracDigits > 0) buf[len++] = '.';
    do {
        buf[len++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    if (negative) buf[len++] = '-';
    while (len > 0) out += buf[--len];
}

std::string formatNumber(double v, int decimals) {
    std::string s;
    appendNumber(s, v, decimals);
    return s;
}

}  // namespace quillkit
