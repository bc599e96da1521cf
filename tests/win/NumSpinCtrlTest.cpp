#include "NumSpinCtrl.h"

#include "NumEdit.h"

#include <gtest/gtest.h>

#include <string>

#include "WinTestSupport.h"

namespace {

constexpr int kEditId = 1055;
constexpr int kSpinId = 1056;
constexpr int kPlainEditId = 1057;

// Has its own handler for the spin's notification, which reflection must keep from running.
class CHostDlg : public CDialog {
 public:
  CHostDlg() : CDialog(0) {}
  BOOL CreateHost() { return wintest::CreateModeless(*this, wintest::CDialogTemplate(WS_POPUP | WS_BORDER, 200, 60)); }
  int m_nParentDeltaPos = 0;

 protected:
  afx_msg void OnSpinDeltaPos(NMHDR*, LRESULT* pResult) {
    ++m_nParentDeltaPos;
    *pResult = 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostDlg, CDialog)
  ON_NOTIFY(UDN_DELTAPOS, kSpinId, OnSpinDeltaPos)
END_MESSAGE_MAP()

class CNumSpinCtrlTest : public wintest::HostedTest<CHostDlg, ICC_UPDOWN_CLASS> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(HostedTest::SetUp());
    s_pHost->m_nParentDeltaPos = 0;
    m_hEdit = CreateChild(WS_EX_CLIENTEDGE, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 10, kEditId);
    m_hSpin = CreateChild(0, UPDOWN_CLASSA, UDS_ARROWKEYS, 135, kSpinId);
    ASSERT_NE(m_hEdit, nullptr);
    ASSERT_NE(m_hSpin, nullptr);
    ASSERT_TRUE(m_edit.SubclassWindow(m_hEdit));
    ASSERT_TRUE(m_spin.SubclassWindow(m_hSpin));
    Pump();
  }

  void TearDown() override {
    ::DestroyWindow(m_hSpin);
    ::DestroyWindow(m_hEdit);
    if (m_hPlain) ::DestroyWindow(m_hPlain);
    Pump();
  }

  static HWND CreateChild(DWORD dwExStyle, const char* pszClass, DWORD dwStyle, int x, int nId) {
    return wintest::CreateChildWindow(s_pHost->m_hWnd, nId, pszClass, "", dwStyle, x, 10, x < 100 ? 120 : 18, 24,
                                      dwExStyle);
  }

  // The threshold input's set-up in the main dialog.
  void Bind() {
    m_spin.SetBuddy(&m_edit);
    m_spin.SetRange(0.0f, 50.0f);
    m_spin.SetDelta(1.0f);
  }

  // The dialog's modal loop, minus the waiting.
  static void Pump() { wintest::PumpPendingPreTranslated(s_pHost->m_hWnd); }

  // A mouse click on one arrow, delivered through the queue; the platform control itself
  // then notifies its parent.
  void Click(bool bUp) {
    RECT rc{};
    ::GetClientRect(m_hSpin, &rc);
    LPARAM pt = MAKELPARAM(rc.right / 2, bUp ? rc.bottom / 4 : rc.bottom * 3 / 4);
    ::PostMessageA(m_hSpin, WM_LBUTTONDOWN, MK_LBUTTON, pt);
    ::PostMessageA(m_hSpin, WM_LBUTTONUP, 0, pt);
    Pump();
  }

  // UDN_DELTAPOS as the control sends it to its parent.
  LRESULT NotifyDeltaPos(NMUPDOWN& nm) {
    nm.hdr.hwndFrom = m_hSpin;
    nm.hdr.idFrom = kSpinId;
    nm.hdr.code = UDN_DELTAPOS;
    return ::SendMessageA(s_pHost->m_hWnd, WM_NOTIFY, kSpinId, reinterpret_cast<LPARAM>(&nm));
  }

  int InnerPos() const { return static_cast<int>(::SendMessageA(m_hSpin, UDM_GETPOS32, 0, 0)); }
  void SetInnerPos(int n) { ::SendMessageA(m_hSpin, UDM_SETPOS32, 0, n); }

  static std::string TextOf(HWND hWnd) {
    char buf[64] = {};
    ::GetWindowTextA(hWnd, buf, static_cast<int>(sizeof buf));
    buf[sizeof buf - 1] = '\0';
    return buf;
  }
  std::string Text() const { return TextOf(m_hEdit); }

  CNumEdit m_edit;
  CNumSpinCtrl m_spin;
  HWND m_hEdit = nullptr;
  HWND m_hSpin = nullptr;
  HWND m_hPlain = nullptr;
};

TEST_F(CNumSpinCtrlTest, RuntimeClass_Object_NamedAndDerivedFromSpin) {
  EXPECT_STREQ(m_spin.GetRuntimeClass()->m_lpszClassName, "CNumSpinCtrl");
  EXPECT_TRUE(m_spin.IsKindOf(RUNTIME_CLASS(CSpinButtonCtrl)));
  EXPECT_FALSE(m_spin.IsKindOf(RUNTIME_CLASS(CNumEdit)));
}

TEST_F(CNumSpinCtrlTest, SetBuddy_NumEdit_AttachesAndWritesZeroInBuddyDecimals) {
  m_edit.SetWindowText("abc");
  m_spin.SetBuddy(&m_edit);
  EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageA(m_hSpin, UDM_GETBUDDY, 0, 0)), m_hEdit);
  EXPECT_EQ(m_spin.GetBuddy(), &m_edit);
  EXPECT_EQ(Text(), "0");

  m_edit.SetValue(12.5f);
  m_spin.SetBuddy(&m_edit);
  EXPECT_EQ(Text(), "0.0");
}

TEST_F(CNumSpinCtrlTest, SetRange_AnyBounds_InnerRangeFixedBuddyGetsBoundsTextKept) {
  m_spin.SetBuddy(&m_edit);
  m_edit.SetWindowText("80");
  m_spin.SetRange(-5.0f, 5.0f);
  int nLower = -1, nUpper = -1;
  m_spin.GetRange32(nLower, nUpper);
  EXPECT_EQ(nLower, 0);
  EXPECT_EQ(nUpper, 1000);
  m_spin.SetRange(0.0f, 50.0f);
  float fLower = -1.0f, fUpper = -1.0f;
  m_spin.GetRange(fLower, fUpper);
  EXPECT_EQ(fLower, 0.0f);
  EXPECT_EQ(fUpper, 50.0f);
  m_edit.GetRange(fLower, fUpper);
  EXPECT_EQ(fLower, 0.0f);
  EXPECT_EQ(fUpper, 50.0f);
  EXPECT_EQ(Text(), "80");
}

TEST_F(CNumSpinCtrlTest, Delta_SetThenGet_ForwardedToBuddy) {
  Bind();
  m_spin.SetDelta(2.5f);
  EXPECT_EQ(m_edit.GetDelta(), 2.5f);
  EXPECT_EQ(m_spin.GetDelta(), 2.5f);
}

TEST_F(CNumSpinCtrlTest, SetPos_InsideOrOutsideRange_BuddyWrittenOnlyInsideInnerParked) {
  Bind();
  SetInnerPos(123);
  m_spin.SetPos(15.0f);
  EXPECT_EQ(Text(), "15");
  EXPECT_EQ(InnerPos(), 500);
  EXPECT_EQ(m_spin.GetPos(), 15.0f);

  SetInnerPos(123);
  m_spin.SetPos(70.0f);
  EXPECT_EQ(Text(), "15");
  EXPECT_EQ(InnerPos(), 500);
  m_spin.SetPos(-1.0f);
  EXPECT_EQ(Text(), "15");
}

TEST_F(CNumSpinCtrlTest, GetPos_InvalidBuddyText_Zero) {
  Bind();
  m_spin.SetPos(15.0f);
  m_edit.SetWindowText("1x");
  EXPECT_EQ(m_spin.GetPos(), 0.0f);
}

TEST_F(CNumSpinCtrlTest, Click_Arrows_StepBuddyKeepingItsDecimals) {
  Bind();
  m_spin.SetPos(15.0f);
  Click(true);
  EXPECT_EQ(Text(), "16");
  EXPECT_EQ(InnerPos(), 501);  // result 0 let the platform control apply the change
  Click(false);
  Click(false);
  EXPECT_EQ(Text(), "14");

  m_spin.SetPos(15.5f);
  Click(true);
  EXPECT_EQ(Text(), "16.5");
  Click(true);
  EXPECT_EQ(Text(), "17.5");
  Click(false);
  EXPECT_EQ(Text(), "16.5");
}

TEST_F(CNumSpinCtrlTest, Click_AtRangeEnds_ClampedToBuddyRange) {
  Bind();
  m_spin.SetPos(50.0f);
  Click(true);
  EXPECT_EQ(Text(), "50");
  m_spin.SetPos(0.0f);
  Click(false);
  EXPECT_EQ(Text(), "0");
  m_spin.SetDelta(10.0f);
  m_spin.SetPos(45.0f);
  Click(true);
  EXPECT_EQ(Text(), "50");
}

TEST_F(CNumSpinCtrlTest, Click_WithDelta_StepsByDelta) {
  Bind();
  m_spin.SetDelta(2.5f);
  m_spin.SetPos(10.0f);
  Click(true);
  EXPECT_EQ(Text(), "12.5");
}

TEST_F(CNumSpinCtrlTest, OnDeltaPos_NearInnerEnds_PositionResetToMiddle) {
  Bind();
  m_spin.SetPos(20.0f);
  struct Case {
    int iPos, iDelta, iExpected;
  };
  const Case cases[] = {{1, 1, 500},   {0, 1, 500}, {999, 1, 500}, {997, 3, 500}, {996, 3, 996},
                        {998, 1, 998}, {2, 1, 2},   {600, 1, 600}, {5, -1, 5},    {1001, -1, 500}};
  for (const Case& c : cases) {
    NMUPDOWN nm{};
    nm.iPos = c.iPos;
    nm.iDelta = c.iDelta;
    EXPECT_EQ(NotifyDeltaPos(nm), 0);
    EXPECT_EQ(nm.iPos, c.iExpected) << "iPos " << c.iPos << " iDelta " << c.iDelta;
  }
  // Each notification also steps the buddy: 10 steps net.
  EXPECT_EQ(Text(), "30");
  EXPECT_EQ(s_pHost->m_nParentDeltaPos, 0);
}

TEST_F(CNumSpinCtrlTest, Notify_DeltaPos_ReflectedAwayFromParentHandler) {
  Bind();
  m_spin.SetPos(15.0f);
  Click(true);
  Click(false);
  Click(true);
  EXPECT_EQ(Text(), "16");
  EXPECT_EQ(s_pHost->m_nParentDeltaPos, 0);

  // Without the control object the same click reaches the parent's handler.
  m_spin.UnsubclassWindow();
  Click(true);
  EXPECT_EQ(s_pHost->m_nParentDeltaPos, 1);
  EXPECT_EQ(Text(), "16");
}

TEST_F(CNumSpinCtrlTest, Buddy_PlainEdit_IgnoredAndGettersZero) {
  m_hPlain = CreateChild(WS_EX_CLIENTEDGE, "EDIT", ES_AUTOHSCROLL, 10, kPlainEditId);
  ASSERT_NE(m_hPlain, nullptr);
  ::SetWindowTextA(m_hPlain, "abc");
  m_edit.SetWindowText("7");
  m_spin.SetBuddy(CWnd::FromHandle(m_hPlain));
  EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageA(m_hSpin, UDM_GETBUDDY, 0, 0)), m_hPlain);
  EXPECT_EQ(TextOf(m_hPlain), "abc");

  m_spin.SetRange(0.0f, 50.0f);
  int nLower = -1, nUpper = -1;
  m_spin.GetRange32(nLower, nUpper);
  EXPECT_EQ(nUpper, 1000);
  float fLower = -7.0f, fUpper = 7.0f;
  m_spin.GetRange(fLower, fUpper);
  EXPECT_EQ(fLower, -7.0f);
  EXPECT_EQ(fUpper, 7.0f);
  m_spin.SetDelta(3.0f);
  EXPECT_EQ(m_spin.GetDelta(), 0.0f);
  EXPECT_EQ(m_spin.GetPos(), 0.0f);

  SetInnerPos(123);
  m_spin.SetPos(10.0f);
  EXPECT_EQ(InnerPos(), 500);
  EXPECT_EQ(TextOf(m_hPlain), "abc");

  Click(true);
  EXPECT_EQ(InnerPos(), 501);
  EXPECT_EQ(TextOf(m_hPlain), "abc");
  EXPECT_EQ(Text(), "7");
  EXPECT_EQ(s_pHost->m_nParentDeltaPos, 0);
}

TEST_F(CNumSpinCtrlTest, Buddy_None_OperationsHarmlessGettersZero) {
  EXPECT_EQ(m_spin.GetBuddy(), nullptr);
  m_spin.SetRange(0.0f, 50.0f);
  m_spin.SetPos(10.0f);
  EXPECT_EQ(InnerPos(), 500);
  EXPECT_EQ(m_spin.GetPos(), 0.0f);
  EXPECT_EQ(m_spin.GetDelta(), 0.0f);
  Click(true);
  EXPECT_EQ(InnerPos(), 501);
}

TEST_F(CNumSpinCtrlTest, ArrowKey_InBuddy_StepsValue) {
  Bind();
  m_spin.SetPos(15.0f);
  m_edit.SetFocus();
  ::PostMessageA(m_hEdit, WM_KEYDOWN, VK_UP, 1);
  ::PostMessageA(m_hEdit, WM_KEYUP, VK_UP, 0xC0000001);
  Pump();
  EXPECT_EQ(Text(), "16");
  ::PostMessageA(m_hEdit, WM_KEYDOWN, VK_DOWN, 1);
  ::PostMessageA(m_hEdit, WM_KEYUP, VK_DOWN, 0xC0000001);
  Pump();
  EXPECT_EQ(Text(), "15");
  EXPECT_EQ(s_pHost->m_nParentDeltaPos, 0);
}

}  // namespace
