#include "device/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct NumberCase {
    double value;
    const char* text;
};

TEST(NumberText, StrNumberGivesLeadingBlankAndNoSurplusZeros) {
    const NumberCase cases[] = {
        {25, " 25"},         {33.75, " 33.75"},      {0.5, " .5"},
        {-3.25, "-3.25"},    {-0.25, "-.25"},        {0, " 0"},
        {-3, "-3"},          {30.5, " 30.5"},        {0.75, " .75"},
        {191.75, " 191.75"}, {1e10, " 10000000000"}, // large whole numbers stay plain digits, never exponent
                                                     // notation
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrNumber(c.value), QString(c.text));
        EXPECT_EQ(StrNumber(static_cast<float>(c.value)), QString(c.text));
    }
}

TEST(NumberText, TrimmedNumberDropsOnlyTheBlank) {
    EXPECT_EQ(TrimmedNumber(25.0), "25");
    EXPECT_EQ(TrimmedNumber(0.1), ".1"); // the log's time column at 100 ms
    EXPECT_EQ(TrimmedNumber(-3.5f), "-3.5");
    EXPECT_EQ(TrimmedNumber(0.0), "0");
}

TEST(NumberText, FormatTemperatureGivesTwoDecimalsForQuarterDegrees) {
    const NumberCase cases[] = {
        {30, "30.00"}, {30.5, "30.50"}, {30.25, "30.25"}, {-3.5, "-3.50"},
        {0.5, ".50"},  {-0.25, "-.25"}, {33.75, "33.75"}, {-64, "-64.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatTemperature(static_cast<float>(c.value)), QString(c.text));
    }
}

TEST(NumberText, ValueOfTextTakesTheLeadingNumberOnly) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"250", 250},   {"250 ms", 250}, {"abc", 0}, {"", 0},     {"  12.5", 12.5}, {"-7", -7}, {"+3", 3},
        {"1.2.3", 1.2}, {".5", 0.5},     {"-", 0},   {"0x1g", 0}, {"12abc", 12},    {"- 5", 0}, {"\t42", 42},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(ValueOfText(c.text), c.value);
    }
}

TEST(NumberText, RoundHalfEvenSendsHalvesToTheEvenNeighbour) {
    const struct {
        double in, out;
    } cases[] = {{12.5, 12}, {13.5, 14}, {80.5, 80}, {81.5, 82}, {-0.5, 0},
                 {-1.5, -2}, {2.4, 2},   {2.6, 3},   {-2.6, -3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_DOUBLE_EQ(RoundHalfEven(c.in), c.out);
    }
}

TEST(NumberText, WholeValuesOutsideTheirWidthAreRefused) {
    EXPECT_EQ(WholeValueOfText32("2147483647"), 2147483647);
    EXPECT_EQ(WholeValueOfText32("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_FALSE(WholeValueOfText32("2147483648").has_value());
    EXPECT_FALSE(WholeValueOfText32(QString(400, '9')).has_value()); // beyond double's range: infinity
    EXPECT_EQ(WholeValueOfText16("32767"), 32767);
    EXPECT_FALSE(WholeValueOfText16("32768").has_value());
    EXPECT_FALSE(WholeValueOfText16("-32769").has_value());
    EXPECT_EQ(WholeValueOfText16("13.5 ms"), 14);
}

TEST(NumberText, HexTextIsUpperCaseWithoutLeadingZeros) {
    EXPECT_EQ(HexText(0), "0");
    EXPECT_EQ(HexText(85), "55");
    EXPECT_EQ(HexText(254), "FE");
    EXPECT_EQ(HexText(0x4C), "4C");
    EXPECT_EQ(HexText(1000), "3E8");
}

TEST(NumberText, HexValueOfTextStopsAtTheFirstNonDigit) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"5h", 5},
        {"5H", 5},
        {"1a", 0x1A},
        {"FF", 255},
        {"3E8", 1000},
        {"xyz", 0},
        {"0x10", 0},
        {" 5", 0}, // a leading blank is no hexadecimal digit
        {"7FFFFFFF", 0x7FFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(HexValueOfText(c.text).has_value());
        EXPECT_EQ(*HexValueOfText(c.text), c.value);
    }
    EXPECT_FALSE(HexValueOfText("80000000").has_value());
    EXPECT_FALSE(HexValueOfText(QString(1000, 'F')).has_value());
}

} // namespace
