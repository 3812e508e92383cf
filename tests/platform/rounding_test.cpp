#include <gtest/gtest.h>

#include "platform/rounding.h"

namespace genart {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(62.5), 62);
    EXPECT_EQ(toInt16(63.5), 64);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_FALSE(toInt16(32767.5)); // 32768 does not fit
    EXPECT_EQ(toInt32(-2147483648.5), -2147483648);
    EXPECT_FALSE(toInt32(-2147483649.5));
}

} // namespace
} // namespace genart
