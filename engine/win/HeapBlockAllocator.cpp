#include "win/HeapBlockAllocator.h"

#include <cstddef>
#include <new>

void* CHeapBlockAllocator::Allocate(uint64_t bytes) {
  const auto size = static_cast<std::size_t>(bytes);
  if (static_cast<uint64_t>(size) != bytes) throw std::bad_alloc();  // more than a 32-bit process can address
  return ::operator new(size);
}

void CHeapBlockAllocator::Release(void* block, uint64_t /*bytes*/) { ::operator delete(block); }
