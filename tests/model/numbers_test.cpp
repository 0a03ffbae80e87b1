#include "model/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tierwise {
namespace {

TEST(RoundToInt32, RoundsHalvesToEven) {
    EXPECT_EQ(roundToInt32(299.5), 300);
    EXPECT_EQ(roundToInt32(300.5), 300);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(2.5000001), 3);
    EXPECT_EQ(roundToInt32(25 * static_cast<double>(0.1f)), 3) << "25 mm in cm with the single factor";
    EXPECT_EQ(roundToInt32(5 * static_cast<double>(0.1f)), 1);
}

TEST(RoundToInt32, RefusesWhatDoesNotFit) {
    EXPECT_EQ(roundToInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(roundToInt32(2147483648.0));
    EXPECT_FALSE(roundToInt32(-2147483649.0));
    EXPECT_FALSE(roundToInt32(NAN));
    EXPECT_FALSE(roundToInt32(INFINITY));
}

TEST(FormatGeneral, WritesTheShortestForm) {
    EXPECT_EQ(formatDouble(350 / 100.0), "3.5");
    EXPECT_EQ(formatDouble(1000 / 100.0), "10");
    EXPECT_EQ(formatDouble(0 / 100.0), "0");
    EXPECT_EQ(formatDouble(-150 / 100.0), "-1.5");
    EXPECT_EQ(formatDouble(333 / 100.0), "3.33");
    EXPECT_EQ(formatSingle(1080.37f), "1080.37");
    EXPECT_EQ(formatSingle(12.0f), "12");
    EXPECT_EQ(formatSingle(950.5f), "950.5");
    EXPECT_EQ(formatDouble(roundTo2Decimals(1.005)), "1");
    EXPECT_EQ(formatDouble(roundTo2Decimals(2.0000001)), "2");
}

}  // namespace
}  // namespace tierwise
