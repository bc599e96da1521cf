#include "MemoryReadout.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double kKiloFactor = 0.0009765625;            // 1/1024
constexpr double kMegaFactor = 0.00000095367431640625;  // 1/1048576

// Each area's own unit first, then the larger ones it may move on to.
const char* const kFromKilo[] = {" KB", " MB", " GB", " TB", nullptr};
const char* const kFromMega[] = {" MB", " GB", " TB", nullptr};

// A figure of up to seven digits is what the value labels hold with their unit; past that the
// figure moves on to the next unit, so the unit never wraps out of sight.
std::string FormatAmount(uint64_t bytes, double factor, const char* const* units)
{
    double value = static_cast<double>(bytes) * factor;
    // Pre-rounding makes ties (n*1024+512 bytes) go away from zero on every C runtime;
    // glibc's printf would round them to even, MSVC's away from zero.
    double scaled = std::round(value);
    while (scaled >= 10000000.0 && units[1] != nullptr) {
        value *= kKiloFactor;
        scaled = std::round(value);
        ++units;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%7.0f%s", scaled, *units);
    const char* p = buf;
    while (*p == ' ')
        ++p;
    return p;
}

// Truncates toward zero; a ratio above 1 from an odd source must not overflow the int.
int32_t TruncToInt32(double value)
{
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

AreaReadout ComputeArea(uint64_t total, uint64_t avail, double factor, const char* const* units,
                        int32_t& wholePercent)
{
    AreaReadout area;
    area.totalText = FormatAmount(total, factor, units);
    area.availText = FormatAmount(avail, factor, units);
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

} // namespace

MemoryReadout ComputeMemoryReadout(const MemorySnapshot& s)
{
    MemoryReadout out;
    int32_t unused = 0;
    out.phys = ComputeArea(s.ullTotalPhys, s.ullAvailPhys, kKiloFactor, kFromKilo, out.physPercent);
    out.pageFile = ComputeArea(s.ullTotalPageFile, s.ullAvailPageFile, kKiloFactor, kFromKilo, unused);
    out.virt = ComputeArea(s.ullTotalVirtual, s.ullAvailVirtual, kMegaFactor, kFromMega, unused);
    return out;
}
