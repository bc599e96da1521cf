#pragma once

#include "MemorySnapshot.h"

#include <cstdint>
#include <string>
#include <vector>

// What the dialog shows for one memory area.
struct AreaReadout {
  std::string totalText;  // e.g. "523760 KB"
  std::string availText;
  // The same two amounts in each larger unit, up to TB, for a label too narrow for the text
  // above; the first entry is the text above.
  std::vector<std::string> totalChoices;
  std::vector<std::string> availChoices;
  int32_t barPos = 0;       // 0..1000
  std::string percentText;  // e.g. "37.54%"
};

struct MemoryReadout {
  AreaReadout phys;
  AreaReadout pageFile;
  AreaReadout virt;
  int32_t physPercent = 0;  // available physical share, whole percent (truncated)
};

// Physical memory and page file in KB, virtual address space in MB; a figure that would need
// more than seven digits is shown in the next larger unit (up to TB), and the choices go on
// from there.
// An area whose total is 0 shows bar 0 and "0.00%".
MemoryReadout ComputeMemoryReadout(const MemorySnapshot& snapshot);
