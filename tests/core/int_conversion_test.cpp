// Numbers from the application as ints: the ends of the int range, NaN and
// infinities, and sums that would overflow.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "core/int_conversion.h"

namespace {

TEST(IntConversionTest, FloatsTruncateTowardZeroAndStopAtTheEndsOfTheRange) {
  EXPECT_EQ(KRFloatToInt(1.99), 1);
  EXPECT_EQ(KRFloatToInt(-1.99), -1);
  EXPECT_EQ(KRFloatToInt(-0.5f), 0);
  EXPECT_EQ(KRFloatToInt(2147483647.9), INT_MAX);
  EXPECT_EQ(KRFloatToInt(2147483648.0), INT_MAX);
  EXPECT_EQ(KRFloatToInt(-2147483648.9), INT_MIN);
  EXPECT_EQ(KRFloatToInt(-2147483649.0), INT_MIN);
  EXPECT_EQ(KRFloatToInt(std::numeric_limits<float>::max()), INT_MAX);
  EXPECT_EQ(KRFloatToInt(-std::numeric_limits<float>::max()), INT_MIN);
  EXPECT_EQ(KRFloatToInt(INFINITY), INT_MAX);
  EXPECT_EQ(KRFloatToInt(-INFINITY), INT_MIN);
  EXPECT_EQ(KRFloatToInt(NAN), 0);
  EXPECT_EQ(KRFloatToInt(-NAN), 0);
}

TEST(IntConversionTest, SumsStopAtTheEndsOfTheRange) {
  EXPECT_EQ(KRAddClamped(INT_MAX - 1, 1), INT_MAX);
  EXPECT_EQ(KRAddClamped(INT_MAX, 1), INT_MAX);
  EXPECT_EQ(KRAddClamped(INT_MAX, INT_MAX), INT_MAX);
  EXPECT_EQ(KRAddClamped(INT_MIN, -1), INT_MIN);
  EXPECT_EQ(KRAddClamped(INT_MIN, INT_MAX), -1);
  EXPECT_EQ(KRAddClamped(-5, 3), -2);
  EXPECT_EQ(KRClampToInt(int64_t{1} << 40), INT_MAX);
  EXPECT_EQ(KRClampToInt(-(int64_t{1} << 40)), INT_MIN);
  EXPECT_EQ(KRClampToInt(0xFFFFFFFFll), INT_MAX);
}

}  // namespace
