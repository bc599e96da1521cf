// The bitmap menu's measured sizes and drawn items in both styles, and the image button's
// drop-down menu carrying a loaded bitmap menu.
#include "BCMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BtnSTTestHost.h"
#include "bcmenu/BCMenuProbe.h"

namespace {

using wintest::CPixels;

constexpr UINT ID_BCM_WRAP = 500;

// ---- measuring -------------------------------------------------------------------------------------

class BCMenuDrawTest : public BCMenuTestBase {
 protected:
  // A popup with: 0 "&Red\tCtrl+R" and its image, 1 "&Wrap" without one, 2 "&Blue" and its image,
  // 3 a separator. The images go into the store in the style forced at the time.
  void BuildMenu() {
    ASSERT_TRUE(m_menu.CreatePopupMenu());
    m_menu.AppendItem(L"&Red\tCtrl+R", MF_STRING, ID_BCM_RED, IDR_BCM_TOOLBAR16);
    m_menu.AppendItem(L"&Wrap", MF_STRING, ID_BCM_WRAP);
    m_menu.AppendItem(L"&Blue", MF_STRING, ID_BCM_BLUE, IDR_BCM_TOOLBAR16);
    m_menu.AppendItem(L"", MF_STRING, 0);
  }

  MEASUREITEMSTRUCT Measure(int nItem) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(m_menu.GetEntry(nItem));
    m_menu.MeasureItem(&mis);
    return mis;
  }

  // Item nItem drawn in a cx x cy rectangle at the canvas's origin.
  CPixels Draw(int nItem, UINT nState, int cx = 120, int cy = 24) {
    CCanvas canvas(cx, cy);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = m_menu.GetMenuItemID(nItem);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = nState;
    dis.hwndItem = reinterpret_cast<HWND>(m_menu.m_hMenu);
    dis.hDC = canvas.DC();
    dis.rcItem = CRect(0, 0, cx, cy);
    dis.itemData = reinterpret_cast<ULONG_PTR>(m_menu.GetEntry(nItem));
    m_menu.DrawItem(&dis);
    return canvas.Read();
  }

  struct Px {
    int x, y;
    COLORREF cr;
    const char* pszWhat;
  };
  static void ExpectPixels(const CPixels& px, std::initializer_list<Px> probes) {
    for (const Px& p : probes) EXPECT_EQ(px.At(p.x, p.y), p.cr) << p.pszWhat << " at " << p.x << "," << p.y;
  }
  // How many pixels of the text area, from x on, are not the background.
  static int Ink(const CPixels& px, int x, COLORREF crBack) {
    const CRect area(x, 0, px.Width(), px.Height());
    return area.Width() * area.Height() - px.Count(crBack, area);
  }

  BCMenu m_menu;
};

int TextWidth(const wchar_t* psz, bool bMenuFont) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = 340;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0);
  CFont font;
  font.CreateFontIndirect(&ncm.lfMenuFont);
  HWND hDesktop = ::GetDesktopWindow();
  HDC hdc = ::GetDC(hDesktop);
  SIZE size{};
  {
    CSelectGuard sel(hdc, bMenuFont ? font.GetSafeHandle() : nullptr);
    ::GetTextExtentPoint32W(hdc, psz, lstrlenW(psz), &size);
  }
  ::ReleaseDC(hDesktop, hdc);
  return size.cx;
}

TEST_F(BCMenuDrawTest, MeasureItem_BothStyles) {
  const int cyMenu = ::GetSystemMetrics(SM_CYMENU);
  const struct {
    int nPlatform;
    const char* pszName;
    bool bMenuFont;  // the font is selected from Windows 98 and NT 4 on
    int cxExtra, cyItem, cySeparator;
  } kCases[] = {
      // Classic: text + 2 W + 1 wide, H + 4 high. XP: text + W + 7 + 8 wide, H + 7 high.
      {kModernNT, "classic, current Windows", false, 33, std::max(cyMenu, 19), std::max(cyMenu >> 1, 9)},
      {kWin2000, "classic, Windows 2000", true, 33, std::max(cyMenu, 19), std::max(cyMenu >> 1, 9)},
      {kWinXP, "XP", true, 31, std::max(cyMenu, 22), std::max(cyMenu >> 1, 11)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszName);
    BCMenuProbe::Force(c.nPlatform);
    BuildMenu();
    const MEASUREITEMSTRUCT text = Measure(0);
    EXPECT_EQ(static_cast<int>(text.itemWidth), TextWidth(L"&Red\tCtrl+R", c.bMenuFont) + c.cxExtra);
    EXPECT_EQ(static_cast<int>(text.itemHeight), c.cyItem);
    const MEASUREITEMSTRUCT sep = Measure(3);
    EXPECT_EQ(sep.itemWidth, 0u);
    EXPECT_EQ(static_cast<int>(sep.itemHeight), c.cySeparator);
    MEASUREITEMSTRUCT none{};
    none.CtlType = ODT_MENU;
    m_menu.MeasureItem(&none);
    EXPECT_EQ(static_cast<int>(none.itemWidth), c.cxExtra) << "no entry: no text";
    m_menu.DestroyMenu();
    BCMenuProbe::ResetSharedImages();
  }
}

// ---- XP style --------------------------------------------------------------------------------------
// The gutter is 23 pixels wide (W + 7); images stand at (4, 5) of a 24-pixel item; text starts at 31.

class BCMenuDrawXPTest : public BCMenuDrawTest {
 protected:
  void SetUp() override {
    BCMenuDrawTest::SetUp();
    BCMenuProbe::Force(kWinXP);
    BuildMenu();
    m_crGutter = Sys(COLOR_3DFACE);
    m_crWindow = Sys(COLOR_WINDOW);
    m_crHighlight = Sys(COLOR_HIGHLIGHT);
    m_crSelect = BCMenu::BlendTowardWhite(m_crHighlight, 0.7);
  }
  COLORREF m_crGutter = 0, m_crWindow = 0, m_crHighlight = 0, m_crSelect = 0;
};

TEST_F(BCMenuDrawXPTest, NormalItem_GutterFadedImageAndText) {
  const CPixels px = Draw(0, 0);
  ExpectPixels(px, {{0, 0, m_crGutter, "gutter"},
                    {22, 12, m_crGutter, "gutter's last column"},
                    {23, 12, m_crWindow, "item right of the gutter"},
                    {4, 5, m_crGutter, "image background is transparent"},
                    {11, 12, RGB(255, 76, 76), "faded red square"},
                    {119, 23, m_crWindow, "no frame"}});
  EXPECT_EQ(Ink(px, 23, m_crWindow) - Ink(px, 31, m_crWindow), 0) << "text starts at 31";
  EXPECT_GT(px.Count(Sys(COLOR_MENUTEXT), CRect(31, 0, 120, 24)), 0);
}

TEST_F(BCMenuDrawXPTest, SelectedItem_LightHighlightFramedAndImageLiftedOffItsShadow) {
  const CPixels px = Draw(0, ODS_SELECTED);
  ExpectPixels(px, {{0, 0, m_crHighlight, "frame"},
                    {119, 23, m_crHighlight, "frame"},
                    {2, 2, m_crSelect, "image cell"},
                    {118, 2, m_crSelect, "highlight"},
                    {10, 11, RGB(255, 0, 0), "image, one pixel up and left"},
                    {7, 8, RGB(255, 0, 0), "its square's top-left"},
                    {16, 16, Sys(COLOR_3DSHADOW), "shadow, one pixel down and right"},
                    {12, 7, m_crSelect, "above the square"}});
}

TEST_F(BCMenuDrawXPTest, CheckedItemWithoutImage_BoxWithCheckGlyph) {
  const CPixels px = Draw(1, ODS_CHECKED);
  const COLORREF crText = Sys(COLOR_MENUTEXT);
  const COLORREF crBox = BCMenu::BlendTowardWhite(m_crHighlight, 0.85);
  ExpectPixels(px, {{4, 4, m_crHighlight, "box frame"},
                    {19, 19, m_crHighlight, "box frame"},
                    {3, 4, m_crGutter, "left of the box"},
                    {5, 5, crBox, "inside"},
                    {9, 9, crBox, "above the first stroke"},
                    {9, 10, crText, "first stroke"},
                    {9, 12, crText, "first stroke's end"},
                    {9, 13, crBox, "below it"},
                    {11, 14, crText, "lowest stroke"},
                    {15, 8, crText, "last stroke's top"}});
}

TEST_F(BCMenuDrawXPTest, DisabledItem_NeverHighlightedEmbossedImageGreyText) {
  const CPixels px = Draw(2, ODS_GRAYED | ODS_SELECTED);
  const COLORREF crShadow = Sys(COLOR_3DSHADOW);
  const COLORREF crHilight = Sys(COLOR_3DHILIGHT);
  ExpectPixels(px, {{118, 2, m_crWindow, "not highlighted"},
                    {0, 0, m_crGutter, "gutter"},
                    {8, 9, crShadow, "square in the shadow colour"},
                    {15, 15, crShadow, "square's last pixel"},
                    {16, 16, crHilight, "highlight below right"},
                    {16, 9, m_crGutter, "upper-left neighbour is background"},
                    {5, 6, crShadow, "black marker"},
                    {7, 6, m_crGutter, "white marker counts as background"}});
  EXPECT_GT(px.Count(Sys(COLOR_GRAYTEXT), CRect(31, 0, 120, 24)), 0);
  EXPECT_EQ(px.Count(Sys(COLOR_MENUTEXT), CRect(31, 0, 120, 24)), 0);
}

TEST_F(BCMenuDrawXPTest, Separator_EtchedLineRightOfTheGutter) {
  const CPixels px = Draw(3, 0, 120, 11);
  ExpectPixels(px, {{2, 5, m_crGutter, "gutter"},
                    {29, 5, m_crWindow, "gap"},
                    {30, 5, Sys(COLOR_3DSHADOW), "etched line"},
                    {30, 6, Sys(COLOR_3DHILIGHT), "etched line"},
                    {30, 4, m_crWindow, "above"}});
}

// ---- classic style -----------------------------------------------------------------------------------
// Images stand at (2, 4) of a 24-pixel item in a 20 x 19 cell; text starts at 25.

class BCMenuDrawClassicTest : public BCMenuDrawTest {
 protected:
  void SetUp() override {
    BCMenuDrawTest::SetUp();
    BCMenuProbe::Force(kModernNT);
    BuildMenu();
    m_crBack = Sys(COLOR_MENU);
    m_crHighlight = Sys(COLOR_HIGHLIGHT);
  }
  COLORREF m_crBack = 0, m_crHighlight = 0;
};

TEST_F(BCMenuDrawClassicTest, NormalAndSelectedItem) {
  {
    SCOPED_TRACE("normal");
    const CPixels px = Draw(0, 0);
    ExpectPixels(px, {{0, 0, m_crBack, "background"}, {2, 4, m_crBack, "transparent image corner"},
                      {6, 8, RGB(255, 0, 0), "square's top-left"}, {13, 14, RGB(255, 0, 0), "its bottom-right"}});
    EXPECT_EQ(Ink(px, 14, m_crBack) - Ink(px, 25, m_crBack), 0) << "text starts at 25";
    EXPECT_GT(Ink(px, 25, m_crBack), 0);
  }
  {
    SCOPED_TRACE("selected");
    const CPixels px = Draw(0, ODS_SELECTED);
    ExpectPixels(px, {{18, 12, m_crBack, "image cell"}, {21, 12, m_crHighlight, "highlight starts at W + 5"},
                      {119, 23, m_crHighlight, "to the edge"}, {9, 11, RGB(255, 0, 0), "image in place"}});
    EXPECT_GT(px.Count(Sys(COLOR_HIGHLIGHTTEXT), CRect(25, 0, 120, 24)), 0);
  }
}

TEST_F(BCMenuDrawClassicTest, CheckedItemWithoutImage_BoxSunkenOnlyFromWindows98On) {
  const COLORREF crText = Sys(COLOR_MENUTEXT);
  const COLORREF crBox = BCMenu::BlendTowardWhite(m_crBack, 0.6);
  for (int nPlatform : {kModernNT, kWin2000}) {
    SCOPED_TRACE(nPlatform);
    BCMenuProbe::Force(nPlatform);
    const CPixels px = Draw(1, ODS_CHECKED);
    ExpectPixels(px, {{1, 4, nPlatform == kWin2000 ? Sys(COLOR_3DSHADOW) : crBox, "box's top-left"},
                      {5, 9, crBox, "above the glyph"},
                      {5, 10, crText, "first stroke"},
                      {5, 12, crText, "first stroke's end"},
                      {7, 14, crText, "lowest stroke"},
                      {11, 8, crText, "last stroke's top"}});
  }
}

TEST_F(BCMenuDrawClassicTest, DisabledItem_EmbossedImageAndSelectionKept) {
  {
    SCOPED_TRACE("not selected");
    const CPixels px = Draw(2, ODS_GRAYED);
    ExpectPixels(px, {{6, 8, Sys(COLOR_3DSHADOW), "square in the shadow colour"},
                      {5, 8, m_crBack, "left of it"},
                      {0, 0, m_crBack, "background"}});
    EXPECT_GT(px.Count(Sys(COLOR_GRAYTEXT), CRect(25, 0, 120, 24)), 0);
  }
  {
    SCOPED_TRACE("selected");
    const CPixels px = Draw(2, ODS_GRAYED | ODS_SELECTED);
    ExpectPixels(px, {{21, 12, m_crHighlight, "still highlighted"}, {6, 8, Sys(COLOR_3DSHADOW), "embossed"}});
    EXPECT_EQ(px.Count(Sys(COLOR_GRAYTEXT), CRect(25, 0, 120, 24)), 0);
    EXPECT_GT(px.Count(m_crBack, CRect(25, 0, 120, 24)), 0) << "text in the menu colour";
  }
}

// ---- the image button's drop-down ----------------------------------------------------------------------

// What the menu loop saw, and how to leave it.
struct DropDownProbe {
  HWND hBtn = nullptr;
  UINT nChar = 0;  // typed inside the menu; 0 dismisses it
  bool bSeen = false;
  COLORREF crFace = CLR_INVALID;
  int nRedPixels = -1;
};
DropDownProbe g_drop;

HWND FindMenuWindow() {
  HWND hFound = nullptr;
  ::EnumWindows(
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        char szClass[16] = {};
        ::GetClassNameA(hWnd, szClass, sizeof szClass);
        if (lstrcmpA(szClass, "#32768") != 0 || !::IsWindowVisible(hWnd)) return TRUE;
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&hFound));
  return hFound;
}

void CALLBACK InsideDropDown(HWND, UINT, UINT_PTR idEvent, DWORD) {
  ::KillTimer(nullptr, idEvent);
  g_drop.bSeen = true;
  ::UpdateWindow(g_drop.hBtn);
  g_drop.crFace = CCapture(g_drop.hBtn).At(60, 2);
  if (HWND hMenuWnd = FindMenuWindow()) {
    ::UpdateWindow(hMenuWnd);
    g_drop.nRedPixels = wintest::CaptureClient(hMenuWnd).Count(RGB(255, 0, 0));
  }
  // The menu loop reads the keyboard of the whole thread.
  if (g_drop.nChar) ::PostMessageA(g_drop.hBtn, WM_CHAR, g_drop.nChar, 0);
  else ::EndMenu();
}

class BCMenuDropDownTest : public ButtonHostTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ButtonHostTest::SetUp());
    BCMenuProbe::ResetSharedImages();
    {
      // Red gets its image in the store, so the loaded menu shows it.
      BCMenu scratch;
      ASSERT_TRUE(scratch.CreatePopupMenu());
      scratch.AppendItem(L"", MF_STRING, ID_BCM_RED, IDR_BCM_TOOLBAR16);
    }
    Make(m_btn, "Menu", BS_PUSHBUTTON, CRect(20, 20, 140, 60));
    ASSERT_TRUE(m_btn.SetMenu(IDR_BCM_MENU, m_btn));  // a window whose queue the test reads
    g_drop = DropDownProbe();
    g_drop.hBtn = m_btn;
  }
  void TearDown() override {
    m_btn.UnsubclassWindow();
    BCMenuProbe::ResetSharedImages();
    ButtonHostTest::TearDown();
  }

  // Clicks the button and returns the command posted to the menu owner, 0 for none.
  UINT ClickAndReadCommand() {
    ::SetTimer(nullptr, 0, 150, &InsideDropDown);
    ::SendMessageA(m_btn, BM_CLICK, 0, 0);
    MSG msg;
    UINT nCmd = 0;
    while (::PeekMessageA(&msg, m_btn, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
      EXPECT_EQ(msg.lParam, 0);
      EXPECT_EQ(HIWORD(msg.wParam), 0);
      nCmd = LOWORD(msg.wParam);
    }
    Pump();
    return nCmd;
  }

  CBtnST m_btn;
};

TEST_F(BCMenuDropDownTest, Click_MnemonicTyped_CommandPostedToOwner) {
  g_drop.nChar = 'r';
  EXPECT_EQ(ClickAndReadCommand(), static_cast<UINT>(ID_BCM_RED));
  ASSERT_TRUE(g_drop.bSeen);
  EXPECT_EQ(g_drop.crFace, kOlive) << "pressed while the menu is up";
  EXPECT_EQ(g_drop.nRedPixels, 8 * 7) << "the first popup's items measured and drawn, with Red's image";
  EXPECT_EQ(CCapture(m_btn).At(60, 2), kPurple) << "focused, no longer pressed";
  EXPECT_EQ(m_dlg.m_nClicks, 1);
}

TEST_F(BCMenuDropDownTest, Click_MenuDismissed_NothingPosted) {
  EXPECT_EQ(ClickAndReadCommand(), 0u);
  ASSERT_TRUE(g_drop.bSeen);
  EXPECT_EQ(g_drop.crFace, kOlive);
  EXPECT_EQ(CCapture(m_btn).At(60, 2), kPurple);
}

}  // namespace
