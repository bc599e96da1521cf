// CLabel on real static controls: its colour answer read from a device context, its drawing
// read back as pixels, and its click handed to the shell.
#include "Label.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "WinTestSupport.h"

namespace {

using namespace wintest;

constexpr int kLabelId = 1016;
constexpr int kOtherLabelId = 1017;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLabelGrey = RGB(115, 115, 115);
constexpr COLORREF kRed = RGB(193, 26, 26);
constexpr COLORREF kBlue = RGB(82, 138, 189);
constexpr COLORREF kPanel = RGB(231, 231, 231);
constexpr COLORREF kGreen = RGB(0, 160, 0);

class CHostDialog : public CControlHost {
 public:
  int m_nClicks = 0;

 protected:
  void OnLabelClicked() { ++m_nClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostDialog, CControlHost)
  ON_CONTROL(STN_CLICKED, kLabelId, OnLabelClicked)
END_MESSAGE_MAP()

class LabelTest : public HostedTest<CHostDialog> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(HostedTest::SetUp());
    s_pHost->m_nClicks = 0;
  }
  void TearDown() override {
    for (HWND hWnd : m_windows) ::DestroyWindow(hWnd);
  }

  // A plain left-aligned static, as a dialog template makes one, attached to rLabel.
  HWND CreateLabel(CLabel& rLabel, int nId, int y, const char* pszText = "Available", DWORD dwStyle = 0) {
    HWND hWnd = CreateChildWindow(s_pHost->m_hWnd, nId, "STATIC", pszText, SS_LEFT | dwStyle, 10, y, 120, 24);
    EXPECT_NE(hWnd, nullptr);
    m_windows.push_back(hWnd);
    EXPECT_TRUE(rLabel.SubclassWindow(hWnd));
    return hWnd;
  }

  static void Settle() { wintest::Settle(s_pHost->m_hWnd); }

  static HWND Host() { return s_pHost->m_hWnd; }

  CLabel m_label;
  CLabel m_other;
  std::vector<HWND> m_windows;
};

LOGFONTA DefaultGuiFont() {
  LOGFONTA lf{};
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  return lf;
}

// ---- the colour answer ------------------------------------------------------------------------

TEST_F(LabelTest, CtlColor_NewLabel_SystemColoursAndDefaultGuiFont) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);

  CtlColorAnswer a = AskCtlColor(Host(), hWnd);
  EXPECT_EQ(a.crBrush, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(a.crText, ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(a.nBkMode, TRANSPARENT);
  LOGFONTA lfGui = DefaultGuiFont();
  EXPECT_EQ(a.lf.lfHeight, lfGui.lfHeight);
  EXPECT_STREQ(a.lf.lfFaceName, lfGui.lfFaceName);
}

TEST_F(LabelTest, CtlColor_OtherRequestKind_OnlyReturnsTheBrush) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  m_label.SetBackColor(kPanel).SetForeColor(kRed).SetFontHeight(30);

  CtlColorAnswer a = AskCtlColor(Host(), hWnd, WM_CTLCOLORBTN);
  EXPECT_EQ(a.crBrush, kPanel);
  EXPECT_EQ(a.crText, RGB(0, 0, 0)) << "text colour untouched";
  EXPECT_EQ(a.nBkMode, OPAQUE);
  EXPECT_NE(a.lf.lfHeight, -30) << "font untouched";
}

TEST_F(LabelTest, SetFontHeight_16_NegativeHeightGivesSixteenPixelCharacters) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10, "HHHH");
  EXPECT_EQ(&m_label.SetFontHeight(16), &m_label);

  CtlColorAnswer a = AskCtlColor(Host(), hWnd);
  EXPECT_EQ(a.lf.lfHeight, -16);
  EXPECT_EQ(a.tm.tmHeight - a.tm.tmInternalLeading, 16);

  // The static draws with that font: bigger characters give taller ink.
  m_label.SetBackColor(kWhite).SetForeColor(kRed);
  Settle();
  int nInk16 = CaptureClient(hWnd).Bounds(kRed).Height();
  m_label.SetFontHeight(22);
  int nInk22 = CaptureClient(hWnd).Bounds(kRed).Height();
  EXPECT_GT(nInk16, 6);
  EXPECT_LE(nInk16, 16);
  EXPECT_GE(nInk22, nInk16 + 3);
}

TEST_F(LabelTest, SetFontFace_NamesUpToAndBeyond31Characters) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);

  EXPECT_EQ(&m_label.SetFontFace("Verdana"), &m_label);
  EXPECT_STREQ(AskCtlColor(Host(), hWnd).lf.lfFaceName, "Verdana");

  const std::string strLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40 characters
  m_label.SetFontFace(strLong.c_str());
  CtlColorAnswer a = AskCtlColor(Host(), hWnd);
  EXPECT_EQ(std::string(a.lf.lfFaceName), strLong.substr(0, 31));
  EXPECT_EQ(a.lf.lfHeight, DefaultGuiFont().lfHeight) << "the rest of the description stays";
}

// ---- colours on screen ------------------------------------------------------------------------

TEST_F(LabelTest, Colours_TwoLabels_EachDrawsWithItsOwn) {
  HWND hWndA = CreateLabel(m_label, kLabelId, 10);
  HWND hWndB = CreateLabel(m_other, kOtherLabelId, 50);
  m_label.SetBackColor(kWhite).SetForeColor(kRed).SetFontFace("Verdana");
  m_other.SetBackColor(kPanel).SetForeColor(kBlue).SetFontFace("Verdana");
  Settle();

  CPixels a = CaptureClient(hWndA);
  CPixels b = CaptureClient(hWndB);
  EXPECT_EQ(a.At(118, 22), kWhite);
  EXPECT_EQ(b.At(118, 22), kPanel);
  EXPECT_GT(a.Count(kRed), 0);
  EXPECT_EQ(a.Count(kBlue), 0);
  EXPECT_GT(b.Count(kBlue), 0);
  EXPECT_EQ(b.Count(kRed), 0);

  m_label.SetForeColor(kLabelGrey);
  Settle();
  a = CaptureClient(hWndA);
  b = CaptureClient(hWndB);
  EXPECT_GT(a.Count(kLabelGrey), 0);
  EXPECT_EQ(a.Count(kRed), 0);
  EXPECT_GT(b.Count(kBlue), 0) << "the other label keeps its colour";
  EXPECT_EQ(b.Count(kLabelGrey), 0);
}

TEST_F(LabelTest, SetForeColor_Shown_RedrawsBeforeReturning) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  m_label.SetBackColor(kWhite).SetForeColor(kLabelGrey);
  Settle();
  ASSERT_EQ(CaptureClient(hWnd).Count(kRed), 0);

  m_label.SetForeColor(kRed);
  CPixels img = CaptureClient(hWnd);  // no message pumped in between
  EXPECT_GT(img.Count(kRed), 0);
  EXPECT_EQ(img.Count(kLabelGrey), 0);
}

TEST_F(LabelTest, SetBackColor_AfterShown_ShowsOnlyAtNextRepaint) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  m_label.SetBackColor(kWhite);
  Settle();
  ASSERT_EQ(CaptureClient(hWnd).At(118, 22), kWhite);

  EXPECT_EQ(&m_label.SetBackColor(kGreen), &m_label);
  Settle();
  EXPECT_EQ(CaptureClient(hWnd).At(118, 22), kWhite) << "nothing repainted yet";

  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(CaptureClient(hWnd).At(118, 22), kGreen);
}

TEST_F(LabelTest, SetBackColor_BeforeWindowExists_UsedAtFirstPaint) {
  m_label.SetBackColor(kGreen);
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(CaptureClient(hWnd).At(118, 22), kGreen);
}

// ---- text and clicks --------------------------------------------------------------------------

TEST_F(LabelTest, SetLabelText_ChainsAndSetsWindowText) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  EXPECT_EQ(&m_label.SetLabelText("42.17%"), &m_label);
  char buf[32] = {};
  ::GetWindowTextA(hWnd, buf, static_cast<int>(sizeof buf));
  EXPECT_STREQ(buf, "42.17%");
}

// The refresh rewrites every read-out each second: an unchanged text must cost no repaint, a
// changed one must show. A background changed meanwhile tells whether the label was repainted.
TEST_F(LabelTest, SetLabelText_SameTextNoRepaint_ChangedTextRepaints) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10, "523760 KB");
  m_label.SetBackColor(kWhite);
  Settle();
  m_label.SetBackColor(kGreen);

  m_label.SetLabelText("523760 KB");
  Settle();
  EXPECT_EQ(CaptureClient(hWnd).At(118, 22), kWhite) << "same text: not repainted";

  m_label.SetLabelText("523761 KB");
  Settle();
  EXPECT_EQ(CaptureClient(hWnd).At(118, 22), kGreen) << "new text: repainted";
  char buf[32] = {};
  ::GetWindowTextA(hWnd, buf, static_cast<int>(sizeof buf));
  EXPECT_STREQ(buf, "523761 KB");

  ::SetWindowTextA(hWnd, "written around the label");
  m_label.SetLabelText("523761 KB");
  ::GetWindowTextA(hWnd, buf, static_cast<int>(sizeof buf));
  EXPECT_STREQ(buf, "523761 KB") << "compared with what the control shows, not with the last call";
  m_label.SetLabelText("");
  EXPECT_EQ(::GetWindowTextLengthA(hWnd), 0);
}

TEST_F(LabelTest, LButtonDown_NotifyStyle_ShellOpensTextThenParentGetsClick) {
  char szTemp[MAX_PATH + 1] = {};
  DWORD n = ::GetTempPathA(MAX_PATH, szTemp);
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
  szTemp[n] = '\0';
  std::string strScript = std::string(szTemp) + "mnemora_label_click.cmd";
  std::string strMarker = std::string(szTemp) + "mnemora_label_click.txt";
  ::DeleteFileA(strMarker.c_str());
  {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(strScript.c_str(), "wb"), &std::fclose);
    ASSERT_TRUE(f);
    std::fprintf(f.get(), "@echo clicked>\"%s\"\r\n", strMarker.c_str());
  }

  HWND hWnd = CreateLabel(m_label, kLabelId, 10, strScript.c_str(), SS_NOTIFY);
  ::SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(s_pHost->m_nClicks, 1) << "default processing notifies the parent";

  const bool bOpened =
      WaitUntil([&] { return ::GetFileAttributesA(strMarker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
  EXPECT_TRUE(bOpened) << "the shell did not open " << strScript;
  ::DeleteFileA(strMarker.c_str());
  ::DeleteFileA(strScript.c_str());
}

// ---- ownership --------------------------------------------------------------------------------

TEST_F(LabelTest, Destructor_DeletesOwnBrushAndFont) {
  auto pLabel = std::make_unique<CLabel>();
  HWND hWnd = CreateLabel(*pLabel, kLabelId, 10);
  pLabel->SetBackColor(kPanel).SetFontHeight(18);
  CtlColorAnswer a = AskCtlColor(Host(), hWnd);
  ASSERT_EQ(::GetObjectType(a.hBrush), static_cast<DWORD>(OBJ_BRUSH));
  ASSERT_EQ(::GetObjectType(a.hFont), static_cast<DWORD>(OBJ_FONT));

  pLabel.reset();
  EXPECT_EQ(::GetObjectType(a.hBrush), 0u);
  EXPECT_EQ(::GetObjectType(a.hFont), 0u);
}

TEST_F(LabelTest, SetBackColor_Replaced_OldBrushDeleted) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  m_label.SetBackColor(kPanel);
  HBRUSH hFirst = AskCtlColor(Host(), hWnd).hBrush;
  m_label.SetBackColor(kWhite);
  CtlColorAnswer a = AskCtlColor(Host(), hWnd);
  EXPECT_EQ(a.crBrush, kWhite);
  EXPECT_EQ(::GetObjectType(hFirst), 0u);
}

}  // namespace
