// Dialogs of the framework layer: data exchange, the modal loop, dialog colours and the
// framework message box, with real windows.
#include "afxwin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "WinTestSupport.h"

namespace {

using namespace wintest;

class CTestApp : public CWinApp {};
CTestApp theApp;

const COLORREF kDlgBk = RGB(222, 223, 222);
const COLORREF kDlgText = RGB(115, 115, 115);

constexpr int IDC_EDIT = 1101;
constexpr int IDC_LABEL = 1102;
constexpr int IDC_READONLY = 1103;

// Like the About box: no WS_VISIBLE, the modal loop has to show it.
CDialogTemplate ModalTemplate() {
  CDialogTemplate t(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 180, 90, L"Modal");
  t.AddItem(IDC_EDIT, CDialogTemplate::kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 100, 14, L"")
      .AddItem(IDC_LABEL, CDialogTemplate::kStatic, SS_LEFT, 10, 30, 100, 12, L"label")
      .AddItem(IDOK, CDialogTemplate::kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 20, 65, 50, 14, L"OK")
      .AddItem(IDCANCEL, CDialogTemplate::kButton, BS_PUSHBUTTON | WS_TABSTOP, 100, 65, 50, 14, L"Cancel");
  return t;
}

// ---- data exchange --------------------------------------------------------------------------

class CCountingWnd : public CWnd {
 public:
  int m_nPreSubclass = 0;
  void PreSubclassWindow() override { ++m_nPreSubclass; }
};

class CDdxDialog : public CDialog {
 public:
  CDdxDialog() : CDialog(0) {}
  CCountingWnd m_label;
  int m_nExchanges = 0;
  // Nothing takes the focus: an active window makes Wine wait for a window manager on hiding.
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    return FALSE;
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    ++m_nExchanges;
    DDX_Control(pDX, IDC_LABEL, m_label);
  }
};

TEST(DataExchangeTest, DDX_Control_UpdateDataTwiceAfterInit_SubclassesOnce) {
  CDdxDialog dlg;
  CDialogTemplate tmpl(WS_POPUP | WS_BORDER, 150, 60, L"DDX");
  tmpl.AddItem(IDC_LABEL, CDialogTemplate::kStatic, SS_LEFT, 5, 5, 100, 12, L"label");
  ASSERT_TRUE(dlg.CreateIndirect(tmpl.Get(), nullptr));
  EXPECT_EQ(dlg.m_nExchanges, 1) << "OnInitDialog exchanges once";

  EXPECT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_TRUE(dlg.UpdateData(FALSE));
  EXPECT_EQ(dlg.m_nExchanges, 3);
  EXPECT_EQ(dlg.m_label.m_nPreSubclass, 1);

  HWND hLabel = ::GetDlgItem(dlg, IDC_LABEL);
  EXPECT_EQ(dlg.m_label.m_hWnd, hLabel);
  EXPECT_EQ(CWnd::FromHandlePermanent(hLabel), &dlg.m_label);
  EXPECT_EQ(::GetWindowLongPtrA(hLabel, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AfxWndProc));
  EXPECT_NE(dlg.m_label.m_pfnSuper, nullptr);
  EXPECT_NE(dlg.m_label.m_pfnSuper, &AfxWndProc);
  dlg.DestroyWindow();
}

// ---- the modal loop -------------------------------------------------------------------------

constexpr UINT_PTR kWatchdogTimer = 99;
constexpr int kWatchdogResult = 9999;

// Ends itself after five seconds whatever happens, so a broken loop fails instead of hanging.
class CTestDialog : public CDialog {
 public:
  CTestDialog() : CDialog(0) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetTimer(kWatchdogTimer, 5000, nullptr);
    return TRUE;
  }

 protected:
  virtual void OnTestTimer(UINT_PTR) {}
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kWatchdogTimer) {
      KillTimer(kWatchdogTimer);
      EndDialog(kWatchdogResult);
      return;
    }
    OnTestTimer(nIDEvent);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

class CMainWindow {
 public:
  CMainWindow() {
    m_wnd.CreateEx(0, "STATIC", "main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr);
    theApp.m_pMainWnd = &m_wnd;
  }
  ~CMainWindow() {
    theApp.m_pMainWnd = nullptr;
    m_wnd.DestroyWindow();
  }
  CWnd m_wnd;
};

class CTimerDialog : public CTestDialog {
 public:
  HWND m_hMain = nullptr;
  BOOL m_bMainEnabledDuring = TRUE;
  BOOL m_bVisibleDuring = FALSE;
  HWND m_hOwnerDuring = nullptr;
  BOOL OnInitDialog() override {
    CTestDialog::OnInitDialog();
    SetTimer(1, 50, nullptr);
    return TRUE;
  }

 protected:
  void OnTestTimer(UINT_PTR nIDEvent) override {
    if (nIDEvent != 1) return;
    KillTimer(1);
    m_bMainEnabledDuring = ::IsWindowEnabled(m_hMain);
    m_bVisibleDuring = IsWindowVisible();
    m_hOwnerDuring = ::GetWindow(m_hWnd, GW_OWNER);
    EndDialog(4321);
  }
};

TEST(ModalLoopTest, DoModal_EndDialogFromTimer_ReturnsResultWithOwnerDisabledMeanwhile) {
  CMainWindow main;
  ASSERT_NE(main.m_wnd.m_hWnd, nullptr);
  CTimerDialog dlg;
  dlg.m_hMain = main.m_wnd;
  CDialogTemplate tmpl = ModalTemplate();

  EXPECT_EQ(dlg.DoModalIndirect(tmpl.Get()), 4321);
  EXPECT_EQ(dlg.m_hOwnerDuring, main.m_wnd.m_hWnd);
  EXPECT_FALSE(dlg.m_bMainEnabledDuring);
  EXPECT_TRUE(dlg.m_bVisibleDuring) << "a template without WS_VISIBLE is shown by the loop";
  EXPECT_TRUE(main.m_wnd.IsWindowEnabled());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

// The main dialog starts hidden by posting itself a minimize request that it turns into hiding.
class CHideOnStartDialog : public CTestDialog {
 public:
  BOOL m_bVisibleLater = TRUE;
  BOOL OnInitDialog() override {
    CTestDialog::OnInitDialog();
    PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SetTimer(1, 200, nullptr);
    return TRUE;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SYSCOMMAND && wParam == SC_MINIMIZE) {
      ShowWindow(SW_HIDE);
      return 0;
    }
    return CTestDialog::WindowProc(message, wParam, lParam);
  }

 protected:
  void OnTestTimer(UINT_PTR nIDEvent) override {
    if (nIDEvent != 1) return;
    KillTimer(1);
    m_bVisibleLater = IsWindowVisible();
    EndDialog(IDOK);
  }
};

TEST(ModalLoopTest, DoModal_HideRequestPostedByOnInitDialog_DialogStaysHidden) {
  CHideOnStartDialog dlg;
  CDialogTemplate tmpl = ModalTemplate();
  EXPECT_EQ(dlg.DoModalIndirect(tmpl.Get()), IDOK);
  EXPECT_FALSE(dlg.m_bVisibleLater);
}

class CCancelDialog : public CTestDialog {
 public:
  int m_nOnCancel = 0;
  BOOL OnInitDialog() override {
    CTestDialog::OnInitDialog();
    ::PostMessageA(::GetDlgItem(m_hWnd, IDC_EDIT), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    return TRUE;
  }
  void OnCancel() override {
    ++m_nOnCancel;
    CTestDialog::OnCancel();
  }
};

TEST(ModalLoopTest, DoModal_EscapeInEdit_OnCancelEndsWithIdCancel) {
  CCancelDialog dlg;
  CDialogTemplate tmpl = ModalTemplate();
  EXPECT_EQ(dlg.DoModalIndirect(tmpl.Get()), IDCANCEL);
  EXPECT_EQ(dlg.m_nOnCancel, 1);
}

constexpr LPARAM kKeyMarker = 0x00AB0001;  // repeat count 1, a scan code no real key sends here
constexpr LPARAM kMouseMarker = MAKELPARAM(3, 4);
constexpr int kProbeResult = 777;

std::vector<std::string> g_seen;

bool IsMarked(const MSG* pMsg) {
  return (pMsg->message == WM_KEYDOWN && pMsg->lParam == kKeyMarker) ||
         (pMsg->message == WM_MOUSEMOVE && pMsg->lParam == kMouseMarker);
}

std::string Name(UINT message) { return message == WM_KEYDOWN ? "WM_KEYDOWN" : "WM_MOUSEMOVE"; }

class CPreTranslateProbe : public CWnd {
 public:
  CDialog* m_pDialog = nullptr;
  bool m_bEatKeys = false;
  bool m_bSawKey = false;
  bool m_bSawMouse = false;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->hwnd != m_hWnd || !IsMarked(pMsg)) return FALSE;
    g_seen.push_back("child-pre:" + Name(pMsg->message));
    (pMsg->message == WM_KEYDOWN ? m_bSawKey : m_bSawMouse) = true;
    if (m_bSawKey && m_bSawMouse) m_pDialog->EndDialog(kProbeResult);
    return m_bEatKeys && pMsg->message == WM_KEYDOWN;
  }

 protected:
  afx_msg LRESULT OnKeyDown(WPARAM, LPARAM lParam) {
    if (lParam == kKeyMarker) g_seen.push_back("child-proc:WM_KEYDOWN");
    return Default();
  }
  afx_msg void OnMouseMove(UINT, CPoint pt) {
    if (pt == CPoint(3, 4)) g_seen.push_back("child-proc:WM_MOUSEMOVE");
    Default();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPreTranslateProbe, CWnd)
  ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

class CPreTranslateDialog : public CTestDialog {
 public:
  CPreTranslateProbe m_probe;
  BOOL OnInitDialog() override {
    m_probe.m_pDialog = this;
    CTestDialog::OnInitDialog();
    m_probe.PostMessage(WM_KEYDOWN, 'A', kKeyMarker);
    m_probe.PostMessage(WM_MOUSEMOVE, 0, kMouseMarker);
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->hwnd == m_probe.m_hWnd && IsMarked(pMsg)) g_seen.push_back("dialog-pre:" + Name(pMsg->message));
    return CTestDialog::PreTranslateMessage(pMsg);
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LABEL, m_probe); }
};

TEST(ModalLoopTest, DoModal_PostedInputToChild_OfferedToChildThenDialogThenDispatched) {
  g_seen.clear();
  CPreTranslateDialog dlg;
  CDialogTemplate tmpl = ModalTemplate();

  EXPECT_EQ(dlg.DoModalIndirect(tmpl.Get()), kProbeResult);
  EXPECT_EQ(g_seen,
            (std::vector<std::string>{"child-pre:WM_KEYDOWN", "dialog-pre:WM_KEYDOWN", "child-proc:WM_KEYDOWN",
                                      "child-pre:WM_MOUSEMOVE", "dialog-pre:WM_MOUSEMOVE", "child-proc:WM_MOUSEMOVE"}));
}

TEST(ModalLoopTest, DoModal_ChildPreTranslateTakesMessage_NeitherDialogNorChildProcedureSeesIt) {
  g_seen.clear();
  CPreTranslateDialog dlg;
  dlg.m_probe.m_bEatKeys = true;
  CDialogTemplate tmpl = ModalTemplate();

  EXPECT_EQ(dlg.DoModalIndirect(tmpl.Get()), kProbeResult);
  EXPECT_EQ(g_seen, (std::vector<std::string>{"child-pre:WM_KEYDOWN", "child-pre:WM_MOUSEMOVE",
                                              "dialog-pre:WM_MOUSEMOVE", "child-proc:WM_MOUSEMOVE"}));
}

// ---- temporary stand-ins ----------------------------------------------------------------------

struct WindowDeleter {
  void operator()(HWND hWnd) const {
    if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// Looks up a window and a menu that no object is attached to while the loop runs, then checks
// at a later tick what is left. Optionally runs a nested modal dialog in between.
class CStandInDialog : public CTestDialog {
 public:
  HWND m_hPlain = nullptr;
  HMENU m_hMenu = nullptr;
  bool m_bNested = false;
  size_t m_nBefore = 0, m_nLookedUp = 0, m_nLater = 0;
  bool m_bSurvivedNested = false;
  CWnd* m_pLabelLater = nullptr;
  CWnd* m_pSelfLater = nullptr;
  CCountingWnd m_label;

  BOOL OnInitDialog() override {
    CTestDialog::OnInitDialog();
    SetTimer(1, 50, nullptr);
    return FALSE;
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LABEL, m_label); }
  void OnTestTimer(UINT_PTR nIDEvent) override {
    KillTimer(nIDEvent);
    if (nIDEvent == 1) {
      m_nBefore = AfxGetTempObjectCount();
      CWnd* pPlain = CWnd::FromHandle(m_hPlain);
      CMenu* pMenu = CMenu::FromHandle(m_hMenu);
      m_nLookedUp = AfxGetTempObjectCount();
      (void)pMenu;
      if (m_bNested) {
        // A mark only this object carries: a stand-in made anew would not have it.
        const auto kMark = reinterpret_cast<WNDPROC>(&::DefWindowProcA);
        pPlain->m_pfnSuper = kMark;
        CTimerDialog nested;
        CDialogTemplate tmpl = ModalTemplate();
        nested.DoModalIndirect(tmpl.Get());
        // Still in this handler: what it looked up must have outlived the nested loop's idle time.
        m_bSurvivedNested = CWnd::FromHandle(m_hPlain)->m_pfnSuper == kMark;
        pPlain->m_pfnSuper = nullptr;
      }
      SetTimer(2, 50, nullptr);
    } else if (nIDEvent == 2) {
      m_nLater = AfxGetTempObjectCount();
      m_pLabelLater = CWnd::FromHandle(::GetDlgItem(m_hWnd, IDC_LABEL));
      m_pSelfLater = CWnd::FromHandle(m_hWnd);
      EndDialog(IDOK);
    }
  }
};

TEST(StandInTest, ModalLoop_QueueRunsEmpty_StandInsFreedPermanentObjectsStay) {
  for (bool bNested : {false, true}) {
    SCOPED_TRACE(bNested ? "with a nested modal dialog" : "plain");
    UniqueWindow plain(::CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr));
    HMENU hMenu = ::CreatePopupMenu();
    ASSERT_TRUE(plain && hMenu);
    CStandInDialog dlg;
    dlg.m_hPlain = plain.get();
    dlg.m_hMenu = hMenu;
    dlg.m_bNested = bNested;
    CDialogTemplate tmpl = ModalTemplate();

    EXPECT_EQ(dlg.DoModalIndirect(tmpl.Get()), IDOK);
    EXPECT_EQ(dlg.m_nLookedUp, dlg.m_nBefore + 2);
    EXPECT_EQ(dlg.m_bSurvivedNested, bNested) << "a nested loop frees nothing";
    EXPECT_EQ(dlg.m_nLater, 0u) << "freed once the outermost loop's queue ran empty";
    EXPECT_EQ(dlg.m_pLabelLater, &dlg.m_label);
    EXPECT_EQ(dlg.m_pSelfLater, &dlg);
    ::DestroyMenu(hMenu);
  }
}

TEST(StandInTest, WorkerThread_OwnStandInsFreedWhenItEnds) {
  UniqueWindow plain(::CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(plain);
  AfxDeleteTempMaps();
  CWnd* pMine = CWnd::FromHandle(plain.get());
  size_t nWhileWorkerHeld = 0;
  CWnd* pWorkers = nullptr;
  std::thread worker([&] {
    pWorkers = CWnd::FromHandle(plain.get());
    nWhileWorkerHeld = AfxGetTempObjectCount();
  });
  worker.join();

  EXPECT_NE(pWorkers, pMine) << "each thread has its own stand-in";
  EXPECT_EQ(nWhileWorkerHeld, 2u);
  EXPECT_EQ(AfxGetTempObjectCount(), 1u) << "the worker's went with it";
  AfxDeleteTempMaps();
  EXPECT_EQ(AfxGetTempObjectCount(), 0u);
}

// ---- dialog colours -------------------------------------------------------------------------

class CColorDialog : public CDialog {
 public:
  CColorDialog() : CDialog(0) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    return FALSE;  // see CDdxDialog
  }
};

class DialogColorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    theApp.SetDialogBkColor(kDlgBk, kDlgText);
    CDialogTemplate tmpl(WS_POPUP | WS_BORDER, 200, 120, L"Colours");
    tmpl.AddItem(IDC_LABEL, CDialogTemplate::kStatic, SS_LEFT, 5, 5, 150, 30, L"MW")
        .AddItem(IDC_EDIT, CDialogTemplate::kEdit, WS_BORDER, 5, 40, 100, 14, L"")
        .AddItem(IDC_READONLY, CDialogTemplate::kEdit, WS_BORDER | ES_READONLY, 5, 60, 100, 14, L"");
    ASSERT_TRUE(m_dlg.CreateIndirect(tmpl.Get(), nullptr));
    m_hLabel = ::GetDlgItem(m_dlg, IDC_LABEL);
    m_hEdit = ::GetDlgItem(m_dlg, IDC_EDIT);
    m_hReadOnly = ::GetDlgItem(m_dlg, IDC_READONLY);

    LOGFONTA lf{};
    lf.lfHeight = -32;
    lf.lfWeight = FW_HEAVY;
    lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    m_font.CreateFontIndirect(&lf);
    ::SendMessageA(m_hLabel, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);

    ::SetWindowPos(m_dlg, HWND_TOPMOST, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::RedrawWindow(m_dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpUntilIdle();
  }
  void TearDown() override { m_dlg.DestroyWindow(); }

  CColorDialog m_dlg;
  CFont m_font;
  HWND m_hLabel = nullptr, m_hEdit = nullptr, m_hReadOnly = nullptr;
};

TEST_F(DialogColorTest, SetDialogBkColor_DialogClientArea_PaintedInBackgroundColour) {
  CRect rc;
  m_dlg.GetClientRect(&rc);
  EXPECT_EQ(ReadPixel(m_dlg, rc.right - 4, rc.bottom - 4), kDlgBk);
  EXPECT_EQ(ReadPixel(m_dlg, rc.right / 2, rc.bottom - 4), kDlgBk);
}

TEST_F(DialogColorTest, SetDialogBkColor_StaticControl_TextColourOnBackground) {
  CtlColorAnswer a = AskCtlColor(m_dlg, m_hLabel);
  EXPECT_EQ(a.hBrush, theApp.DialogBkBrush());
  EXPECT_EQ(a.crText, kDlgText);
  EXPECT_EQ(a.crBk, kDlgBk);

  CRect rc;
  ::GetClientRect(m_hLabel, &rc);
  EXPECT_EQ(ReadPixel(m_hLabel, rc.right - 3, rc.bottom - 3), kDlgBk);
  EXPECT_GT(CaptureClient(m_hLabel).Count(kDlgText), 20) << "the heavy text is drawn in the dialog text colour";
}

TEST_F(DialogColorTest, SetDialogBkColor_EditControls_KeepSystemLook) {
  CRect rc;
  ::GetClientRect(m_hEdit, &rc);
  EXPECT_EQ(ReadPixel(m_hEdit, rc.right - 3, rc.bottom / 2), ::GetSysColor(COLOR_WINDOW));

  // A read-only edit asks as a static; it is not given the dialog colours either.
  CtlColorAnswer a = AskCtlColor(m_dlg, m_hReadOnly);
  EXPECT_NE(a.hBrush, theApp.DialogBkBrush());
  EXPECT_NE(a.crText, kDlgText);
}

// ---- the framework message box --------------------------------------------------------------

struct BoxProbe {
  HWND hBox = nullptr;
  int nTicks = 0;
  COLORREF crBk = CLR_INVALID;
  COLORREF crText = CLR_INVALID;
  HBRUSH hbrText = nullptr;
  HWND hOwner = nullptr;
  std::string caption;
};
thread_local BoxProbe* t_pBoxProbe = nullptr;

BOOL CALLBACK FindVisibleDialog(HWND hWnd, LPARAM lParam) {
  char cls[16] = {};
  ::GetClassNameA(hWnd, cls, static_cast<int>(sizeof cls));
  if (lstrcmpA(cls, "#32770") == 0 && ::IsWindowVisible(hWnd)) {
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
  }
  return TRUE;
}

// Runs inside the box's own modal loop: reads the box, then closes it with OK.
void CALLBACK InspectBoxTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  BoxProbe* p = t_pBoxProbe;
  if (!p || p->hBox) return;
  HWND hBox = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindVisibleDialog, reinterpret_cast<LPARAM>(&hBox));
  if (!hBox) return;
  p->hBox = hBox;
  ::RedrawWindow(hBox, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  p->crBk = ReadPixel(hBox, 3, 3);
  char caption[128] = {};
  ::GetWindowTextA(hBox, caption, static_cast<int>(sizeof caption));
  p->caption = caption;
  p->hOwner = ::GetWindow(hBox, GW_OWNER);
  CtlColorAnswer a = AskCtlColor(hBox, ::FindWindowExA(hBox, nullptr, "Static", nullptr));
  p->hbrText = a.hBrush;
  p->crText = a.crText;
  ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
}

// With an owner, through AfxOwnedMessageBox.
int RunInspectedBox(BoxProbe* pProbe, const char* text, HWND hOwner = nullptr) {
  t_pBoxProbe = pProbe;
  UINT_PTR id = ::SetTimer(nullptr, 0, 50, &InspectBoxTimerProc);
  int result = hOwner ? AfxOwnedMessageBox(hOwner, text, MB_OK) : AfxMessageBox(text, MB_OK);
  ::KillTimer(nullptr, id);
  t_pBoxProbe = nullptr;
  return result;
}

std::string ExeBaseName() {
  char path[MAX_PATH + 1] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  path[n < MAX_PATH ? n : MAX_PATH] = '\0';
  std::string s(path);
  s = s.substr(s.find_last_of('\\') + 1);
  return s.substr(0, s.rfind('.'));
}

TEST(MessageBoxTest, AfxMessageBox_DialogColoursSet_BoxColouredAndNamedAfterApp) {
  theApp.InitNames(::GetModuleHandleA(nullptr));
  theApp.SetDialogBkColor(kDlgBk, kDlgText);
  CMainWindow main;

  BoxProbe probe;
  EXPECT_EQ(RunInspectedBox(&probe, "Framework colour check"), IDOK);
  ASSERT_NE(probe.hBox, nullptr);
  EXPECT_EQ(probe.caption, ExeBaseName());
  EXPECT_STREQ(theApp.m_pszAppName, ExeBaseName().c_str());
  EXPECT_EQ(probe.crBk, kDlgBk);
  EXPECT_EQ(probe.hbrText, theApp.DialogBkBrush());
  EXPECT_EQ(probe.crText, kDlgText);
  EXPECT_EQ(probe.hOwner, main.m_wnd.m_hWnd) << "owned by the main window on its own thread";
}

TEST(MessageBoxTest, AfxMessageBox_FromWorkerThread_NotOwnedByMainWindow) {
  theApp.InitNames(::GetModuleHandleA(nullptr));
  CMainWindow main;

  BoxProbe probe;
  std::atomic<int> result{0};
  std::thread worker([&] { result = RunInspectedBox(&probe, "From a worker"); });
  // Keep this thread's windows answering while the worker's box runs.
  EXPECT_TRUE(WaitUntil([&] { return result.load() != 0; }, 15000));
  worker.join();
  EXPECT_EQ(result.load(), IDOK);
  ASSERT_NE(probe.hBox, nullptr);
  EXPECT_EQ(probe.hOwner, nullptr);
}

TEST(MessageBoxTest, AfxOwnedMessageBox_FromWorkerWithoutMainWindow_OwnedAndColouredLikeAfxMessageBox) {
  theApp.InitNames(::GetModuleHandleA(nullptr));
  theApp.SetDialogBkColor(kDlgBk, kDlgText);
  CMainWindow main;
  theApp.m_pMainWnd = nullptr;  // as while Exit is tearing the dialog down

  BoxProbe probe;
  std::atomic<int> result{0};
  std::thread worker([&] { result = RunInspectedBox(&probe, "Owned from a worker", main.m_wnd.m_hWnd); });
  EXPECT_TRUE(WaitUntil([&] { return result.load() != 0; }, 15000));
  worker.join();
  EXPECT_EQ(result.load(), IDOK);
  ASSERT_NE(probe.hBox, nullptr);
  EXPECT_EQ(probe.hOwner, main.m_wnd.m_hWnd);
  EXPECT_EQ(probe.caption, ExeBaseName());
  EXPECT_EQ(probe.crBk, kDlgBk);
  EXPECT_EQ(probe.crText, kDlgText);
}

}  // namespace
