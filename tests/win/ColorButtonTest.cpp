// CColorButton on a real check box under a dialog that paints its controls grey.
#include "ColorButton.h"

#include <gtest/gtest.h>

#include <memory>

#include "WinTestSupport.h"

namespace {

using namespace wintest;

constexpr int kCheckId = 1030;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kParentGrey = RGB(128, 128, 128);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// Pixels darker than mid-grey in every channel within area: text ink.
int CountDark(const CPixels& img, const RECT& area) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      COLORREF c = img.At(x, y);
      n += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
    }
  return n;
}

// A dialog whose own colour handling paints every control grey.
class CGreyDialog : public CControlHost {
 public:
  CBrush m_brGrey{kParentGrey};

 protected:
  HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return m_brGrey; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGreyDialog, CControlHost)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class ColorButtonTest : public HostedTest<CGreyDialog> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(HostedTest::SetUp());
    m_hWndCheck =
        CreateChildWindow(s_pHost->m_hWnd, kCheckId, "BUTTON", "Clear clipboard", BS_AUTOCHECKBOX, 10, 10, 200, 24);
    ASSERT_NE(m_hWndCheck, nullptr);
  }
  void TearDown() override { ::DestroyWindow(m_hWndCheck); }

  static void Settle() { wintest::Settle(s_pHost->m_hWnd); }
  void Repaint() { ::RedrawWindow(m_hWndCheck, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

  // The check box's colour request as it would ask itself (the request reaches the button object
  // by reflection).
  CtlColorAnswer AskColours() { return AskCtlColor(s_pHost->m_hWnd, m_hWndCheck); }

  HWND m_hWndCheck = nullptr;
};

TEST_F(ColorButtonTest, CtlColor_NoBackColor_ParentColourHandlingApplies) {
  CColorButton button;
  ASSERT_TRUE(button.SubclassWindow(m_hWndCheck));
  Repaint();

  EXPECT_EQ(CaptureClient(m_hWndCheck).At(195, 12), kParentGrey);
  CtlColorAnswer a = AskColours();
  EXPECT_EQ(a.hBrush, s_pHost->m_brGrey.GetSafeHandle());
  EXPECT_EQ(a.nBkMode, TRANSPARENT);
}

TEST_F(ColorButtonTest, SetBackColor_White_BackgroundWhiteFromNextRepaintWithCaptionOnIt) {
  CColorButton button;
  ASSERT_TRUE(button.SubclassWindow(m_hWndCheck));
  Repaint();
  ASSERT_EQ(CaptureClient(m_hWndCheck).At(195, 12), kParentGrey);

  EXPECT_TRUE(button.SetBackColor(kWhite));
  Settle();
  EXPECT_EQ(CaptureClient(m_hWndCheck).At(195, 12), kParentGrey) << "nothing is redrawn by SetBackColor";

  Repaint();
  CPixels img = CaptureClient(m_hWndCheck);
  EXPECT_EQ(img.At(195, 12), kWhite);
  EXPECT_EQ(img.At(195, 1), kWhite);
  EXPECT_GT(CountDark(img, {20, 0, 150, 24}), 10) << "the caption is drawn on the white";

  CtlColorAnswer a = AskColours();
  EXPECT_EQ(a.crBrush, kWhite);
  EXPECT_EQ(a.nBkMode, TRANSPARENT);
}

TEST_F(ColorButtonTest, SetBackColor_Again_ReplacesAndDeletesTheOldBrush) {
  CColorButton button;
  ASSERT_TRUE(button.SubclassWindow(m_hWndCheck));
  ASSERT_TRUE(button.SetBackColor(kWhite));
  HBRUSH hFirst = AskColours().hBrush;
  ASSERT_EQ(::GetObjectType(hFirst), static_cast<DWORD>(OBJ_BRUSH));

  EXPECT_TRUE(button.SetBackColor(kGreen));
  EXPECT_EQ(::GetObjectType(hFirst), 0u);
  EXPECT_EQ(AskColours().crBrush, kGreen);
  Repaint();
  EXPECT_EQ(CaptureClient(m_hWndCheck).At(195, 12), kGreen);
}

TEST_F(ColorButtonTest, Destructor_DeletesTheBrush) {
  auto pButton = std::make_unique<CColorButton>();
  ASSERT_TRUE(pButton->SubclassWindow(m_hWndCheck));
  ASSERT_TRUE(pButton->SetBackColor(kWhite));
  HBRUSH hbr = AskColours().hBrush;
  ASSERT_EQ(::GetObjectType(hbr), static_cast<DWORD>(OBJ_BRUSH));

  pButton.reset();
  EXPECT_EQ(::GetObjectType(hbr), 0u);
  Repaint();
  EXPECT_EQ(CaptureClient(m_hWndCheck).At(195, 12), kParentGrey) << "the plain check box is grey again";
}

}  // namespace
