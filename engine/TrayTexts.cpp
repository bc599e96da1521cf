#include "TrayTexts.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMiB = 1048576.0;
constexpr double kGiB = 1073741824.0;

}  // namespace

std::string FormatTrayAmount(uint64_t bytes) {
  char buf[48];
  const double megabytes = std::round(static_cast<double>(bytes) / kMiB);
  if (megabytes < 1024.0) {
    std::snprintf(buf, sizeof buf, "%.0f MB", megabytes);
  } else {
    // Rounded here, so a tie goes the same way on every C runtime.
    std::snprintf(buf, sizeof buf, "%.1f GB", std::round(static_cast<double>(bytes) / kGiB * 10.0) / 10.0);
  }
  return buf;
}

std::string PhysicalMemoryTipLine(const MemorySnapshot& snapshot, int32_t physPercent) {
  return "Physical memory: " + FormatTrayAmount(snapshot.ullAvailPhys) + " free of " +
         FormatTrayAmount(snapshot.ullTotalPhys) + " (" + std::to_string(physPercent) + "%)";
}

std::string OptimizingTipLine(int32_t percent) { return "Optimizing: " + std::to_string(percent) + "%"; }

std::string PassResultText(uint64_t availBefore, const MemorySnapshot& after, int32_t physPercentAfter) {
  // "Freed 0 MB" would say nothing either.
  if (after.ullAvailPhys <= availBefore || FormatTrayAmount(after.ullAvailPhys - availBefore) == "0 MB")
    return "No more physical memory could be freed.";
  return "Freed " + FormatTrayAmount(after.ullAvailPhys - availBefore) + " of physical memory; " +
         FormatTrayAmount(after.ullAvailPhys) + " (" + std::to_string(physPercentAfter) + "%) is free now.";
}
