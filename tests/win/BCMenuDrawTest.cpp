// The bitmap menu's measured sizes and drawn items in both styles, and the image button's
// drop-down menu carrying a loaded bitmap menu.
#include "BCMenu.h"

#include <gtest/gtest.h>

#include "BtnSTTestHost.h"
#include "bcmenu/BCMenuProbe.h"

namespace {

using wintest::CPixels;

// A popup with: 0 "&Red\tCtrl+R" and its image, 1 "&Wrap" without one, 2 "&Blue" and its image,
// 3 a separator; the images are stored in the style forced at the time.
class BCMenuDrawTest : public BCMenuTestBase {
 protected:
  void Build(int nPlatform) {
    BCMenuProbe::Force(nPlatform);
    m_menu.DestroyMenu();
    BCMenuProbe::ResetSharedImages();
    ASSERT_TRUE(m_menu.CreatePopupMenu());
    m_menu.AppendItem(L"&Red\tCtrl+R", MF_STRING, ID_BCM_RED, IDR_BCM_TOOLBAR16);
    m_menu.AppendItem(L"&Wrap", MF_STRING, 500);
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

  // Item nItem drawn in a 120 x cy rectangle at the canvas's origin.
  CPixels Draw(int nItem, UINT nState, int cy = 24) {
    CCanvas canvas(120, cy);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = m_menu.GetMenuItemID(nItem);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = nState;
    dis.hwndItem = reinterpret_cast<HWND>(m_menu.m_hMenu);
    dis.hDC = canvas.DC();
    dis.rcItem = CRect(0, 0, 120, cy);
    dis.itemData = reinterpret_cast<ULONG_PTR>(m_menu.GetEntry(nItem));
    m_menu.DrawItem(&dis);
    return canvas.Read();
  }

  struct Px {
    int x, y;
    COLORREF cr;
    const char* pszWhat;
  };
  static void Expect(const CPixels& px, std::initializer_list<Px> probes) {
    for (const Px& p : probes) EXPECT_EQ(px.At(p.x, p.y), p.cr) << p.pszWhat << " at " << p.x << "," << p.y;
  }
  // Pixels of colour cr in the columns from x on.
  static int CountFrom(const CPixels& px, int x, COLORREF cr) {
    return px.Count(cr, CRect(x, 0, px.Width(), px.Height()));
  }
  // Columns x0 to x1 (exclusive) hold nothing but cr.
  static bool Blank(const CPixels& px, int x0, int x1, COLORREF cr) {
    return px.IsUniform(cr, CRect(x0, 0, x1, px.Height()));
  }

  BCMenu m_menu;
};

int MenuTextWidth(const wchar_t* psz, bool bMenuFont) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = 340;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0);
  CFont font;
  font.CreateFontIndirect(&ncm.lfMenuFont);
  CClientDC dc(CWnd::FromHandle(::GetDesktopWindow()));
  CSelectGuard sel(dc, bMenuFont ? font.GetSafeHandle() : nullptr);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, psz, lstrlenW(psz), &size);
  return size.cx;
}

TEST_F(BCMenuDrawTest, MeasureItem_BothStyles) {
  const int cyMenu = ::GetSystemMetrics(SM_CYMENU);
  const struct {
    int nPlatform;
    bool bMenuFont;  // selected from Windows 98 and NT 4 on
    int cxExtra, cyItem, cySeparator;
  } kCases[] = {
      // Classic: text + 2 W + 1 wide, H + 4 high. XP: text + W + 7 + 8 wide, H + 7 high.
      {kModernNT, false, 33, std::max(cyMenu, 19), std::max(cyMenu / 2, 9)},
      {kWin2000, true, 33, std::max(cyMenu, 19), std::max(cyMenu / 2, 9)},
      {kWinXP, true, 31, std::max(cyMenu, 22), std::max(cyMenu / 2, 11)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.nPlatform);
    Build(c.nPlatform);
    const MEASUREITEMSTRUCT text = Measure(0), sep = Measure(3);
    EXPECT_EQ(static_cast<int>(text.itemWidth), MenuTextWidth(L"&Red\tCtrl+R", c.bMenuFont) + c.cxExtra);
    EXPECT_EQ(static_cast<int>(text.itemHeight), c.cyItem);
    EXPECT_EQ(sep.itemWidth, 0u);
    EXPECT_EQ(static_cast<int>(sep.itemHeight), c.cySeparator);
    MEASUREITEMSTRUCT none{};
    none.CtlType = ODT_MENU;
    m_menu.MeasureItem(&none);
    EXPECT_EQ(static_cast<int>(none.itemWidth), c.cxExtra) << "no entry, no text";
  }
}

// XP style: a 23-pixel gutter (W + 7), images at (4, 5) of a 24-pixel item, text from 31 on.
TEST_F(BCMenuDrawTest, XPStyle_NormalSelectedCheckedDisabledSeparator) {
  Build(kWinXP);
  const COLORREF crGutter = Sys(COLOR_3DFACE), crWindow = Sys(COLOR_WINDOW), crHigh = Sys(COLOR_HIGHLIGHT);
  const COLORREF crSelect = BCMenu::BlendTowardWhite(crHigh, 0.7), crText = Sys(COLOR_MENUTEXT);
  const COLORREF crShadow = Sys(COLOR_3DSHADOW), crHilight = Sys(COLOR_3DHILIGHT);
  {
    SCOPED_TRACE("normal");
    const CPixels px = Draw(0, 0);
    Expect(px, {{0, 0, crGutter, "gutter"},
                {22, 12, crGutter, "gutter's last column"},
                {23, 12, crWindow, "right of the gutter"},
                {4, 5, crGutter, "transparent image corner"},
                {11, 12, RGB(255, 76, 76), "faded image"},
                {119, 23, crWindow, "no frame"}});
    EXPECT_TRUE(Blank(px, 23, 31, crWindow));
    EXPECT_GT(CountFrom(px, 31, crText), 0);
  }
  {
    SCOPED_TRACE("selected");
    Expect(Draw(0, ODS_SELECTED), {{0, 0, crHigh, "frame"},
                                   {119, 23, crHigh, "frame"},
                                   {2, 2, crSelect, "image cell"},
                                   {118, 2, crSelect, "light highlight"},
                                   {7, 8, RGB(255, 0, 0), "image, one pixel up and left"},
                                   {16, 16, crShadow, "its shadow, one pixel down and right"},
                                   {12, 7, crSelect, "above the image"}});
  }
  {
    SCOPED_TRACE("checked, no image");
    const COLORREF crBox = BCMenu::BlendTowardWhite(crHigh, 0.85);
    Expect(Draw(1, ODS_CHECKED), {{4, 4, crHigh, "16 x 16 box's frame"},
                                  {19, 19, crHigh, "box's frame"},
                                  {3, 4, crGutter, "left of the box"},
                                  {9, 9, crBox, "inside"},
                                  {9, 10, crText, "first stroke"},
                                  {9, 12, crText, "its end"},
                                  {9, 13, crBox, "below it"},
                                  {11, 14, crText, "lowest stroke"},
                                  {15, 8, crText, "last stroke's top"}});
  }
  {
    SCOPED_TRACE("disabled, reported selected");
    const CPixels px = Draw(2, ODS_GRAYED | ODS_SELECTED);
    Expect(px, {{118, 2, crWindow, "never highlighted"},
                {8, 9, crShadow, "embossed square"},
                {15, 15, crShadow, "square's last pixel"},
                {16, 16, crHilight, "highlight below right"},
                {16, 9, crGutter, "upper-left neighbour is background"},
                {5, 6, crShadow, "black marker"},
                {7, 6, crGutter, "white marker is background"}});
    EXPECT_GT(CountFrom(px, 31, Sys(COLOR_GRAYTEXT)), 0);
    EXPECT_EQ(CountFrom(px, 31, crText), 0);
  }
  {
    SCOPED_TRACE("separator");
    Expect(Draw(3, 0, 11), {{2, 5, crGutter, "gutter"},
                            {29, 5, crWindow, "gap"},
                            {30, 5, crShadow, "etched line"},
                            {30, 6, crHilight, "etched line"},
                            {30, 4, crWindow, "above"}});
  }
}

// Classic style: images at (2, 4) of a 24-pixel item, the highlight from W + 5 on, text from 25.
TEST_F(BCMenuDrawTest, ClassicStyle_NormalSelectedCheckedDisabled) {
  Build(kModernNT);
  const COLORREF crBack = Sys(COLOR_MENU), crHigh = Sys(COLOR_HIGHLIGHT), crText = Sys(COLOR_MENUTEXT);
  const COLORREF crShadow = Sys(COLOR_3DSHADOW);
  {
    SCOPED_TRACE("normal");
    const CPixels px = Draw(0, 0);
    Expect(px, {{0, 0, crBack, "background"},
                {2, 4, crBack, "transparent image corner"},
                {6, 8, RGB(255, 0, 0), "image's top-left"},
                {13, 14, RGB(255, 0, 0), "its bottom-right"}});
    EXPECT_TRUE(Blank(px, 14, 25, crBack));
    EXPECT_GT(CountFrom(px, 25, crText), 0);
  }
  {
    SCOPED_TRACE("selected");
    const CPixels px = Draw(0, ODS_SELECTED);
    Expect(px, {{18, 12, crBack, "image cell"},
                {21, 12, crHigh, "highlight"},
                {119, 23, crHigh, "to the edge"},
                {9, 11, RGB(255, 0, 0), "image in place"}});
    EXPECT_GT(CountFrom(px, 25, Sys(COLOR_HIGHLIGHTTEXT)), 0);
  }
  for (int nPlatform : {kModernNT, kWin2000}) {
    SCOPED_TRACE(testing::Message() << "checked, no image, platform " << nPlatform);
    BCMenuProbe::Force(nPlatform);
    const COLORREF crBox = BCMenu::BlendTowardWhite(crBack, 0.6);
    Expect(Draw(1, ODS_CHECKED), {{1, 4, nPlatform == kWin2000 ? crShadow : crBox, "sunken only with a new shell"},
                                  {5, 9, crBox, "above the glyph"},
                                  {5, 10, crText, "first stroke"},
                                  {5, 12, crText, "its end"},
                                  {7, 14, crText, "lowest stroke"},
                                  {11, 8, crText, "last stroke's top"}});
  }
  BCMenuProbe::Force(kModernNT);
  {
    SCOPED_TRACE("disabled");
    const CPixels px = Draw(2, ODS_GRAYED);
    Expect(px, {{6, 8, crShadow, "embossed square"}, {5, 8, crBack, "left of it"}});
    EXPECT_GT(CountFrom(px, 25, Sys(COLOR_GRAYTEXT)), 0);
  }
  {
    SCOPED_TRACE("disabled and selected");
    const CPixels px = Draw(2, ODS_GRAYED | ODS_SELECTED);
    Expect(px, {{21, 12, crHigh, "the selection is kept"}, {6, 8, crShadow, "embossed square"}});
    EXPECT_EQ(CountFrom(px, 25, Sys(COLOR_GRAYTEXT)), 0);
    EXPECT_GT(CountFrom(px, 25, crBack), 0) << "text in the menu colour";
  }
}

// ---- the image button's drop-down ----------------------------------------------------------------------

// What the menu loop saw, and how to leave it: a typed character, or 0 to dismiss the menu.
struct DropDownProbe {
  HWND hBtn = nullptr;
  UINT nChar = 0;
  bool bSeen = false;
  COLORREF crFace = CLR_INVALID;
  int nRedPixels = -1;
} g_drop;

void InsideDropDown(HWND hMenuWnd) {
  g_drop.bSeen = true;
  ::UpdateWindow(g_drop.hBtn);
  g_drop.crFace = CCapture(g_drop.hBtn).At(60, 2);
  ::UpdateWindow(hMenuWnd);
  g_drop.nRedPixels = wintest::CaptureClient(hMenuWnd).Count(RGB(255, 0, 0));
  // The menu loop reads the keyboard of the whole thread.
  if (g_drop.nChar)
    ::PostMessageA(g_drop.hBtn, WM_CHAR, g_drop.nChar, 0);
  else
    ::EndMenu();
}

class BCMenuDropDownTest : public ButtonHostTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ButtonHostTest::SetUp());
    BCMenuProbe::ResetSharedImages();
    {
      BCMenu scratch;  // Red's image into the store, so the loaded menu shows it
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
    const UINT nCmd = ClickAndReadMenuCommand(m_btn, &InsideDropDown);
    EXPECT_TRUE(g_drop.bSeen);
    EXPECT_EQ(g_drop.crFace, kOlive) << "pressed while the menu is up";
    EXPECT_EQ(CCapture(m_btn).At(60, 2), kPurple) << "focused, no longer pressed";
    return nCmd;
  }

  CBtnST m_btn;
};

TEST_F(BCMenuDropDownTest, Click_MnemonicTyped_CommandPostedToOwner) {
  g_drop.nChar = 'r';
  EXPECT_EQ(ClickAndReadCommand(), static_cast<UINT>(ID_BCM_RED));
  EXPECT_EQ(g_drop.nRedPixels, 8 * 7) << "the first popup's items measured and drawn, Red with its image";
  EXPECT_EQ(m_dlg.m_nClicks, 1);
}

TEST_F(BCMenuDropDownTest, Click_MenuDismissed_NothingPosted) { EXPECT_EQ(ClickAndReadCommand(), 0u); }

}  // namespace
