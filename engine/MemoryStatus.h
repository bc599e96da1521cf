#pragma once

#include "MemorySnapshot.h"

class IMemoryStatus {
 public:
  virtual ~IMemoryStatus() = default;
  virtual MemorySnapshot Sample() = 0;
};
