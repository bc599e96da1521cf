// Write speed of the optimization pass against a plain memset over the same blocks.
// Usage: MnemoraBench [block size in MiB, default 256]
#include "OptimizePass.h"
#include "win/HeapBlockAllocator.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int kCycles = 10;
constexpr int kWritesPerCycle = 2;
constexpr int kRounds = 3;

class CFixedMemoryStatus : public IMemoryStatus {
 public:
  explicit CFixedMemoryStatus(uint64_t bytes) : m_bytes(bytes) {}
  MemorySnapshot Sample() override {
    MemorySnapshot s;
    s.ullTotalPhys = m_bytes;
    s.ullAvailPhys = m_bytes;
    return s;
  }

 private:
  uint64_t m_bytes;
};

// Counts what a dialog would show, so a pass cut short by a failed allocation is noticed.
class CCountingHost : public IPassHost {
 public:
  int steps = 0;
  bool message = false;

  void DisableOptimize() override {}
  int GetClearClipboardCheck() override { return 0; }
  void ShowStep(int32_t) override { ++steps; }
  void ShowNoNeedMessage() override { message = true; }
  void PostFinished() override {}
};

class CNoClipboard : public IClipboard {
 public:
  bool Open() override { return false; }
  void Empty() override {}
  void Close() override {}
};

class CStopwatch {
 public:
  CStopwatch() {
    ::QueryPerformanceFrequency(&m_frequency);
    ::QueryPerformanceCounter(&m_start);
  }
  double Seconds() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_frequency.QuadPart);
  }

 private:
  LARGE_INTEGER m_frequency;
  LARGE_INTEGER m_start;
};

// Seconds for one full pass, or a negative value when the pass ended early.
double TimePass(uint64_t bytes, IBlockAllocator& allocator) {
  CFixedMemoryStatus status(bytes);
  CCountingHost host;
  CNoClipboard clipboard;
  const CStopwatch watch;
  RunOptimizePass(host, status, allocator, clipboard);
  const double seconds = watch.Seconds();
  return host.steps == 3 * kCycles && !host.message ? seconds : -1.0;
}

double TimeMemset(uint64_t bytes, IBlockAllocator& allocator) {
  const auto size = static_cast<std::size_t>(bytes);
  const CStopwatch watch;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    void* block = allocator.Allocate(bytes);
    if (block == nullptr) return -1.0;
    std::memset(block, 0xCD, size);
    std::memset(block, 0xDD, size);
    allocator.Release(block, bytes);
  }
  return watch.Seconds();
}

void Report(const char* label, uint64_t bytesWritten, double seconds) {
  std::printf("%-18s %8.0f MiB in %7.3f s = %7.2f GB/s\n", label, static_cast<double>(bytesWritten) / (1024.0 * 1024.0),
              seconds, static_cast<double>(bytesWritten) / seconds / 1e9);
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long mib = 256;
  if (argc > 1) {
    char* end = nullptr;
    errno = 0;
    mib = std::strtoul(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || errno != 0 || mib == 0 || mib > (1ul << 20)) {
      std::fprintf(stderr, "usage: MnemoraBench [block size in MiB, default 256]\n");
      return 2;
    }
  }
  const uint64_t bytes = static_cast<uint64_t>(mib) << 20;
  const uint64_t written = bytes * kCycles * kWritesPerCycle;

  CHeapBlockAllocator allocator;
  double bestPass = 0.0;
  double bestMemset = 0.0;
  try {
    // Alternating rounds, best of each, so neither side profits from running second.
    for (int round = 0; round < kRounds; ++round) {
      const double pass = TimePass(bytes, allocator);
      const double plain = TimeMemset(bytes, allocator);
      if (pass < 0.0 || plain < 0.0) {
        std::fprintf(stderr, "a %lu MiB block could not be allocated\n", mib);
        return 1;
      }
      bestPass = round == 0 ? pass : std::min(bestPass, pass);
      bestMemset = round == 0 ? plain : std::min(bestMemset, plain);
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "a %lu MiB block could not be allocated\n", mib);
    return 1;
  }

  std::printf("block %lu MiB, %d cycles, %d writes per cycle, best of %d rounds\n", mib, kCycles, kWritesPerCycle,
              kRounds);
  Report("optimization pass", written, bestPass);
  Report("plain memset", written, bestMemset);
  const double ratio = bestMemset / bestPass;
  std::printf("ratio pass/memset  %.3f (target >= 0.90: %s)\n", ratio, ratio >= 0.9 ? "met" : "NOT met");
  return 0;
}
