// CLabel on real static controls: its colour answer read from a device context, its drawing
// read back as pixels, and its click handed to the shell.
#include "Label.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kLabelId = 1016;
constexpr int kOtherLabelId = 1017;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLabelGrey = RGB(115, 115, 115);
constexpr COLORREF kRed = RGB(193, 26, 26);
constexpr COLORREF kBlue = RGB(82, 138, 189);
constexpr COLORREF kPanel = RGB(231, 231, 231);
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
  int Count(COLORREF cr) const {
    int n = 0;
    for (COLORREF c : px) n += c == cr;
    return n;
  }
  // Rows holding any pixel of exactly cr: the ink height of text drawn in cr.
  int RowsWith(COLORREF cr) const {
    int nFirst = -1, nLast = -1;
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x)
        if (At(x, y) == cr) {
          if (nFirst < 0) nFirst = y;
          nLast = y;
          break;
        }
    return nFirst < 0 ? 0 : nLast - nFirst + 1;
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

// What a control's colour request leaves in a fresh device context, and the brush it returns.
struct CColourAnswer {
  HBRUSH hBrush = nullptr;
  HGDIOBJ hFont = nullptr;
  COLORREF crBrush = CLR_INVALID;
  COLORREF crText = CLR_INVALID;
  int nBkMode = 0;
  LOGFONTA lf{};
  TEXTMETRICA tm{};
};

CColourAnswer AskColours(HWND hWndParent, HWND hWndCtl, UINT nMessage = WM_CTLCOLORSTATIC) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  HGDIOBJ hOldFont = ::GetCurrentObject(dc, OBJ_FONT);
  CColourAnswer a;
  a.hBrush = reinterpret_cast<HBRUSH>(
      ::SendMessageA(hWndParent, nMessage, reinterpret_cast<WPARAM>(dc.m_hDC), reinterpret_cast<LPARAM>(hWndCtl)));
  LOGBRUSH lb{};
  if (a.hBrush && ::GetObjectA(a.hBrush, sizeof lb, &lb) == sizeof lb) a.crBrush = lb.lbColor;
  a.crText = dc.GetTextColor();
  a.nBkMode = dc.GetBkMode();
  a.hFont = ::GetCurrentObject(dc, OBJ_FONT);
  ::GetObjectA(a.hFont, sizeof a.lf, &a.lf);
  ::GetTextMetricsA(dc, &a.tm);
  dc.SelectObject(hOldFont);  // the label's font must not stay selected here
  return a;
}

class CHostDialog : public CDialog {
 public:
  CHostDialog() : CDialog(0) {}
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
  int m_nClicks = 0;

 protected:
  void OnLabelClicked() { ++m_nClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostDialog, CDialog)
  ON_CONTROL(STN_CLICKED, kLabelId, OnLabelClicked)
END_MESSAGE_MAP()

class LabelTest : public ::testing::Test {
 protected:
  // One host for the suite: top-level windows are slow to come and go under Wine.
  static void SetUpTestSuite() {
    s_pHost = new CHostDialog;
    s_pHost->CreateHost();
  }
  static void TearDownTestSuite() {
    delete s_pHost;
    s_pHost = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(s_pHost && s_pHost->m_hWnd);
    s_pHost->m_nClicks = 0;
  }
  void TearDown() override {
    for (HWND hWnd : m_windows) ::DestroyWindow(hWnd);
  }

  // A plain left-aligned static, as a dialog template makes one, attached to rLabel.
  HWND CreateLabel(CLabel& rLabel, int nId, int y, const char* pszText = "Available", DWORD dwStyle = 0) {
    HWND hWnd = ::CreateWindowExA(0, "STATIC", pszText, WS_CHILD | WS_VISIBLE | SS_LEFT | dwStyle, 10, y, 120, 24,
                                  s_pHost->m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(hWnd, nullptr);
    m_windows.push_back(hWnd);
    EXPECT_TRUE(rLabel.SubclassWindow(hWnd));
    return hWnd;
  }

  static void Settle() {
    PumpMessages(100);
    ::RedrawWindow(s_pHost->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(20);
  }

  static HWND Host() { return s_pHost->m_hWnd; }

  static CHostDialog* s_pHost;
  CLabel m_label;
  CLabel m_other;
  std::vector<HWND> m_windows;
};

CHostDialog* LabelTest::s_pHost = nullptr;

LOGFONTA DefaultGuiFont() {
  LOGFONTA lf{};
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  return lf;
}

// ---- the colour answer ------------------------------------------------------------------------

TEST_F(LabelTest, CtlColor_NewLabel_SystemColoursAndDefaultGuiFont) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);

  CColourAnswer a = AskColours(Host(), hWnd);
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

  CColourAnswer a = AskColours(Host(), hWnd, WM_CTLCOLORBTN);
  EXPECT_EQ(a.crBrush, kPanel);
  EXPECT_EQ(a.crText, RGB(0, 0, 0)) << "text colour untouched";
  EXPECT_EQ(a.nBkMode, OPAQUE);
  EXPECT_NE(a.lf.lfHeight, -30) << "font untouched";
}

TEST_F(LabelTest, SetFontHeight_16_NegativeHeightGivesSixteenPixelCharacters) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10, "HHHH");
  EXPECT_EQ(&m_label.SetFontHeight(16), &m_label);

  CColourAnswer a = AskColours(Host(), hWnd);
  EXPECT_EQ(a.lf.lfHeight, -16);
  EXPECT_EQ(a.tm.tmHeight - a.tm.tmInternalLeading, 16);

  // The static draws with that font: bigger characters give taller ink.
  m_label.SetBackColor(kWhite).SetForeColor(kRed);
  Settle();
  int nInk16 = Capture(hWnd).RowsWith(kRed);
  m_label.SetFontHeight(22);
  int nInk22 = Capture(hWnd).RowsWith(kRed);
  EXPECT_GT(nInk16, 6);
  EXPECT_LE(nInk16, 16);
  EXPECT_GE(nInk22, nInk16 + 3);
}

TEST_F(LabelTest, SetFontFace_NamesUpToAndBeyond31Characters) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);

  EXPECT_EQ(&m_label.SetFontFace("Verdana"), &m_label);
  EXPECT_STREQ(AskColours(Host(), hWnd).lf.lfFaceName, "Verdana");

  const std::string strLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40 characters
  m_label.SetFontFace(strLong.c_str());
  CColourAnswer a = AskColours(Host(), hWnd);
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

  CImage a = Capture(hWndA);
  CImage b = Capture(hWndB);
  EXPECT_EQ(a.At(118, 22), kWhite);
  EXPECT_EQ(b.At(118, 22), kPanel);
  EXPECT_GT(a.Count(kRed), 0);
  EXPECT_EQ(a.Count(kBlue), 0);
  EXPECT_GT(b.Count(kBlue), 0);
  EXPECT_EQ(b.Count(kRed), 0);

  m_label.SetForeColor(kLabelGrey);
  Settle();
  a = Capture(hWndA);
  b = Capture(hWndB);
  EXPECT_GT(a.Count(kLabelGrey), 0);
  EXPECT_EQ(a.Count(kRed), 0);
  EXPECT_GT(b.Count(kBlue), 0) << "the other label keeps its colour";
  EXPECT_EQ(b.Count(kLabelGrey), 0);
}

TEST_F(LabelTest, SetForeColor_Shown_RedrawsBeforeReturning) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  m_label.SetBackColor(kWhite).SetForeColor(kLabelGrey);
  Settle();
  ASSERT_EQ(Capture(hWnd).Count(kRed), 0);

  m_label.SetForeColor(kRed);
  CImage img = Capture(hWnd);  // no message pumped in between
  EXPECT_GT(img.Count(kRed), 0);
  EXPECT_EQ(img.Count(kLabelGrey), 0);
}

TEST_F(LabelTest, SetBackColor_AfterShown_ShowsOnlyAtNextRepaint) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  m_label.SetBackColor(kWhite);
  Settle();
  ASSERT_EQ(Capture(hWnd).At(118, 22), kWhite);

  EXPECT_EQ(&m_label.SetBackColor(kGreen), &m_label);
  Settle();
  EXPECT_EQ(Capture(hWnd).At(118, 22), kWhite) << "nothing repainted yet";

  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(Capture(hWnd).At(118, 22), kGreen);
}

TEST_F(LabelTest, SetBackColor_BeforeWindowExists_UsedAtFirstPaint) {
  m_label.SetBackColor(kGreen);
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(Capture(hWnd).At(118, 22), kGreen);
}

// ---- text and clicks --------------------------------------------------------------------------

TEST_F(LabelTest, SetLabelText_ChainsAndSetsWindowText) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  EXPECT_EQ(&m_label.SetLabelText("42.17%"), &m_label);
  char buf[32] = {};
  ::GetWindowTextA(hWnd, buf, static_cast<int>(sizeof buf));
  EXPECT_STREQ(buf, "42.17%");
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

  bool bOpened = false;
  for (int i = 0; i < 300 && !bOpened; ++i) {
    PumpMessages(100);
    bOpened = ::GetFileAttributesA(strMarker.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  EXPECT_TRUE(bOpened) << "the shell did not open " << strScript;
  ::DeleteFileA(strMarker.c_str());
  ::DeleteFileA(strScript.c_str());
}

// ---- ownership --------------------------------------------------------------------------------

TEST_F(LabelTest, Destructor_DeletesOwnBrushAndFont) {
  auto pLabel = std::make_unique<CLabel>();
  HWND hWnd = CreateLabel(*pLabel, kLabelId, 10);
  pLabel->SetBackColor(kPanel).SetFontHeight(18);
  CColourAnswer a = AskColours(Host(), hWnd);
  ASSERT_EQ(::GetObjectType(a.hBrush), static_cast<DWORD>(OBJ_BRUSH));
  ASSERT_EQ(::GetObjectType(a.hFont), static_cast<DWORD>(OBJ_FONT));

  pLabel.reset();
  EXPECT_EQ(::GetObjectType(a.hBrush), 0u);
  EXPECT_EQ(::GetObjectType(a.hFont), 0u);
}

TEST_F(LabelTest, SetBackColor_Replaced_OldBrushDeleted) {
  HWND hWnd = CreateLabel(m_label, kLabelId, 10);
  m_label.SetBackColor(kPanel);
  HBRUSH hFirst = AskColours(Host(), hWnd).hBrush;
  m_label.SetBackColor(kWhite);
  CColourAnswer a = AskColours(Host(), hWnd);
  EXPECT_EQ(a.crBrush, kWhite);
  EXPECT_EQ(::GetObjectType(hFirst), 0u);
}

}  // namespace
