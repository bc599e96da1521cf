#include "HyperLink.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "WinTestSupport.h"

void PrintTo(const CRect& rc, std::ostream* os) {
  *os << "(" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << ")";
}

namespace {

// Opens the protected state to the tests.
class CHyperLinkProbe : public CHyperLink {
 public:
  using CHyperLink::m_bHovering;
  using CHyperLink::m_bVisited;
  using CHyperLink::m_fontPlain;
  using CHyperLink::m_fontUnderline;
  using CHyperLink::m_hHandCursor;
  using CHyperLink::m_nUnderlineMode;
  using CHyperLink::m_strTarget;
  using CHyperLink::m_tooltip;
};

// Plain CWnd: reflection of WM_COMMAND and WM_CTLCOLOR* to the child object lives in CWnd.
class CTestHost : public CWnd {};

const char kHostClass[] = "MnemoraHyperLinkTestHost";
constexpr int kHostX = 100;
constexpr int kHostY = 100;
constexpr int kLinkId = 1007;
const char kMissingFile[] = "C:\\no\\such\\folder\\page.mnx";
const COLORREF kLinkDefault = RGB(0, 0, 238);
const COLORREF kVisitedDefault = RGB(85, 26, 139);
const COLORREF kHoverDefault = RGB(255, 0, 0);

// As the dialog's modal loop does, so the tooltip sees the mouse.
void PumpMessages() { wintest::PumpPendingPreTranslated(nullptr); }

bool PumpUntil(const std::function<bool()>& done, DWORD dwTimeoutMs) {
  return wintest::WaitUntil(done, dwTimeoutMs, &PumpMessages);
}

// Pumps until hWnd has had nTicks timer ticks; false when the deadline came first.
bool PumpTicks(HWND hWnd, int nTicks, DWORD dwTimeoutMs = 5000) {
  int nSeen = 0;
  auto pumpCounting = [&] {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.hwnd == hWnd) ++nSeen;
      if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
  };
  return wintest::WaitUntil([&] { return nSeen >= nTicks; }, dwTimeoutMs, pumpCounting);
}

// Pumps until the pointer is at pt, as SetCursorPos asked, and what its motion set off is handled.
void WaitForPointerAt(POINT pt) {
  PumpUntil(
      [&] {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == pt.x && now.y == pt.y;
      },
      3000);
  wintest::PumpUntilIdle(5000, &PumpMessages);
}

HFONT WindowFont(HWND hWnd) { return reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)); }

LOGFONTA FontOf(HFONT hFont) {
  LOGFONTA lf{};
  ::GetObjectA(hFont, sizeof lf, &lf);
  return lf;
}

CRect RectInHost(HWND hWnd) {
  CRect rc;
  ::GetWindowRect(hWnd, &rc);
  ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&rc), 2);
  return rc;
}

// Number of client pixels of exactly this colour; -1 when they could not be read.
int CountPixels(HWND hWnd, COLORREF cr) {
  CRect rc;
  ::GetClientRect(hWnd, &rc);
  if (rc.IsRectEmpty()) return 0;
  wintest::CPixels pixels = wintest::CaptureClient(hWnd);
  return pixels.IsEmpty() ? -1 : pixels.Count(cr);
}

// Answers every message box of this thread while it lives: keeps its text and icon, presses OK.
class CMessageBoxCatcher {
 public:
  struct Box {
    std::string text;
    HICON hIcon;
  };

  CMessageBoxCatcher() {
    s_pActive = this;
    m_nTimer = ::SetTimer(nullptr, 0, 30, &CMessageBoxCatcher::OnTick);
  }
  ~CMessageBoxCatcher() {
    ::KillTimer(nullptr, m_nTimer);
    s_pActive = nullptr;
  }
  CMessageBoxCatcher(const CMessageBoxCatcher&) = delete;
  CMessageBoxCatcher& operator=(const CMessageBoxCatcher&) = delete;

  const std::vector<Box>& Boxes() const { return m_boxes; }

 private:
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (s_pActive) ::EnumThreadWindows(::GetCurrentThreadId(), &CMessageBoxCatcher::OnWindow, 0);
  }

  static BOOL CALLBACK OnWindow(HWND hWnd, LPARAM) {
    char szClass[16] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (lstrcmpA(szClass, "#32770") != 0 || !::IsWindowVisible(hWnd)) return TRUE;
    for (HWND hSeen : s_pActive->m_answered) {
      if (hSeen == hWnd) return TRUE;  // OK already posted
    }
    Box box{};
    char szText[1024] = {};
    ::GetDlgItemTextA(hWnd, 0xFFFF, szText, sizeof szText);
    box.text = szText;
    ::EnumChildWindows(hWnd, &CMessageBoxCatcher::OnChild, reinterpret_cast<LPARAM>(&box.hIcon));
    s_pActive->m_boxes.push_back(box);
    s_pActive->m_answered.push_back(hWnd);
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    return FALSE;
  }

  static BOOL CALLBACK OnChild(HWND hWnd, LPARAM lParam) {
    if ((::GetWindowLongA(hWnd, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    *reinterpret_cast<HICON*>(lParam) = reinterpret_cast<HICON>(::SendMessageA(hWnd, STM_GETICON, 0, 0));
    return FALSE;
  }

  static CMessageBoxCatcher* s_pActive;
  UINT_PTR m_nTimer = 0;
  std::vector<Box> m_boxes;
  std::vector<HWND> m_answered;
};

CMessageBoxCatcher* CMessageBoxCatcher::s_pActive = nullptr;

// Sets one system colour and puts the old one back when it goes.
class CSysColorGuard {
 public:
  explicit CSysColorGuard(int nIndex) : m_nIndex(nIndex), m_crOld(::GetSysColor(nIndex)) {}
  ~CSysColorGuard() { Set(m_crOld); }
  CSysColorGuard(const CSysColorGuard&) = delete;
  CSysColorGuard& operator=(const CSysColorGuard&) = delete;
  void Set(COLORREF cr) { ::SetSysColors(1, &m_nIndex, &cr); }

 private:
  int m_nIndex;
  COLORREF m_crOld;
};

class CRegKeyHandle {
 public:
  CRegKeyHandle() = default;
  ~CRegKeyHandle() {
    if (m_hKey) ::RegCloseKey(m_hKey);
  }
  CRegKeyHandle(const CRegKeyHandle&) = delete;
  CRegKeyHandle& operator=(const CRegKeyHandle&) = delete;
  bool Create(HKEY hRoot, const std::string& path) {
    return ::RegCreateKeyExA(hRoot, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_hKey,
                             nullptr) == ERROR_SUCCESS;
  }
  bool Open(HKEY hRoot, const std::string& path) {
    return ::RegOpenKeyExA(hRoot, path.c_str(), 0, KEY_ALL_ACCESS, &m_hKey) == ERROR_SUCCESS;
  }
  bool SetRaw(DWORD dwType, const void* pData, DWORD cb) {
    return ::RegSetValueExA(m_hKey, nullptr, 0, dwType, static_cast<const BYTE*>(pData), cb) == ERROR_SUCCESS;
  }
  bool SetDefault(const std::string& value) {
    return SetRaw(REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
  }
  void DeleteDefault() { ::RegDeleteValueA(m_hKey, nullptr); }

 private:
  HKEY m_hKey = nullptr;
};

// Points HKCR\.htm at a class of the test's own, and puts back what was there.
class CHtmAssociation {
 public:
  static constexpr const char* kClass = "MnemoraTest.HyperLinkDocument";

  CHtmAssociation() {
    HKEY hKey = nullptr;
    m_bExisted = ::RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_QUERY_VALUE, &hKey) == ERROR_SUCCESS;
    if (m_bExisted) {
      char szOld[MAX_PATH] = {};
      DWORD cb = sizeof szOld - 1;
      DWORD dwType = 0;
      m_bHadDefault =
          ::RegQueryValueExA(hKey, nullptr, nullptr, &dwType, reinterpret_cast<BYTE*>(szOld), &cb) == ERROR_SUCCESS;
      m_strOld = szOld;
      ::RegCloseKey(hKey);
    }
  }
  ~CHtmAssociation() {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kClass);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClass);
    if (!m_bExisted) {
      ::RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
      return;
    }
    CRegKeyHandle key;
    if (!key.Open(HKEY_CLASSES_ROOT, ".htm")) return;
    if (m_bHadDefault)
      key.SetDefault(m_strOld);
    else
      key.DeleteDefault();
  }
  CHtmAssociation(const CHtmAssociation&) = delete;
  CHtmAssociation& operator=(const CHtmAssociation&) = delete;

  // With no command the class has no shell\open\command key at all.
  bool Register(const char* pszCommand) {
    CRegKeyHandle ext, cls;
    if (!ext.Create(HKEY_CLASSES_ROOT, ".htm") || !ext.SetDefault(kClass)) return false;
    if (!cls.Create(HKEY_CLASSES_ROOT, kClass)) return false;
    if (!pszCommand) return true;
    CRegKeyHandle cmd;
    return cmd.Create(HKEY_CLASSES_ROOT, std::string(kClass) + "\\shell\\open\\command") && cmd.SetDefault(pszCommand);
  }

 private:
  bool m_bExisted = false;
  bool m_bHadDefault = false;
  std::string m_strOld;
};

class HyperLinkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHostClass;
    ::RegisterClassA(&wc);

    // One host for the suite: taking a mapped top-level window down costs Wine seconds without a
    // window manager.
    s_pHost = std::make_unique<CTestHost>();
    if (!s_pHost->CreateEx(0, kHostClass, "HyperLink test", WS_POPUP | WS_VISIBLE, kHostX, kHostY, 480, 260, nullptr,
                           nullptr)) {
      return;
    }
    ::SetWindowPos(*s_pHost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(*s_pHost);
    wintest::PumpUntilIdle(5000, &PumpMessages);
  }

  static void TearDownTestSuite() {
    s_pHost.reset();
    PumpMessages();
  }

  void SetUp() override {
    ASSERT_NE(s_pHost, nullptr);
    ASSERT_TRUE(s_pHost->IsWindow());
    m_host = s_pHost->m_hWnd;
    MovePointerAway();
  }

  void TearDown() override {
    // The link objects are gone by now; their windows go with the test too.
    while (HWND hChild = ::GetWindow(m_host, GW_CHILD)) ::DestroyWindow(hChild);
    PumpMessages();
  }

  static constexpr POINT kAway{5, 5};
  static void MovePointerAway() { ::SetCursorPos(kAway.x, kAway.y); }

  HWND MakeStatic(const char* pszText, DWORD dwStyle, CRect rc = CRect(20, 20, 320, 60), HFONT hFont = nullptr,
                  int nId = kLinkId) {
    HWND hWnd =
        wintest::CreateChildWindow(m_host, nId, "STATIC", pszText, dwStyle, rc.left, rc.top, rc.Width(), rc.Height());
    if (hWnd && hFont) ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    return hWnd;
  }

  // Parent background first, then the link over it, as after an uncovering.
  void Repaint() {
    ::RedrawWindow(m_host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
  }

  void Enter(HWND hLink) {
    ::SetCursorPos(wintest::ScreenCenter(hLink).x, wintest::ScreenCenter(hLink).y);
    ::SendMessageA(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  }

  static CSize TextExtent(HWND hWnd, HFONT hFont) {
    char szText[256] = {};
    ::GetWindowTextA(hWnd, szText, sizeof szText);
    CClientDC dc(CWnd::FromHandle(hWnd));
    CSelectGuard select(dc, hFont);
    return dc.GetTextExtent(szText, lstrlenA(szText));
  }

  static std::unique_ptr<CTestHost> s_pHost;
  HWND m_host = nullptr;
};

std::unique_ptr<CTestHost> HyperLinkTest::s_pHost;

// ---- set-up ------------------------------------------------------------------------------------

TEST_F(HyperLinkTest, PreSubclassWindow_EmptyTextTargetSetBefore_TargetBecomesTextAndClicksReported) {
  HWND hWnd = MakeStatic("", SS_LEFT);
  CHyperLinkProbe link;
  link.SetLinkTarget("http://example.com/?goto=Program-Main");
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  char szText[128] = {};
  ::GetWindowTextA(hWnd, szText, sizeof szText);
  EXPECT_STREQ(szText, "http://example.com/?goto=Program-Main");
  EXPECT_NE(::GetWindowLongA(hWnd, GWL_STYLE) & SS_NOTIFY, 0);
}

TEST_F(HyperLinkTest, PreSubclassWindow_NoTargetGiven_WindowTextIsTarget) {
  HWND hWnd = MakeStatic("mailto:support@example.com", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  EXPECT_STREQ(link.m_strTarget, "mailto:support@example.com");
}

TEST_F(HyperLinkTest, PreSubclassWindow_WindowFont_VerdanaCopiesKeepSizeAndWeightTemplateFontStays) {
  LOGFONTA lf{};
  lf.lfHeight = -19;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = TRUE;
  lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  CFont templateFont;
  ASSERT_TRUE(templateFont.CreateFontIndirect(&lf));
  HWND hWnd = MakeStatic("Home page", SS_LEFT, CRect(20, 20, 320, 60), templateFont);

  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  for (HFONT hFont : {link.m_fontPlain.GetSafeHandle(), link.m_fontUnderline.GetSafeHandle()}) {
    ASSERT_NE(hFont, nullptr);
    LOGFONTA got = FontOf(hFont);
    EXPECT_STREQ(got.lfFaceName, "Verdana");
    EXPECT_EQ(got.lfHeight, -19);
    EXPECT_EQ(got.lfWeight, FW_BOLD);
    EXPECT_TRUE(got.lfItalic);
  }
  EXPECT_FALSE(FontOf(link.m_fontPlain).lfUnderline);
  EXPECT_TRUE(FontOf(link.m_fontUnderline).lfUnderline);
  // Hover mode leaves the template's font in place until the pointer first leaves.
  EXPECT_EQ(WindowFont(hWnd), templateFont.GetSafeHandle());
}

TEST_F(HyperLinkTest, PreSubclassWindow_NoWindowFont_VerdanaFromDefaultGuiFont) {
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  ASSERT_EQ(WindowFont(hWnd), nullptr);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  LOGFONTA gui = FontOf(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  LOGFONTA got = FontOf(link.m_fontPlain);
  EXPECT_STREQ(got.lfFaceName, "Verdana");
  EXPECT_EQ(got.lfHeight, gui.lfHeight);
  EXPECT_EQ(got.lfWeight, gui.lfWeight);
}

// ---- underline and hover -------------------------------------------------------------------------

TEST_F(HyperLinkTest, SetUnderlineMode_AlwaysAfterSubclass_UnderlinedVerdanaFromStartAndAfterLeaving) {
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  link.SetUnderlineMode(CHyperLink::UNDERLINE_ALWAYS);

  EXPECT_EQ(WindowFont(hWnd), link.m_fontUnderline.GetSafeHandle());
  EXPECT_TRUE(FontOf(WindowFont(hWnd)).lfUnderline);
  EXPECT_STREQ(FontOf(WindowFont(hWnd)).lfFaceName, "Verdana");

  Enter(hWnd);
  ASSERT_TRUE(link.m_bHovering);
  MovePointerAway();
  ASSERT_TRUE(PumpUntil([&] { return !link.m_bHovering; }, 2000));
  EXPECT_EQ(WindowFont(hWnd), link.m_fontUnderline.GetSafeHandle());

  link.SetUnderlineMode(CHyperLink::UNDERLINE_NONE);
  EXPECT_EQ(WindowFont(hWnd), link.m_fontPlain.GetSafeHandle());
  Enter(hWnd);
  EXPECT_EQ(WindowFont(hWnd), link.m_fontPlain.GetSafeHandle());
}

TEST_F(HyperLinkTest, SetUnderlineMode_AlwaysBeforeSubclass_ReplacedByHoverWithPlainFont) {
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  CHyperLinkProbe link;
  link.SetUnderlineMode(CHyperLink::UNDERLINE_ALWAYS);
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  EXPECT_EQ(link.m_nUnderlineMode, CHyperLink::UNDERLINE_HOVER);
  EXPECT_EQ(WindowFont(hWnd), link.m_fontPlain.GetSafeHandle());
  Enter(hWnd);
  EXPECT_EQ(WindowFont(hWnd), link.m_fontUnderline.GetSafeHandle());
}

TEST_F(HyperLinkTest, Hover_EnterStayThenLeave_UnderlinedWhileInsidePlainAtFirstTickOutside) {
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  Enter(hWnd);
  EXPECT_TRUE(link.m_bHovering);
  EXPECT_EQ(WindowFont(hWnd), link.m_fontUnderline.GetSafeHandle());

  PumpTicks(hWnd, 3);  // several ticks with the pointer still inside
  EXPECT_TRUE(link.m_bHovering);
  EXPECT_EQ(WindowFont(hWnd), link.m_fontUnderline.GetSafeHandle());

  MovePointerAway();
  const DWORD dwLeft = ::GetTickCount();
  ASSERT_TRUE(PumpUntil([&] { return WindowFont(hWnd) == link.m_fontPlain.GetSafeHandle(); }, 2000));
  EXPECT_LT(::GetTickCount() - dwLeft, 1000u);
  EXPECT_FALSE(link.m_bHovering);
  EXPECT_FALSE(::KillTimer(hWnd, 100)) << "hover timer still running after leaving";
}

TEST_F(HyperLinkTest, OnTimer_PostedTickWithPointerOutside_EndsHover) {
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  Enter(hWnd);
  ::KillTimer(hWnd, 100);  // only the posted tick below may end the hover
  ASSERT_TRUE(link.m_bHovering);

  MovePointerAway();
  WaitForPointerAt(kAway);
  // With no timer the hover must stay, whatever the pointer's own motion brings.
  PumpUntil([&] { return !link.m_bHovering; }, 150);
  ASSERT_TRUE(link.m_bHovering);
  ::PostMessageA(hWnd, WM_TIMER, 7, 0);  // any timer id counts
  PumpMessages();
  EXPECT_FALSE(link.m_bHovering);
  EXPECT_EQ(WindowFont(hWnd), link.m_fontPlain.GetSafeHandle());
}

// ---- colours ---------------------------------------------------------------------------------------

TEST_F(HyperLinkTest, CtlColor_EachState_TextInLinkHoverOrVisitedColour) {
  HWND hWnd = MakeStatic("Mnemora home page", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  link.SetUnderlineMode(CHyperLink::UNDERLINE_ALWAYS);

  Repaint();
  EXPECT_GT(CountPixels(hWnd, kLinkDefault), 0);
  EXPECT_EQ(CountPixels(hWnd, kHoverDefault), 0);
  EXPECT_EQ(CountPixels(hWnd, kVisitedDefault), 0);

  Enter(hWnd);
  Repaint();
  EXPECT_GT(CountPixels(hWnd, kHoverDefault), 0);
  EXPECT_EQ(CountPixels(hWnd, kLinkDefault), 0);

  MovePointerAway();
  ASSERT_TRUE(PumpUntil([&] { return !link.m_bHovering; }, 2000));
  link.MarkVisited(TRUE);
  Repaint();
  EXPECT_GT(CountPixels(hWnd, kVisitedDefault), 0);
  EXPECT_EQ(CountPixels(hWnd, kLinkDefault), 0);
  EXPECT_EQ(CountPixels(hWnd, kHoverDefault), 0);

  // Hovering wins over visited.
  Enter(hWnd);
  Repaint();
  EXPECT_GT(CountPixels(hWnd, kHoverDefault), 0);
  EXPECT_EQ(CountPixels(hWnd, kVisitedDefault), 0);
  // Transparent: the parent's white shows around the text.
  EXPECT_GT(CountPixels(hWnd, RGB(255, 255, 255)), 0);
}

TEST_F(HyperLinkTest, SetLinkColors_HoverMinusOne_HighlightOfTheCallTimeNotOfDrawing) {
  const COLORREF crAtCall = RGB(10, 140, 20);
  const COLORREF crLater = RGB(200, 30, 40);
  const COLORREF crGrey = RGB(100, 100, 100);
  HWND hWnd = MakeStatic("Mnemora home page", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  link.SetUnderlineMode(CHyperLink::UNDERLINE_ALWAYS);
  {
    CSysColorGuard highlight(COLOR_HIGHLIGHT);
    highlight.Set(crAtCall);
    link.SetLinkColors(crGrey, crGrey, static_cast<COLORREF>(-1));
    highlight.Set(crLater);

    Repaint();
    EXPECT_GT(CountPixels(hWnd, crGrey), 0);
    Enter(hWnd);
    Repaint();
    EXPECT_GT(CountPixels(hWnd, crAtCall), 0);
    EXPECT_EQ(CountPixels(hWnd, crLater), 0);
    EXPECT_EQ(CountPixels(hWnd, crGrey), 0);
  }

  link.SetLinkColors(RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9));
  Repaint();
  EXPECT_GT(CountPixels(hWnd, RGB(7, 8, 9)), 0);
}

// ---- size --------------------------------------------------------------------------------------

TEST_F(HyperLinkTest, FitToText_Alignments_WindowShrinksToTextAroundItsAnchor) {
  HWND hLeft = MakeStatic("Left link", SS_LEFT | WS_BORDER, CRect(20, 20, 320, 60), nullptr, 1);
  HWND hRight = MakeStatic("Right link", SS_RIGHT, CRect(20, 70, 320, 110), nullptr, 2);
  HWND hCenter = MakeStatic("Centred link", SS_CENTER | SS_CENTERIMAGE, CRect(20, 120, 320, 161), nullptr, 3);
  CHyperLinkProbe left, right, center;
  ASSERT_TRUE(left.SubclassWindow(hLeft));
  ASSERT_TRUE(right.SubclassWindow(hRight));
  ASSERT_TRUE(center.SubclassWindow(hCenter));

  CSize ext = TextExtent(hLeft, left.m_fontUnderline);
  EXPECT_EQ(RectInHost(hLeft), CRect(20, 20, 20 + ext.cx + 2, 20 + ext.cy + 2));  // plus the border

  ext = TextExtent(hRight, right.m_fontUnderline);
  EXPECT_EQ(RectInHost(hRight), CRect(320 - ext.cx, 70, 320, 70 + ext.cy));

  ext = TextExtent(hCenter, center.m_fontUnderline);
  const int dx = (300 - ext.cx) / 2;
  const int dy = (41 - ext.cy) / 2;
  EXPECT_EQ(RectInHost(hCenter), CRect(20 + dx, 120 + dy, 320 - dx, 161 - dy));
}

TEST_F(HyperLinkTest, SetLinkTarget_AfterTextChanged_RefitsToNewText) {
  HWND hWnd = MakeStatic("Short", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  const int nShort = RectInHost(hWnd).Width();

  ::SetWindowTextA(hWnd, "A considerably longer link text");
  link.SetLinkTarget("http://example.com/");
  const CSize ext = TextExtent(hWnd, link.m_fontUnderline);
  EXPECT_EQ(RectInHost(hWnd).Width(), ext.cx);
  EXPECT_GT(ext.cx, nShort);
}

// ---- tooltip and cursor -------------------------------------------------------------------------

TEST_F(HyperLinkTest, Tooltip_TargetGivenBeforeSubclass_ShowsTargetThenWindowTextAfterSetLinkTarget) {
  HWND hWnd = MakeStatic("Visit us", SS_LEFT);
  CHyperLinkProbe link;
  link.SetLinkTarget("http://example.com/?goto=Program-Main");
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  ASSERT_EQ(link.m_tooltip.GetToolCount(), 1);
  EXPECT_STREQ(link.m_tooltip.GetToolText(&link, 1), "http://example.com/?goto=Program-Main");
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = hWnd;
  ti.uId = 1;
  ASSERT_TRUE(link.m_tooltip.SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
  CRect rcClient;
  ::GetClientRect(hWnd, &rcClient);
  EXPECT_EQ(CRect(ti.rect), rcClient);

  link.SetLinkTarget("http://example.com/?goto=Program-About");
  EXPECT_STREQ(link.m_tooltip.GetToolText(&link, 1), "Visit us");
  EXPECT_STREQ(link.m_strTarget, "http://example.com/?goto=Program-About");
}

TEST_F(HyperLinkTest, PreTranslateMessage_PointerRestsOnLink_TooltipAppears) {
  HWND hWnd = MakeStatic("Visit us", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  ASSERT_FALSE(::IsWindowVisible(link.m_tooltip));

  ::SetCursorPos(wintest::ScreenCenter(hWnd).x, wintest::ScreenCenter(hWnd).y);
  ::PostMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(link.m_tooltip) != FALSE; }, 4000));
}

TEST_F(HyperLinkTest, OnSetCursor_OverLink_HandCursorSetAndHandled) {
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  ASSERT_NE(link.m_hHandCursor, nullptr);

  ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
  LRESULT lResult =
      ::SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(lResult, TRUE);
  EXPECT_EQ(::GetCursor(), link.m_hHandCursor);
}

bool HelpProgramHasHandCursor() {
  char szDir[MAX_PATH] = {};
  ::GetWindowsDirectoryA(szDir, MAX_PATH);
  std::string path = std::string(szDir) + "\\winhlp32.exe";
  HMODULE hModule = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!hModule) return false;
  const bool bFound =
      ::FindResourceA(hModule, MAKEINTRESOURCEA(106), MAKEINTRESOURCEA(12) /* RT_GROUP_CURSOR */) != nullptr;
  ::FreeLibrary(hModule);
  return bFound;
}

std::vector<BYTE> MaskBits(HCURSOR hCursor, POINT& hotspot) {
  ICONINFO ii{};
  if (!::GetIconInfo(hCursor, &ii)) return {};
  CBitmap mask, color;
  mask.Attach(ii.hbmMask);
  color.Attach(ii.hbmColor);
  hotspot = {static_cast<LONG>(ii.xHotspot), static_cast<LONG>(ii.yHotspot)};
  BITMAP bm{};
  mask.GetBitmap(&bm);
  std::vector<BYTE> bits(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
  ::GetBitmapBits(mask, static_cast<LONG>(bits.size()), bits.data());
  return bits;
}

TEST_F(HyperLinkTest, LoadHandCursor_NoHelpProgramCursor_OwnCopyOfSystemHand) {
  if (HelpProgramHasHandCursor()) GTEST_SKIP() << "winhlp32.exe supplies the cursor here";
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  CHyperLinkProbe link;
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  HCURSOR hSystem = ::LoadCursorA(nullptr, IDC_HAND);
  ASSERT_NE(link.m_hHandCursor, nullptr);
  EXPECT_NE(link.m_hHandCursor, hSystem) << "a shared cursor must not be destroyed by the link";
  POINT ptOwn{}, ptSystem{};
  std::vector<BYTE> own = MaskBits(link.m_hHandCursor, ptOwn);
  std::vector<BYTE> system = MaskBits(hSystem, ptSystem);
  ASSERT_FALSE(system.empty());
  EXPECT_EQ(own, system);
  EXPECT_EQ(ptOwn.x, ptSystem.x);
  EXPECT_EQ(ptOwn.y, ptSystem.y);
}

// ---- failure texts -------------------------------------------------------------------------------

TEST_F(HyperLinkTest, ShowOpenError_Results_HeadingBlankLineAndReasonWithExclamationIcon) {
  const struct {
    int nResult;
    const char* pszText;
  } cases[] = {
      {7, "Unable to open hyperlink:\n\nUnknown Error (7) occurred."},
      {-3, "Unable to open hyperlink:\n\nUnknown Error (-3) occurred."},
      {0, "Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources."},
      {2, "Unable to open hyperlink:\n\nThe specified file was not found."},
      {26, "Unable to open hyperlink:\n\nA sharing violation occurred. "},
      {30,
       "Unable to open hyperlink:\n\nThe DDE transaction could not\nbe completed because other DDE "
       "transactions\nwere being processed."},
  };
  const HICON hExclamation = ::LoadIconA(nullptr, IDI_EXCLAMATION);
  for (const auto& c : cases) {
    CMessageBoxCatcher catcher;
    CHyperLink::ShowOpenError(c.nResult);
    ASSERT_EQ(catcher.Boxes().size(), 1u) << c.nResult;
    EXPECT_EQ(catcher.Boxes()[0].text, c.pszText);
    EXPECT_EQ(catcher.Boxes()[0].hIcon, hExclamation) << c.nResult;
  }
}

// ---- the fallback command ------------------------------------------------------------------------

TEST(HyperLinkFallbackCommand, BuildFallbackCommand_Placeholders_CutBeforePlaceholderThenBlankAndTarget) {
  const CString target("http://example.com/?goto=Program-Main");
  CString out;

  ASSERT_TRUE(CHyperLink::BuildFallbackCommand("\"C:\\Prog\\b.exe\" \"%1\" -flag", target, out));
  EXPECT_STREQ(out, "\"C:\\Prog\\b.exe\"  http://example.com/?goto=Program-Main");

  ASSERT_TRUE(CHyperLink::BuildFallbackCommand("C:\\Prog\\b.exe %1 -new-window", target, out));
  EXPECT_STREQ(out, "C:\\Prog\\b.exe  http://example.com/?goto=Program-Main");

  // The quoted placeholder decides even when a bare one comes first.
  ASSERT_TRUE(CHyperLink::BuildFallbackCommand("b.exe -a %1 -b \"%1\"", target, out));
  EXPECT_STREQ(out, "b.exe -a %1 -b  http://example.com/?goto=Program-Main");

  ASSERT_TRUE(CHyperLink::BuildFallbackCommand("C:\\Prog\\b.exe -nohome", target, out));
  EXPECT_STREQ(out, "C:\\Prog\\b.exe -nohome http://example.com/?goto=Program-Main");
}

TEST(HyperLinkFallbackCommand, BuildFallbackCommand_TooLongOrNoProgram_RefusedOutputUntouched) {
  const CString target(std::string(100, 't'));
  CString out("unchanged");

  // 418 + 1 + 100 = 519 characters and the terminator fill the 520 exactly.
  ASSERT_TRUE(CHyperLink::BuildFallbackCommand(CString(std::string(418, 'p')), target, out));
  EXPECT_EQ(out.GetLength(), 519);

  out = "unchanged";
  EXPECT_FALSE(CHyperLink::BuildFallbackCommand(CString(std::string(419, 'p')), target, out));
  EXPECT_FALSE(CHyperLink::BuildFallbackCommand(CString(std::string(600, 'p') + " \"%1\""), target, out));
  EXPECT_FALSE(CHyperLink::BuildFallbackCommand("", target, out));
  EXPECT_FALSE(CHyperLink::BuildFallbackCommand("  \"%1\"", target, out));
  EXPECT_STREQ(out, "unchanged");
}

// ---- registry ------------------------------------------------------------------------------------

class HyperLinkRegistryTest : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\MnemoraTest\\HyperLink";
  void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\MnemoraTest"); }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\MnemoraTest");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\MnemoraTest");
  }
};

TEST_F(HyperLinkRegistryTest, ReadRegistryDefault_KeyStates_StatusAndTerminatedValue) {
  CString value("stale");
  EXPECT_NE(CHyperLink::ReadRegistryDefault(HKEY_CURRENT_USER, kKey, value), ERROR_SUCCESS);

  CRegKeyHandle key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
  EXPECT_EQ(CHyperLink::ReadRegistryDefault(HKEY_CURRENT_USER, kKey, value), ERROR_SUCCESS);
  EXPECT_STREQ(value, "") << "no default value";

  ASSERT_TRUE(key.SetDefault("\"C:\\Prog\\b.exe\" \"%1\""));
  EXPECT_EQ(CHyperLink::ReadRegistryDefault(HKEY_CURRENT_USER, kKey, value), ERROR_SUCCESS);
  EXPECT_STREQ(value, "\"C:\\Prog\\b.exe\" \"%1\"");
}

TEST_F(HyperLinkRegistryTest, ReadRegistryDefault_LengthLimit_259CharactersFitLongerOrUnterminatedReadEmpty) {
  CRegKeyHandle key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kKey));
  CString value;

  const std::string fits(259, 'a');
  ASSERT_TRUE(key.SetDefault(fits));
  EXPECT_EQ(CHyperLink::ReadRegistryDefault(HKEY_CURRENT_USER, kKey, value), ERROR_SUCCESS);
  EXPECT_STREQ(value, fits.c_str());

  ASSERT_TRUE(key.SetDefault(std::string(300, 'b')));
  value = "stale";
  EXPECT_EQ(CHyperLink::ReadRegistryDefault(HKEY_CURRENT_USER, kKey, value), ERROR_SUCCESS);
  EXPECT_STREQ(value, "");

  const std::string unterminated(260, 'c');
  ASSERT_TRUE(key.SetRaw(REG_SZ, unterminated.data(), 260));
  value = "stale";
  EXPECT_EQ(CHyperLink::ReadRegistryDefault(HKEY_CURRENT_USER, kKey, value), ERROR_SUCCESS);
  EXPECT_STREQ(value, "");

  const DWORD dw = 0x41414141;
  ASSERT_TRUE(key.SetRaw(REG_DWORD, &dw, sizeof dw));
  EXPECT_EQ(CHyperLink::ReadRegistryDefault(HKEY_CURRENT_USER, kKey, value), ERROR_SUCCESS);
  EXPECT_STREQ(value, "") << "not a string";
}

// ---- launching -----------------------------------------------------------------------------------

std::string TempFilePath(const char* pszName) {
  char szDir[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, szDir);
  return std::string(szDir) + pszName;
}

std::string SystemProgram(const char* pszName) {
  char szDir[MAX_PATH] = {};
  ::GetSystemDirectoryA(szDir, MAX_PATH);
  return std::string(szDir) + "\\" + pszName;
}

std::string ReadWholeFile(const std::string& path) {
  HANDLE h =
      ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  char buf[1024] = {};
  DWORD got = 0;
  ::ReadFile(h, buf, sizeof buf - 1, &got, nullptr);
  ::CloseHandle(h);
  return std::string(buf, got);
}

TEST_F(HyperLinkTest, OpenLink_ShellFailsHtmClassHasNoCommand_ShellResultStands) {
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register(nullptr));
  EXPECT_EQ(CHyperLink::OpenLink(kMissingFile, SW_SHOW), SE_ERR_FNF);
}

TEST_F(HyperLinkTest, OpenLink_ShellFails_RunsHtmCommandWithTargetAppended) {
  const std::string out = TempFilePath("mnemora_link_fallback.txt");
  ::DeleteFileA(out.c_str());
  // cmd writes whatever follows the cut command into the file.
  const std::string command = SystemProgram("cmd.exe") + " /c echo>\"" + out + "\" %1 -ignored";
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register(command.c_str()));

  EXPECT_GT(CHyperLink::OpenLink(kMissingFile, SW_HIDE), 32);
  EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(out).find(kMissingFile) != std::string::npos; }, 10000))
      << ReadWholeFile(out);
  EXPECT_EQ(ReadWholeFile(out).find("-ignored"), std::string::npos);
  ::DeleteFileA(out.c_str());
}

TEST_F(HyperLinkTest, OpenLink_HtmCommandTooLong_NotRunShellResultStands) {
  const std::string out = TempFilePath("mnemora_link_toolong.txt");
  ::DeleteFileA(out.c_str());
  const std::string command = SystemProgram("cmd.exe") + " /c echo>\"" + out + "\" " + std::string(480, 'x') + " %1";
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register(command.c_str()));

  EXPECT_EQ(CHyperLink::OpenLink(kMissingFile, SW_HIDE), SE_ERR_FNF);
  PumpUntil([&] { return ::GetFileAttributesA(out.c_str()) != INVALID_FILE_ATTRIBUTES; }, 500);
  EXPECT_EQ(::GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES) << "the refused command ran";
}

TEST_F(HyperLinkTest, OnClicked_TargetCannotBeOpened_ErrorBoxAndVisitedCleared) {
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register(nullptr));
  HWND hWnd = MakeStatic("Broken link", SS_LEFT);
  CHyperLinkProbe link;
  link.SetLinkTarget(kMissingFile);
  ASSERT_TRUE(link.SubclassWindow(hWnd));
  link.MarkVisited(TRUE);

  CMessageBoxCatcher catcher;
  ::SendMessageA(m_host, WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED), reinterpret_cast<LPARAM>(hWnd));

  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].text, "Unable to open hyperlink:\n\nThe specified file was not found.");
  EXPECT_FALSE(link.m_bVisited);
  Repaint();
  EXPECT_GT(CountPixels(hWnd, kLinkDefault), 0);
  EXPECT_EQ(CountPixels(hWnd, kVisitedDefault), 0);
}

TEST_F(HyperLinkTest, OnClicked_MouseDownOpensThroughFallback_VisitedNoErrorBox) {
  const std::string out = TempFilePath("mnemora_link_click.txt");
  ::DeleteFileA(out.c_str());
  const std::string command = SystemProgram("cmd.exe") + " /c echo>\"" + out + "\" \"%1\"";
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register(command.c_str()));
  HWND hWnd = MakeStatic("Home page", SS_LEFT);
  CHyperLinkProbe link;
  link.SetLinkTarget(kMissingFile);
  ASSERT_TRUE(link.SubclassWindow(hWnd));

  Enter(hWnd);
  // Pointer away without a tick: only the click may end the hover, and no later move restarts it.
  ::KillTimer(hWnd, 100);
  MovePointerAway();
  WaitForPointerAt(kAway);
  PumpUntil([&] { return !link.m_bHovering; }, 150);
  ASSERT_TRUE(link.m_bHovering);
  CMessageBoxCatcher catcher;
  // The static reports the press itself, thanks to SS_NOTIFY.
  ::SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));

  EXPECT_TRUE(catcher.Boxes().empty());
  EXPECT_TRUE(link.m_bVisited);
  EXPECT_FALSE(link.m_bHovering);
  Repaint();
  EXPECT_GT(CountPixels(hWnd, kVisitedDefault), 0);
  EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(out).find(kMissingFile) != std::string::npos; }, 10000));
  ::DeleteFileA(out.c_str());
}

}  // namespace
