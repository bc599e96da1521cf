#pragma once

#include "MemoryStatus.h"

// GlobalMemoryStatusEx. A build with MNEMORA_AVAIL_PHYS_CAP (bytes) reports at most that
// much available physical memory, so a test build's passes stay small.
class CWinMemoryStatus : public IMemoryStatus {
 public:
  MemorySnapshot Sample() override;
};
