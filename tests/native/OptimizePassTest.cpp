#include "OptimizePass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using EventLog = std::vector<std::string>;

class FakeMemoryStatus : public IMemoryStatus {
 public:
  explicit FakeMemoryStatus(EventLog& log) : m_log(log) {}

  // Each sample reports the next size; the last one repeats.
  std::vector<uint64_t> availSizes{4096};
  uint64_t availCommit = 64ull << 30;

  MemorySnapshot Sample() override {
    m_log.push_back("sample");
    MemorySnapshot s;
    s.ullTotalPhys = 1 << 20;
    s.ullAvailPhys = availSizes[std::min(m_next++, availSizes.size() - 1)];
    s.ullTotalPageFile = 80ull << 30;
    s.ullAvailPageFile = availCommit;
    return s;
  }

 private:
  EventLog& m_log;
  size_t m_next = 0;
};

// Frames each block with 0xFD guards, as a debug heap does, and hands it out unfilled so
// that only the engine's own writes can make it 0xCD / 0xDD.
class FakeBlockAllocator : public IBlockAllocator {
 public:
  enum class Outcome { Block, Throw, Null, ThrowOther };

  explicit FakeBlockAllocator(EventLog& log) : m_log(log) {}

  // Outcome of allocation number n (0-based); Block when not listed.
  std::function<Outcome(int n)> outcomeOf = [](int) { return Outcome::Block; };

  std::vector<uint64_t> allocatedSizes;
  std::vector<uint64_t> releasedSizes;
  int releasedAllDD = 0;
  int guardsBroken = 0;

  bool HasBlock() const { return m_live; }
  bool BlockIsAll(unsigned char value) const {
    return std::all_of(Payload(), Payload() + m_bytes, [value](unsigned char b) { return b == value; });
  }

  void* Allocate(uint64_t bytes) override {
    m_log.push_back("allocate " + std::to_string(bytes));
    EXPECT_FALSE(m_live) << "previous block not released";
    switch (outcomeOf(m_calls++)) {
      case Outcome::Throw:
        throw std::bad_alloc();
      case Outcome::ThrowOther:
        throw std::runtime_error("not an allocation failure");
      case Outcome::Null:
        return nullptr;
      case Outcome::Block:
        break;
    }
    allocatedSizes.push_back(bytes);
    m_bytes = bytes;
    m_storage.assign(bytes + 2 * kGuard, 0x00);
    std::fill_n(m_storage.begin(), kGuard, kGuardByte);
    std::fill_n(m_storage.end() - kGuard, kGuard, kGuardByte);
    m_live = true;
    return Payload();
  }

  void Release(void* block, uint64_t bytes) override {
    m_log.push_back("release " + std::to_string(bytes));
    EXPECT_TRUE(m_live);
    EXPECT_EQ(block, Payload());
    releasedSizes.push_back(bytes);
    if (BlockIsAll(0xDD)) ++releasedAllDD;
    const auto isGuard = [](unsigned char b) { return b == kGuardByte; };
    if (!std::all_of(m_storage.begin(), m_storage.begin() + kGuard, isGuard) ||
        !std::all_of(m_storage.end() - kGuard, m_storage.end(), isGuard))
      ++guardsBroken;
    m_live = false;
  }

 private:
  static constexpr size_t kGuard = 4;
  static constexpr unsigned char kGuardByte = 0xFD;

  unsigned char* Payload() { return m_storage.data() + kGuard; }
  const unsigned char* Payload() const { return m_storage.data() + kGuard; }

  EventLog& m_log;
  std::vector<unsigned char> m_storage;
  uint64_t m_bytes = 0;
  bool m_live = false;
  int m_calls = 0;
};

class FakeClipboard : public IClipboard {
 public:
  explicit FakeClipboard(EventLog& log) : m_log(log) {}

  bool busy = false;

  bool Open() override {
    m_log.push_back("clipboard open");
    return !busy;
  }
  void Empty() override { m_log.push_back("clipboard empty"); }
  void Close() override { m_log.push_back("clipboard close"); }

 private:
  EventLog& m_log;
};

class FakePassHost : public IPassHost {
 public:
  FakePassHost(EventLog& log, const FakeBlockAllocator& allocator) : m_log(log), m_allocator(allocator) {}

  int check = 1;
  // Runs after a step is recorded, as a user's click would arrive between two messages.
  std::function<void(int32_t value)> afterStep;
  // Runs once the finished message is out, as the dialog may handle it before the reset.
  std::function<void()> afterFinished;

  std::vector<int32_t> steps;
  int cdBlocksSeen = 0;
  int blocksNotCD = 0;
  int messages = 0;
  int finished = 0;
  bool optimizingDuringMessage = false;
  bool optimizingWhenFinished = false;

  void DisableOptimize() override { m_log.push_back("disable"); }
  int GetClearClipboardCheck() override {
    m_log.push_back("check");
    return check;
  }
  void ShowStep(int32_t value) override {
    m_log.push_back("step " + std::to_string(value));
    steps.push_back(value);
    if (m_allocator.HasBlock()) ++(m_allocator.BlockIsAll(0xCD) ? cdBlocksSeen : blocksNotCD);
    if (afterStep) afterStep(value);
  }
  void ShowNoNeedMessage() override {
    m_log.push_back("message");
    ++messages;
    optimizingDuringMessage = g_bOptimizing.load() != 0;
  }
  void PostFinished() override {
    m_log.push_back("finished");
    ++finished;
    optimizingWhenFinished = g_bOptimizing.load() != 0;
    if (afterFinished) afterFinished();
  }

 private:
  EventLog& m_log;
  const FakeBlockAllocator& m_allocator;
};

std::vector<int32_t> TableSteps(size_t first, size_t count) {
  return std::vector<int32_t>(kOptimizeSteps + first, kOptimizeSteps + first + count);
}

std::vector<int32_t> Concat(std::vector<int32_t> a, const std::vector<int32_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class OptimizePassTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }

  static void ResetGlobals() {
    g_bOptimizing = 0;
    g_nOptimizeCycle = 0;
    g_bExitPending = 0;
  }

  void Run() { RunOptimizePass(host, status, allocator, clipboard); }

  void ExpectIdleAfterPass() const {
    EXPECT_EQ(host.finished, 1);
    EXPECT_TRUE(host.optimizingWhenFinished) << "finished must be posted before the reset";
    EXPECT_EQ(g_bOptimizing.load(), 0);
    EXPECT_EQ(g_nOptimizeCycle.load(), 0);
  }

  EventLog log;
  FakeMemoryStatus status{log};
  FakeBlockAllocator allocator{log};
  FakeClipboard clipboard{log};
  FakePassHost host{log, allocator};
};

}  // namespace

TEST_F(OptimizePassTest, RunOptimizePass_FullPass_ShowsAllThirtyStepsThenFinishes) {
  Run();

  EXPECT_EQ(host.steps, TableSteps(0, 30));
  EXPECT_EQ(host.steps.front(), 1);
  EXPECT_EQ(host.steps.back(), 100);
  EXPECT_EQ(allocator.allocatedSizes.size(), 10u);
  EXPECT_EQ(host.messages, 0);
  EXPECT_EQ(log.back(), "finished");
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_FullPass_RunsStepsInOrder) {
  status.availSizes = {100};
  Run();

  EventLog expected = {"disable", "check", "clipboard open", "clipboard empty", "clipboard close"};
  for (int cycle = 0; cycle < 10; ++cycle) {
    expected.push_back("sample");
    expected.push_back("step " + std::to_string(kOptimizeSteps[3 * cycle]));
    expected.push_back("allocate 100");
    expected.push_back("step " + std::to_string(kOptimizeSteps[3 * cycle + 1]));
    expected.push_back("release 100");
    expected.push_back("step " + std::to_string(kOptimizeSteps[3 * cycle + 2]));
  }
  expected.push_back("finished");
  EXPECT_EQ(log, expected);
}

TEST_F(OptimizePassTest, RunOptimizePass_EachCycle_AllocatesTheAvailablePhysJustSampled) {
  status.availSizes = {4096, 8191, 1, 0, 65536, 300, 301, 302, 303, 304};
  Run();

  EXPECT_EQ(allocator.allocatedSizes, status.availSizes);
  EXPECT_EQ(allocator.releasedSizes, status.availSizes);
}

TEST_F(OptimizePassTest, RunOptimizePass_EveryBlock_WrittenFullWithCDThenDD) {
  status.availSizes = {4096, 4097, 12345};
  Run();

  EXPECT_EQ(host.cdBlocksSeen, 10);
  EXPECT_EQ(host.blocksNotCD, 0);
  EXPECT_EQ(allocator.releasedAllDD, 10);
  EXPECT_EQ(allocator.guardsBroken, 0);
}

TEST_F(OptimizePassTest, RunOptimizePass_FirstAllocationThrows_ShowsMessageThenEndsAt100) {
  allocator.outcomeOf = [](int) { return FakeBlockAllocator::Outcome::Throw; };
  Run();

  EXPECT_EQ(host.steps, (std::vector<int32_t>{1, 100}));
  EXPECT_EQ(host.messages, 1);
  EXPECT_TRUE(host.optimizingDuringMessage);
  EXPECT_EQ(log.back(), "finished");
  EXPECT_EQ(*(log.end() - 3), "message");
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_AllocationThrowsInCycle4_EndsAt100WithoutMessage) {
  allocator.outcomeOf = [](int n) {
    return n == 4 ? FakeBlockAllocator::Outcome::Throw : FakeBlockAllocator::Outcome::Block;
  };
  Run();

  EXPECT_EQ(host.steps, Concat(TableSteps(0, 12), {22, 100}));
  EXPECT_EQ(host.messages, 0);
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_AllocationReturnsNull_EndsAt100WithoutMessage) {
  allocator.outcomeOf = [](int) { return FakeBlockAllocator::Outcome::Null; };
  Run();
  EXPECT_EQ(host.steps, (std::vector<int32_t>{1, 100}));
  EXPECT_EQ(host.messages, 0);
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_AllocationReturnsNullInCycle6_EndsAt100) {
  allocator.outcomeOf = [](int n) {
    return n == 6 ? FakeBlockAllocator::Outcome::Null : FakeBlockAllocator::Outcome::Block;
  };
  Run();
  EXPECT_EQ(host.steps, Concat(TableSteps(0, 19), {100}));
  EXPECT_EQ(host.messages, 0);
  EXPECT_EQ(allocator.releasedSizes.size(), 6u);
  ExpectIdleAfterPass();
}

TEST(PassBlockSizeTest, PassBlockSize_CommitNearlyTaken_LeavesLargerOfMarginsFree) {
  constexpr uint64_t MiB = 1ull << 20;
  const struct {
    uint64_t availPhys, totalCommit, availCommit;
    std::optional<uint64_t> block;
  } cases[] = {
      {1024 * MiB, 2048 * MiB, 4096 * MiB, 1024 * MiB},   // plenty of commit: the physical amount
      {1024 * MiB, 2048 * MiB, 1000 * MiB, 744 * MiB},    // 256 MiB, more than 5 % of 2 GiB
      {8192 * MiB, 20480 * MiB, 4096 * MiB, 3072 * MiB},  // 5 % of 20 GiB, more than 256 MiB
      {1024 * MiB, 2048 * MiB, 256 * MiB, std::nullopt},  // nothing left over the margin
      {0, 2048 * MiB, 4096 * MiB, 0},                     // no physical memory free: an empty block, as ever
  };
  for (const auto& c : cases) {
    MemorySnapshot s{0, c.availPhys, c.totalCommit, c.availCommit, 0, 0};
    EXPECT_EQ(PassBlockSize(s), c.block) << c.availPhys << " " << c.totalCommit << " " << c.availCommit;
  }
}

TEST_F(OptimizePassTest, RunOptimizePass_NoCommitRoom_EndsLikeFailedAllocation) {
  status.availCommit = 100;
  Run();
  EXPECT_TRUE(allocator.allocatedSizes.empty()) << "nothing may be committed";
  EXPECT_EQ(host.steps, (std::vector<int32_t>{1, 100}));
  EXPECT_EQ(host.messages, 1);
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_OtherAllocatorException_Propagates) {
  allocator.outcomeOf = [](int) { return FakeBlockAllocator::Outcome::ThrowOther; };
  EXPECT_THROW(Run(), std::runtime_error);
  EXPECT_EQ(host.finished, 0);
}

TEST_F(OptimizePassTest, RunOptimizePass_ExitDuringCycle3_ShowsLastCycleStepsAndFinishes) {
  host.afterStep = [](int32_t value) {
    if (value == 17) {
      EXPECT_FALSE(RequestExit());
    }
  };
  Run();

  EXPECT_EQ(host.steps, Concat(TableSteps(0, 10), {61, 100}));
  EXPECT_EQ(allocator.allocatedSizes.size(), 4u);
  EXPECT_EQ(host.messages, 0);
  EXPECT_TRUE(ExitIsPending());
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_ExitAfterReleaseStep_EndsLoopKeepingLastStep) {
  host.afterStep = [](int32_t value) {
    if (value == 21) {
      EXPECT_FALSE(RequestExit());
    }
  };
  Run();

  EXPECT_EQ(host.steps, TableSteps(0, 12));
  EXPECT_EQ(allocator.allocatedSizes.size(), 4u);
  EXPECT_TRUE(ExitIsPending());
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_ExitThenAllocationThrows_EndsAt100WithoutMessage) {
  host.afterStep = [](int32_t value) {
    if (value == 17) RequestExit();
  };
  allocator.outcomeOf = [](int n) {
    return n == 3 ? FakeBlockAllocator::Outcome::Throw : FakeBlockAllocator::Outcome::Block;
  };
  Run();

  EXPECT_EQ(host.steps, Concat(TableSteps(0, 10), {100}));
  EXPECT_EQ(host.messages, 0);
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_ExitDuringFirstCycle_ClosesAtOnceAndPassRunsOn) {
  host.afterStep = [](int32_t value) {
    if (value == 3) {
      EXPECT_TRUE(RequestExit());
    }
  };
  Run();

  EXPECT_EQ(host.steps, TableSteps(0, 30));
  EXPECT_FALSE(ExitIsPending());
  ExpectIdleAfterPass();
}

TEST_F(OptimizePassTest, RunOptimizePass_ClearClipboardNotChecked_NeverOpensClipboard) {
  for (int check : {0, 2}) {
    log.clear();
    host.check = check;
    Run();
    EXPECT_EQ(std::count(log.begin(), log.end(), "clipboard open"), 0) << "check " << check;
  }
  EXPECT_EQ(host.steps.size(), 60u);
}

TEST_F(OptimizePassTest, RunOptimizePass_ClipboardBusy_NotEmptiedAndPassGoesOn) {
  clipboard.busy = true;
  Run();

  EXPECT_EQ(std::count(log.begin(), log.end(), "clipboard open"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "clipboard empty"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "clipboard close"), 0);
  EXPECT_EQ(host.steps, TableSteps(0, 30));
}

TEST_F(OptimizePassTest, TryClaimPass_WhileClaimed_RefusesSecondClaim) {
  ASSERT_TRUE(TryClaimPass());
  EXPECT_FALSE(TryClaimPass());
  AbandonPassClaim();
  EXPECT_TRUE(TryClaimPass());
  EXPECT_FALSE(TryClaimPass());
}

TEST_F(OptimizePassTest, TryClaimPass_AfterClaimedPassEnds_SucceedsAgain) {
  ASSERT_TRUE(TryClaimPass());
  Run();
  EXPECT_EQ(host.steps, TableSteps(0, 30));
  ExpectIdleAfterPass();
  EXPECT_TRUE(TryClaimPass());
}

TEST_F(OptimizePassTest, RequestExit_Idle_ClosesNowWithoutPendingExit) {
  EXPECT_TRUE(RequestExit());
  EXPECT_FALSE(ExitIsPending());
  EXPECT_EQ(g_nOptimizeCycle.load(), 0);
}

TEST_F(OptimizePassTest, RequestExit_LaterCycle_MovesToLastCycleAndDefersClose) {
  g_nOptimizeCycle = 5;
  EXPECT_FALSE(RequestExit());
  EXPECT_EQ(g_nOptimizeCycle.load(), 9);
  EXPECT_TRUE(ExitIsPending());

  // Already in its last cycle: left there, the pass ends after it.
  g_bExitPending = 0;
  EXPECT_FALSE(RequestExit());
  EXPECT_EQ(g_nOptimizeCycle.load(), 9);
  EXPECT_TRUE(ExitIsPending());
}

TEST_F(OptimizePassTest, RequestExit_CounterAtTen_PassOverClosesNow) {
  g_nOptimizeCycle = 10;
  EXPECT_TRUE(RequestExit());
  EXPECT_FALSE(ExitIsPending());
  EXPECT_EQ(g_nOptimizeCycle.load(), 10) << "pulled back: the last cycle would run again";
}

// However the pass ends, an exit request between the finished message and the reset would
// otherwise wait for a finished message that never comes again, and stay pending.
TEST_F(OptimizePassTest, RunOptimizePassGuarded_ExitBetweenFinishedAndReset_ClosesNow) {
  using Outcome = FakeBlockAllocator::Outcome;
  const struct {
    const char* name;
    int failingCall;
    Outcome outcome;
  } cases[] = {
      {"full pass", -1, Outcome::Block},
      {"allocation throws in cycle 4", 4, Outcome::Throw},
      {"no block in cycle 6", 6, Outcome::Null},
      {"other exception in cycle 2", 2, Outcome::ThrowOther},
  };
  for (const auto& c : cases) {
    ResetGlobals();
    EventLog caseLog;
    FakeMemoryStatus caseStatus{caseLog};
    FakeBlockAllocator caseAllocator{caseLog};
    FakeClipboard caseClipboard{caseLog};
    FakePassHost caseHost{caseLog, caseAllocator};
    caseAllocator.outcomeOf = [&c](int n) { return n == c.failingCall ? c.outcome : Outcome::Block; };
    int exitAnswer = -1;
    caseHost.afterFinished = [&exitAnswer] { exitAnswer = RequestExit() ? 1 : 0; };

    ASSERT_TRUE(TryClaimPass()) << c.name;
    RunOptimizePassGuarded(caseHost, caseStatus, caseAllocator, caseClipboard);

    EXPECT_EQ(exitAnswer, 1) << c.name;
    EXPECT_FALSE(ExitIsPending()) << c.name;
    EXPECT_EQ(caseHost.finished, 1) << c.name;
    EXPECT_EQ(g_nOptimizeCycle.load(), 0) << c.name;
    EXPECT_EQ(g_bOptimizing.load(), 0) << c.name;
  }
}

TEST_F(OptimizePassTest, TryClaimPass_ExitPendingFromBefore_NewPassStartsWithoutIt) {
  g_bExitPending = 1;
  ASSERT_TRUE(TryClaimPass());
  EXPECT_FALSE(ExitIsPending());

  // A refused claim leaves the running pass's exit request alone.
  g_bExitPending = 1;
  EXPECT_FALSE(TryClaimPass());
  EXPECT_TRUE(ExitIsPending());
}

TEST_F(OptimizePassTest, RunOptimizePassGuarded_OtherException_EndsPassAndNextPassRuns) {
  allocator.outcomeOf = [](int n) {
    return n == 3 ? FakeBlockAllocator::Outcome::ThrowOther : FakeBlockAllocator::Outcome::Block;
  };
  ASSERT_TRUE(TryClaimPass());
  RunOptimizePassGuarded(host, status, allocator, clipboard);

  EXPECT_EQ(host.steps, Concat(TableSteps(0, 10), {100}));
  EXPECT_EQ(host.messages, 0);
  ExpectIdleAfterPass();

  host.steps.clear();
  host.finished = 0;
  ASSERT_TRUE(TryClaimPass()) << "the pass is still marked as running";
  RunOptimizePassGuarded(host, status, allocator, clipboard);
  EXPECT_EQ(host.steps, TableSteps(0, 30));
  ExpectIdleAfterPass();
}

TEST(FormatStepTextTest, FormatStepText_Values_TwoDecimalsAndPercentSign) {
  EXPECT_EQ(FormatStepText(0), "0.00%");
  EXPECT_EQ(FormatStepText(1), "1.00%");
  EXPECT_EQ(FormatStepText(7), "7.00%");
  EXPECT_EQ(FormatStepText(61), "61.00%");
  EXPECT_EQ(FormatStepText(100), "100.00%");
}
