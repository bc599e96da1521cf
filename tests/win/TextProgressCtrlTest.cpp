// CTextProgressCtrl on a real progress control, with the pixels read back from the window.
#include "TextProgressCtrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "WinTestSupport.h"

namespace {

using namespace wintest;

constexpr int kBarId = 1022;
constexpr COLORREF kRed = RGB(193, 26, 26);
constexpr COLORREF kGrey = RGB(231, 231, 231);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// How the control must look when the whole caption lies on one side of the bar's edge: the
// text then takes the fill colour of the other side.
CPixels Expected(HWND hWndBar, int nBarLength, COLORREF crBar, COLORREF crBack, const char* pszCaption) {
  CRect rc;
  ::GetClientRect(hWndBar, rc);
  CClientDC dcWnd(CWnd::FromHandle(hWndBar));
  CDibCanvas canvas(dcWnd, rc.Width(), rc.Height());
  CDC& dc = canvas.DC();
  dc.FillSolidRect(rc, crBack);
  dc.FillSolidRect(0, 0, nBarLength, rc.Height(), crBar);
  HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(hWndBar), WM_GETFONT, 0, 0));
  CSelectGuard font(dc, hFont);
  dc.SetBkMode(TRANSPARENT);
  CSize size = dc.GetTextExtent(pszCaption, lstrlenA(pszCaption));
  bool bOverBar = (rc.Width() - size.cx) / 2 + size.cx <= nBarLength;
  dc.SetTextColor(bOverBar ? crBack : crBar);
  dc.DrawText(pszCaption, lstrlenA(pszCaption), rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  return canvas.Read();
}

// Counts WM_PAINT arrivals by sitting in front of the control's window procedure.
class CPaintCounter {
 public:
  explicit CPaintCounter(HWND hWnd) : m_hWnd(hWnd) {
    ::SetPropA(hWnd, kProp, this);
    m_pfnPrev = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CPaintCounter::Proc)));
  }
  ~CPaintCounter() {
    if (!::IsWindow(m_hWnd)) return;
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &CPaintCounter::Proc)
      ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrev));
    ::RemovePropA(m_hWnd, kProp);
  }
  CPaintCounter(const CPaintCounter&) = delete;
  CPaintCounter& operator=(const CPaintCounter&) = delete;

  int Take() { return std::exchange(m_nPaints, 0); }

 private:
  static constexpr const char* kProp = "MnemoraTestPaintCounter";
  static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* pThis = static_cast<CPaintCounter*>(::GetPropA(hWnd, kProp));
    if (msg == WM_PAINT) ++pThis->m_nPaints;
    return ::CallWindowProcA(pThis->m_pfnPrev, hWnd, msg, wParam, lParam);
  }
  HWND m_hWnd;
  WNDPROC m_pfnPrev = nullptr;
  int m_nPaints = 0;
};

class TextProgressCtrlTest : public HostedTest<CControlHost, ICC_PROGRESS_CLASS> {
 protected:
  void TearDown() override {
    if (m_hWndBar) ::DestroyWindow(m_hWndBar);
  }

  // A progress control of the given client size, attached to m_bar and fully painted.
  HWND CreateBar(int cx, int cy, DWORD dwStyle = 0) {
    m_hWndBar = CreateChildWindow(s_pHost->m_hWnd, kBarId, PROGRESS_CLASSA, "", dwStyle, 10, 10, cx, cy);
    EXPECT_NE(m_hWndBar, nullptr);
    EXPECT_TRUE(m_bar.SubclassWindow(m_hWndBar));
    m_bar.Invalidate();
    Settle();
    return m_hWndBar;
  }

  // Every pending paint happens first, so later counts see only what a call caused.
  static void Settle() { wintest::Settle(s_pHost->m_hWnd); }

  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return m_bar.SendMessage(msg, wParam, lParam); }

  CTextProgressCtrl m_bar;
  HWND m_hWndBar = nullptr;
};

// ---- painting ---------------------------------------------------------------------------------

TEST_F(TextProgressCtrlTest, Paint_NewControl_EmptyBarAndZeroPercentInSystemColours) {
  HWND hWnd = CreateBar(200, 20);
  COLORREF crBar = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF crBack = ::GetSysColor(COLOR_WINDOW);

  CPixels img = CaptureClient(hWnd);
  EXPECT_TRUE(img == Expected(hWnd, 0, crBar, crBack, "0%"));
  EXPECT_FALSE(img == Expected(hWnd, 0, crBar, crBack, "00"));
  EXPECT_TRUE(img.IsUniform(crBack, {0, 0, 20, 20})) << "the bar must be empty";
  EXPECT_GT(img.Count(crBar, {80, 0, 120, 20}), 0) << "the caption must show over the background";
}

TEST_F(TextProgressCtrlTest, SetPos_HalfOn200Pixels_BarIs100PixelsAndCaption50Percent) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);

  EXPECT_EQ(m_bar.SetPos(50), 0);
  Settle();

  CPixels img = CaptureClient(hWnd);
  // Rows above and below the text show the edge exactly.
  for (int y : {0, 1, 18, 19}) {
    EXPECT_TRUE(img.IsUniform(kRed, {0, y, 100, y + 1})) << "row " << y;
    EXPECT_TRUE(img.IsUniform(kGrey, {100, y, 200, y + 1})) << "row " << y;
  }
  m_bar.ShowCaption(FALSE);
  Settle();
  img = CaptureClient(hWnd);
  EXPECT_TRUE(img.IsUniform(kRed, {0, 0, 100, 20}));
  EXPECT_TRUE(img.IsUniform(kGrey, {100, 0, 200, 20}));
}

TEST_F(TextProgressCtrlTest, Caption_333Of1000_Reads33PercentTruncated) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.SetRange32(0, 1000);
  m_bar.SetPos(333);
  Settle();

  CPixels img = CaptureClient(hWnd);
  EXPECT_TRUE(img == Expected(hWnd, 66, kRed, kGrey, "33%"));
  EXPECT_FALSE(img == Expected(hWnd, 66, kRed, kGrey, "34%"));

  m_bar.SetPos(999);  // 99.9 must not round up
  Settle();
  EXPECT_TRUE(CaptureClient(hWnd) == Expected(hWnd, 199, kRed, kGrey, "99%"));
}

TEST_F(TextProgressCtrlTest, Caption_DefaultColourAcrossEdge_EachPartInTheOtherFillColour) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.SetPos(50);
  Settle();

  CPixels img = CaptureClient(hWnd);
  EXPECT_GT(img.Count(kGrey, {80, 0, 100, 20}), 0) << "text over the bar in the background colour";
  EXPECT_GT(img.Count(kRed, {100, 0, 120, 20}), 0) << "text over the background in the bar colour";
}

TEST_F(TextProgressCtrlTest, Caption_ExplicitColour_BothPartsInThatColour) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.SetPos(50);
  EXPECT_EQ(static_cast<COLORREF>(Send(PBM_SETCAPTIONCOLOR, 0, kGreen)), CLR_DEFAULT);
  Settle();

  CPixels img = CaptureClient(hWnd);
  EXPECT_GT(img.Count(kGreen, {80, 0, 100, 20}), 0);
  EXPECT_GT(img.Count(kGreen, {100, 0, 120, 20}), 0);
  EXPECT_EQ(img.Count(kGrey, {0, 0, 100, 20}), 0);
  EXPECT_EQ(img.Count(kRed, {100, 0, 200, 20}), 0);
  EXPECT_EQ(m_bar.SetCaptionColor(CLR_DEFAULT), kGreen);
}

TEST_F(TextProgressCtrlTest, ShowCaption_OffThenOn_TextDisappearsAndReturns) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.SetPos(25);

  Send(PBM_SHOWCAPTION, FALSE);
  Settle();
  CPixels img = CaptureClient(hWnd);
  EXPECT_TRUE(img.IsUniform(kRed, {0, 0, 50, 20}));
  EXPECT_TRUE(img.IsUniform(kGrey, {50, 0, 200, 20}));

  Send(PBM_SHOWCAPTION, TRUE);
  Settle();
  EXPECT_TRUE(CaptureClient(hWnd) == Expected(hWnd, 50, kRed, kGrey, "25%"));
}

TEST_F(TextProgressCtrlTest, Paint_Vertical_GrowsFromBottomWithoutCaption) {
  HWND hWnd = CreateBar(40, 200, PBS_VERTICAL);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.SetPos(25);
  Settle();

  CPixels img = CaptureClient(hWnd);
  EXPECT_TRUE(img.IsUniform(kGrey, {0, 0, 40, 150}));
  EXPECT_TRUE(img.IsUniform(kRed, {0, 150, 40, 200}));
}

TEST_F(TextProgressCtrlTest, Paint_PositionAboveUpper_FullBarAndPercentAbove100) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.SetPos(150);
  Settle();

  EXPECT_TRUE(CaptureClient(hWnd) == Expected(hWnd, 200, kRed, kGrey, "150%"));
}

TEST_F(TextProgressCtrlTest, Paint_EmptyOrInvertedRange_DrawsNothingButCompletesPaint) {
  HWND hWnd = CreateBar(200, 20);
  for (auto range : {std::make_pair(5, 5), std::make_pair(10, 0)}) {
    m_bar.SetRange32(range.first, range.second);
    {
      CClientDC dc(&m_bar);
      dc.FillSolidRect(CRect(0, 0, 200, 20), kMagenta);
    }
    m_bar.Invalidate();
    m_bar.UpdateWindow();
    CRect rcUpdate;
    EXPECT_FALSE(::GetUpdateRect(hWnd, rcUpdate, FALSE)) << range.first << ".." << range.second;
    EXPECT_TRUE(CaptureClient(hWnd).IsUniform(kMagenta, {0, 0, 200, 20})) << range.first << ".." << range.second;
  }
}

TEST_F(TextProgressCtrlTest, Paint_PartialUpdate_DrawsThatAreaInPlace) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.ShowCaption(FALSE);
  m_bar.SetPos(75);
  Settle();
  {
    CClientDC dc(&m_bar);
    dc.FillSolidRect(CRect(0, 0, 200, 20), kMagenta);
  }

  CRect rcPart(100, 0, 200, 20);
  m_bar.InvalidateRect(rcPart);
  m_bar.UpdateWindow();
  CPixels img = CaptureClient(hWnd);
  EXPECT_TRUE(img.IsUniform(kMagenta, {0, 0, 100, 20}));
  EXPECT_TRUE(img.IsUniform(kRed, {100, 0, 150, 20}));
  EXPECT_TRUE(img.IsUniform(kGrey, {150, 0, 200, 20}));
}

TEST_F(TextProgressCtrlTest, EraseBkgnd_AnyDc_ReportsErasedAndDrawsNothing) {
  HWND hWnd = CreateBar(200, 20);
  CClientDC dcWnd(&m_bar);
  CDibCanvas canvas(dcWnd, 200, 20);
  canvas.DC().FillSolidRect(CRect(0, 0, 200, 20), kMagenta);

  EXPECT_TRUE(::SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.DC().m_hDC), 0));
  EXPECT_TRUE(canvas.Read().IsUniform(kMagenta, {0, 0, 200, 20}));
}

TEST_F(TextProgressCtrlTest, Colours_SetBeforeWindowExists_ApplyAtFirstPaint) {
  EXPECT_EQ(m_bar.SetBarColor(kRed), CLR_DEFAULT);
  EXPECT_EQ(m_bar.SetBackColor(kGrey), CLR_DEFAULT);
  m_bar.ShowCaption(FALSE);
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetPos(50);
  Settle();

  CPixels img = CaptureClient(hWnd);
  EXPECT_TRUE(img.IsUniform(kRed, {0, 0, 100, 20}));
  EXPECT_TRUE(img.IsUniform(kGrey, {100, 0, 200, 20}));
}

TEST_F(TextProgressCtrlTest, ColourMessages_ReturnPreviousAndRepaint) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.ShowCaption(FALSE);
  m_bar.SetPos(50);

  EXPECT_EQ(static_cast<COLORREF>(Send(PBM_SETBARCOLOR, 0, kRed)), CLR_DEFAULT);
  EXPECT_EQ(static_cast<COLORREF>(Send(PBM_SETBKCOLOR, 0, kGrey)), CLR_DEFAULT);
  EXPECT_EQ(CCM_SETBKCOLOR, PBM_SETBKCOLOR);
  Settle();
  CPixels img = CaptureClient(hWnd);
  EXPECT_TRUE(img.IsUniform(kRed, {0, 0, 100, 20}));
  EXPECT_TRUE(img.IsUniform(kGrey, {100, 0, 200, 20}));

  EXPECT_EQ(static_cast<COLORREF>(Send(PBM_SETBARCOLOR, 0, kGreen)), kRed);
  EXPECT_EQ(static_cast<COLORREF>(Send(PBM_SETBKCOLOR, 0, kMagenta)), kGrey);
  Settle();
  img = CaptureClient(hWnd);
  EXPECT_TRUE(img.IsUniform(kGreen, {0, 0, 100, 20}));
  EXPECT_TRUE(img.IsUniform(kMagenta, {100, 0, 200, 20}));
}

// ---- when it repaints -------------------------------------------------------------------------

TEST_F(TextProgressCtrlTest, SetPos_SamePixelLength_NoRepaint_NewLengthRepaintsAtOnce) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  m_bar.ShowCaption(FALSE);
  m_bar.SetRange32(0, 1000);
  CPaintCounter paints(hWnd);
  Settle();
  paints.Take();

  m_bar.SetPos(500);
  EXPECT_EQ(paints.Take(), 1) << "painted inside the call";
  EXPECT_EQ(CaptureClient(hWnd).At(99, 10), kRed);

  for (int nPos = 501; nPos <= 504; ++nPos) m_bar.SetPos(nPos);  // 100.2 .. 100.8 pixels
  PumpUntilIdle();
  EXPECT_EQ(paints.Take(), 0);
  EXPECT_EQ(CaptureClient(hWnd).At(100, 10), kGrey);

  m_bar.SetPos(505);
  EXPECT_EQ(paints.Take(), 1);
  EXPECT_EQ(CaptureClient(hWnd).At(100, 10), kRed) << "redrawn before SetPos returned";
}

TEST_F(TextProgressCtrlTest, SetPos_AfterResize_RepaintsEvenForSameLength) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetPos(50);
  CPaintCounter paints(hWnd);
  Settle();
  paints.Take();

  m_bar.SetPos(50);
  EXPECT_EQ(paints.Take(), 0);

  // Only the height changes, so the bar's length stays 100 pixels.
  ::SetWindowPos(hWnd, nullptr, 0, 0, 200, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Settle();
  paints.Take();

  m_bar.SetPos(50);
  EXPECT_EQ(paints.Take(), 1);
  m_bar.SetPos(50);
  EXPECT_EQ(paints.Take(), 0);
}

TEST_F(TextProgressCtrlTest, SetPos_Vertical_WidthDecidesRepaint) {
  HWND hWnd = CreateBar(40, 200, PBS_VERTICAL);
  m_bar.SetRange32(0, 1000);
  m_bar.SetPos(500);
  CPaintCounter paints(hWnd);
  Settle();
  paints.Take();

  m_bar.SetPos(510);  // 20.4 pixels of the 40-pixel width: no change, though 2 rows of height
  EXPECT_EQ(paints.Take(), 0);
  m_bar.SetPos(525);  // 21 pixels
  EXPECT_EQ(paints.Take(), 1);
}

// ---- window text as caption -------------------------------------------------------------------

TEST_F(TextProgressCtrlTest, SetWindowText_OverridesPercentage_SameTextNoRepaint_EmptyRestores) {
  HWND hWnd = CreateBar(200, 20);
  m_bar.SetBarColor(kRed);
  m_bar.SetBackColor(kGrey);
  CPaintCounter paints(hWnd);

  EXPECT_TRUE(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Busy")));
  Settle();
  EXPECT_GE(paints.Take(), 1);
  EXPECT_TRUE(CaptureClient(hWnd) == Expected(hWnd, 0, kRed, kGrey, "Busy"));

  m_bar.SetWindowText("Busy");
  PumpUntilIdle();
  EXPECT_EQ(paints.Take(), 0);

  m_bar.SetWindowText("busy");
  PumpUntilIdle();
  EXPECT_GE(paints.Take(), 1) << "the comparison is case-sensitive";

  m_bar.SetWindowText("");
  Settle();
  EXPECT_TRUE(CaptureClient(hWnd) == Expected(hWnd, 0, kRed, kGrey, "0%"));

  m_bar.SetWindowText("Busy");
  Send(WM_SETTEXT, 0, 0);  // NULL counts as empty
  Settle();
  EXPECT_TRUE(CaptureClient(hWnd) == Expected(hWnd, 0, kRed, kGrey, "0%"));
}

TEST_F(TextProgressCtrlTest, GetText_ReturnsCaptionTruncatedToBuffer) {
  CreateBar(200, 20);
  m_bar.SetWindowText("Working");

  char buf[16];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(Send(WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 7);
  EXPECT_STREQ(buf, "Working");

  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(Send(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buf)), 3);
  EXPECT_STREQ(buf, "Wor");

  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
  EXPECT_EQ(buf[0], 'x');

  CString str;
  m_bar.GetWindowText(str);
  EXPECT_STREQ(str, "Working");
}

// ---- range, position and step -----------------------------------------------------------------

TEST_F(TextProgressCtrlTest, SetRange_16BitHalves_TakenUnsignedAndNotRedrawn) {
  HWND hWnd = CreateBar(200, 20);
  CPaintCounter paints(hWnd);
  PBRANGE range{};

  EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELPARAM(0, 1000)), 1000);
  EXPECT_EQ(Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 1000);

  EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELPARAM(0xFFFF, 1000)), 1000);
  EXPECT_EQ(Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 65535);
  EXPECT_EQ(range.iLow, 65535);
  EXPECT_EQ(range.iHigh, 1000);

  EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELPARAM(0, 0xFFFF)), 65535);
  EXPECT_EQ(Send(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 65535);

  EXPECT_EQ(Send(PBM_SETRANGE32, static_cast<WPARAM>(-50), 50), 50);
  EXPECT_EQ(Send(PBM_GETRANGE, FALSE, 0), 50);
  EXPECT_EQ(Send(PBM_GETRANGE, TRUE, 0), -50);
  int nLower = 0, nUpper = 0;
  m_bar.GetRange(nLower, nUpper);
  EXPECT_EQ(nLower, -50);
  EXPECT_EQ(nUpper, 50);

  PumpUntilIdle();
  EXPECT_EQ(paints.Take(), 0);
}

TEST_F(TextProgressCtrlTest, StepIt_PastUpper_KeepsCountingAndDeltaPosOffsets) {
  CreateBar(200, 20);
  m_bar.SetRange32(0, 10);

  EXPECT_EQ(Send(PBM_STEPIT), 0);
  EXPECT_EQ(Send(PBM_GETPOS), 1) << "default step is 1";
  EXPECT_EQ(Send(PBM_SETSTEP, 4), 1);
  EXPECT_EQ(Send(PBM_SETPOS, 8), 1);

  EXPECT_EQ(Send(PBM_STEPIT), 8);
  EXPECT_EQ(Send(PBM_GETPOS), 12);
  EXPECT_EQ(Send(PBM_STEPIT), 12);
  EXPECT_EQ(Send(PBM_GETPOS), 16);

  EXPECT_EQ(Send(PBM_DELTAPOS, static_cast<WPARAM>(-20)), 16);
  EXPECT_EQ(Send(PBM_GETPOS), -4);
  EXPECT_EQ(m_bar.OffsetPos(6), -4);
  EXPECT_EQ(m_bar.GetPos(), 2);
}

TEST_F(TextProgressCtrlTest, SetPos_EmptyRange_StoresAndReturnsPrevious) {
  CreateBar(200, 20);
  m_bar.SetRange32(7, 7);
  EXPECT_EQ(Send(PBM_SETPOS, 3), 0);
  EXPECT_EQ(Send(PBM_SETPOS, 9), 3);
  EXPECT_EQ(Send(PBM_GETPOS), 9);
}

}  // namespace
