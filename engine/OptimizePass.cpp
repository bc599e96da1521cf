#include "OptimizePass.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

std::atomic<int32_t> g_bOptimizing{0};
std::atomic<int32_t> g_nOptimizeCycle{0};
std::atomic<int32_t> g_bExitPending{0};

const int32_t kOptimizeSteps[30] = {
    1,  3,  5,   //
    7,  9,  11,  //
    12, 14, 16,  //
    17, 19, 21,  //
    22, 24, 26,  //
    27, 29, 31,  //
    32, 34, 36,  //
    37, 41, 45,  //
    47, 51, 56,  //
    58, 61, 100,
};

namespace {

constexpr int32_t kCycles = 10;
constexpr uint64_t kMinCommitMargin = 256ull << 20;
constexpr uint64_t kCommitMarginDivisor = 20;  // 5 %
constexpr int32_t kLastStep = 29;

enum StepKind { kBeforeAllocation = 0, kAfterAllocation = 1, kAfterRelease = 2 };

// The counter is re-read at every use because RequestExit may move it to 9 at any moment.
// Clamped so the table index stays valid whatever the shared value holds.
int32_t StepOfCurrentCycle(StepKind kind) {
  const int32_t cycle = std::clamp<int32_t>(g_nOptimizeCycle.load(), 0, kCycles - 1);
  return kOptimizeSteps[3 * cycle + kind];
}

// Through a volatile pointer: a block that is released right after being written looks
// like dead stores to the optimiser, and these writes are the whole point of the pass.
void* (*volatile g_fillBytes)(void*, int, std::size_t) = std::memset;

void FillBlock(void* block, uint64_t bytes, unsigned char value) {
  auto* p = static_cast<unsigned char*>(block);
  while (bytes > 0) {
    const uint64_t chunk = std::min<uint64_t>(bytes, std::numeric_limits<std::size_t>::max());
    g_fillBytes(p, value, static_cast<std::size_t>(chunk));
    p += chunk;
    bytes -= chunk;
  }
}

// The finished message goes out with the counter at kCycles, so an exit request that
// arrives after the dialog has handled it, but before the reset, closes at once instead of
// waiting for a message that will not come again.
void FinishPass(IPassHost& host) {
  g_nOptimizeCycle.store(kCycles);
  // Posted before the reset: the dialog may see the message while g_bOptimizing is still 1.
  host.PostFinished();
  g_nOptimizeCycle.store(0);
  g_bOptimizing.store(0);
}

}  // namespace

std::optional<uint64_t> PassBlockSize(const MemorySnapshot& snapshot) {
  const uint64_t margin = std::max(kMinCommitMargin, snapshot.ullTotalPageFile / kCommitMarginDivisor);
  if (snapshot.ullAvailPageFile <= margin) return std::nullopt;
  return std::min(snapshot.ullAvailPhys, snapshot.ullAvailPageFile - margin);
}

std::string FormatStepText(int32_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2.2f%%", static_cast<double>(value));
  return buf;
}

void RunOptimizePass(IPassHost& host, IMemoryStatus& status, IBlockAllocator& allocator, IClipboard& clipboard) {
  g_bOptimizing.store(1);

  host.DisableOptimize();
  if (host.GetClearClipboardCheck() == 1 && clipboard.Open()) {
    clipboard.Empty();
    clipboard.Close();
  }

  g_nOptimizeCycle.store(0);
  bool earlyEnd = false;
  while (g_nOptimizeCycle.load() < kCycles) {
    const std::optional<uint64_t> size = PassBlockSize(status.Sample());
    const uint64_t bytes = size.value_or(0);
    host.ShowStep(StepOfCurrentCycle(kBeforeAllocation));

    void* block = nullptr;
    try {
      // No room left in the commit: refused like an allocation the heap cannot make.
      if (!size) throw std::bad_alloc();
      block = allocator.Allocate(bytes);
    } catch (const std::bad_alloc&) {
      if (g_nOptimizeCycle.load() <= 0) host.ShowNoNeedMessage();
      earlyEnd = true;
      break;
    }
    if (block == nullptr) {
      earlyEnd = true;
      break;
    }

    FillBlock(block, bytes, 0xCD);
    host.ShowStep(StepOfCurrentCycle(kAfterAllocation));
    FillBlock(block, bytes, 0xDD);
    allocator.Release(block, bytes);
    host.ShowStep(StepOfCurrentCycle(kAfterRelease));

    g_nOptimizeCycle.fetch_add(1);
  }
  if (earlyEnd) host.ShowStep(kOptimizeSteps[kLastStep]);
  FinishPass(host);
}

void RunOptimizePassGuarded(IPassHost& host, IMemoryStatus& status, IBlockAllocator& allocator,
                            IClipboard& clipboard) noexcept {
  try {
    RunOptimizePass(host, status, allocator, clipboard);
    return;
  } catch (...) {
  }
  try {
    host.ShowStep(kOptimizeSteps[kLastStep]);
    FinishPass(host);
    return;
  } catch (...) {
  }
  g_nOptimizeCycle.store(0);
  g_bOptimizing.store(0);
}

bool TryClaimPass() {
  int32_t idle = 0;
  if (!g_bOptimizing.compare_exchange_strong(idle, 1)) return false;
  g_bExitPending.store(0);
  return true;
}

void AbandonPassClaim() { g_bOptimizing.store(0); }

bool RequestExit() {
  int32_t cycle = g_nOptimizeCycle.load();
  for (;;) {
    // 0: idle, still in the first cycle, or reset by an ending worker. kCycles or more:
    // the pass is over and its finished message posted, perhaps already handled.
    if (cycle <= 0 || cycle >= kCycles) return true;
    // A failed exchange reloads the counter, which the worker may just have moved on.
    if (cycle == kCycles - 1 || g_nOptimizeCycle.compare_exchange_weak(cycle, kCycles - 1)) {
      g_bExitPending.store(1);
      return false;
    }
  }
}

bool ExitIsPending() { return g_bExitPending.load() != 0; }
