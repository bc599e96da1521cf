// The bitmap menu's style rules, its shared image store and its item model.
#include "BCMenu.h"

#include <gtest/gtest.h>

#include "bcmenu/BCMenuProbe.h"

namespace {

using wintest::CPixels;

class BCMenuTest : public BCMenuTestBase {};

// ---- style and colour rules ------------------------------------------------------------------------

TEST_F(BCMenuTest, BlendTowardWhite_FactorsAtAndPastTheBoundaries) {
  const struct {
    COLORREF cr;
    double dFactor;
    COLORREF crExpected;
  } kCases[] = {
      {RGB(192, 192, 192), 0.6, RGB(229, 229, 229)},     {RGB(10, 100, 200), 0.25, RGB(71, 138, 213)},  // truncated
      {RGB(0, 0, 0), 0.49, RGB(124, 124, 124)},          {RGB(1, 2, 3), 1.0, RGB(255, 255, 255)},
      {RGB(10, 100, 200), 0.0, RGB(10, 100, 200)},       {RGB(10, 100, 200), -0.5, RGB(10, 100, 200)},
      {RGB(10, 100, 200), 1.0000001, RGB(10, 100, 200)},
  };
  for (const auto& c : kCases) EXPECT_EQ(BCMenu::BlendTowardWhite(c.cr, c.dFactor), c.crExpected) << c.dFactor;
}

TEST_F(BCMenuTest, PlatformAndPredicates) {
  OSVERSIONINFOA osvi{};
  osvi.dwOSVersionInfoSize = sizeof osvi;
  ASSERT_TRUE(::GetVersionExA(&osvi));
  ASSERT_GE(osvi.dwMajorVersion, 6u);
  EXPECT_EQ(BCMenu::ClassifyPlatform(), kModernNT) << "NT 6 and later";

  const struct {
    int nPlatform;
    bool bClassic;
    BOOL bNewShell, bThemedXP, bXPStyle;
  } kCases[] = {{kWinXP, false, TRUE, TRUE, TRUE},     {kWinXP, true, TRUE, FALSE, FALSE},
                {kWin2000, false, TRUE, FALSE, FALSE}, {kModernNT, false, FALSE, FALSE, FALSE},
                {2, false, TRUE, FALSE, FALSE},        {0, false, FALSE, FALSE, FALSE}};
  for (const auto& c : kCases) {
    BCMenuProbe::Force(c.nPlatform, c.bClassic);
    EXPECT_EQ(BCMenu::HasNewShell(), c.bNewShell) << c.nPlatform;
    EXPECT_EQ(BCMenu::IsThemedXP(), c.bThemedXP) << c.nPlatform << c.bClassic;
    EXPECT_EQ(BCMenu::UseXPStyle(), c.bXPStyle) << c.nPlatform << c.bClassic;
  }
}

void SetTheme(const char* pszValue) {
  const char* kPath = "Software\\Microsoft\\Plus!\\Themes\\Current";
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kPath);
  HKEY hKey = nullptr;
  if (!pszValue || ::RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr))
    return;
  ::RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszValue), lstrlenA(pszValue) + 1);
  ::RegCloseKey(hKey);
}

BOOL FreshThemeAnswer() {
  BCMenuProbe::s_classicThemeDone = 0;
  BCMenuProbe::s_classicTheme = 0;
  return BCMenu::IsClassicThemeActive();
}

TEST_F(BCMenuTest, IsClassicThemeActive_SuffixIgnoringCase_AnsweredOnce) {
  // A stand-in for HKEY_CURRENT_USER: on a developer's own Windows the theme setting stays as it is.
  const char* kStandIn = "Software\\MnemoraTest.UserRoot";
  HKEY hUser = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kStandIn, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hUser, nullptr), 0);
  ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, hUser), 0);
  const struct {
    const char* pszValue;
    BOOL bClassic;
  } kCases[] = {{"C:\\WINDOWS\\Resources\\Themes\\windows classic.theme", TRUE},
                {"Windows Classic.theme", TRUE},
                {"Classic.theme", FALSE},
                {"C:\\Themes\\Windows Classic.theme.bak", FALSE},
                {nullptr, FALSE}};
  for (const auto& c : kCases) {
    SetTheme(c.pszValue);
    EXPECT_EQ(FreshThemeAnswer(), c.bClassic) << (c.pszValue ? c.pszValue : "no key");
  }
  SetTheme("Windows Classic.theme");
  EXPECT_FALSE(BCMenu::IsClassicThemeActive()) << "the failed lookup stays the answer";
  EXPECT_TRUE(FreshThemeAnswer());
  SetTheme("Luna.theme");
  EXPECT_TRUE(BCMenu::IsClassicThemeActive()) << "cached";
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  ::RegCloseKey(hUser);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kStandIn);
}

// ---- images ----------------------------------------------------------------------------------------

// A popup whose appended items put their toolbar images into the shared store.
class CImageMenu : public BCMenu {
 public:
  CImageMenu() { CreatePopupMenu(); }
  int Add(UINT nID) {
    AppendItem(L"item", MF_STRING, nID, IDR_BCM_TOOLBAR16);
    return GetEntry(GetEntryCount() - 1)->m_sharedImageIndex;
  }
};

// Image nImage of a list drawn transparently on magenta; the colour of its square's centre
// (7, 7), or of another pixel.
CPixels DrawListImage(CImageList& list, int nImage) {
  CCanvas canvas(16, 15);
  list.Draw(canvas.DC(), nImage, CPoint(0, 0), ILD_TRANSPARENT);
  return canvas.Read();
}
COLORREF Square(CImageList& list, int nImage) { return DrawListImage(list, nImage).At(7, 7); }

TEST_F(BCMenuTest, SharedImages_XPEffects_TripletsReplacedInPlace) {
  BCMenuProbe::Force(kWinXP);
  CImageMenu menu;
  EXPECT_EQ(menu.Add(ID_BCM_RED), 0);
  EXPECT_EQ(menu.Add(ID_BCM_BLUE), 3);
  EXPECT_EQ(BCMenuProbe::s_sharedImageIds, (std::vector<int>{100, 100, 100, 200, 200, 200}));
  EXPECT_TRUE(BCMenu::HasImageTriplet(0) && BCMenu::HasImageTriplet(3));
  EXPECT_FALSE(BCMenu::HasImageTriplet(1) || BCMenu::HasImageTriplet(4));
  EXPECT_EQ(BCMenu::SharedImageIndex(ID_BCM_GREEN), -1);

  // Normal, faded (blended by 0.3) and shadow image of blue, the toolbar's second image.
  CImageList& shared = BCMenuProbe::SharedImages();
  const COLORREF crShadow = Sys(COLOR_3DSHADOW);  // themed: not blended
  EXPECT_EQ(Square(shared, 3), RGB(0, 0, 255));
  EXPECT_EQ(Square(shared, 4), RGB(76, 76, 255));
  EXPECT_EQ(Square(shared, 5), crShadow);
  EXPECT_EQ(DrawListImage(shared, 4).At(0, 0), kMagenta) << "the faded copy keeps its transparency";

  // Red takes the green picture: same positions, every variant follows.
  CImageList green;
  green.Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1);
  ASSERT_TRUE(menu.AddResourceBitmap(green, IDR_BCM_TOOLBAR16));
  EXPECT_EQ(menu.AddToSharedImages(green, 2, ID_BCM_RED), 0);
  EXPECT_EQ(shared.GetImageCount(), 6);
  EXPECT_EQ(BCMenuProbe::s_sharedImageIds.size(), 6u);
  EXPECT_EQ(Square(shared, 0), RGB(0, 255, 0));
  EXPECT_EQ(Square(shared, 1), RGB(76, 255, 76));
  EXPECT_EQ(Square(shared, 2), crShadow);
}

TEST_F(BCMenuTest, FindToolbarImage_ImageIndexOfTheButton) {
  BCMenu menu;
  const struct {
    UINT nID, nToolbar;
    int nStart;
    BOOL bFound;
    int nIndex;
  } kCases[] = {{ID_BCM_RED, IDR_BCM_TOOLBAR16, 5, TRUE, 5},   // the first image leaves the index alone
                {ID_BCM_BLUE, IDR_BCM_TOOLBAR16, 0, TRUE, 1},  // after the separator
                {ID_BCM_GREEN, IDR_BCM_TOOLBAR256, 0, TRUE, 2},
                {ID_BCM_HELP, IDR_BCM_TOOLBAR16, 0, FALSE, 0},
                {ID_BCM_BLUE, IDR_BCM_NO_SUCH_RESOURCE, 4, FALSE, 4}};
  for (const auto& c : kCases) {
    int nIndex = c.nStart;
    EXPECT_EQ(menu.FindToolbarImage(c.nID, c.nToolbar, nIndex), c.bFound) << c.nID << " in " << c.nToolbar;
    EXPECT_EQ(nIndex, c.nIndex) << c.nID << " in " << c.nToolbar;
  }
}

TEST_F(BCMenuTest, AddResourceBitmap_SixteenColoursMappedToButtonColours) {
  BCMenuProbe::Force(kModernNT);
  BCMenu menu;
  CImageList list16, list256, none;
  for (CImageList* p : {&list16, &list256, &none}) p->Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1);
  ASSERT_TRUE(menu.AddResourceBitmap(list16, IDR_BCM_TOOLBAR16));
  ASSERT_TRUE(menu.AddResourceBitmap(list256, IDR_BCM_TOOLBAR256));
  EXPECT_FALSE(menu.AddResourceBitmap(none, IDR_BCM_NO_SUCH_RESOURCE));
  EXPECT_EQ(list16.GetImageCount(), 3) << "no faded or shadow copies in the classic style";

  const CPixels px16 = DrawListImage(list16, 0);
  const CPixels px256 = DrawListImage(list256, 0);
  // Light grey became the 3-D face, the transparent colour; in 256 colours it stays.
  EXPECT_EQ(px16.At(0, 0), kMagenta);
  EXPECT_EQ(px256.At(0, 0), RGB(192, 192, 192));
  EXPECT_EQ(px16.At(2, 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(px256.At(2, 1), RGB(128, 128, 128));
  EXPECT_EQ(px16.At(1, 1), Sys(COLOR_BTNTEXT));
  EXPECT_EQ(px16.At(7, 7), RGB(255, 0, 0));

  CImageMenu menu2;  // one position per command in the classic style
  for (int nExpected : {0, 1, 0}) EXPECT_EQ(menu2.Add(nExpected ? ID_BCM_GREEN : ID_BCM_RED), nExpected);
  EXPECT_EQ(BCMenuProbe::s_sharedImageIds, (std::vector<int>{100, 300}));
}

TEST_F(BCMenuTest, FadedAndShadowBitmaps_LeaveTheFaceColourAlone) {
  BCMenuProbe::Force(kModernNT);  // not themed: the shadow colour is blended
  const COLORREF crFace = Sys(COLOR_3DFACE);
  const COLORREF kBefore[4] = {crFace, RGB(0, 0, 255), RGB(200, 100, 50), RGB(0, 0, 0)};
  const COLORREF kFaded[4] = {crFace, RGB(76, 76, 255), RGB(216, 146, 111), RGB(76, 76, 76)};
  const COLORREF crShadow = BCMenu::BlendTowardWhite(Sys(COLOR_3DSHADOW), 0.49);
  for (bool bShadow : {false, true}) {
    CCanvas canvas(4, 1);
    CBitmap bm;
    CMemoryDC dc;
    ASSERT_TRUE(bm.CreateCompatibleBitmap(canvas.DC(), 4, 2) && dc.CreateCompatibleDC(canvas.DC()));
    {
      CSelectGuard sel(dc, bm);
      dc.FillSolidRect(0, 0, 4, 2, crFace);
      for (int x = 0; x < 4; ++x) dc.SetPixel(x, 0, kBefore[x]);
    }
    bShadow ? BCMenu::MakeShadowBitmap(bm) : BCMenu::MakeFadedBitmap(bm);
    CSelectGuard sel(dc, bm);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dc.GetPixel(x, 0), x && bShadow ? crShadow : kFaded[x]) << x << bShadow;
  }
}

TEST_F(BCMenuTest, DrawEmbossed_ForegroundInShadowWithHighlightBelowRight) {
  const COLORREF crHi = Sys(COLOR_3DHILIGHT);
  const COLORREF crBack = RGB(0, 128, 128);
  CCanvas canvas(8, 8);
  CBitmap bm;
  ASSERT_TRUE(bm.CreateCompatibleBitmap(canvas.DC(), 4, 4));
  {
    CMemoryDC dc;
    dc.CreateCompatibleDC(canvas.DC());
    CSelectGuard sel(dc, bm);
    dc.FillSolidRect(0, 0, 4, 4, Sys(COLOR_3DFACE));
    dc.SetPixel(0, 0, RGB(200, 0, 0));  // the only foreground pixel
    dc.SetPixel(2, 2, crHi);            // background as well
  }
  BCMenu::DrawEmbossed(canvas.DC(), 1, 1, 4, 4, bm, 0, 0, crBack);
  const CPixels px = canvas.Read();
  // The 5 x 5 area at (1, 1): S shadow, H highlight, b background, - not painted.
  const char* kExpected[5] = {"Sbbb-", "bHbbb", "bbbbb", "bbbbb", "-bbbb"};
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      const char c = kExpected[y][x];
      const COLORREF cr = c == 'S' ? Sys(COLOR_3DSHADOW) : c == 'H' ? crHi : c == 'b' ? crBack : kMagenta;
      EXPECT_EQ(px.At(1 + x, 1 + y), cr) << x << "," << y;
    }
  }
}

// ---- the item model ----------------------------------------------------------------------------------

MENUITEMINFOA ItemInfo(HMENU hMenu, int nPos) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_FTYPE | MIIM_DATA;
  ::GetMenuItemInfoA(hMenu, static_cast<UINT>(nPos), TRUE, &mii);
  return mii;
}
bool IsOwnerDrawn(HMENU hMenu, int nPos) { return (ItemInfo(hMenu, nPos).fType & MFT_OWNERDRAW) != 0; }

BCMenu* SubMenu(BCMenu& menu, int nPos) {
  CMenu* pSub = menu.GetSubMenu(nPos);
  return pSub && pSub->IsKindOf(RUNTIME_CLASS(BCMenu)) ? static_cast<BCMenu*>(pSub) : nullptr;
}

TEST_F(BCMenuTest, LoadMenu_LastTopLevelItemAPopup_WholeTreeBuiltAndDestroyed) {
  BCMenu menu;
  EXPECT_FALSE(menu.LoadMenu(IDR_BCM_NO_SUCH_RESOURCE));
  ASSERT_TRUE(menu.LoadMenu(IDR_BCM_MENU));
  ASSERT_EQ(menu.GetEntryCount(), 3);
  const UINT kTopFlags[] = {MF_BYPOSITION | MF_POPUP, MF_BYPOSITION, MF_BYPOSITION | MF_POPUP};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(menu.GetEntry(i)->m_flags, kTopFlags[i]) << i;
    EXPECT_FALSE(IsOwnerDrawn(menu, i)) << "top-level items are plain strings";
  }
  CString label;
  menu.GetMenuString(2, label, MF_BYPOSITION);
  EXPECT_EQ(label, "&Edit");

  BCMenu* pFile = SubMenu(menu, 0);
  BCMenu* pEdit = SubMenu(menu, 2);
  BCMenu* pMore = pEdit ? SubMenu(*pEdit, 1) : nullptr;
  ASSERT_TRUE(pFile && pEdit && pMore) << "the popup inside the last popup";
  const int kCounts[] = {3, 2, 1};
  int n = 0;
  for (BCMenu* pSub : {pFile, pEdit, pMore}) {
    ASSERT_EQ(pSub->GetMenuItemCount(), kCounts[n++]);
    EXPECT_TRUE(BCMenu::IsBitmapMenuHandle(*pSub));
    for (int i = 0; i < pSub->GetMenuItemCount(); ++i) {
      EXPECT_TRUE(IsOwnerDrawn(*pSub, i));
      EXPECT_EQ(ItemInfo(*pSub, i).dwItemData, reinterpret_cast<ULONG_PTR>(pSub->GetEntry(i)));
    }
  }
  EXPECT_EQ(pFile->GetEntry(1)->m_flags, static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW));
  EXPECT_EQ(pFile->GetEntry(2)->m_flags, static_cast<UINT>(MF_GRAYED | MF_OWNERDRAW));
  EXPECT_EQ(pEdit->GetEntry(0)->m_flags, static_cast<UINT>(MF_CHECKED | MF_OWNERDRAW));

  int nPos = -7;
  EXPECT_EQ(menu.FindMenuContaining(ID_BCM_DEEP, nPos), pMore);
  EXPECT_EQ(nPos, 0);
  CString text;
  EXPECT_TRUE(menu.GetItemText(ID_BCM_DEEP, text, MF_BYCOMMAND));
  EXPECT_EQ(text, "&Deep");
  EXPECT_FALSE(pFile->GetItemText(3, text));

  const HMENU hSubs[] = {*pFile, *pEdit, *pMore};
  EXPECT_TRUE(menu.DestroyMenu());
  for (HMENU h : hSubs) {
    EXPECT_FALSE(BCMenu::IsBitmapMenuHandle(h));
    EXPECT_EQ(CMenu::FromHandlePermanent(h), nullptr) << "submenu objects deleted";
  }
}

TEST_F(BCMenuTest, AppendItem_SeparatorsAndAppendsToALoadedMenu) {
  BCMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  popup.AppendItem(L"ignored", MF_CHECKED | MF_GRAYED | MF_POPUP, 0);
  popup.AppendItem(L"", MF_BYPOSITION | MF_CHECKED, 0);
  EXPECT_EQ(popup.GetEntry(0)->m_flags, 0x900u);
  EXPECT_EQ(popup.GetEntry(1)->m_flags, 0xD00u);

  BCMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_BCM_MENU));
  menu.AppendItem(L"&Later", MF_STRING, 77);
  EXPECT_FALSE(IsOwnerDrawn(menu, 0)) << "the loaded popups are demoted again";
  EXPECT_FALSE(IsOwnerDrawn(menu, 2));
  EXPECT_TRUE(IsOwnerDrawn(menu, 3));
}

int TextWidth(HDC hdc, const CString& s) {
  SIZE size{};
  ::GetTextExtentPoint32A(hdc, s, s.GetLength(), &size);
  return size.cx;
}

TEST_F(BCMenuTest, AlignAccelerators_PadsLabelsToTheWidestPlusASpace) {
  BCMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendItem(L"&Open\tCtrl+O", MF_STRING, 1);
  menu.AppendItem(L"Save &As...\tCtrl+Shift+S", MF_STRING, 2);
  menu.AppendItem(L"A much wider label without one", MF_STRING, 3);
  menu.AlignAccelerators();

  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = 340;
  ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0));
  CFont font;
  ASSERT_TRUE(font.CreateFontIndirect(&ncm.lfMenuFont));
  CWindowDC dc(static_cast<HWND>(nullptr));
  CSelectGuard sel(dc, font);
  const int cxTarget = TextWidth(dc, "A much wider label without one ");
  const char* kTails[] = {"\tCtrl+O", "\tCtrl+Shift+S"};
  for (int i = 0; i < 2; ++i) {
    const CString text = menu.GetEntry(i)->GetAnsiText();
    const int nTab = text.Find('\t');
    EXPECT_EQ(text.Mid(nTab), kTails[i]);
    EXPECT_GE(TextWidth(dc, text.Left(nTab)), cxTarget) << text.GetString();
    EXPECT_LT(TextWidth(dc, text.Left(nTab - 1)), cxTarget) << "one space too many: " << text.GetString();
  }
  EXPECT_STREQ(menu.GetEntry(2)->GetWideText(), L"A much wider label without one");
}

TEST_F(BCMenuTest, FindMnemonic_AmpersandAndCharacterAnywhere_SynchronizedFirst) {
  BCMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  UINT nID = 10;
  for (const wchar_t* psz : {L"&Alpha", L"", L"&beta", L"Be&ta again", L"Open\tCtrl+&X"}) {
    menu.AppendItem(psz, MF_STRING, *psz ? nID++ : 0);
  }
  const struct {
    UINT nChar, nFlags;
    LRESULT lResult;
  } kCases[] = {{'B', MF_POPUP, MAKELRESULT(2, MNC_EXECUTE)},
                {'a', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
                {'T', MF_POPUP, MAKELRESULT(3, MNC_EXECUTE)},
                {'x', MF_POPUP, MAKELRESULT(4, MNC_EXECUTE)},
                {'l', MF_POPUP, 0},
                {'a', 0, 0},
                {0x100 | 'b', MF_POPUP, 0},  // no character of the code page
                {0, MF_POPUP, 0}};
  for (const auto& c : kCases) {
    EXPECT_EQ(BCMenu::FindMnemonic(c.nChar, c.nFlags, &menu), c.lResult) << static_cast<char>(c.nChar) << c.nFlags;
  }

  // Items added to the platform menu behind the menu's back get entries of their own.
  BCMenuEntry* pAlpha = menu.GetEntry(0);
  menu.AppendMenu(MF_STRING, 77, "&Zulu");
  menu.AppendMenu(MF_SEPARATOR);
  EXPECT_EQ(BCMenu::FindMnemonic('z', MF_POPUP, &menu), MAKELRESULT(5, MNC_EXECUTE));
  ASSERT_EQ(menu.GetEntryCount(), 7);
  EXPECT_EQ(menu.GetEntry(0), pAlpha) << "entries are reused by command id";
  EXPECT_EQ(menu.GetEntry(5)->m_commandId, 77u);
  EXPECT_NE(menu.GetEntry(6)->m_flags & MF_SEPARATOR, 0u);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(ItemInfo(menu, i).dwItemData, reinterpret_cast<ULONG_PTR>(menu.GetEntry(i)));
  menu.MarkAllEntries(1);
  menu.GetEntry(6)->m_synced = 0;
  menu.DeleteUnclaimedEntries();  // on its own: no empty slot left, no item pointing at a freed entry
  EXPECT_EQ(std::make_pair(menu.GetEntryCount(), menu.GetMenuItemCount()), std::make_pair(6, 6));
}

}  // namespace
