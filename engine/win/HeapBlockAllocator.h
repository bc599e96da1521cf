#pragma once

#include "OptimizePass.h"

// Blocks from the C++ heap; out of memory throws std::bad_alloc.
class CHeapBlockAllocator : public IBlockAllocator {
 public:
  void* Allocate(uint64_t bytes) override;
  void Release(void* block, uint64_t bytes) override;
};
