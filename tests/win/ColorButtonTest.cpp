// CColorButton on a real check box under a dialog that paints its controls grey.
#include "ColorButton.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kCheckId = 1030;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kParentGrey = RGB(128, 128, 128);
constexpr COLORREF kGreen = RGB(0, 160, 0);

void PumpMessages(DWORD dwMillis = 50) {
  DWORD dwEnd = ::GetTickCount() + dwMillis;
  MSG msg;
  do {
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::Sleep(5);
  } while (static_cast<LONG>(::GetTickCount() - dwEnd) < 0);
}

struct CImage {
  int cx = 0;
  int cy = 0;
  std::vector<COLORREF> px;
  COLORREF At(int x, int y) const { return px[static_cast<size_t>(y) * cx + x]; }
  // Pixels darker than mid-grey in every channel within [x0, x1) x [y0, y1): text ink.
  int CountDark(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        COLORREF c = At(x, y);
        n += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
      }
    return n;
  }
};

CImage Capture(HWND hWnd) {
  CRect rc;
  ::GetClientRect(hWnd, rc);
  CImage img;
  img.cx = rc.Width();
  img.cy = rc.Height();
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = img.cx;
  bmi.bmiHeader.biHeight = -img.cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  CClientDC dcWnd(CWnd::FromHandle(hWnd));
  void* pBits = nullptr;
  CBitmap bitmap;
  bitmap.Attach(::CreateDIBSection(dcWnd, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
  CDC dcMem;
  dcMem.CreateCompatibleDC(dcWnd);
  {
    CSelectGuard select(dcMem, bitmap);
    dcMem.BitBlt(0, 0, img.cx, img.cy, dcWnd, 0, 0, SRCCOPY);
  }
  ::GdiFlush();
  const auto* p = static_cast<const uint32_t*>(pBits);
  for (int i = 0; i < img.cx * img.cy; ++i) img.px.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
  return img;
}

// A dialog whose own colour handling paints every control grey.
class CGreyDialog : public CDialog {
 public:
  CGreyDialog() : CDialog(0), m_brGrey(kParentGrey) {}
  BOOL CreateHost() {
    std::vector<WORD> t(64, 0);
    DLGTEMPLATE dt{};
    dt.style = WS_POPUP | WS_CLIPCHILDREN | DS_SETFONT;
    dt.cx = 200;
    dt.cy = 150;
    std::memcpy(t.data(), &dt, sizeof dt);
    size_t i = sizeof dt / sizeof(WORD);
    t[i++] = 0;  // no menu
    t[i++] = 0;  // default class
    t[i++] = 0;  // no title
    t[i++] = 8;  // point size
    for (const char* p = "MS Shell Dlg"; *p; ++p) t[i++] = static_cast<WORD>(*p);
    t[i++] = 0;
    if (!CreateIndirect(reinterpret_cast<const DLGTEMPLATE*>(t.data()), nullptr)) return FALSE;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 400, 300, SWP_SHOWWINDOW);
    return TRUE;
  }
  CBrush m_brGrey;

 protected:
  HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return m_brGrey; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGreyDialog, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class ColorButtonTest : public ::testing::Test {
 protected:
  // One host for the suite: top-level windows are slow to come and go under Wine.
  static void SetUpTestSuite() {
    s_pHost = new CGreyDialog;
    s_pHost->CreateHost();
  }
  static void TearDownTestSuite() {
    delete s_pHost;
    s_pHost = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(s_pHost && s_pHost->m_hWnd);
    m_hWndCheck = ::CreateWindowExA(0, "BUTTON", "Clear clipboard", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 10,
                                    200, 24, s_pHost->m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCheckId)),
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_hWndCheck, nullptr);
  }
  void TearDown() override { ::DestroyWindow(m_hWndCheck); }

  static void Settle() {
    PumpMessages(100);
    ::RedrawWindow(s_pHost->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(20);
  }
  void Repaint() { ::RedrawWindow(m_hWndCheck, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

  // The brush and background mode the check box's colour request yields, as the check box
  // itself would ask (the request reaches the button object by reflection).
  HBRUSH AskColours(int* pnBkMode) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    auto hbr = reinterpret_cast<HBRUSH>(::SendMessageA(s_pHost->m_hWnd, WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc.m_hDC),
                                                       reinterpret_cast<LPARAM>(m_hWndCheck)));
    *pnBkMode = dc.GetBkMode();
    return hbr;
  }

  static COLORREF BrushColour(HBRUSH hbr) {
    LOGBRUSH lb{};
    return ::GetObjectA(hbr, sizeof lb, &lb) == sizeof lb ? lb.lbColor : CLR_INVALID;
  }

  static CGreyDialog* s_pHost;
  HWND m_hWndCheck = nullptr;
};

CGreyDialog* ColorButtonTest::s_pHost = nullptr;

TEST_F(ColorButtonTest, CtlColor_NoBackColor_ParentColourHandlingApplies) {
  CColorButton button;
  ASSERT_TRUE(button.SubclassWindow(m_hWndCheck));
  Repaint();

  EXPECT_EQ(Capture(m_hWndCheck).At(195, 12), kParentGrey);
  int nBkMode = 0;
  EXPECT_EQ(AskColours(&nBkMode), s_pHost->m_brGrey.GetSafeHandle());
  EXPECT_EQ(nBkMode, TRANSPARENT);
}

TEST_F(ColorButtonTest, SetBackColor_White_BackgroundWhiteFromNextRepaintWithCaptionOnIt) {
  CColorButton button;
  ASSERT_TRUE(button.SubclassWindow(m_hWndCheck));
  Repaint();
  ASSERT_EQ(Capture(m_hWndCheck).At(195, 12), kParentGrey);

  EXPECT_TRUE(button.SetBackColor(kWhite));
  Settle();
  EXPECT_EQ(Capture(m_hWndCheck).At(195, 12), kParentGrey) << "nothing is redrawn by SetBackColor";

  Repaint();
  CImage img = Capture(m_hWndCheck);
  EXPECT_EQ(img.At(195, 12), kWhite);
  EXPECT_EQ(img.At(195, 1), kWhite);
  EXPECT_GT(img.CountDark(20, 0, 150, 24), 10) << "the caption is drawn on the white";

  int nBkMode = 0;
  HBRUSH hbr = AskColours(&nBkMode);
  EXPECT_EQ(BrushColour(hbr), kWhite);
  EXPECT_EQ(nBkMode, TRANSPARENT);
}

TEST_F(ColorButtonTest, SetBackColor_Again_ReplacesAndDeletesTheOldBrush) {
  CColorButton button;
  ASSERT_TRUE(button.SubclassWindow(m_hWndCheck));
  ASSERT_TRUE(button.SetBackColor(kWhite));
  int nBkMode = 0;
  HBRUSH hFirst = AskColours(&nBkMode);
  ASSERT_EQ(::GetObjectType(hFirst), static_cast<DWORD>(OBJ_BRUSH));

  EXPECT_TRUE(button.SetBackColor(kGreen));
  EXPECT_EQ(::GetObjectType(hFirst), 0u);
  EXPECT_EQ(BrushColour(AskColours(&nBkMode)), kGreen);
  Repaint();
  EXPECT_EQ(Capture(m_hWndCheck).At(195, 12), kGreen);
}

TEST_F(ColorButtonTest, Destructor_DeletesTheBrush) {
  auto pButton = std::make_unique<CColorButton>();
  ASSERT_TRUE(pButton->SubclassWindow(m_hWndCheck));
  ASSERT_TRUE(pButton->SetBackColor(kWhite));
  int nBkMode = 0;
  HBRUSH hbr = AskColours(&nBkMode);
  ASSERT_EQ(::GetObjectType(hbr), static_cast<DWORD>(OBJ_BRUSH));

  pButton.reset();
  EXPECT_EQ(::GetObjectType(hbr), 0u);
  Repaint();
  EXPECT_EQ(Capture(m_hWndCheck).At(195, 12), kParentGrey) << "the plain check box is grey again";
}

}  // namespace
