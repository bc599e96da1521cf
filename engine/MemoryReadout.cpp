#include "MemoryReadout.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr double kKiloFactor = 0.0009765625;            // 1/1024
constexpr double kMegaFactor = 0.00000095367431640625;  // 1/1048576

// Each area's own unit first, then the larger ones it may move on to.
const char* const kFromKilo[] = {" KB", " MB", " GB", " TB", nullptr};
const char* const kFromMega[] = {" MB", " GB", " TB", nullptr};

// "%7.0f" of the value with its unit, leading blanks removed.
std::string FormatWhole(double value, const char* unit) {
  // Pre-rounding makes ties (n*1024+512 bytes) go away from zero on every C runtime;
  // glibc's printf would round them to even, MSVC's away from zero.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%7.0f%s", std::round(value), unit);
  const char* p = buf;
  while (*p == ' ') ++p;
  return p;
}

// A figure of more than seven digits never fits a value label beside its unit, so it starts in
// the next unit; the larger units follow for labels whose font is wider still.
std::vector<std::string> FormatAmountChoices(uint64_t bytes, double factor, const char* const* units) {
  double value = static_cast<double>(bytes) * factor;
  while (std::round(value) >= 10000000.0 && units[1] != nullptr) {
    value *= kKiloFactor;
    ++units;
  }
  std::vector<std::string> choices;
  for (; *units != nullptr; ++units, value *= kKiloFactor) choices.push_back(FormatWhole(value, *units));
  return choices;
}

// Truncates toward zero; a ratio above 1 from an odd source must not overflow the int.
int32_t TruncToInt32(double value) {
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

AreaReadout ComputeArea(uint64_t total, uint64_t avail, double factor, const char* const* units,
                        int32_t& wholePercent) {
  AreaReadout area;
  area.totalChoices = FormatAmountChoices(total, factor, units);
  area.availChoices = FormatAmountChoices(avail, factor, units);
  area.totalText = area.totalChoices.front();
  area.availText = area.availChoices.front();
  if (total == 0) {
    area.barPos = 0;
    area.percentText = "0.00%";
    wholePercent = 0;
    return area;
  }
  const double r = static_cast<double>(avail) / static_cast<double>(total);
  const double permille = r * 1000.0;
  area.barPos = TruncToInt32(permille);
  wholePercent = TruncToInt32(r * 100.0);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%2.2f%%", permille * 0.1);
  area.percentText = buf;
  return area;
}

}  // namespace

MemoryReadout ComputeMemoryReadout(const MemorySnapshot& s) {
  MemoryReadout out;
  int32_t unused = 0;
  out.phys = ComputeArea(s.ullTotalPhys, s.ullAvailPhys, kKiloFactor, kFromKilo, out.physPercent);
  out.pageFile = ComputeArea(s.ullTotalPageFile, s.ullAvailPageFile, kKiloFactor, kFromKilo, unused);
  out.virt = ComputeArea(s.ullTotalVirtual, s.ullAvailVirtual, kMegaFactor, kFromMega, unused);
  return out;
}
