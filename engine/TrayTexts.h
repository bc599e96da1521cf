#pragma once

#include <cstdint>
#include <string>

#include "MemorySnapshot.h"

// Texts of the notification-area icon: its tip and the notice at the end of a pass. Amounts are
// in MB below 1 GB and in GB with one decimal from there; percentages are the read-out's whole
// available share.
std::string FormatTrayAmount(uint64_t bytes);

// "Physical memory: 2.1 GB free of 8.0 GB (26%)"
std::string PhysicalMemoryTipLine(const MemorySnapshot& snapshot, int32_t physPercent);
// "Optimizing: 40%"
std::string OptimizingTipLine(int32_t percent);

// What a pass freed: the available physical memory after it less the amount before it.
// "Freed 1.2 GB of physical memory; 6.3 GB (79%) is free now.", or, when that is nothing (or
// too little to show), "No more physical memory could be freed."
std::string PassResultText(uint64_t availBefore, const MemorySnapshot& after, int32_t physPercentAfter);
