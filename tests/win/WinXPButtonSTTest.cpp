// CWinXPButtonST on real buttons in a modeless dialog, with the pixels read back from the window.
#include "WinXPButtonST.h"

#include <gtest/gtest.h>

#include "BtnSTTestHost.h"

namespace {

constexpr COLORREF kOutline = RGB(156, 156, 156);
constexpr COLORREF kFaceNormal = RGB(214, 214, 214);
constexpr COLORREF kFaceHover = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(70, 70, 70);

class WinXPButtonSTTest : public ButtonHostTest {
 protected:
  static constexpr int kCx = 120;
  static constexpr int kCy = 40;

  // A button with the colours the program's dialogs give theirs, and a distinct focus colour that
  // must never show.
  void MakeXP(CWinXPButtonST& btn, BOOL bRound, const char* pszText = "OK", DWORD dwStyle = BS_PUSHBUTTON) {
    Make(btn, pszText, dwStyle, CRect(20, 20, 20 + kCx, 20 + kCy));
    EXPECT_EQ(btn.SetRoundCorners(bRound, TRUE), static_cast<DWORD>(CBtnST::BTN_OK));
    SetColors(btn, kFaceHover, kText, kFaceNormal, kText, kPurple);
    Pump();
  }

  // The outline's middle pixels on all four sides, and the face just inside it.
  static void ExpectOutlineAndFace(const CCapture& cap, COLORREF crFace) {
    EXPECT_EQ(cap.At(kCx / 2, 0), kOutline);
    EXPECT_EQ(cap.At(kCx / 2, kCy - 1), kOutline);
    EXPECT_EQ(cap.At(0, kCy / 2), kOutline);
    EXPECT_EQ(cap.At(kCx - 1, kCy / 2), kOutline);
    EXPECT_EQ(cap.At(kCx / 2, 1), crFace);
    EXPECT_EQ(cap.At(1, kCy / 2), crFace);
    EXPECT_EQ(cap.At(kCx - 2, kCy / 2), crFace);
    EXPECT_EQ(cap.At(kCx / 2, kCy - 2), crFace);
  }
};

TEST_F(WinXPButtonSTTest, PaintFace_RoundCorners_CornersKeepParentColour) {
  CWinXPButtonST btn;
  MakeXP(btn, TRUE);
  // Repaint the parent too, so that the corners show what it painted.
  ::RedrawWindow(m_dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  Hover(btn);  // repaints the button alone over what is already there
  CCapture cap(btn);
  ASSERT_EQ(cap.At(kCx / 2, 1), kFaceHover);
  EXPECT_EQ(cap.At(0, 0), kParentBack);
  EXPECT_EQ(cap.At(kCx - 1, 0), kParentBack);
  EXPECT_EQ(cap.At(0, kCy - 1), kParentBack);
  EXPECT_EQ(cap.At(kCx - 1, kCy - 1), kParentBack);
}

TEST_F(WinXPButtonSTTest, PaintFace_SquareCorners_OutlineReachesCorners) {
  CWinXPButtonST btn;
  MakeXP(btn, FALSE);
  CCapture cap(btn);
  EXPECT_EQ(cap.At(0, 0), kOutline);
  EXPECT_EQ(cap.At(kCx - 1, 0), kOutline);
  EXPECT_EQ(cap.At(0, kCy - 1), kOutline);
  EXPECT_EQ(cap.At(kCx - 1, kCy - 1), kOutline);
}

TEST_F(WinXPButtonSTTest, SetRoundCorners_RepaintFlag_RedrawsOnlyWhenAsked) {
  CWinXPButtonST btn;
  MakeXP(btn, TRUE);
  ::RedrawWindow(m_dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  ASSERT_EQ(CCapture(btn).At(0, 0), kParentBack);
  EXPECT_EQ(btn.SetRoundCorners(FALSE, FALSE), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  EXPECT_EQ(CCapture(btn).At(0, 0), kParentBack) << "not repainted yet";
  EXPECT_EQ(btn.SetRoundCorners(FALSE, TRUE), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  EXPECT_EQ(CCapture(btn).At(0, 0), kOutline);
}

TEST_F(WinXPButtonSTTest, PaintFace_EveryState_OutlineGrayFaceByState) {
  CWinXPButtonST btn;
  MakeXP(btn, TRUE);
  {
    SCOPED_TRACE("normal");
    ExpectOutlineAndFace(CCapture(btn), kFaceNormal);
    EXPECT_GT(CCapture(btn).Count(kText), 0);
  }
  {
    SCOPED_TRACE("hovered: no 3D edge over the outline");
    Hover(btn);
    ExpectOutlineAndFace(CCapture(btn), kFaceHover);
    EXPECT_GT(CCapture(btn).Count(kText), 0);
    ::SendMessageA(btn, WM_MOUSELEAVE, 0, 0);
    Pump();
    ExpectOutlineAndFace(CCapture(btn), kFaceNormal);
  }
  {
    SCOPED_TRACE("pressed");
    Press(btn, TRUE);
    ExpectOutlineAndFace(CCapture(btn), kFaceHover);
    Press(btn, FALSE);
  }
  {
    SCOPED_TRACE("disabled");
    btn.EnableWindow(FALSE);
    Pump();
    ExpectOutlineAndFace(CCapture(btn), kFaceNormal);
    btn.EnableWindow(TRUE);
    Pump();
  }
}

TEST_F(WinXPButtonSTTest, PaintFace_CheckedCheckBox_WhiteLikePressed) {
  CWinXPButtonST btn;
  MakeXP(btn, TRUE, "Check", BS_AUTOCHECKBOX);
  ExpectOutlineAndFace(CCapture(btn), kFaceNormal);
  ::SendMessageA(btn, BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(btn.IsChecked(), 1);
  ::SetFocus(m_dlg);  // focus must not matter either
  Pump();
  ExpectOutlineAndFace(CCapture(btn), kFaceHover);
}

TEST_F(WinXPButtonSTTest, PaintFace_Focused_DrawnExactlyLikeNormal) {
  CWinXPButtonST btn;
  MakeXP(btn, TRUE);
  const CCapture unfocused(btn);
  btn.SetFocus();
  Pump();
  ASSERT_EQ(::GetFocus(), btn.m_hWnd);
  const CCapture focused(btn);
  EXPECT_EQ(focused.Count(kPurple), 0) << "the focus colour is not used";
  int nDiffer = 0;
  for (int y = 0; y < kCy; ++y)
    for (int x = 0; x < kCx; ++x) nDiffer += focused.At(x, y) != unfocused.At(x, y);
  EXPECT_EQ(nDiffer, 0);
}

}  // namespace
