// Conversions between texts and numbers, and the w.d number formatter.
#include "window/NumberText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

using window::FormatNumber;
using window::TextToInteger;
using window::TextToReal;

struct IntegerRow {
    const char* name;
    std::string text;
    std::int32_t value;    // expected when errorPos is 0
    std::int32_t errorPos; // 0: valid
};

class TextToIntegerTest : public ::testing::TestWithParam<IntegerRow> {};

TEST_P(TextToIntegerTest, ValueOrErrorPosition) {
    const IntegerRow& row = GetParam();
    std::int32_t value = -12345, errorPos = -1;
    TextToInteger(row.text, value, errorPos);
    EXPECT_EQ(errorPos, row.errorPos) << '"' << row.text << '"';
    if (row.errorPos == 0) {
        EXPECT_EQ(value, row.value) << '"' << row.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextToIntegerTest,
    ::testing::Values(IntegerRow{"Plain", "42", 42, 0}, IntegerRow{"Zero", "0", 0, 0},
                      IntegerRow{"LeadingBlanks", "   17", 17, 0}, IntegerRow{"Plus", "+5", 5, 0},
                      IntegerRow{"Minus", "-5", -5, 0}, IntegerRow{"LeadingZeros", "007", 7, 0},
                      IntegerRow{"HexDollar", "$1F", 31, 0}, IntegerRow{"HexSmallX", "x1f", 31, 0},
                      IntegerRow{"HexCapitalX", "X10", 16, 0}, IntegerRow{"Hex0x", "0x1F", 31, 0},
                      IntegerRow{"Hex0X", "0XfF", 255, 0}, IntegerRow{"NegativeHex", "-$10", -16, 0},
                      IntegerRow{"BlanksSignHex", "  +0x7fffffff", 2147483647, 0},
                      IntegerRow{"Largest", "2147483647", 2147483647, 0},
                      IntegerRow{"Smallest", "-2147483648", INT32_MIN, 0},
                      IntegerRow{"SmallestHex", "-$80000000", INT32_MIN, 0},
                      // Errors: the position of the first character that cannot be used.
                      IntegerRow{"Empty", "", 0, 1}, IntegerRow{"OnlyBlanks", "   ", 0, 4},
                      IntegerRow{"LonePlus", "+", 0, 2}, IntegerRow{"LoneMinus", "-", 0, 2},
                      IntegerRow{"LoneDollar", "$", 0, 2}, IntegerRow{"LoneX", "x", 0, 2},
                      IntegerRow{"Lone0x", "0x", 0, 3}, IntegerRow{"TrailingBlank", "12 ", 0, 3},
                      IntegerRow{"InnerBlank", "1 2", 0, 2}, IntegerRow{"BlankAfterSign", "- 1", 0, 2},
                      IntegerRow{"Letters", "abc", 0, 1}, IntegerRow{"DigitThenLetter", "12a", 0, 3},
                      IntegerRow{"BadHexDigit", "$1G", 0, 3}, IntegerRow{"Decimal", "1.5", 0, 2},
                      IntegerRow{"DoubleSign", "+-1", 0, 2}, IntegerRow{"ZeroXInside", "00x1", 0, 3},
                      IntegerRow{"OneTooLarge", "2147483648", 0, 10},
                      IntegerRow{"OneTooSmall", "-2147483649", 0, 11},
                      IntegerRow{"HexTooLarge", "$80000000", 0, 9},
                      IntegerRow{"HexAllOnes", "$FFFFFFFF", 0, 9},
                      IntegerRow{"LongDigitString", std::string(5000, '9'), 0, 10},
                      IntegerRow{"NulByte", std::string("1\0002", 3), 0, 2},
                      // A character that is not ASCII ("ä", two bytes in UTF-8) is refused at its place.
                      IntegerRow{"Umlaut",
                                 "\xC3\xA4"
                                 "1",
                                 0, 1},
                      IntegerRow{"DigitThenUmlaut", "1\xC3\xA4", 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

struct RealRow {
    const char* name;
    std::string text;
    astro::Real value;
    std::int32_t errorPos;
};

class TextToRealTest : public ::testing::TestWithParam<RealRow> {};

TEST_P(TextToRealTest, ValueOrErrorPosition) {
    const RealRow& row = GetParam();
    astro::Real value = -12345;
    std::int32_t errorPos = -1;
    TextToReal(row.text, value, errorPos);
    EXPECT_EQ(errorPos, row.errorPos) << '"' << row.text << '"';
    // The conversion is correctly rounded, like the compiler's own literals.
    if (row.errorPos == 0) {
        EXPECT_EQ(value, row.value) << '"' << row.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextToRealTest,
    ::testing::Values(
        RealRow{"Integer", "54", 54.0L, 0}, RealRow{"Decimal", "54.3", 54.3L, 0},
        RealRow{"LeadingBlanks", "  -10.1", -10.1L, 0}, RealRow{"Plus", "+0.05", 0.05L, 0},
        RealRow{"NoIntegerPart", ".5", 0.5L, 0}, RealRow{"NoFraction", "5.", 5.0L, 0},
        RealRow{"Exponent", "1e3", 1000.0L, 0}, RealRow{"CapitalExponent", "2.5E-2", 0.025L, 0},
        RealRow{"ExponentPlus", "1e+2", 100.0L, 0}, RealRow{"PointExponent", "5.e1", 50.0L, 0},
        RealRow{"NegativeZero", "-0", -0.0L, 0}, RealRow{"Largest", "1.18e4932", 1.18e4932L, 0},
        RealRow{"Underflow", "1e-99999", 0.0L, 0}, RealRow{"ZeroHugeExponent", "0e999999999999", 0.0L, 0},
        RealRow{"LongDigits", "0." + std::string(3000, '3'), 1.0L / 3.0L, 0},
        // Errors.
        RealRow{"Empty", "", 0, 1}, RealRow{"OnlyBlanks", "  ", 0, 3}, RealRow{"LonePlus", "+", 0, 2},
        RealRow{"LonePoint", ".", 0, 2}, RealRow{"SignPoint", "-.", 0, 3},
        RealRow{"PointExponentOnly", ".e5", 0, 2}, RealRow{"TrailingBlank", "54.3 ", 0, 5},
        RealRow{"Comma", "54,3", 0, 3}, RealRow{"Letters", "abc", 0, 1}, RealRow{"TwoPoints", "1.2.3", 0, 4},
        RealRow{"ExponentWithoutDigits", "1e", 0, 3}, RealRow{"ExponentSignOnly", "1e+", 0, 4},
        RealRow{"ExponentLetter", "1ex", 0, 3}, RealRow{"ExponentFraction", "1e2.5", 0, 4},
        RealRow{"Hex", "0x10", 0, 2}, RealRow{"Inf", "inf", 0, 1}, RealRow{"NaN", "nan", 0, 1},
        RealRow{"Overflow", "1e99999", 0, 1}, RealRow{"OverflowAfterBlanksAndSign", "  -1e5000", 0, 3},
        RealRow{"OverflowByDigits", std::string(5000, '9'), 0, 1},
        RealRow{"NulByte", std::string("1\0", 2), 0, 2}, RealRow{"DigitThenUmlaut", "1.5\xC3\xA4", 0, 4}),
    [](const auto& info) { return std::string(info.param.name); });

struct FormatRow {
    const char* name;
    astro::Real value;
    astro::Real formatCode;
    std::string expected;
};

class FormatNumberTest : public ::testing::TestWithParam<FormatRow> {};

TEST_P(FormatNumberTest, Text) {
    const FormatRow& row = GetParam();
    std::string s = "old";
    FormatNumber(s, row.value, row.formatCode);
    EXPECT_EQ(s, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatNumberTest,
    ::testing::Values(
        FormatRow{"WidthTwo", 7, 2, " 7"}, FormatRow{"Year", 2026, 4, "2026"},
        FormatRow{"TwoDecimals", 9.3L, 2.2L, "  9.30"}, FormatRow{"TieToEven", 2.5L, 2, " 2"},
        FormatRow{"TieToEvenUp", 3.5L, 2, " 4"}, FormatRow{"NegativeTie", -2.5L, 3, " -2"},
        FormatRow{"NeverCut", 123, 2, "123"}, FormatRow{"NeverCutFixed", 12345.678L, 1.1L, "12345.7"},
        FormatRow{"ZeroWidth", 5, 0, "5"}, FormatRow{"ClockTime", 12.34L, 2.2L, " 12.34"},
        FormatRow{"FormatCodeTwoPointZero", 7, 2.0L, " 7"}, FormatRow{"OneDecimal", 0.25L, 3.1L, "   0.2"},
        FormatRow{"FixedTieToEvenUp", 0.375L, 1.2L, " 0.38"},
        FormatRow{"NegativeFixed", -1.5L, 2.1L, " -1.5"},
        FormatRow{"NoNegativeZeroFixed", -0.001L, 1.2L, " 0.00"},
        FormatRow{"NoNegativeZeroInteger", -0.4L, 2, " 0"},
        // Only the first decimal of the format code counts: 2.25 is 2.2 (2.5 rounds to 2).
        FormatRow{"OnlyOneDecimalOfFormatCode", 1, 2.25L, "  1.00"},
        FormatRow{"SaturatedInteger", 1e20L, 2, "2147483647"},
        FormatRow{"SaturatedNegative", -1e20L, 2, "-2147483648"},
        FormatRow{"NaNInteger", std::numeric_limits<astro::Real>::quiet_NaN(), 4, " NaN"},
        FormatRow{"NaNFixed", std::numeric_limits<astro::Real>::quiet_NaN(), 1.1L, " NaN"},
        FormatRow{"Infinity", std::numeric_limits<astro::Real>::infinity(), 4, " Inf"},
        FormatRow{"MinusInfinity", -std::numeric_limits<astro::Real>::infinity(), 2.2L, "  -Inf"},
        FormatRow{"NegativeFormatCode", 7, -3, "7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatNumber, HugeValuesAreWrittenInFull) {
    // 2^13000 is exact in extended precision: 3914 digits, "2..." to "...6".
    std::string s;
    FormatNumber(s, std::ldexp(1.0L, 13000), 1.2L);
    ASSERT_EQ(s.size(), 3914u + 3u);
    EXPECT_EQ(s.front(), '2');
    EXPECT_EQ(s.substr(s.size() - 4), "6.00");
}

TEST(FormatNumber, AbsurdFormatCodesStayBounded) {
    std::string s;
    FormatNumber(s, 1, 1e12L);
    EXPECT_EQ(s.size(), 4096u);
    EXPECT_EQ(s.back(), '1');
    FormatNumber(s, 1, std::numeric_limits<astro::Real>::infinity());
    EXPECT_EQ(s.size(), 4096u);
    FormatNumber(s, 1, std::numeric_limits<astro::Real>::quiet_NaN());
    EXPECT_EQ(s, "1");
}

} // namespace
