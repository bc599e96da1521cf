// The memory read-out of the shipped program against the driver's own reading of the memory status.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "E2EDriver.h"
#include "MainDialogSupport.h"
#include "resource.h"

namespace {

using e2e::maindlg::MemoryFigures;
using e2e::maindlg::RunningDialog;

struct Area {
  const char* name;
  int totalId, availId, barId, percentId;
  uint64_t MemoryFigures::*total;
  uint64_t MemoryFigures::*avail;
  std::vector<std::string> (*format)(uint64_t);
};

const std::array<Area, 3> kAreas = {{
    {"physical", IDC_TOTAL_PHYS, IDC_AVAIL_PHYS, IDC_PHYS_PROGRESS, IDC_PHYS_PERCENT, &MemoryFigures::totalPhys,
     &MemoryFigures::availPhys, e2e::maindlg::FormatKilobytes},
    {"page file", IDC_TOTAL_PAGEFILE, IDC_AVAIL_PAGEFILE, IDC_PAGEFILE_PROGRESS, IDC_PAGEFILE_PERCENT,
     &MemoryFigures::totalPageFile, &MemoryFigures::availPageFile, e2e::maindlg::FormatKilobytes},
    {"virtual", IDC_TOTAL_VIRTUAL, IDC_AVAIL_VIRTUAL, IDC_VIRTUAL_PROGRESS, IDC_VIRTUAL_PERCENT,
     &MemoryFigures::totalVirtual, &MemoryFigures::availVirtual, e2e::maindlg::FormatMegabytes},
}};

// Available memory moves while the test runs (other programs, the dialog's one-second lag):
// the shown amount may differ from the driver's by this share of the total.
constexpr double kAvailTolerance = 0.02;

struct AreaShown {
  std::string total, avail, percent;
  int bar = -1;
  bool operator==(const AreaShown& o) const {
    return total == o.total && avail == o.avail && percent == o.percent && bar == o.bar;
  }
};

std::array<AreaShown, 3> ReadAreas(const RunningDialog& app) {
  std::array<AreaShown, 3> shown;
  for (size_t i = 0; i < kAreas.size(); ++i) {
    shown[i].total = app.Text(kAreas[i].totalId).value_or("<no answer>");
    shown[i].avail = app.Text(kAreas[i].availId).value_or("<no answer>");
    shown[i].bar = app.BarPos(kAreas[i].barId);
    shown[i].percent = app.Text(kAreas[i].percentId).value_or("<no answer>");
  }
  return shown;
}

class Readout : public e2e::maindlg::ShippedProgramTest {};

TEST_F(Readout, Start_TwelveReadouts_MatchDriverMemoryStatus) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);

  // Two equal readings in a row come from one refresh, not from two ticks half-way through.
  MemoryFigures before{}, after{};
  std::array<AreaShown, 3> shown;
  bool stable = false;
  for (int attempt = 0; attempt < 10 && !stable; ++attempt) {
    before = e2e::maindlg::ReadMemoryFigures();
    shown = ReadAreas(app);
    stable = shown == ReadAreas(app);
    after = e2e::maindlg::ReadMemoryFigures();
  }
  ASSERT_TRUE(stable) << "the read-outs never stayed still for one reading";

  for (size_t i = 0; i < kAreas.size(); ++i) {
    const Area& area = kAreas[i];
    const AreaShown& s = shown[i];
    SCOPED_TRACE(std::string(area.name) + ": total \"" + s.total + "\" available \"" + s.avail + "\" percent \"" +
                 s.percent + "\" bar " + std::to_string(s.bar));

    const std::vector<std::string> totals = area.format(after.*area.total);
    EXPECT_NE(std::find(totals.begin(), totals.end(), s.total), totals.end()) << "expected " << totals.front();

    const double total = static_cast<double>(after.*area.total);
    const double low = static_cast<double>(std::min(before.*area.avail, after.*area.avail));
    const double high = static_cast<double>(std::max(before.*area.avail, after.*area.avail));
    const auto avail = e2e::maindlg::ShownBytes(s.avail);
    const auto percent = e2e::maindlg::LeadingNumber(s.percent);
    ASSERT_TRUE(avail) << "no number or no unit";
    EXPECT_LE(s.avail.find(' '), 7u) << "more digits than the label holds beside its unit";
    ASSERT_TRUE(percent);
    ASSERT_EQ(s.percent.back(), '%');
    EXPECT_GE(*avail, low - kAvailTolerance * total);
    EXPECT_LE(*avail, high + kAvailTolerance * total);

    // Percentage and bar come from the same ratio as the amount shown beside them.
    const double ratio = *avail / total;
    EXPECT_NEAR(*percent, ratio * 100.0, 0.011);
    EXPECT_GE(s.bar, static_cast<int>(std::floor(*percent * 10.0 - 0.05 - 1e-9)));
    EXPECT_LE(s.bar, static_cast<int>(std::floor(*percent * 10.0 + 0.05 + 1e-9)));
    char twoDecimals[32];
    snprintf(twoDecimals, sizeof twoDecimals, "%.2f%%", *percent);
    EXPECT_EQ(s.percent, twoDecimals) << "not two decimals";
  }

  EXPECT_EQ(app.Text(IDC_OPTIMIZE_PERCENT), "0.00%");
  EXPECT_EQ(app.BarPos(IDC_OPTIMIZE_PROGRESS), 0);
}

TEST_F(Readout, Timer_ReadoutOverwritten_RewrittenWithinTick) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  const std::string original = app.Text(IDC_AVAIL_PHYS).value_or("");
  ASSERT_FALSE(original.empty());

  ASSERT_TRUE(e2e::SendWithTimeout(app.Control(IDC_AVAIL_PHYS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")));
  // A refresh may land right after the overwrite: it is enough that "x" was there at some point.
  const ULONGLONG overwritten = GetTickCount64();
  EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(IDC_AVAIL_PHYS) != "x"; }, 1800, 20))
      << "\"x\" still shown 1.8 s later: no refresh";
  const auto rewritten = app.Text(IDC_AVAIL_PHYS).value_or("");
  EXPECT_TRUE(e2e::maindlg::ShownBytes(rewritten)) << rewritten;
  RecordProperty("RewrittenAfterMs", static_cast<int>(GetTickCount64() - overwritten));
}

TEST_F(Readout, Timer_WhileHidden_KeepsRefreshing) {
  RunningDialog app = Start("-m");
  ASSERT_TRUE(app);
  ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), false, 5000));

  for (int id : {IDC_TOTAL_PAGEFILE, IDC_VIRTUAL_PERCENT}) {
    ASSERT_TRUE(e2e::SendWithTimeout(app.Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")));
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(id) != "x"; }, 1800, 20)) << "control " << id;
  }
  EXPECT_FALSE(app.Visible());
}

}  // namespace
