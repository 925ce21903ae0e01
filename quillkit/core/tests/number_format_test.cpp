#include <clocale>
#include <gtest/gtest.h>

#include "pdf_number.h"

using quillkit::formatNumber;

TEST(NumberFormat, PlainDecimalsWithoutTrailingZerosOrExponent) {
    EXPECT_EQ(formatNumber(0), "0");
    EXPECT_EQ(formatNumber(1), "1");
    EXPECT_EQ(formatNumber(-2.5), "-2.5");
    EXPECT_EQ(formatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatNumber(123456.789), "123456.789");
    EXPECT_EQ(formatNumber(1e-9), "0");
    EXPECT_EQ(formatNumber(-0.0004), "0");       // no "-0"
    EXPECT_EQ(formatNumber(1.23456, 2), "1.23");
    EXPECT_EQ(formatNumber(0.005, 2), "0.01");   // rounds half away from zero
    EXPECT_EQ(formatNumber(1e20), "1000000000");  // clamped, never "1e+20"
    EXPECT_EQ(formatNumber(0.0 / 0.0), "0");
}

TEST(NumberFormat, IgnoresTheLocale) {
    // A locale with a decimal comma must not leak into PDF numbers.
    const char* set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(formatNumber(3.25), "3.25");
    if (set) std::setlocale(LC_NUMERIC, "C");
}
