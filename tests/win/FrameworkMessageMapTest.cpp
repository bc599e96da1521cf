// Message maps, subclassing and reflection of the framework layer, with real windows.
#include "afxwin.h"

#include <gtest/gtest.h>

#include <algorithm>
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

constexpr UINT kMsgProbe = WM_APP + 7;  // answered by the class procedure unless an object maps it
constexpr LRESULT kClassAnswer = 1111;
constexpr LRESULT kObjectAnswer = 2222;
constexpr UINT kMsgShared = WM_APP + 8;  // mapped by a base and, in one derived class, again
constexpr UINT ID_BASE_COMMAND = 40001;

struct WindowDeleter {
  void operator()(HWND hWnd) const {
    if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// Every message the class procedure saw, so tests can tell what went past an object.
std::vector<UINT> g_classMessages;

LRESULT CALLBACK RecordingClassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  g_classMessages.push_back(message);
  if (message == kMsgProbe) return kClassAnswer;
  return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

const char* RecordingClass() {
  static const ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &RecordingClassProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "MnemoraFwRecording";
    return ::RegisterClassA(&wc);
  }();
  return atom ? "MnemoraFwRecording" : nullptr;
}

size_t ClassSaw(UINT message) {
  return static_cast<size_t>(std::count(g_classMessages.begin(), g_classMessages.end(), message));
}

UniqueWindow MakeRecordingWindow() {
  return UniqueWindow(::CreateWindowExA(0, RecordingClass(), "plain", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr,
                                        nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

// ---- message-map chains ---------------------------------------------------------------------

class CBaseWnd : public CWnd {
 public:
  int m_nBaseTimer = 0;
  UINT_PTR m_nLastTimerId = 0;
  int m_nBaseCommand = 0;
  int m_nBaseShared = 0;

 protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    ++m_nBaseTimer;
    m_nLastTimerId = nIDEvent;
  }
  afx_msg void OnBaseCommand() { ++m_nBaseCommand; }
  afx_msg LRESULT OnBaseShared(WPARAM, LPARAM) {
    ++m_nBaseShared;
    return 1;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
  ON_WM_TIMER()
  ON_COMMAND(ID_BASE_COMMAND, OnBaseCommand)
  ON_MESSAGE(kMsgShared, OnBaseShared)
END_MESSAGE_MAP()

// Maps one message of its own and overrides nothing of the base.
class CDerivedWnd : public CBaseWnd {
 public:
  int m_nSize = 0;
  int m_cx = -1, m_cy = -1;

 protected:
  afx_msg void OnSize(UINT, int cx, int cy) {
    ++m_nSize;
    m_cx = cx;
    m_cy = cy;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
  ON_WM_SIZE()
END_MESSAGE_MAP()

// Maps messages the base maps too; its entries must be the ones that run.
class COverridingWnd : public CBaseWnd {
 public:
  int m_nDerivedTimer = 0;
  int m_nDerivedShared = 0;

 protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    ++m_nDerivedTimer;
    ::KillTimer(m_hWnd, nIDEvent);
    CWnd::OnTimer(nIDEvent);  // default processing: the class procedure sees the message
  }
  afx_msg LRESULT OnDerivedShared(WPARAM, LPARAM) {
    ++m_nDerivedShared;
    return 2;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COverridingWnd, CBaseWnd)
  ON_WM_TIMER()
  ON_MESSAGE(kMsgShared, OnDerivedShared)
END_MESSAGE_MAP()

class MessageMapTest : public ::testing::Test {
 protected:
  void SetUp() override { g_classMessages.clear(); }
};

TEST_F(MessageMapTest, DispatchMapMessage_BaseMapsTimerAndCommand_DerivedObjectReachesBothAndItsOwn) {
  CDerivedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, RecordingClass(), "derived", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr));

  wnd.SetTimer(7, 10, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return wnd.m_nBaseTimer > 0; }));
  wnd.KillTimer(7);
  EXPECT_EQ(wnd.m_nLastTimerId, 7u);

  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_BASE_COMMAND, 0), 0);
  EXPECT_EQ(wnd.m_nBaseCommand, 1);

  ::SetWindowPos(wnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CRect rc;
  wnd.GetClientRect(&rc);
  EXPECT_GE(wnd.m_nSize, 1);
  EXPECT_EQ(wnd.m_cx, rc.Width());
  EXPECT_EQ(wnd.m_cy, rc.Height());

  // Handled messages stop at the object.
  EXPECT_EQ(ClassSaw(WM_TIMER), 0u);
  EXPECT_EQ(ClassSaw(WM_COMMAND), 0u);
}

TEST_F(MessageMapTest, DispatchMapMessage_DerivedMapsSameMessage_DerivedEntryWins) {
  COverridingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, RecordingClass(), "override", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr));

  EXPECT_EQ(wnd.SendMessage(kMsgShared), 2);
  EXPECT_EQ(wnd.m_nDerivedShared, 1);
  EXPECT_EQ(wnd.m_nBaseShared, 0);

  wnd.SetTimer(3, 10, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return wnd.m_nDerivedTimer > 0; }));
  EXPECT_EQ(wnd.m_nBaseTimer, 0);
  EXPECT_GE(ClassSaw(WM_TIMER), 1u) << "CWnd::OnTimer passes the message to the original procedure";

  // Base entries the derived class did not remap still work.
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_BASE_COMMAND, 0), 0);
  EXPECT_EQ(wnd.m_nBaseCommand, 1);
}

TEST_F(MessageMapTest, WindowProc_UnmappedMessage_ReachesOriginalWindowProcedure) {
  CDerivedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, RecordingClass(), "derived", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr));

  EXPECT_EQ(wnd.SendMessage(kMsgProbe, 1, 2), kClassAnswer);
  EXPECT_EQ(ClassSaw(kMsgProbe), 1u);

  wnd.SetWindowText("set through the default procedure");
  CString text;
  wnd.GetWindowText(text);
  EXPECT_STREQ(text, "set through the default procedure");
}

// ---- subclassing ----------------------------------------------------------------------------

class CProbeWnd : public CWnd {
 public:
  int m_nPreSubclass = 0;
  LONG_PTR m_procAtPreSubclass = 0;
  CWnd* m_pMappedAtPreSubclass = nullptr;
  int m_nProbe = 0;
  int m_nPostNcDestroy = 0;

  void PreSubclassWindow() override {
    ++m_nPreSubclass;
    m_procAtPreSubclass = ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
    m_pMappedAtPreSubclass = FromHandlePermanent(m_hWnd);
  }
  void PostNcDestroy() override { ++m_nPostNcDestroy; }

 protected:
  afx_msg LRESULT OnProbe(WPARAM, LPARAM) {
    ++m_nProbe;
    return kObjectAnswer;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
  ON_MESSAGE(kMsgProbe, OnProbe)
END_MESSAGE_MAP()

const LONG_PTR kClassProc = reinterpret_cast<LONG_PTR>(&RecordingClassProc);
const LONG_PTR kAfxProc = reinterpret_cast<LONG_PTR>(&AfxWndProc);

class SubclassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_classMessages.clear();
    m_window = MakeRecordingWindow();
    ASSERT_TRUE(m_window);
    m_hWnd = m_window.get();
  }
  UniqueWindow m_window;
  HWND m_hWnd = nullptr;
};

TEST_F(SubclassTest, SubclassWindow_PreSubclassWindow_RunsBeforeNewProcedureTakesOver) {
  CProbeWnd probe;
  ASSERT_TRUE(probe.SubclassWindow(m_hWnd));

  EXPECT_EQ(probe.m_nPreSubclass, 1);
  EXPECT_EQ(probe.m_procAtPreSubclass, kClassProc);
  EXPECT_EQ(probe.m_pMappedAtPreSubclass, &probe) << "already attached when PreSubclassWindow runs";
  EXPECT_EQ(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC), kAfxProc);
  EXPECT_EQ(probe.m_pfnSuper, &RecordingClassProc);
}

TEST_F(SubclassTest, SubclassWindow_Attached_MappedMessagesReachObjectOthersTheOldProcedure) {
  ASSERT_EQ(::SendMessageA(m_hWnd, kMsgProbe, 0, 0), kClassAnswer);
  CProbeWnd probe;
  ASSERT_TRUE(probe.SubclassWindow(m_hWnd));
  g_classMessages.clear();

  EXPECT_EQ(::SendMessageA(m_hWnd, kMsgProbe, 0, 0), kObjectAnswer);
  EXPECT_EQ(probe.m_nProbe, 1);
  EXPECT_EQ(ClassSaw(kMsgProbe), 0u);

  ::SetWindowTextA(m_hWnd, "still the class procedure");
  char buf[64] = {};
  ::GetWindowTextA(m_hWnd, buf, static_cast<int>(sizeof buf));
  EXPECT_STREQ(buf, "still the class procedure");
  EXPECT_GE(ClassSaw(WM_SETTEXT), 1u);
}

TEST_F(SubclassTest, SubclassWindow_WindowAlreadyAttached_Refused) {
  CProbeWnd first, second;
  ASSERT_TRUE(first.SubclassWindow(m_hWnd));
  EXPECT_FALSE(second.SubclassWindow(m_hWnd));
  EXPECT_EQ(second.m_nPreSubclass, 0);
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hWnd), &first);
}

TEST_F(SubclassTest, UnsubclassWindow_Attached_RestoresProcedureAndForgetsObject) {
  CProbeWnd probe;
  ASSERT_TRUE(probe.SubclassWindow(m_hWnd));

  EXPECT_EQ(probe.UnsubclassWindow(), m_hWnd);
  EXPECT_EQ(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC), kClassProc);
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hWnd), nullptr);
  EXPECT_EQ(probe.m_hWnd, nullptr);

  EXPECT_EQ(::SendMessageA(m_hWnd, kMsgProbe, 0, 0), kClassAnswer);
  EXPECT_EQ(probe.m_nProbe, 0);

  // The same object can take the window again.
  EXPECT_TRUE(probe.SubclassWindow(m_hWnd));
  EXPECT_EQ(::SendMessageA(m_hWnd, kMsgProbe, 0, 0), kObjectAnswer);
}

TEST_F(SubclassTest, WmNcDestroy_SubclassedWindowDestroyed_DetachesAndCallsPostNcDestroy) {
  CProbeWnd probe;
  ASSERT_TRUE(probe.SubclassWindow(m_hWnd));

  ASSERT_TRUE(::DestroyWindow(m_hWnd));
  EXPECT_EQ(probe.m_hWnd, nullptr);
  EXPECT_EQ(probe.m_pfnSuper, nullptr);
  EXPECT_EQ(probe.m_nPostNcDestroy, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hWnd), nullptr);
  EXPECT_GE(ClassSaw(WM_NCDESTROY), 1u);
}

TEST_F(SubclassTest, Destructor_SubclassedWindowOutlivesObject_ProcedureRestored) {
  {
    CProbeWnd probe;
    ASSERT_TRUE(probe.SubclassWindow(m_hWnd));
  }
  EXPECT_TRUE(::IsWindow(m_hWnd));
  EXPECT_EQ(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC), kClassProc);
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hWnd), nullptr);
  EXPECT_EQ(::SendMessageA(m_hWnd, kMsgProbe, 0, 0), kClassAnswer);
}

TEST_F(SubclassTest, Destructor_WindowMadeByCreateEx_WindowDestroyed) {
  HWND hWnd = nullptr;
  {
    CProbeWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, RecordingClass(), "owned", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    hWnd = owner.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &owner);
    EXPECT_EQ(owner.SendMessage(kMsgProbe), kObjectAnswer) << "attached from the first message on";
  }
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST_F(SubclassTest, FromHandle_UnattachedThenAttached_StandInThenPermanentObject) {
  CWnd* pStandIn = CWnd::FromHandle(m_hWnd);
  ASSERT_NE(pStandIn, nullptr);
  EXPECT_EQ(pStandIn->m_hWnd, m_hWnd);
  EXPECT_EQ(CWnd::FromHandle(m_hWnd), pStandIn) << "the stand-in lasts";
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hWnd), nullptr);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);

  CProbeWnd probe;
  ASSERT_TRUE(probe.SubclassWindow(m_hWnd));
  EXPECT_EQ(CWnd::FromHandle(m_hWnd), &probe);
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hWnd), &probe);

  // The map serves other threads too (the optimization worker looks windows up).
  CWnd* pFromWorker = nullptr;
  std::thread worker([&] { pFromWorker = CWnd::FromHandlePermanent(m_hWnd); });
  worker.join();
  EXPECT_EQ(pFromWorker, &probe);

  probe.UnsubclassWindow();
  CWnd* pAfter = CWnd::FromHandle(m_hWnd);
  EXPECT_NE(pAfter, &probe);
  ASSERT_NE(pAfter, nullptr);
  EXPECT_EQ(pAfter->m_hWnd, m_hWnd);
}

// ---- reflection -----------------------------------------------------------------------------

constexpr int IDC_REFLECT = 1001;
constexpr int IDC_REFLECT_EX = 1002;
constexpr int IDC_NOTIFY = 1003;
constexpr int IDC_COLOR = 1004;
constexpr int IDC_OWNERDRAW = 1005;
constexpr int IDC_PLAIN = 1006;
constexpr int IDC_PLAIN_OWNERDRAW = 1007;

std::vector<std::string> g_log;

class CReflectButton : public CButton {
 protected:
  afx_msg void OnClicked() { g_log.push_back("child:reflect"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CReflectExButton : public CButton {
 public:
  BOOL m_bEndsIt = FALSE;

 protected:
  afx_msg BOOL OnClicked() {
    g_log.push_back("child:reflect-ex");
    return m_bEndsIt;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectExButton, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CNotifyChild : public CWnd {
 protected:
  afx_msg void OnReflectedClick(NMHDR* pNMHDR, LRESULT* pResult) {
    g_log.push_back("child:notify:" + std::to_string(pNMHDR->idFrom));
    *pResult = 55;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyChild, CWnd)
  ON_NOTIFY_REFLECT(NM_CLICK, OnReflectedClick)
END_MESSAGE_MAP()

class CColorStatic : public CStatic {
 public:
  HBRUSH m_hBrush = nullptr;  // NULL: let the parent colour the control
  COLORREF m_crText = RGB(0, 0, 0);

 protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
    g_log.push_back("child:ctlcolor:" + std::to_string(nCtlColor));
    if (m_hBrush) pDC->SetTextColor(m_crText);
    return m_hBrush;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class COwnerDrawButton : public CButton {
 public:
  int m_nDrawItem = 0;
  DRAWITEMSTRUCT m_lastDraw{};
  void DrawItem(LPDRAWITEMSTRUCT pDIS) override {
    ++m_nDrawItem;
    m_lastDraw = *pDIS;
    ::FillRect(pDIS->hDC, &pDIS->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
};

class COwnerDrawMenu : public CMenu {
 public:
  int m_nDrawItem = 0;
  UINT m_nLastItem = 0;
  void DrawItem(LPDRAWITEMSTRUCT pDIS) override {
    ++m_nDrawItem;
    m_nLastItem = pDIS->itemID;
  }
};

class CHostDialog : public CDialog {
 public:
  CHostDialog() : CDialog(0) {}
  int m_nParentDrawItem = 0;
  UINT m_nParentDrawCtlId = 0;

  // Nothing takes the focus, so the host never becomes active: Wine waits two seconds for a
  // window manager whenever an active window is hidden.
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    return FALSE;
  }

 protected:
  afx_msg void OnReflectClicked() { g_log.push_back("parent:reflect"); }
  afx_msg void OnReflectExClicked() { g_log.push_back("parent:reflect-ex"); }
  afx_msg void OnPlainClicked() { g_log.push_back("parent:plain"); }
  afx_msg void OnNotifyClick(NMHDR*, LRESULT* pResult) {
    g_log.push_back("parent:notify");
    *pResult = 66;
  }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (pWnd && pWnd->GetDlgCtrlID() == IDC_COLOR) g_log.push_back("parent:ctlcolor");
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT) {
    ++m_nParentDrawItem;
    m_nParentDrawCtlId = static_cast<UINT>(nIDCtl);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostDialog, CDialog)
  ON_BN_CLICKED(IDC_REFLECT, OnReflectClicked)
  ON_BN_CLICKED(IDC_REFLECT_EX, OnReflectExClicked)
  ON_BN_CLICKED(IDC_PLAIN, OnPlainClicked)
  ON_NOTIFY(NM_CLICK, IDC_NOTIFY, OnNotifyClick)
  ON_WM_CTLCOLOR()
  ON_WM_DRAWITEM()
END_MESSAGE_MAP()

class ReflectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    theApp.SetDialogBkColor(kDlgBk, kDlgText);
    ASSERT_TRUE(CreateModeless(m_host, CDialogTemplate(WS_POPUP | WS_BORDER, 200, 120, L"Host"),
                               CRect(40, 40, 460, 300), SWP_NOACTIVATE));
  }
  void TearDown() override { m_host.DestroyWindow(); }

  HWND AddChild(const char* cls, const char* text, DWORD style, int id, int x, int y, int cx = 120, int cy = 28) {
    HWND h = CreateChildWindow(m_host, id, cls, text, style, x, y, cx, cy);
    EXPECT_NE(h, nullptr);
    return h;
  }

  CHostDialog m_host;
};

TEST_F(ReflectionTest, OnCommand_ControlReflect_ChildHandlesParentDoesNot) {
  CReflectButton button;
  ASSERT_TRUE(button.SubclassWindow(AddChild("BUTTON", "reflect", BS_PUSHBUTTON, IDC_REFLECT, 5, 5)));

  button.SendMessage(BM_CLICK);
  EXPECT_EQ(g_log, (std::vector<std::string>{"child:reflect"}));
}

TEST_F(ReflectionTest, OnCommand_ControlReflectExReturnsFalse_ChildThenParent) {
  CReflectExButton button;
  button.m_bEndsIt = FALSE;
  ASSERT_TRUE(button.SubclassWindow(AddChild("BUTTON", "ex", BS_PUSHBUTTON, IDC_REFLECT_EX, 5, 40)));

  button.SendMessage(BM_CLICK);
  EXPECT_EQ(g_log, (std::vector<std::string>{"child:reflect-ex", "parent:reflect-ex"}));
}

TEST_F(ReflectionTest, OnCommand_ControlReflectExReturnsTrue_OnlyChild) {
  CReflectExButton button;
  button.m_bEndsIt = TRUE;
  ASSERT_TRUE(button.SubclassWindow(AddChild("BUTTON", "ex", BS_PUSHBUTTON, IDC_REFLECT_EX, 5, 40)));

  button.SendMessage(BM_CLICK);
  EXPECT_EQ(g_log, (std::vector<std::string>{"child:reflect-ex"}));
}

TEST_F(ReflectionTest, OnCommand_ControlWithoutObject_ParentHandles) {
  HWND hPlain = AddChild("BUTTON", "plain", BS_PUSHBUTTON, IDC_PLAIN, 5, 75);
  ::SendMessageA(hPlain, BM_CLICK, 0, 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"parent:plain"}));
}

TEST_F(ReflectionTest, OnNotify_NotifyReflect_ChildAnswersParentNotCalled) {
  CNotifyChild child;
  HWND hChild = AddChild("STATIC", "notify", SS_LEFT, IDC_NOTIFY, 5, 110);
  NMHDR nm{hChild, static_cast<UINT_PTR>(IDC_NOTIFY), static_cast<UINT>(NM_CLICK)};

  // Without an object the parent's entry answers; with one, the reflected entry does.
  EXPECT_EQ(::SendMessageA(m_host, WM_NOTIFY, IDC_NOTIFY, reinterpret_cast<LPARAM>(&nm)), 66);
  ASSERT_TRUE(child.SubclassWindow(hChild));
  g_log.clear();
  EXPECT_EQ(::SendMessageA(m_host, WM_NOTIFY, IDC_NOTIFY, reinterpret_cast<LPARAM>(&nm)), 55);
  EXPECT_EQ(g_log, (std::vector<std::string>{"child:notify:1003"}));
}

TEST_F(ReflectionTest, CtlColor_ReflectReturnsBrush_ThatBrushAnswersAndPaints) {
  const COLORREF crChild = RGB(10, 200, 30);
  CBrush brush(crChild);
  CColorStatic label;
  label.m_hBrush = brush;
  label.m_crText = RGB(200, 0, 0);
  HWND hLabel = AddChild("STATIC", "i", SS_LEFT, IDC_COLOR, 150, 5, 150, 40);
  ASSERT_TRUE(label.SubclassWindow(hLabel));

  CtlColorAnswer a = AskCtlColor(m_host, hLabel);
  EXPECT_EQ(a.hBrush, label.m_hBrush);
  EXPECT_EQ(a.crText, RGB(200, 0, 0));
  EXPECT_EQ(g_log, (std::vector<std::string>{"child:ctlcolor:" + std::to_string(CTLCOLOR_STATIC)}));

  ::RedrawWindow(hLabel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpUntilIdle();
  CRect rc;
  ::GetClientRect(hLabel, &rc);
  EXPECT_EQ(ReadPixel(hLabel, rc.right - 3, rc.bottom - 3), crChild);
}

TEST_F(ReflectionTest, CtlColor_ReflectReturnsNull_DialogColourApplies) {
  CColorStatic label;
  label.m_hBrush = nullptr;
  HWND hLabel = AddChild("STATIC", "i", SS_LEFT, IDC_COLOR, 150, 5, 150, 40);
  ASSERT_TRUE(label.SubclassWindow(hLabel));

  CtlColorAnswer a = AskCtlColor(m_host, hLabel);
  EXPECT_EQ(a.hBrush, theApp.DialogBkBrush());
  EXPECT_EQ(a.crText, kDlgText);
  EXPECT_EQ(g_log, (std::vector<std::string>{"child:ctlcolor:" + std::to_string(CTLCOLOR_STATIC), "parent:ctlcolor"}));

  ::RedrawWindow(hLabel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpUntilIdle();
  CRect rc;
  ::GetClientRect(hLabel, &rc);
  EXPECT_EQ(ReadPixel(hLabel, rc.right - 3, rc.bottom - 3), kDlgBk);
}

// ---- owner draw -----------------------------------------------------------------------------

TEST_F(ReflectionTest, DrawItem_OwnerDrawnButton_ReachesCButtonDrawItemNotParent) {
  COwnerDrawButton button;
  HWND hButton = AddChild("BUTTON", "od", BS_OWNERDRAW, IDC_OWNERDRAW, 5, 150, 80, 30);
  ASSERT_TRUE(button.SubclassWindow(hButton));

  ::RedrawWindow(hButton, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpUntilIdle();
  ASSERT_GE(button.m_nDrawItem, 1);
  EXPECT_EQ(button.m_lastDraw.CtlType, static_cast<UINT>(ODT_BUTTON));
  EXPECT_EQ(button.m_lastDraw.CtlID, static_cast<UINT>(IDC_OWNERDRAW));
  EXPECT_EQ(button.m_lastDraw.hwndItem, hButton);
  EXPECT_EQ(m_host.m_nParentDrawItem, 0);
  EXPECT_EQ(ReadPixel(hButton, 10, 10), RGB(0, 0, 0)) << "what DrawItem painted is on screen";

  // An owner-drawn button without an object stays the parent's business.
  HWND hPlain = AddChild("BUTTON", "plain", BS_OWNERDRAW, IDC_PLAIN_OWNERDRAW, 100, 150, 80, 30);
  ::RedrawWindow(hPlain, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpUntilIdle();
  EXPECT_GE(m_host.m_nParentDrawItem, 1);
  EXPECT_EQ(m_host.m_nParentDrawCtlId, static_cast<UINT>(IDC_PLAIN_OWNERDRAW));
}

TEST_F(ReflectionTest, DrawItem_MenuItem_ReachesMenuObjectFromHandle) {
  COwnerDrawMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendMenu(MF_OWNERDRAW, 501, nullptr));
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = 501;
  dis.hwndItem = reinterpret_cast<HWND>(menu.GetSafeHmenu());

  EXPECT_EQ(::SendMessageA(m_host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
  EXPECT_EQ(menu.m_nDrawItem, 1);
  EXPECT_EQ(menu.m_nLastItem, 501u);
  EXPECT_EQ(m_host.m_nParentDrawItem, 0);
}

}  // namespace
