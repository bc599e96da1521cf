// The framework's non-window pieces the program relies on: CString, device contexts and GDI
// selections, CRegKey and AfxBeginThread.
#include "afxwin.h"
#include "atlbase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

// Records whether one watched object reaches operator delete, so a self-deleting thread object
// can be observed without deriving from it.
namespace {
std::atomic<void*> g_pWatchedDelete{nullptr};
std::atomic<bool> g_bWatchedDeleted{false};
}  // namespace

// Paired with the delete below, which frees what this allocated.
void* operator new(std::size_t n) {
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
namespace {
void FreeWatched(void* p) noexcept {
  if (p && p == g_pWatchedDelete.load()) g_bWatchedDeleted = true;
  std::free(p);
}
}  // namespace
void operator delete(void* p) noexcept { FreeWatched(p); }
void operator delete(void* p, std::size_t) noexcept { FreeWatched(p); }

namespace {

// ---- run-time classes -----------------------------------------------------------------------

class CNamedWnd : public CWnd {
  DECLARE_DYNAMIC(CNamedWnd)
};
IMPLEMENT_DYNAMIC(CNamedWnd, CWnd)

TEST(CObjectTest, IsKindOf_DeclaredClass_ItselfAndItsBasesOnly) {
  CNamedWnd named;
  EXPECT_STREQ(named.GetRuntimeClass()->m_lpszClassName, "CNamedWnd");
  EXPECT_TRUE(named.IsKindOf(RUNTIME_CLASS(CNamedWnd)));
  EXPECT_TRUE(named.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_TRUE(named.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(named.IsKindOf(RUNTIME_CLASS(CDialog)));
  CWnd plain;
  EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CNamedWnd)));
}

// ---- CString --------------------------------------------------------------------------------

TEST(CStringTest, Format_WidthAndPrecision_AsPrintf) {
  CString s;
  s.Format("%2.2f", 3.14159);
  EXPECT_STREQ(s, "3.14");
  s.Format("%2.2f%%", 100.0);
  EXPECT_STREQ(s, "100.00%");
  s.Format("%7.0f", 1234.6);
  EXPECT_STREQ(s, "   1235");
  s.Format("%7.0f KB", 16777216.0);
  EXPECT_STREQ(s, "16777216 KB") << "wider than the field: nothing is cut";

  std::string longText(5000, 'x');
  s.Format("<%s>", longText.c_str());
  EXPECT_EQ(s.GetLength(), 5002);
}

TEST(CStringTest, TrimLeft_LeadingBlanks_RemovedTrailingKept) {
  CString s("  \t 42 MB ");
  s.TrimLeft();
  EXPECT_STREQ(s, "42 MB ");
  CString blank("   ");
  blank.TrimLeft();
  EXPECT_TRUE(blank.IsEmpty());
}

TEST(CStringTest, ReverseFindLeft_Path_FolderOfExecutable) {
  CString path("C:\\Program Files\\Mnemora\\Mnemora.exe");
  int slash = path.ReverseFind('\\');
  EXPECT_EQ(slash, 24);
  EXPECT_STREQ(path.Left(slash), "C:\\Program Files\\Mnemora");
  EXPECT_EQ(CString("no-slash").ReverseFind('\\'), -1);
  EXPECT_STREQ(path.Left(0), "");
  EXPECT_STREQ(path.Left(1000), path);
}

TEST(CStringTest, GetBufferReleaseBuffer_WrittenThroughBuffer_LengthFromNulOrArgument) {
  CString s;
  char* p = s.GetBuffer(MAX_PATH);
  lstrcpynA(p, "C:\\Windows", MAX_PATH);
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 10);
  EXPECT_STREQ(s, "C:\\Windows");

  p = s.GetBuffer(20);
  p[2] = '\0';
  s.ReleaseBuffer();
  EXPECT_STREQ(s, "C:");

  CString t("abcdef");
  t.GetBuffer(0);  // less than the length: contents stay
  t.ReleaseBuffer(3);
  EXPECT_STREQ(t, "abc");
}

// ---- device contexts and selections ---------------------------------------------------------

bool IsLiveMemoryDC(HDC hdc) { return ::GetObjectType(hdc) == OBJ_MEMDC; }

TEST(CDCTest, Ownership_ByType_MemoryDCDeletesItsOwnViewNeverDeletes) {
  HDC hMine = nullptr;
  {
    CMemoryDC dc(nullptr);
    hMine = dc;
    ASSERT_TRUE(IsLiveMemoryDC(hMine));
    HDC hFirst = hMine;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    hMine = dc;
    EXPECT_FALSE(IsLiveMemoryDC(hFirst)) << "a second CreateCompatibleDC deletes the first DC";
    EXPECT_TRUE(IsLiveMemoryDC(hMine));
  }
  EXPECT_FALSE(IsLiveMemoryDC(hMine)) << "deleted with the holder";

  HDC hBorrowed = ::CreateCompatibleDC(nullptr);
  ASSERT_TRUE(IsLiveMemoryDC(hBorrowed));
  { CDC view(hBorrowed); }
  EXPECT_TRUE(IsLiveMemoryDC(hBorrowed)) << "a view leaves the DC to its owner";
  ::DeleteDC(hBorrowed);
}

TEST(CSelectGuardTest, Select_SeveralInTurn_CurrentIsLastAndFirstDisplacedComesBack) {
  CMemoryDC dc(nullptr);
  ASSERT_TRUE(dc.GetSafeHdc());
  const HGDIOBJ hOriginal = ::GetCurrentObject(dc, OBJ_BRUSH);
  CBrush red(RGB(255, 0, 0)), green(RGB(0, 255, 0));
  {
    CSelectGuard guard(dc, red);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), red.GetSafeHandle());
    guard.Select(green);
    guard.Select(nullptr);  // nothing to select: the selection stays
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), green.GetSafeHandle());
  }
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), hOriginal);
  { CSelectGuard nothing(dc, nullptr); }
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), hOriginal);
}

// ---- CRegKey --------------------------------------------------------------------------------

const char kTestKey[] = "Software\\MnemoraFrameworkTest";

class CRegKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(m_key.Create(HKEY_CURRENT_USER, kTestKey), ERROR_SUCCESS); }
  void TearDown() override {
    m_key.Close();
    EXPECT_EQ(::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey), ERROR_SUCCESS);
  }
  void SetRaw(const char* name, DWORD type, const std::vector<BYTE>& data) {
    ASSERT_EQ(::RegSetValueExA(m_key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  }

  CRegKey m_key;
  // 50 bytes of room, then a guard that must stay untouched.
  static constexpr DWORD kRoom = 50;
  char m_buf[kRoom + 14];
  void FillBuffer() { std::memset(m_buf, 0x5A, sizeof m_buf); }
  bool GuardIntact() const {
    for (size_t i = kRoom; i < sizeof m_buf; ++i)
      if (m_buf[i] != 0x5A) return false;
    return true;
  }
};

TEST_F(CRegKeyTest, QueryValue_BinaryLongerThanBuffer_MoreDataAndEmptyString) {
  SetRaw("Long", REG_BINARY, std::vector<BYTE>(60, 'A'));
  FillBuffer();
  DWORD count = kRoom;
  EXPECT_EQ(m_key.QueryValue(m_buf, "Long", &count), ERROR_MORE_DATA);
  EXPECT_EQ(m_buf[0], '\0');
  EXPECT_TRUE(GuardIntact());
}

TEST_F(CRegKeyTest, QueryValue_BinaryExactlyFillsBuffer_TerminatedAtLastByte) {
  SetRaw("Full", REG_BINARY, std::vector<BYTE>(kRoom, 'B'));
  FillBuffer();
  DWORD count = kRoom;
  EXPECT_EQ(m_key.QueryValue(m_buf, "Full", &count), ERROR_SUCCESS);
  EXPECT_EQ(m_buf[kRoom - 1], '\0');
  EXPECT_EQ(std::strlen(m_buf), kRoom - 1);
  EXPECT_TRUE(GuardIntact());
}

TEST_F(CRegKeyTest, QueryValue_StringStoredWithoutTerminator_TerminatedAfterData) {
  SetRaw("Bare", REG_SZ, std::vector<BYTE>{'1', '5'});
  FillBuffer();
  DWORD count = kRoom;
  EXPECT_EQ(m_key.QueryValue(m_buf, "Bare", &count), ERROR_SUCCESS);
  EXPECT_STREQ(m_buf, "15");
  EXPECT_TRUE(GuardIntact());
}

TEST_F(CRegKeyTest, QueryValue_StringWrittenBySetValue_ReadBackWithCount) {
  ASSERT_EQ(m_key.SetValue("1", "Clear"), ERROR_SUCCESS);
  FillBuffer();
  DWORD count = kRoom;
  EXPECT_EQ(m_key.QueryValue(m_buf, "Clear", &count), ERROR_SUCCESS);
  EXPECT_STREQ(m_buf, "1");
  EXPECT_EQ(count, 2u);
}

TEST_F(CRegKeyTest, QueryValue_MissingValue_NotFoundAndEmptyString) {
  FillBuffer();
  DWORD count = kRoom;
  EXPECT_EQ(m_key.QueryValue(m_buf, "Absent", &count), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(m_buf[0], '\0');
  EXPECT_TRUE(GuardIntact());
}

// ---- AfxBeginThread -------------------------------------------------------------------------

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h) ::CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct ThreadProbe {
  HANDLE hDone = nullptr;
  std::atomic<int> nPriority{THREAD_PRIORITY_ERROR_RETURN};
};

UINT __cdecl RecordPriorityProc(LPVOID pParam) {
  auto* pProbe = static_cast<ThreadProbe*>(pParam);
  pProbe->nPriority = ::GetThreadPriority(::GetCurrentThread());
  ::SetEvent(pProbe->hDone);
  return 42;
}

class AfxBeginThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_done.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(m_done);
    m_probe.hDone = m_done.get();
  }
  void TearDown() override { g_pWatchedDelete = nullptr; }
  UniqueHandle m_done;
  ThreadProbe m_probe;
};

TEST_F(AfxBeginThreadTest, AfxBeginThread_IdlePriority_ProcRunsAtIdle) {
  ASSERT_NE(AfxBeginThread(&RecordPriorityProc, &m_probe, THREAD_PRIORITY_IDLE), nullptr);
  ASSERT_EQ(::WaitForSingleObject(m_probe.hDone, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(m_probe.nPriority.load(), THREAD_PRIORITY_IDLE);
}

TEST_F(AfxBeginThreadTest, AfxBeginThread_ProcReturns_ThreadObjectDeletesItself) {
  CWinThread* pThread = AfxBeginThread(&RecordPriorityProc, &m_probe, THREAD_PRIORITY_IDLE, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  EXPECT_TRUE(pThread->m_bAutoDelete);
  HANDLE hDup = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &hDup, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
  UniqueHandle hThread(hDup);
  g_bWatchedDeleted = false;
  g_pWatchedDelete = pThread;
  EXPECT_EQ(::WaitForSingleObject(m_probe.hDone, 200), static_cast<DWORD>(WAIT_TIMEOUT)) << "still suspended";

  pThread->ResumeThread();
  EXPECT_EQ(::WaitForSingleObject(hThread.get(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(g_bWatchedDeleted.load());
  EXPECT_EQ(m_probe.nPriority.load(), THREAD_PRIORITY_IDLE);
  DWORD exitCode = 0;
  EXPECT_TRUE(::GetExitCodeThread(hThread.get(), &exitCode));
  EXPECT_EQ(exitCode, 42u);
}

UINT __cdecl ThrowingProc(LPVOID) { throw std::runtime_error("worker failed"); }

TEST_F(AfxBeginThreadTest, AfxBeginThread_ProcThrows_ThreadEndsWithMinusOneAndDeletesItself) {
  CWinThread* pThread = AfxBeginThread(&ThrowingProc, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  HANDLE hDup = nullptr;
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &hDup, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
  UniqueHandle hThread(hDup);
  g_bWatchedDeleted = false;
  g_pWatchedDelete = pThread;
  pThread->ResumeThread();

  ASSERT_EQ(::WaitForSingleObject(hThread.get(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(g_bWatchedDeleted.load());
  DWORD exitCode = 0;
  EXPECT_TRUE(::GetExitCodeThread(hThread.get(), &exitCode));
  EXPECT_EQ(exitCode, static_cast<DWORD>(-1));
}

}  // namespace
