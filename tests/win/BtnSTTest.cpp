// CBtnST on real buttons in a modeless dialog, with the pixels read back from the window.
#include "BtnST.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "BtnSTTestHost.h"

namespace {

// An opaque icon, the upper half in one colour and the lower half in another.
HICON MakeIcon(int nSize, COLORREF crTop, COLORREF crBottom) {
  std::vector<uint32_t> bits(static_cast<size_t>(nSize) * nSize);
  for (int y = 0; y < nSize; ++y) {
    const COLORREF cr = y < nSize / 2 ? crTop : crBottom;
    for (int x = 0; x < nSize; ++x) {
      bits[static_cast<size_t>(y) * nSize + x] = (GetRValue(cr) << 16) | (GetGValue(cr) << 8) | GetBValue(cr);
    }
  }
  CBitmap bmColor;
  bmColor.CreateBitmap(nSize, nSize, 1, 32, bits.data());
  std::vector<BYTE> mask(static_cast<size_t>((nSize + 15) / 16 * 2) * nSize, 0);
  CBitmap bmMask;
  bmMask.CreateBitmap(nSize, nSize, 1, 1, mask.data());
  ICONINFO ii{};
  ii.fIcon = TRUE;
  ii.hbmMask = bmMask;
  ii.hbmColor = bmColor;
  return ::CreateIconIndirect(&ii);
}

HICON BogusIcon() { return reinterpret_cast<HICON>(static_cast<INT_PTR>(0x7EEE0)); }

// The test's view of the button's protected state.
class CProbeBtn : public CBtnST {
 public:
  using CBtnST::m_bMenuShown;
  using CBtnST::m_hMenuOwner;
  using CBtnST::m_menu;
  using CBtnST::m_tip;
};

class BtnSTTest : public ButtonHostTest {};

// ---- icons -------------------------------------------------------------------------------------

TEST_F(BtnSTTest, AssignIcons_SingleIcon_ShownInEveryState) {
  CProbeBtn btn;
  Make(btn, "", BS_PUSHBUTTON, CRect(20, 20, 120, 80));
  ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kRed, kRed), nullptr), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  // A 32x32 icon as first icon is laid out as 16x16: centred at ((100-16)/2, (60-16)/2).
  {
    SCOPED_TRACE("normal");
    EXPECT_TRUE(CCapture(btn).CornerAt(42, 22, kRed));
  }
  {
    SCOPED_TRACE("focused");
    btn.SetFocus();
    Pump();
    EXPECT_TRUE(CCapture(btn).CornerAt(42, 22, kRed));
  }
  {
    SCOPED_TRACE("hovered");
    Hover(btn);
    EXPECT_TRUE(CCapture(btn).CornerAt(42, 22, kRed));
    ::SendMessageA(btn, WM_MOUSELEAVE, 0, 0);
  }
  {
    SCOPED_TRACE("pressed");
    Press(btn, TRUE);
    EXPECT_TRUE(CCapture(btn).CornerAt(43, 23, kRed));
    Press(btn, FALSE);
  }
}

TEST_F(BtnSTTest, AssignIcons_AutoGray_GrayCopyUntilHoveredOrPressed) {
  // g = trunc(0.587 G + 0.114 B + 0.299 R): pure green 149.685 -> 149 (rounding would give 150),
  // RGB(200,100,50) 124.2 -> 124.
  const COLORREF kGrayOfGreen = RGB(149, 149, 149);
  const COLORREF kGrayOfBrown = RGB(124, 124, 124);
  CProbeBtn btn;
  Make(btn, "", BS_PUSHBUTTON, CRect(20, 20, 120, 80));
  ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kGreen, kBrown), CBtnST::BTN_AUTO_GRAY_ICON),
            static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();

  // The normal-state copy is laid out at full size: ((100-32)/2, (60-32)/2).
  auto expectGray = [&] {
    CCapture cap(btn);
    EXPECT_TRUE(cap.CornerAt(34, 14, kGrayOfGreen));
    EXPECT_EQ(cap.At(40, 20), kGrayOfGreen);
    EXPECT_EQ(cap.At(40, 14 + 20), kGrayOfBrown);
    EXPECT_EQ(cap.Count(kGreen), 0);
  };
  {
    SCOPED_TRACE("normal");
    expectGray();
  }
  {
    SCOPED_TRACE("hovered");
    Hover(btn);
    CCapture cap(btn);
    EXPECT_TRUE(cap.CornerAt(42, 22, kGreen));
    EXPECT_EQ(cap.Count(kGrayOfGreen), 0);
  }
  {
    SCOPED_TRACE("after leaving");
    ::SendMessageA(btn, WM_MOUSELEAVE, 0, 0);
    Pump();
    expectGray();
  }
  {
    SCOPED_TRACE("pressed");
    Press(btn, TRUE);
    EXPECT_TRUE(CCapture(btn).CornerAt(43, 23, kGreen));
    Press(btn, FALSE);
    expectGray();
  }
}

TEST_F(BtnSTTest, AssignIcons_AutoGrayCheckBox_IconFollowsCheckNotHover) {
  CProbeBtn btn;
  Make(btn, "", BS_AUTOCHECKBOX, CRect(20, 20, 120, 80));
  ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kGreen, kGreen), CBtnST::BTN_AUTO_GRAY_ICON),
            static_cast<DWORD>(CBtnST::BTN_OK));
  Hover(btn);
  EXPECT_TRUE(CCapture(btn).CornerAt(34, 14, RGB(149, 149, 149)));
  ::SendMessageA(btn, BM_SETCHECK, BST_CHECKED, 0);
  Pump();
  // Checked: the coloured icon, not moved.
  EXPECT_TRUE(CCapture(btn).CornerAt(42, 22, kGreen));
}

TEST_F(BtnSTTest, AssignIcons_UnreadableIcon_ReturnsBadIconAndShowsNoIcon) {
  CProbeBtn btn;
  Make(btn, "", BS_PUSHBUTTON, CRect(20, 20, 120, 80));
  ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kRed, kRed), nullptr), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  ASSERT_GT(CCapture(btn).Count(kRed), 0);

  {
    SCOPED_TRACE("bad normal-state icon clears the good first icon too");
    EXPECT_EQ(btn.AssignIcons(MakeIcon(32, kRed, kRed), BogusIcon()), static_cast<DWORD>(CBtnST::BTN_BADICON));
    btn.Invalidate();
    Pump();
    EXPECT_EQ(CCapture(btn).Count(kRed), 0);
  }
  {
    SCOPED_TRACE("bad first icon");
    EXPECT_EQ(btn.AssignIcons(BogusIcon(), nullptr), static_cast<DWORD>(CBtnST::BTN_BADICON));
  }
  {
    SCOPED_TRACE("resources that are absent leave no icon");
    ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kRed, kRed), nullptr), static_cast<DWORD>(CBtnST::BTN_OK));
    EXPECT_EQ(btn.AssignIcons(32123, CBtnST::BTN_AUTO_GRAY), static_cast<DWORD>(CBtnST::BTN_OK));
    Pump();
    EXPECT_EQ(CCapture(btn).Count(kRed), 0);
    EXPECT_EQ(CCapture(btn).At(50, 30), kNavy);
  }
}

TEST_F(BtnSTTest, AssignIcons_LargeIcon_FirstRecordsHalfSizeNormalStateRecordsFullSize) {
  const char kCaption[] = "Go";
  const int cx = 200, cy = 48;
  CProbeBtn ref, first, second;
  Make(ref, kCaption, BS_PUSHBUTTON, CRect(10, 10, 10 + cx, 10 + cy), kThirdId);
  Make(first, kCaption, BS_PUSHBUTTON, CRect(10, 70, 10 + cx, 70 + cy));
  Make(second, kCaption, BS_PUSHBUTTON, CRect(10, 130, 10 + cx, 130 + cy), kOtherId);
  ASSERT_EQ(first.AssignIcons(MakeIcon(32, kRed, kRed), nullptr), static_cast<DWORD>(CBtnST::BTN_OK));
  ASSERT_EQ(second.AssignIcons(MakeIcon(32, kGreen, kGreen), MakeIcon(32, kRed, kRed)),
            static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();

  const int textCx = TextSize(kCaption, cx).cx;
  const CRect textArea(40, 2, cx - 2, cy - 2);
  const int refLeft = CCapture(ref).Bounds(kYellow, textArea).left;
  ASSERT_GT(refLeft, 40);
  {
    SCOPED_TRACE("first icon: 16x16 box, icon at x=3, caption area from x=19");
    CCapture cap(first);
    EXPECT_TRUE(cap.CornerAt(3, (cy - 16) / 2, kRed));
    const int shift = 19 + (cx - 19 - textCx) / 2 - (cx - textCx) / 2;
    EXPECT_EQ(cap.Bounds(kYellow, textArea).left - refLeft, shift);
  }
  {
    SCOPED_TRACE("normal-state icon: 32x32 box, caption area from x=35");
    CCapture cap(second);
    EXPECT_TRUE(cap.CornerAt(3, (cy - 32) / 2, kRed));
    const int shift = 35 + (cx - 35 - textCx) / 2 - (cx - textCx) / 2;
    EXPECT_EQ(cap.Bounds(kYellow, textArea).left - refLeft, shift);
  }
}

// ---- pressed look ------------------------------------------------------------------------------

TEST_F(BtnSTTest, DrawItem_PressedPushButton_CaptionAndIconOnePixelDownRight) {
  CProbeBtn btn;
  Make(btn, "Go", BS_PUSHBUTTON, CRect(20, 20, 180, 68));
  SetColors(btn, kNavy, kYellow, kNavy, kYellow, kNavy);
  ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kRed, kRed), nullptr), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  const CRect inner(2, 2, 158, 46);

  const CRect textUp = CCapture(btn).Bounds(kYellow, inner);
  ASSERT_FALSE(textUp.IsRectEmpty());
  EXPECT_TRUE(CCapture(btn).CornerAt(3, 16, kRed));

  Press(btn, TRUE);
  CCapture down(btn);
  CRect textDown = down.Bounds(kYellow, inner);
  textDown.OffsetRect(-1, -1);
  EXPECT_EQ(textDown, textUp);
  EXPECT_TRUE(down.CornerAt(4, 17, kRed));
  // Pressed: sunken edge.
  EXPECT_EQ(down.At(0, 0), m_crShadow);
  EXPECT_EQ(down.At(159, 47), m_crHighlight);

  Press(btn, FALSE);
  EXPECT_EQ(CCapture(btn).Bounds(kYellow, inner), textUp);
}

TEST_F(BtnSTTest, DrawItem_CheckedCheckBox_DrawnPressedWithoutShift) {
  CProbeBtn btn;
  Make(btn, "Go", BS_AUTOCHECKBOX, CRect(20, 20, 180, 68));
  SetColors(btn, kOlive, kYellow, kNavy, kYellow, kNavy);
  ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kRed, kRed), nullptr), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  const CRect inner(2, 2, 158, 46);
  const CRect textOff = CCapture(btn).Bounds(kYellow, inner);
  ASSERT_FALSE(textOff.IsRectEmpty());
  EXPECT_EQ(CCapture(btn).At(1, 1), kNavy);

  ::SendMessageA(btn, BM_SETCHECK, BST_CHECKED, 0);
  Pump();
  CCapture on(btn);
  EXPECT_EQ(on.Bounds(kYellow, inner), textOff);
  EXPECT_TRUE(on.CornerAt(3, 16, kRed));
  EXPECT_EQ(on.At(1, 1), kOlive);
  EXPECT_EQ(on.At(0, 0), m_crShadow);
  EXPECT_EQ(on.At(159, 47), m_crHighlight);
}

// ---- clicks and check state --------------------------------------------------------------------

TEST_F(BtnSTTest, OnClicked_CheckBox_TogglesOnEveryClickAndParentSeesEach) {
  CProbeBtn btn;
  Make(btn, "Check", BS_AUTOCHECKBOX, CRect(20, 20, 140, 60));
  EXPECT_EQ(btn.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));

  const int expected[] = {1, 0, 1};
  for (int i = 0; i < 3; ++i) {
    ::SendMessageA(btn, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(btn.IsChecked(), expected[i]) << "click " << i + 1;
    EXPECT_EQ(::SendMessageA(btn, BM_GETCHECK, 0, 0), expected[i]) << "click " << i + 1;
  }
  EXPECT_EQ(m_dlg.m_nClicks, 3);
  EXPECT_EQ(::GetFocus(), btn.m_hWnd);

  ::SendMessageA(btn, BM_SETCHECK, BST_UNCHECKED, 0);
  EXPECT_EQ(::SendMessageA(btn, BM_GETCHECK, 0, 0), 0);
  ::SendMessageA(btn, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(::SendMessageA(btn, BM_GETCHECK, 0, 0), 1);
  ::SendMessageA(btn, BM_SETCHECK, 3, 0);
  EXPECT_EQ(::SendMessageA(btn, BM_GETCHECK, 0, 0), 0);
  btn.SetChecked(5);
  EXPECT_EQ(btn.IsChecked(), 1);
}

TEST_F(BtnSTTest, SetChecked_PushButton_StaysUnchecked) {
  CProbeBtn btn;
  Make(btn, "Push", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  btn.SetChecked(1);
  EXPECT_EQ(btn.IsChecked(), 0);
  ::SendMessageA(btn, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(::SendMessageA(btn, BM_GETCHECK, 0, 0), 0);
  ::SendMessageA(btn, BM_CLICK, 0, 0);
  EXPECT_EQ(btn.IsChecked(), 0);
}

TEST_F(BtnSTTest, OnClicked_PushButtonWithoutMenu_ParentHandlerRunsAndButtonDrawnNormal) {
  CProbeBtn btn;
  Make(btn, "Push", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  SetColors(btn, kOlive, kBlack, kNavy, kYellow, kNavy);
  ::SendMessageA(btn, BM_CLICK, 0, 0);  // would block in a menu loop if one were shown
  Pump();
  EXPECT_EQ(m_dlg.m_nClicks, 1);
  EXPECT_EQ(m_dlg.m_nOtherClicks, 0);
  EXPECT_EQ(::GetFocus(), btn.m_hWnd);
  EXPECT_EQ(btn.m_menu.GetSafeHmenu(), nullptr);
  EXPECT_FALSE(btn.m_bMenuShown);
  CCapture cap(btn);
  EXPECT_EQ(cap.At(0, 0), kNavy);  // no edge: neither pressed nor hovered
  EXPECT_EQ(cap.At(60, 2), kNavy);
}

TEST_F(BtnSTTest, DefWindowProc_DoubleClick_CountsAsSecondClick) {
  CProbeBtn btn;
  Make(btn, "Push", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  const LPARAM lp = MAKELPARAM(10, 10);
  ::SendMessageA(btn, WM_LBUTTONDOWN, MK_LBUTTON, lp);
  ::SendMessageA(btn, WM_LBUTTONUP, 0, lp);
  ::SendMessageA(btn, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
  ::SendMessageA(btn, WM_LBUTTONUP, 0, lp);
  Pump();
  EXPECT_EQ(m_dlg.m_nClicks, 2);
}

// ---- hover -------------------------------------------------------------------------------------

TEST_F(BtnSTTest, OnMouseMove_LeftButtonHeld_HoverNotStartedButKept) {
  CProbeBtn btn;
  Make(btn, "Hover", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  SetColors(btn, kOlive, kBlack, kNavy, kYellow, kNavy);
  PointerOverWithoutHover(btn);
  ASSERT_EQ(CCapture(btn).At(60, 2), kNavy);

  ::SendMessageA(btn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 20));
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), kNavy) << "dragged onto the button";
  EXPECT_EQ(CCapture(btn).At(0, 0), kNavy);

  ::SendMessageA(btn, WM_MOUSEMOVE, 0, MAKELPARAM(60, 20));
  Pump();
  {
    CCapture cap(btn);
    EXPECT_EQ(cap.At(60, 2), kOlive) << "plain move";
    EXPECT_EQ(cap.At(0, 0), m_crHighlight);  // raised edge
    EXPECT_EQ(cap.At(119, 39), m_crShadow);
  }

  ::SendMessageA(btn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 20));
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), kOlive) << "button held inside keeps the hover";

  ::SendMessageA(btn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, -10));
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), kNavy) << "moved off the button";
}

TEST_F(BtnSTTest, CancelHover_EveryEndEvent_FaceBackToNormal) {
  CProbeBtn btn;
  Make(btn, "Hover", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  AddButton(kOtherId, "Other", BS_PUSHBUTTON, CRect(20, 80, 140, 120));
  SetColors(btn, kOlive, kBlack, kNavy, kYellow, kNavy);
  auto face = [&] { return CCapture(btn).At(60, 2); };

  Hover(btn);
  ASSERT_EQ(face(), kOlive);
  ::SendMessageA(btn, WM_MOUSELEAVE, 0, 0);
  Pump();
  EXPECT_EQ(face(), kNavy) << "WM_MOUSELEAVE";
  EXPECT_EQ(CCapture(btn).At(0, 0), kNavy) << "edge gone";

  Hover(btn);
  ASSERT_EQ(face(), kOlive);
  ParkCursor();
  wintest::WaitUntil([&] { return face() == kNavy; });
  EXPECT_EQ(face(), kNavy) << "pointer left (tracked leave notice)";

  btn.SetFocus();
  Hover(btn);
  ASSERT_EQ(face(), kOlive);
  ::SetFocus(::GetDlgItem(m_dlg, kOtherId));
  Pump();
  EXPECT_EQ(face(), kNavy) << "focus lost";

  Hover(btn);
  ASSERT_EQ(face(), kOlive);
  ::SendMessageA(btn, WM_CANCELMODE, 0, 0);
  Pump();
  EXPECT_EQ(face(), kNavy) << "cancel mode";

  Hover(btn);
  ASSERT_EQ(face(), kOlive);
  ::SendMessageA(btn, WM_ACTIVATE, WA_ACTIVE, 0);
  Pump();
  EXPECT_EQ(face(), kOlive) << "activation keeps it";
  ::SendMessageA(btn, WM_ACTIVATE, WA_INACTIVE, 0);
  Pump();
  EXPECT_EQ(face(), kNavy) << "deactivation";

  Hover(btn);
  ASSERT_EQ(face(), kOlive);
  btn.EnableWindow(FALSE);
  Pump();
  EXPECT_EQ(face(), kNavy) << "disabled";
}

// ---- disabled ----------------------------------------------------------------------------------

TEST_F(BtnSTTest, DrawItem_Disabled_CaptionEngravedIconEmbossed) {
  CProbeBtn btn;
  Make(btn, "Gone", BS_PUSHBUTTON, CRect(20, 20, 220, 68));
  ASSERT_NE(m_crHighlight, m_crShadow);
  ASSERT_EQ(btn.AssignIcons(MakeIcon(32, kRed, kRed), nullptr), static_cast<DWORD>(CBtnST::BTN_OK));
  btn.EnableWindow(FALSE);
  Pump();

  CCapture cap(btn);
  const CRect textArea(40, 2, 198, 46);
  EXPECT_EQ(cap.Count(kYellow), 0) << "no enabled caption colour";
  const CRect hi = cap.Bounds(m_crHighlight, textArea);
  const CRect sh = cap.Bounds(m_crShadow, textArea);
  ASSERT_FALSE(hi.IsRectEmpty());
  ASSERT_FALSE(sh.IsRectEmpty());
  // The highlight copy lies one pixel right of and below the shadow copy.
  EXPECT_EQ(hi.right, sh.right + 1);
  EXPECT_EQ(hi.bottom, sh.bottom + 1);
  EXPECT_EQ(cap.At(60, 2), kNavy);

  EXPECT_EQ(cap.Count(kRed), 0) << "icon embossed, not in colour";
  EXPECT_EQ(cap.At(3 + 4, 16 + 4), m_crShadow);
}

TEST_F(BtnSTTest, OnEnable_Disabled_FocusGoesToNextTabItemOrParent) {
  // The dialog itself would hand the focus to its first item, so the button stands second.
  HWND hFirst = AddButton(kThirdId, "First", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  ASSERT_NE(hFirst, nullptr);
  CProbeBtn btn;
  Make(btn, "Second", BS_PUSHBUTTON, CRect(20, 80, 140, 120));
  HWND hNext = AddButton(kOtherId, "Next", BS_PUSHBUTTON, CRect(20, 140, 140, 180));
  btn.SetFocus();
  ASSERT_EQ(::GetFocus(), btn.m_hWnd);
  btn.EnableWindow(FALSE);
  Pump();
  EXPECT_EQ(::GetFocus(), hNext);

  {
    SCOPED_TRACE("no other tab item: the parent takes the focus");
    CHostDlg lone;
    ASSERT_TRUE(lone.CreateHost(200, 100));
    HWND hLone = wintest::CreateChildWindow(lone, kBtnId, "BUTTON", "Lone", WS_TABSTOP, 10, 10, 100, 30);
    CProbeBtn loneBtn;
    ASSERT_TRUE(loneBtn.SubclassWindow(hLone));
    loneBtn.SetFocus();
    ASSERT_EQ(::GetFocus(), hLone);
    loneBtn.EnableWindow(FALSE);
    Pump();
    EXPECT_EQ(::GetFocus(), lone.m_hWnd);
  }
}

// Optimize is disabled by the pass's worker thread while the user may be typing elsewhere.
TEST_F(BtnSTTest, OnEnable_DisabledWithoutFocus_FocusStaysWhereItIs) {
  CProbeBtn btn;
  Make(btn, "Optimize", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  // As in the main dialog, the edit being typed in is not the button's next tab item.
  ASSERT_NE(AddButton(kThirdId, "After", BS_PUSHBUTTON, CRect(20, 120, 140, 160)), nullptr);
  HWND hEdit = wintest::CreateChildWindow(m_dlg, kOtherId, "EDIT", "3", WS_TABSTOP, 20, 80, 120, 24);
  ASSERT_NE(hEdit, nullptr);
  for (bool bOtherThread : {false, true}) {
    SCOPED_TRACE(bOtherThread ? "disabled from another thread" : "disabled on its own thread");
    btn.EnableWindow(TRUE);
    ::SetFocus(hEdit);
    if (bOtherThread) {
      std::atomic<bool> bDone{false};
      std::thread worker([&] {
        ::EnableWindow(btn, FALSE);
        bDone = true;
      });
      wintest::WaitUntil([&] { return bDone.load(); }, INFINITE);  // takes the late WM_ENABLE, which join() would not
      worker.join();
    } else {
      btn.EnableWindow(FALSE);
    }
    Pump();
    EXPECT_EQ(::GetFocus(), hEdit);
  }
}

// ---- colours -----------------------------------------------------------------------------------

TEST_F(BtnSTTest, SetStateColor_IndexOutOfRange_ReturnsBadIndexAndChangesNothing) {
  CProbeBtn btn;
  Make(btn, "Col", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  PointerOverWithoutHover(btn);
  EXPECT_EQ(btn.SetStateColor(6, kRed, TRUE), static_cast<DWORD>(CBtnST::BTN_BADINDEX));
  EXPECT_EQ(btn.SetStateColor(255, kRed, TRUE), static_cast<DWORD>(CBtnST::BTN_BADINDEX));
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), kNavy);
  EXPECT_EQ(CCapture(btn).Count(kRed), 0);
  btn.SetFocus();
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), kPurple);
  Hover(btn);
  EXPECT_EQ(CCapture(btn).At(60, 2), kOlive);
  EXPECT_EQ(CCapture(btn).Count(kRed), 0);
}

TEST_F(BtnSTTest, SetStateColor_RepaintFlag_RedrawsOnlyWhenAsked) {
  CProbeBtn btn;
  Make(btn, "Col", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  EXPECT_EQ(btn.SetStateColor(CBtnST::BTNCOLOR_BK_NORMAL, kTeal, FALSE), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), kNavy);
  EXPECT_EQ(btn.SetStateColor(CBtnST::BTNCOLOR_BK_NORMAL, kTeal, TRUE), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), kTeal);

  EXPECT_EQ(btn.ResetColors(TRUE), static_cast<DWORD>(CBtnST::BTN_OK));
  Pump();
  EXPECT_EQ(CCapture(btn).At(60, 2), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(CCapture(btn).Count(::GetSysColor(COLOR_BTNTEXT)), 0);
}

TEST_F(BtnSTTest, PaintFace_Focused_UsesFocusColourWithoutEdge) {
  CProbeBtn btn;
  Make(btn, "Focus", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  btn.SetFocus();
  Pump();
  CCapture cap(btn);
  EXPECT_EQ(cap.At(60, 2), kPurple);
  EXPECT_EQ(cap.At(0, 0), kPurple);
  EXPECT_EQ(cap.At(119, 39), kPurple);
}

// ---- dialog manager integration ----------------------------------------------------------------

TEST_F(BtnSTTest, OnSetStyle_DefPushButton_DefaultDlgCodeAndStillOwnerDrawn) {
  CProbeBtn btn;
  Make(btn, "Def", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  auto code = [&] { return static_cast<UINT>(::SendMessageA(btn, WM_GETDLGCODE, 0, 0)); };
  EXPECT_TRUE(code() & DLGC_UNDEFPUSHBUTTON);
  EXPECT_FALSE(code() & DLGC_DEFPUSHBUTTON);

  ::SendMessageA(btn, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_TRUE(code() & DLGC_DEFPUSHBUTTON);
  EXPECT_FALSE(code() & DLGC_UNDEFPUSHBUTTON);
  EXPECT_EQ(btn.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));

  ::SendMessageA(btn, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_TRUE(code() & DLGC_UNDEFPUSHBUTTON);
  EXPECT_FALSE(code() & DLGC_DEFPUSHBUTTON);
  EXPECT_EQ(btn.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(BtnSTTest, PreSubclassWindow_DefPushButtonTemplate_DefaultAndOwnerDrawn) {
  CProbeBtn btn;
  Make(btn, "Def", BS_DEFPUSHBUTTON, CRect(20, 20, 140, 60));
  EXPECT_TRUE(::SendMessageA(btn, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  EXPECT_EQ(btn.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(BtnSTTest, CtlColor_ReflectedRequest_HollowBrushWinsOverParent) {
  CProbeBtn btn;
  Make(btn, "Col", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  HWND hPlain = AddButton(kOtherId, "Plain", BS_PUSHBUTTON, CRect(20, 80, 140, 120));
  HDC hdc = ::GetDC(btn);
  auto ask = [&](HWND hCtl) {
    return ::SendMessageA(m_dlg, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hCtl));
  };
  const LRESULT mine = ask(btn);
  const LRESULT plain = ask(hPlain);
  ::ReleaseDC(btn, hdc);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(mine), ::GetStockObject(NULL_BRUSH));
  EXPECT_NE(reinterpret_cast<HGDIOBJ>(plain), ::GetStockObject(NULL_BRUSH));
}

// ---- tooltip -----------------------------------------------------------------------------------

TEST_F(BtnSTTest, PreTranslateMessage_FirstMessage_CreatesTooltipOnce) {
  CProbeBtn btn;
  Make(btn, "Tip", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  ASSERT_EQ(btn.m_tip.m_hWnd, nullptr);
  MSG msg{};
  msg.hwnd = btn;
  msg.message = WM_MOUSEMOVE;
  msg.lParam = MAKELPARAM(10, 10);
  EXPECT_FALSE(btn.PreTranslateMessage(&msg));
  const HWND hTip = btn.m_tip.m_hWnd;
  ASSERT_NE(hTip, nullptr);
  EXPECT_EQ(::SendMessageA(hTip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
  EXPECT_EQ(btn.m_tip.GetToolCount(), 0);
  btn.PreTranslateMessage(&msg);
  EXPECT_EQ(btn.m_tip.m_hWnd, hTip);

  // Created inactive: a tool alone does not make it show.
  CRect rc;
  btn.GetClientRect(rc);
  ASSERT_TRUE(btn.m_tip.AddTool(&btn, "Tip", rc, 1));
  ::SendMessageA(hTip, TTM_SETDELAYTIME, TTDT_INITIAL, 10);
  CPoint pt = ScreenCenter(btn);
  ::SetCursorPos(pt.x, pt.y);
  msg.lParam = MAKELPARAM(60, 20);
  msg.pt = pt;
  msg.time = ::GetTickCount();
  btn.PreTranslateMessage(&msg);
  // Long enough for the 10 ms delay many times over; a tip that shows ends the wait at once.
  wintest::WaitUntil([&] { return ::IsWindowVisible(hTip) != FALSE; }, 300);
  EXPECT_FALSE(::IsWindowVisible(hTip));
}

TEST_F(BtnSTTest, SetTipText_Texts_OneToolOverClientRectWithLatestText) {
  CProbeBtn btn;
  Make(btn, "Tip", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  btn.SetTipText(nullptr, TRUE);
  EXPECT_EQ(btn.m_tip.m_hWnd, nullptr);

  btn.SetTipText("Start the RAM/Memory optimization", TRUE);
  ASSERT_NE(btn.m_tip.m_hWnd, nullptr);
  EXPECT_EQ(::SendMessageA(btn.m_tip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
  EXPECT_EQ(btn.m_tip.GetToolCount(), 1);
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = btn;
  ti.uId = 1;
  ASSERT_TRUE(::SendMessageA(btn.m_tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_EQ(CRect(ti.rect), CRect(0, 0, 120, 40));
  EXPECT_STREQ(btn.m_tip.GetToolText(&btn, 1), "Start the RAM/Memory optimization");

  btn.SetTipText("Exit from Mnemora.Net", FALSE);
  EXPECT_EQ(btn.m_tip.GetToolCount(), 1);
  EXPECT_STREQ(btn.m_tip.GetToolText(&btn, 1), "Exit from Mnemora.Net");
  btn.SetTipText(nullptr, TRUE);
  EXPECT_STREQ(btn.m_tip.GetToolText(&btn, 1), "Exit from Mnemora.Net");
}

TEST_F(BtnSTTest, SetTipText_ActivateFlag_TipShownOnlyWhenActive) {
  CProbeBtn btn;
  Make(btn, "Tip", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  btn.SetTipText("About Mnemora.Net", TRUE);
  ASSERT_NE(btn.m_tip.m_hWnd, nullptr);
  ::SendMessageA(btn.m_tip, TTM_SETDELAYTIME, TTDT_INITIAL, 10);
  auto relayMoveAndWait = [&](DWORD dwTimeoutMs) {
    CPoint pt = ScreenCenter(btn);
    ::SetCursorPos(pt.x, pt.y);
    ::ScreenToClient(btn, &pt);
    MSG msg{};
    msg.hwnd = btn;
    msg.message = WM_MOUSEMOVE;
    msg.lParam = MAKELPARAM(pt.x, pt.y);
    msg.time = ::GetTickCount();
    ::GetCursorPos(&msg.pt);
    btn.PreTranslateMessage(&msg);
    wintest::WaitUntil([&] { return ::IsWindowVisible(btn.m_tip) != FALSE; }, dwTimeoutMs);
  };
  relayMoveAndWait(5000);
  EXPECT_TRUE(::IsWindowVisible(btn.m_tip)) << "active";

  btn.SetTipText("About Mnemora.Net", FALSE);
  ParkCursor();
  Pump();
  relayMoveAndWait(500);  // fifty times the tip's delay
  EXPECT_FALSE(::IsWindowVisible(btn.m_tip)) << "inactive";
}

// ---- drop-down menu entries without a menu -----------------------------------------------------

class CPopupMenu {
 public:
  CPopupMenu() : m_hMenu(::CreatePopupMenu()) {
    ::AppendMenuA(m_hMenu, MF_STRING, 1, "&Alpha");
    ::AppendMenuA(m_hMenu, MF_STRING, 2, "&Beta");
  }
  ~CPopupMenu() { ::DestroyMenu(m_hMenu); }
  CPopupMenu(const CPopupMenu&) = delete;
  CPopupMenu& operator=(const CPopupMenu&) = delete;
  HMENU m_hMenu;
};

TEST_F(BtnSTTest, OnMenuChar_NotABitmapMenu_DefaultProcessing) {
  CProbeBtn btn;
  Make(btn, "Menu", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  HWND hPlain = AddButton(kOtherId, "Plain", BS_PUSHBUTTON, CRect(20, 80, 140, 120));
  CPopupMenu menu;
  const WPARAM wp = MAKEWPARAM('b', MF_POPUP);
  const LRESULT mine = ::SendMessageA(btn, WM_MENUCHAR, wp, reinterpret_cast<LPARAM>(menu.m_hMenu));
  const LRESULT plain = ::SendMessageA(hPlain, WM_MENUCHAR, wp, reinterpret_cast<LPARAM>(menu.m_hMenu));
  EXPECT_EQ(mine, plain);
  EXPECT_NE(HIWORD(mine), MNC_EXECUTE);
}

TEST_F(BtnSTTest, OnMeasureItem_NotABitmapMenu_RequestLeftAlone) {
  CProbeBtn btn;
  Make(btn, "Menu", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
  CPopupMenu menu;
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(menu.m_hMenu));
  mis.itemWidth = 777;
  mis.itemHeight = 555;
  ::SendMessageA(btn, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(mis.itemWidth, 777u);
  EXPECT_EQ(mis.itemHeight, 555u);
}

// ---- drop-down menu with a platform menu ------------------------------------------------------

// What the menu loop saw of the button, and what to do to the menu.
struct MenuLoopProbe {
  HWND hBtn = nullptr;
  bool bChoose = false;
  bool bSeen = false;
  COLORREF crFace = CLR_INVALID;
  COLORREF crCorner = CLR_INVALID;
};
MenuLoopProbe g_probe;

void InsideMenuLoop(HWND) {
  ::UpdateWindow(g_probe.hBtn);
  CCapture cap(g_probe.hBtn);
  g_probe.bSeen = true;
  g_probe.crFace = cap.At(60, 2);
  g_probe.crCorner = cap.At(0, 0);
  if (g_probe.bChoose) {
    // The menu loop reads the keyboard of the whole thread.
    ::PostMessageA(g_probe.hBtn, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(g_probe.hBtn, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(g_probe.hBtn, WM_KEYDOWN, VK_RETURN, 0);
  } else {
    ::EndMenu();
  }
}

class BtnSTMenuTest : public BtnSTTest {
 protected:
  void SetUp() override {
    BtnSTTest::SetUp();
    Make(m_btn, "Menu", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
    HMENU hPopup = ::CreatePopupMenu();
    ::AppendMenuA(hPopup, MF_STRING, 501, "One");
    ::AppendMenuA(hPopup, MF_STRING, 502, "Two");
    ASSERT_TRUE(m_btn.m_menu.CreateMenu());
    m_btn.m_menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(hPopup), "Drop");
    m_btn.m_hMenuOwner = m_btn;  // a window whose queue the test reads
    g_probe = MenuLoopProbe();
    g_probe.hBtn = m_btn;
  }
  void TearDown() override {
    m_btn.UnsubclassWindow();
    BtnSTTest::TearDown();
  }

  UINT ClickAndReadCommand() { return ClickAndReadMenuCommand(m_btn, &InsideMenuLoop); }

  CProbeBtn m_btn;
};

TEST_F(BtnSTMenuTest, OnClicked_MenuClosedWithoutChoice_PressedMeanwhileNothingPosted) {
  EXPECT_EQ(ClickAndReadCommand(), 0u);
  ASSERT_TRUE(g_probe.bSeen);
  EXPECT_EQ(g_probe.crFace, kOlive) << "drawn pressed while the menu is up";
  EXPECT_EQ(g_probe.crCorner, m_crShadow);
  EXPECT_FALSE(m_btn.m_bMenuShown);
  EXPECT_EQ(CCapture(m_btn).At(60, 2), kPurple) << "focused, no longer pressed";
  EXPECT_EQ(m_dlg.m_nClicks, 1);
}

TEST_F(BtnSTMenuTest, OnClicked_CommandChosen_PostedToMenuOwner) {
  g_probe.bChoose = true;
  EXPECT_EQ(ClickAndReadCommand(), 502u);
  ASSERT_TRUE(g_probe.bSeen);
  EXPECT_EQ(CCapture(m_btn).At(60, 2), kPurple);
}

}  // namespace
