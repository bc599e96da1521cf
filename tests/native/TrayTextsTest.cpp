#include "TrayTexts.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMiB = 1ull << 20;
constexpr uint64_t kGiB = 1ull << 30;

MemorySnapshot Phys(uint64_t avail, uint64_t total) { return MemorySnapshot{total, avail, 0, 0, 0, 0}; }

}  // namespace

TEST(TrayTextsTest, FormatTrayAmount_UnitBoundariesAndRounding) {
  const struct {
    uint64_t bytes;
    const char* text;
  } cases[] = {
      {kMiB / 2, "1 MB"},                  // halves round up on every runtime
      {1023 * kMiB + kMiB / 2, "1.0 GB"},  // never "1024 MB"
      {kGiB + kGiB / 4, "1.3 GB"},         // 1.25 exactly: printf alone rounds it to even
      {2254857830ull, "2.1 GB"},
      {1024 * kGiB, "1024.0 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTrayAmount(c.bytes), c.text) << c.bytes;
}

TEST(TrayTextsTest, TipLineAndPassResult_FreedSomethingNothingOrLess) {
  EXPECT_EQ(PhysicalMemoryTipLine(Phys(300 * kMiB, 8 * kGiB), 3), "Physical memory: 300 MB free of 8.0 GB (3%)");
  EXPECT_EQ(PassResultText(5 * kGiB + kGiB / 10, Phys(6764573491ull, 8 * kGiB), 79),
            "Freed 1.2 GB of physical memory; 6.3 GB (79%) is free now.");
  EXPECT_EQ(PassResultText(100 * kMiB, Phys(400 * kMiB, kGiB), 39),
            "Freed 300 MB of physical memory; 400 MB (39%) is free now.");
  for (uint64_t before : {400 * kMiB, 500 * kMiB, 400 * kMiB - 1000})
    EXPECT_EQ(PassResultText(before, Phys(400 * kMiB, kGiB), 39), "No more physical memory could be freed.") << before;
}
