// Shared by the image button tests: a host dialog that paints a recognisable background and
// counts clicks, a capture of a button's pixels, and a fixture that adds buttons to the host.
#pragma once

#include "BtnST.h"

#include <gtest/gtest.h>

#include "WinTestSupport.h"

namespace {

using wintest::ScreenCenter;

constexpr int kBtnId = 1001;
constexpr int kOtherId = 1002;
constexpr int kThirdId = 1003;
constexpr POINT kDlgOrigin = {100, 100};

constexpr COLORREF kParentBack = RGB(0, 128, 255);
constexpr COLORREF kParentBtnBrush = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBrown = RGB(200, 100, 50);
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kOlive = RGB(128, 128, 0);
constexpr COLORREF kPurple = RGB(128, 0, 128);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

// Lets what the test set off (paints, posted notices) happen before pixels are read.
void Pump() { wintest::PumpUntilIdle(); }

// The menu window this thread shows, if any.
inline HWND ShownMenuWindow() {
  for (HWND hMenuWnd = ::FindWindowExA(nullptr, nullptr, "#32768", nullptr); hMenuWnd;
       hMenuWnd = ::FindWindowExA(nullptr, hMenuWnd, "#32768", nullptr)) {
    if (::IsWindowVisible(hMenuWnd) && ::GetWindowThreadProcessId(hMenuWnd, nullptr) == ::GetCurrentThreadId())
      return hMenuWnd;
  }
  return nullptr;
}

// Clicks a drop-down button whose menu owner is the button itself and returns the command posted
// to it, 0 for none. inMenu runs from a timer inside the menu's loop (only once the menu is up: on
// a loaded machine the timer may come due before the click has opened it) and must close the menu.
inline UINT ClickAndReadMenuCommand(HWND hBtn, void (*inMenu)(HWND hMenuWnd)) {
  static void (*s_inMenu)(HWND) = nullptr;
  s_inMenu = inMenu;
  ::SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR idEvent, DWORD) {
    HWND hMenuWnd = ShownMenuWindow();
    if (!hMenuWnd) return;
    ::KillTimer(nullptr, idEvent);
    s_inMenu(hMenuWnd);
  });
  ::SendMessageA(hBtn, BM_CLICK, 0, 0);
  MSG msg;
  UINT nCmd = 0;
  while (::PeekMessageA(&msg, hBtn, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_EQ(HIWORD(msg.wParam), 0);
    nCmd = LOWORD(msg.wParam);
  }
  Pump();
  return nCmd;
}

// The client area of a window as it is on screen.
class CCapture : public wintest::CPixels {
 public:
  explicit CCapture(HWND hWnd) : CPixels(wintest::CaptureClient(hWnd)) {}

  // An image whose top-left pixel is at (x, y): cr there, something else left of and above it.
  bool CornerAt(int x, int y, COLORREF cr) const { return At(x, y) == cr && At(x - 1, y) != cr && At(x, y - 1) != cr; }
};

class CHostDlg : public CDialog {
 public:
  CHostDlg() : CDialog(0) {}

  BOOL CreateHost(int cx = 460, int cy = 320) {
    if (!wintest::CreateModeless(*this, wintest::CDialogTemplate(WS_POPUP, 0, 0), CRect(kDlgOrigin, CSize(cx, cy)))) {
      return FALSE;
    }
    ::SetForegroundWindow(m_hWnd);
    return TRUE;
  }

  int m_nClicks = 0;
  int m_nOtherClicks = 0;

 protected:
  afx_msg void OnBtnClicked() { ++m_nClicks; }
  afx_msg void OnOtherClicked() { ++m_nOtherClicks; }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (nCtlColor == CTLCOLOR_DLG) return m_brBack;
    if (nCtlColor == CTLCOLOR_BTN) return m_brBtn;
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  DECLARE_MESSAGE_MAP()

 private:
  CBrush m_brBack{kParentBack};
  CBrush m_brBtn{kParentBtnBrush};
};

BEGIN_MESSAGE_MAP(CHostDlg, CDialog)
  ON_BN_CLICKED(kBtnId, OnBtnClicked)
  ON_BN_CLICKED(kOtherId, OnOtherClicked)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class ButtonHostTest : public wintest::HostedTest<CHostDlg> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(HostedTest::SetUp());
    ParkCursor();
    m_dlg.m_nClicks = 0;
    m_dlg.m_nOtherClicks = 0;
    ::SetForegroundWindow(m_dlg);
    ::SetFocus(m_dlg);
    LOGFONTA lf{};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = NONANTIALIASED_QUALITY;  // exact caption colours
    lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    ASSERT_TRUE(m_font.CreateFontIndirect(&lf));
    m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
  }

  void TearDown() override {
    ParkCursor();
    while (HWND hChild = ::GetWindow(m_dlg, GW_CHILD)) ::DestroyWindow(hChild);
    Pump();
  }

  static void ParkCursor() { ::SetCursorPos(1250, 1000); }

  HWND AddButton(int nId, const char* pszText, DWORD dwStyle, const RECT& rc) {
    HWND hWnd = wintest::CreateChildWindow(m_dlg, nId, "BUTTON", pszText, WS_TABSTOP | dwStyle, rc.left, rc.top,
                                           rc.right - rc.left, rc.bottom - rc.top);
    ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    return hWnd;
  }

  // Creates the button and subclasses it with btn; every colour gets a distinct value.
  void Make(CBtnST& btn, const char* pszText, DWORD dwStyle, const RECT& rc, int nId = kBtnId) {
    HWND hWnd = AddButton(nId, pszText, dwStyle, rc);
    ASSERT_NE(hWnd, nullptr);
    ASSERT_TRUE(btn.SubclassWindow(hWnd));
    SetColors(btn, kOlive, kBlack, kNavy, kYellow, kPurple);
    Pump();
  }

  static void SetColors(CBtnST& btn, COLORREF bkHover, COLORREF fgHover, COLORREF bkNormal, COLORREF fgNormal,
                        COLORREF bkFocus) {
    btn.SetStateColor(CBtnST::BTNCOLOR_BK_HOVER, bkHover);
    btn.SetStateColor(CBtnST::BTNCOLOR_FG_HOVER, fgHover);
    btn.SetStateColor(CBtnST::BTNCOLOR_BK_NORMAL, bkNormal);
    btn.SetStateColor(CBtnST::BTNCOLOR_FG_NORMAL, fgNormal);
    btn.SetStateColor(CBtnST::BTNCOLOR_BK_FOCUS, bkFocus, TRUE);
  }

  // Puts the real pointer over the button (the hover code asks which window is under it), then
  // sends the move.
  static void Hover(HWND hWnd, WPARAM wFlags = 0) {
    CPoint pt = ScreenCenter(hWnd);
    ::SetCursorPos(pt.x, pt.y);
    wintest::WaitUntil([&] {
      POINT now{};
      return ::GetCursorPos(&now) && now.x == pt.x && now.y == pt.y && ::WindowFromPoint(pt) == hWnd;
    });
    Pump();
    ::ScreenToClient(hWnd, &pt);
    ::SendMessageA(hWnd, WM_MOUSEMOVE, wFlags, MAKELPARAM(pt.x, pt.y));
    Pump();
  }

  // The pointer over the button without the hover look.
  static void PointerOverWithoutHover(HWND hWnd) {
    Hover(hWnd);
    ::SendMessageA(hWnd, WM_MOUSELEAVE, 0, 0);
    Pump();
  }

  static void Press(HWND hWnd, BOOL bDown) {
    ::SendMessageA(hWnd, BM_SETSTATE, bDown, 0);
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
  }

  CSize TextSize(const char* psz, int cxAvail) {
    HDC hdc = ::GetDC(m_dlg.m_hWnd);
    CRect rc(0, 0, cxAvail, 100);
    {
      CSelectGuard sel(hdc, m_font);
      ::DrawTextA(hdc, psz, -1, rc, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    }
    ::ReleaseDC(m_dlg.m_hWnd, hdc);
    return rc.Size();
  }

  CHostDlg& m_dlg = *s_pHost;
  CFont m_font;
  COLORREF m_crHighlight = 0;
  COLORREF m_crShadow = 0;
};

}  // namespace
