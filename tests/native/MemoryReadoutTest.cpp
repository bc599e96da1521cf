#include "MemoryReadout.h"

#include <gtest/gtest.h>

namespace {

MemorySnapshot PhysOnly(uint64_t total, uint64_t avail) {
  MemorySnapshot s;
  s.ullTotalPhys = total;
  s.ullAvailPhys = avail;
  s.ullTotalPageFile = s.ullAvailPageFile = 1;
  s.ullTotalVirtual = s.ullAvailVirtual = 1;
  return s;
}

}  // namespace

TEST(MemoryReadoutTest, ComputeMemoryReadout_WorkedExample_GivesKnownTextsAndPositions) {
  const MemoryReadout r = ComputeMemoryReadout(PhysOnly(536330240, 201326592));
  EXPECT_EQ(r.phys.totalText, "523760 KB");
  EXPECT_EQ(r.phys.availText, "196608 KB");
  EXPECT_EQ(r.phys.barPos, 375);
  EXPECT_EQ(r.physPercent, 37);
  EXPECT_EQ(r.phys.percentText, "37.54%");
}

TEST(MemoryReadoutTest, ComputeMemoryReadout_EachArea_UsesItsOwnCountsAndUnit) {
  MemorySnapshot s;
  s.ullTotalPhys = 4096 * 1024;       // 4096 KB
  s.ullAvailPhys = 1024 * 1024;       // 1024 KB, 25%
  s.ullTotalPageFile = 8192 * 1024;   // 8192 KB
  s.ullAvailPageFile = 6144 * 1024;   // 6144 KB, 75%
  s.ullTotalVirtual = 2048ull << 20;  // 2048 MB
  s.ullAvailVirtual = 1024ull << 20;  // 1024 MB, 50%
  const MemoryReadout r = ComputeMemoryReadout(s);

  EXPECT_EQ(r.phys.totalText, "4096 KB");
  EXPECT_EQ(r.phys.availText, "1024 KB");
  EXPECT_EQ(r.phys.barPos, 250);
  EXPECT_EQ(r.phys.percentText, "25.00%");
  EXPECT_EQ(r.physPercent, 25);

  EXPECT_EQ(r.pageFile.totalText, "8192 KB");
  EXPECT_EQ(r.pageFile.availText, "6144 KB");
  EXPECT_EQ(r.pageFile.barPos, 750);
  EXPECT_EQ(r.pageFile.percentText, "75.00%");

  EXPECT_EQ(r.virt.totalText, "2048 MB");
  EXPECT_EQ(r.virt.availText, "1024 MB");
  EXPECT_EQ(r.virt.barPos, 500);
  EXPECT_EQ(r.virt.percentText, "50.00%");
}

TEST(MemoryReadoutTest, ComputeMemoryReadout_AllOrNothingAvailable_ShowsFullOrEmpty) {
  const MemoryReadout all = ComputeMemoryReadout(PhysOnly(536330240, 536330240));
  EXPECT_EQ(all.phys.barPos, 1000);
  EXPECT_EQ(all.physPercent, 100);
  EXPECT_EQ(all.phys.percentText, "100.00%");

  const MemoryReadout none = ComputeMemoryReadout(PhysOnly(536330240, 0));
  EXPECT_EQ(none.phys.availText, "0 KB");
  EXPECT_EQ(none.phys.barPos, 0);
  EXPECT_EQ(none.physPercent, 0);
  EXPECT_EQ(none.phys.percentText, "0.00%");
}

TEST(MemoryReadoutTest, ComputeMemoryReadout_AmountTexts_RoundToWholeUnitsWithoutBlanks) {
  EXPECT_EQ(ComputeMemoryReadout(PhysOnly(1023, 0)).phys.totalText, "1 KB");
  EXPECT_EQ(ComputeMemoryReadout(PhysOnly(511, 0)).phys.totalText, "0 KB");
  // Ties round away from zero on every C runtime.
  EXPECT_EQ(ComputeMemoryReadout(PhysOnly(512, 0)).phys.totalText, "1 KB");
  EXPECT_EQ(ComputeMemoryReadout(PhysOnly(2560, 0)).phys.totalText, "3 KB");

  MemorySnapshot s = PhysOnly(1, 1);
  s.ullTotalVirtual = 2147352576;
  s.ullAvailVirtual = (3ull << 20) / 2;  // 1.5 MB
  const MemoryReadout r = ComputeMemoryReadout(s);
  EXPECT_EQ(r.virt.totalText, "2048 MB");
  EXPECT_EQ(r.virt.availText, "2 MB");
}

TEST(MemoryReadoutTest, ComputeMemoryReadout_SevenDigitsOrFewer_KeepTheirUnit) {
  EXPECT_EQ(ComputeMemoryReadout(PhysOnly(4294967295u, 0)).phys.totalText, "4194304 KB");
}

struct UnitCase {
  const char* name;
  uint64_t bytes;
  bool virtualArea;  // counts in MB from the start
  const char* expected;
};

// Seven digits stay in the unit; a figure that needs an eighth moves on to the next one.
TEST(MemoryReadoutTest, ComputeMemoryReadout_FigurePastSevenDigits_TakesNextUnit) {
  const UnitCase cases[] = {
      {"KB 7 digits", 9999999ull << 10, false, "9999999 KB"},
      {"KB 8 digits", 10000000ull << 10, false, "9766 MB"},
      {"KB rounds up to 8 digits", (9999999ull << 10) + 512, false, "9766 MB"},
      {"24 GB machine", 24683744ull << 10, false, "24105 MB"},
      {"MB 7 digits", 9999999ull << 20, false, "9999999 MB"},
      {"MB 8 digits", 10000000ull << 20, false, "9766 GB"},
      {"GB 7 digits", 9999999ull << 30, false, "9999999 GB"},
      {"GB 8 digits", 10000000ull << 30, false, "9766 TB"},
      {"TB 7 digits", 9999999ull << 40, false, "9999999 TB"},
      {"TB 8 digits: no larger unit, not cut", 10000000ull << 40, false, "10000000 TB"},
      {"virtual MB 7 digits", 9999999ull << 20, true, "9999999 MB"},
      {"virtual MB 8 digits", 10000000ull << 20, true, "9766 GB"},
      {"x64 process", 134217728ull << 20, true, "131072 GB"},
      {"virtual GB 8 digits", 10000000ull << 30, true, "9766 TB"},
  };
  for (const UnitCase& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySnapshot s = PhysOnly(1, 1);
    (c.virtualArea ? s.ullTotalVirtual : s.ullTotalPhys) = c.bytes;
    (c.virtualArea ? s.ullAvailVirtual : s.ullAvailPhys) = 0;
    const MemoryReadout r = ComputeMemoryReadout(s);
    EXPECT_EQ(c.virtualArea ? r.virt.totalText : r.phys.totalText, c.expected);
  }
}

// A label too narrow for the text may take a larger unit: the same amount, rounded anew in each.
TEST(MemoryReadoutTest, ComputeMemoryReadout_Choices_SameAmountInEachLargerUnit) {
  MemorySnapshot s = PhysOnly(4194304ull << 10, (1536ull << 10) + 512);
  s.ullTotalVirtual = 134217728ull << 20;
  s.ullAvailVirtual = 0;
  const MemoryReadout r = ComputeMemoryReadout(s);
  EXPECT_EQ(r.phys.totalChoices, (std::vector<std::string>{"4194304 KB", "4096 MB", "4 GB", "0 TB"}));
  EXPECT_EQ(r.phys.availChoices, (std::vector<std::string>{"1537 KB", "2 MB", "0 GB", "0 TB"}));
  EXPECT_EQ(r.virt.totalChoices, (std::vector<std::string>{"131072 GB", "128 TB"}));
  EXPECT_EQ(r.virt.availChoices, (std::vector<std::string>{"0 MB", "0 GB", "0 TB"}));
}

TEST(MemoryReadoutTest, ComputeMemoryReadout_RatioJustBelowOne_TruncatesBarButRoundsText) {
  const MemoryReadout r = ComputeMemoryReadout(PhysOnly(100000, 99999));
  EXPECT_EQ(r.phys.barPos, 999);
  EXPECT_EQ(r.physPercent, 99);
  EXPECT_EQ(r.phys.percentText, "100.00%");
}

TEST(MemoryReadoutTest, ComputeMemoryReadout_CountsAbove4GB_UseAllSixtyFourBits) {
  MemorySnapshot s;
  s.ullTotalPhys = 16ull << 30;
  s.ullAvailPhys = 6ull << 30;
  s.ullTotalPageFile = 48ull << 30;
  s.ullAvailPageFile = 12ull << 30;
  s.ullTotalVirtual = 128ull << 40;  // a 64-bit process's user space
  s.ullAvailVirtual = 96ull << 40;
  const MemoryReadout r = ComputeMemoryReadout(s);

  // Total and available of one area each take the unit their own figure needs.
  EXPECT_EQ(r.phys.totalText, "16384 MB");
  EXPECT_EQ(r.phys.availText, "6291456 KB");
  EXPECT_EQ(r.phys.barPos, 375);
  EXPECT_EQ(r.physPercent, 37);
  EXPECT_EQ(r.phys.percentText, "37.50%");
  EXPECT_EQ(r.pageFile.totalText, "49152 MB");
  EXPECT_EQ(r.pageFile.barPos, 250);
  EXPECT_EQ(r.virt.totalText, "131072 GB");
  EXPECT_EQ(r.virt.availText, "98304 GB");
  EXPECT_EQ(r.virt.percentText, "75.00%");
}

TEST(MemoryReadoutTest, ComputeMemoryReadout_ZeroTotal_ShowsZeroBarAndPercent) {
  MemorySnapshot s = PhysOnly(0, 0);
  s.ullTotalPageFile = 0;
  s.ullAvailPageFile = 4096;  // a substitute source may report swap oddly
  const MemoryReadout r = ComputeMemoryReadout(s);

  EXPECT_EQ(r.phys.totalText, "0 KB");
  EXPECT_EQ(r.phys.barPos, 0);
  EXPECT_EQ(r.physPercent, 0);
  EXPECT_EQ(r.phys.percentText, "0.00%");
  EXPECT_EQ(r.pageFile.barPos, 0);
  EXPECT_EQ(r.pageFile.percentText, "0.00%");
  EXPECT_EQ(r.pageFile.availText, "4 KB");
}
