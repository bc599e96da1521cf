// Shared by the image button tests: a host dialog that paints a recognisable background and
// counts clicks, a capture of a window's pixels, and a fixture that adds buttons to the host.
#pragma once

#include "BtnST.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

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

void Pump(DWORD dwMillis = 60) {
  const DWORD dwEnd = ::GetTickCount() + dwMillis;
  MSG msg;
  do {
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::Sleep(5);
  } while (static_cast<LONG>(::GetTickCount() - dwEnd) < 0);
}

// The client area of a window as it is on screen.
class CCapture {
 public:
  explicit CCapture(HWND hWnd) {
    RECT rc{};
    ::GetClientRect(hWnd, &rc);
    m_cx = rc.right;
    m_cy = rc.bottom;
    HDC hdcWnd = ::GetDC(hWnd);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = m_cx;
    bmi.bmiHeader.biHeight = -m_cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    CBitmap dib;
    dib.Attach(::CreateDIBSection(hdcWnd, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
    CDC dcMem;
    dcMem.CreateCompatibleDC(hdcWnd);
    {
      CSelectGuard sel(dcMem, dib);
      dcMem.BitBlt(0, 0, m_cx, m_cy, hdcWnd, 0, 0, SRCCOPY);
      ::GdiFlush();
      const auto* p = static_cast<const uint32_t*>(pBits);
      for (int i = 0; pBits && i < m_cx * m_cy; ++i) {
        m_px.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
      }
    }
    ::ReleaseDC(hWnd, hdcWnd);
  }

  int Width() const { return m_cx; }
  int Height() const { return m_cy; }
  COLORREF At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_cx || y >= m_cy) return CLR_INVALID;
    return m_px[static_cast<size_t>(y) * m_cx + x];
  }
  int Count(COLORREF cr, const RECT& area) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += At(x, y) == cr;
    return n;
  }
  int Count(COLORREF cr) const { return Count(cr, CRect(0, 0, m_cx, m_cy)); }
  // Smallest rectangle holding every pixel of exactly cr inside area; empty when there is none.
  CRect Bounds(COLORREF cr, const RECT& area) const {
    CRect r(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (At(x, y) != cr) continue;
        r.left = std::min<int>(r.left, x);
        r.top = std::min<int>(r.top, y);
        r.right = std::max<int>(r.right, x + 1);
        r.bottom = std::max<int>(r.bottom, y + 1);
      }
    }
    return r.left == INT_MAX ? CRect() : r;
  }
  // An image whose top-left pixel is at (x, y): cr there, something else left of and above it.
  bool CornerAt(int x, int y, COLORREF cr) const { return At(x, y) == cr && At(x - 1, y) != cr && At(x, y - 1) != cr; }

 private:
  int m_cx = 0;
  int m_cy = 0;
  std::vector<COLORREF> m_px;
};

class CHostDlg : public CDialog {
 public:
  CHostDlg() : CDialog(0) {}

  BOOL CreateHost(int cx, int cy) {
    alignas(4) WORD tpl[16] = {};
    auto* pTemplate = reinterpret_cast<DLGTEMPLATE*>(tpl);
    pTemplate->style = WS_POPUP;
    if (!CreateIndirect(pTemplate, nullptr)) return FALSE;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, kDlgOrigin.x, kDlgOrigin.y, cx, cy, SWP_SHOWWINDOW);
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

class ButtonHostTest : public ::testing::Test {
 protected:
  // One host for the suite: hiding a top-level window costs seconds under Wine without a window
  // manager, so each test only adds and removes child controls.
  static void SetUpTestSuite() {
    s_pDlg = new CHostDlg;
    ASSERT_TRUE(s_pDlg->CreateHost(460, 320));
  }
  static void TearDownTestSuite() {
    delete s_pDlg;
    s_pDlg = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(s_pDlg, nullptr);
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
    Pump(20);
  }

  static void ParkCursor() { ::SetCursorPos(1250, 1000); }

  HWND AddButton(int nId, const char* pszText, DWORD dwStyle, const RECT& rc) {
    HWND hWnd = ::CreateWindowExA(0, "BUTTON", pszText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | dwStyle, rc.left, rc.top,
                                  rc.right - rc.left, rc.bottom - rc.top, m_dlg.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), ::GetModuleHandleA(nullptr),
                                  nullptr);
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

  static CPoint ScreenCenter(HWND hWnd) {
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    return rc.CenterPoint();
  }

  // Puts the real pointer over the button (the hover code asks which window is under it), then
  // sends the move.
  static void Hover(HWND hWnd, WPARAM wFlags = 0) {
    CPoint pt = ScreenCenter(hWnd);
    ::SetCursorPos(pt.x, pt.y);
    Pump(30);
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

  static inline CHostDlg* s_pDlg = nullptr;
  CHostDlg& m_dlg = *s_pDlg;
  CFont m_font;
  COLORREF m_crHighlight = 0;
  COLORREF m_crShadow = 0;
};

}  // namespace
