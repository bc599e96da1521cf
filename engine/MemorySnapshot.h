#pragma once

#include <cstdint>

// The six byte counts of the platform's memory status that the program uses.
// 64-bit so that machines with more than 4 GB show their true figures.
struct MemorySnapshot {
  uint64_t ullTotalPhys = 0;
  uint64_t ullAvailPhys = 0;
  uint64_t ullTotalPageFile = 0;
  uint64_t ullAvailPageFile = 0;
  uint64_t ullTotalVirtual = 0;
  uint64_t ullAvailVirtual = 0;
};
