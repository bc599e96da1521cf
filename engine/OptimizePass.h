#pragma once

#include "MemoryStatus.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

// Pass state shared between the UI thread and the worker; all start at 0.
extern std::atomic<int32_t> g_bOptimizing;     // non-zero while a pass runs
extern std::atomic<int32_t> g_nOptimizeCycle;  // current cycle 0..9; 10 once the pass is over; 0 when idle
extern std::atomic<int32_t> g_bExitPending;    // 1 once exit was asked for during a pass; 0 again
                                               // when the next pass is claimed

// Progress values, three per cycle: before allocation, after allocation, after release.
extern const int32_t kOptimizeSteps[30];

// The dialog as the worker sees it. In the program every call is a window message,
// so the implementation runs on the UI thread.
class IPassHost {
 public:
  virtual ~IPassHost() = default;
  virtual void DisableOptimize() = 0;
  virtual int GetClearClipboardCheck() = 0;  // 1 = checked; anything else unchecked
  virtual void ShowStep(int32_t value) = 0;  // bar value*10, text FormatStepText(value)
  virtual void ShowNoNeedMessage() = 0;      // information box; returns when closed
  virtual void PostFinished() = 0;           // WM_OPTIMIZE_FINISHED
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual bool Open() = 0;  // false when another window holds the clipboard
  virtual void Empty() = 0;
  virtual void Close() = 0;
};

class IBlockAllocator {
 public:
  virtual ~IBlockAllocator() = default;
  // Out of memory: throws std::bad_alloc, or returns nullptr.
  virtual void* Allocate(uint64_t bytes) = 0;
  virtual void Release(void* block, uint64_t bytes) = 0;
};

// The block of one cycle: the available physical memory, but never so much of the remaining
// commit that other programs' allocations fail while the block is held: at most the available
// commit less the larger of 256 MiB and 5 % of the commit limit. Nothing when that leaves no
// room at all.
std::optional<uint64_t> PassBlockSize(const MemorySnapshot& snapshot);

// "%2.2f" of the value followed by "%": 7 -> "7.00%".
std::string FormatStepText(int32_t value);

// One optimization pass, run on the worker thread. Ten cycles of sample, allocate a block
// of PassBlockSize, write it full (0xCD), write it full again (0xDD), release; progress
// follows kOptimizeSteps. Only std::bad_alloc from Allocate is handled (an early end, with
// the no-need message in the first cycle); no room for a block ends the pass the same way. Anything else propagates and
// leaves the pass state as it was. Once the cycles are done the counter reads 10 until the
// finished message has been posted.
void RunOptimizePass(IPassHost& host, IMemoryStatus& status, IBlockAllocator& allocator, IClipboard& clipboard);

// The worker thread's entry: RunOptimizePass, and should any exception escape it, the pass
// ends as an early end does (bar at 100, finished posted, state back to idle), so Optimize
// works again and an Exit is not lost, instead of the exception ending the process.
void RunOptimizePassGuarded(IPassHost& host, IMemoryStatus& status, IBlockAllocator& allocator,
                            IClipboard& clipboard) noexcept;

// Claims the pass for a new worker: false while a pass runs, so a command during a pass
// starts nothing. A claimed pass starts with no exit pending.
bool TryClaimPass();
// Undoes a claim whose worker thread could not be started.
void AbandonPassClaim();

// Exit request from the dialog. True: close now (idle, still in the first cycle, or the pass
// is over and its end message already on its way). False: the pass was shortened to its
// last cycle and the dialog closes when it reports.
bool RequestExit();
bool ExitIsPending();
