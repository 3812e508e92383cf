#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <clocale>
#include <limits>
#include <random>

#include "platform/hex_float.h"

namespace genart {
namespace {

std::string printfHex(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Zeros, signs, the ends of the range, subnormals, and a hundred thousand doubles of random bits.
std::vector<double> doublesToTry()
{
    std::vector<double> values{0.0, -0.0, 1.0, -1.0, 10.0, 6.28, 1.0 / 3, -675.5,
                               std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                               std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::denorm_min(), 0x0.8p-1022, 0x0.fffffffffffffp-1022,
                               static_cast<double>(6.2831855f)};
    std::mt19937_64 bits(20261208);
    while (values.size() < 100000) {
        std::uint64_t word = bits();
        if (values.size() % 4 == 0)
            word &= 0x800fffffffffffffu; // a subnormal
        double value = 0;
        std::memcpy(&value, &word, sizeof value);
        if (std::isfinite(value))
            values.push_back(value);
    }
    return values;
}

TEST(HexFloat, WritesWhatPrintfWritesUnderTheCLocaleAndReadsEveryBitBack)
{
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    for (const double value : doublesToTry()) {
        const std::string text = hexFloatText(value);
        ASSERT_EQ(text, printfHex(value));
        const std::optional<double> back = parseHexFloat(text);
        ASSERT_TRUE(back && sameBits(*back, value)) << text;
    }
}

TEST(HexFloat, ReadsTheCommaFormAndPlainDecimalsAndNothingElse)
{
    EXPECT_EQ(parseHexFloat("0x1,4p+3"), 10.0);
    EXPECT_EQ(parseHexFloat("-0x1,8p+1"), -3.0);
    EXPECT_EQ(parseHexFloat("0X1.8P+1"), 3.0);
    EXPECT_EQ(parseHexFloat("+0xap+0"), 10.0);
    EXPECT_EQ(parseHexFloat("10"), 10.0);
    EXPECT_EQ(parseHexFloat("6.25"), 6.25);
    EXPECT_EQ(parseHexFloat("-1e3"), -1000.0);
    const std::optional<double> negativeZero = parseHexFloat("-0x0p+0");
    ASSERT_TRUE(negativeZero);
    EXPECT_TRUE(std::signbit(*negativeZero));
    for (const char* bad : {"", "-", "0x", "0x,", " 0x1p+0", "0x1p+0 ", "0x1p+0\r", "--0x1p+0", "-+1", "0x-1p+0",
                            "0x+1p+0", "0x0x1p+0", "0x1,4,0p+0", "0x1.4,0p+0", "1,5", "inf", "-nan", "0xinf",
                            "0x1p+1024", "1e400", "0x1.4p+3x", "0x1.4q+3", "\xe2\x80\x8b" "1"})
        EXPECT_FALSE(parseHexFloat(bad)) << bad;
    EXPECT_FALSE(parseHexFloat(std::string(65, '1')));
}

} // namespace
} // namespace genart
