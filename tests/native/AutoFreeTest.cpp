#include "AutoFree.h"
#include "MemoryReadout.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// The rule sees the whole percentage the read-out computed, so go through it.
int32_t PhysPercent(uint64_t total, uint64_t avail) {
  MemorySnapshot s;
  s.ullTotalPhys = total;
  s.ullAvailPhys = avail;
  return ComputeMemoryReadout(s).physPercent;
}

constexpr uint64_t kTotal = 1000000000;

}  // namespace

TEST(AutoFreeTest, ShouldAutoFree_ShareBelowThresholdPlusOne_Fires) {
  EXPECT_TRUE(ShouldAutoFree(true, 15, PhysPercent(kTotal, 150000000)));  // 15.0%
  EXPECT_TRUE(ShouldAutoFree(true, 15, PhysPercent(kTotal, 159900000)));  // 15.99%
  EXPECT_TRUE(ShouldAutoFree(true, 15, PhysPercent(kTotal, 159999999)));
  EXPECT_TRUE(ShouldAutoFree(true, 15, PhysPercent(kTotal, 120000000)));         // 12%
  EXPECT_TRUE(ShouldAutoFree(true, 15, PhysPercent(64ull << 30, 10ull << 30)));  // 15.625%
}

TEST(AutoFreeTest, ShouldAutoFree_ShareAtThresholdPlusOne_DoesNotFire) {
  EXPECT_FALSE(ShouldAutoFree(true, 15, PhysPercent(kTotal, 160000000)));  // 16.0%
  EXPECT_FALSE(ShouldAutoFree(true, 15, PhysPercent(kTotal, 900000000)));
}

TEST(AutoFreeTest, ShouldAutoFree_ThresholdZero_FiresOnlyBelowOnePercent) {
  EXPECT_TRUE(ShouldAutoFree(true, 0, PhysPercent(kTotal, 0)));
  EXPECT_TRUE(ShouldAutoFree(true, 0, PhysPercent(kTotal, 9999999)));    // 0.9999999%
  EXPECT_FALSE(ShouldAutoFree(true, 0, PhysPercent(kTotal, 10000000)));  // 1.0%
}

TEST(AutoFreeTest, ShouldAutoFree_ThresholdFifty_FiresUpToFiftyPercent) {
  EXPECT_TRUE(ShouldAutoFree(true, 50, PhysPercent(kTotal, 509999999)));
  EXPECT_FALSE(ShouldAutoFree(true, 50, PhysPercent(kTotal, 510000000)));
}

TEST(AutoFreeTest, ShouldAutoFree_OptionOff_NeverFires) {
  EXPECT_FALSE(ShouldAutoFree(false, 15, PhysPercent(kTotal, 150000000)));
  EXPECT_FALSE(ShouldAutoFree(false, 50, PhysPercent(kTotal, 0)));
}

TEST(AutoFreeTest, ThresholdFromEditValue_AnyValue_WholeNumberWithinRange) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float value;
    int32_t expected;
  } cases[] = {
      {15.0f, 15}, {12.7f, 12}, {0.0f, 0},  {50.0f, 50}, {49.99f, 49}, {-0.5f, 0},
      {-7.0f, 0},  {51.0f, 50}, {1e9f, 50}, {inf, 50},   {-inf, 0},    {std::numeric_limits<float>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ThresholdFromEditValue(c.value, 0.0f, 50.0f), c.expected);
  }
  // Unbounded edit: never past the ends of int32_t.
  EXPECT_EQ(ThresholdFromEditValue(1e30f, -3.4e38f, 3.4e38f), std::numeric_limits<int32_t>::max());
}
