// The bitmap menu's style rules, its shared image store and its item model.
#include "BCMenu.h"

#include <gtest/gtest.h>

#include <string>

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
      {RGB(192, 192, 192), 0.6, RGB(229, 229, 229)},
      {RGB(10, 100, 200), 0.25, RGB(71, 138, 213)},  // 71.25, 138.75, 213.75 truncate
      {RGB(0, 0, 0), 0.49, RGB(124, 124, 124)},      // 124.95
      {RGB(1, 2, 3), 1.0, RGB(255, 255, 255)},
      {RGB(10, 100, 200), 0.0, RGB(10, 100, 200)},
      {RGB(10, 100, 200), -0.5, RGB(10, 100, 200)},
      {RGB(10, 100, 200), 1.0000001, RGB(10, 100, 200)},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(BCMenu::BlendTowardWhite(c.cr, c.dFactor), c.crExpected) << "factor " << c.dFactor;
  }
}

TEST_F(BCMenuTest, ClassifyPlatform_CurrentNT_GivesTheNTCode) {
  OSVERSIONINFOA osvi{};
  osvi.dwOSVersionInfoSize = sizeof osvi;
  ASSERT_TRUE(::GetVersionExA(&osvi));
  ASSERT_GE(osvi.dwMajorVersion, 6u) << "this check is for NT 6 and later";
  EXPECT_EQ(BCMenu::ClassifyPlatform(), kModernNT);
}

TEST_F(BCMenuTest, Predicates_FollowPlatformAndTheme) {
  const struct {
    int nPlatform;
    bool bClassic;
    BOOL bNewShell, bThemedXP, bXPStyle;
  } kCases[] = {
      {kWinXP, false, TRUE, TRUE, TRUE},     {kWinXP, true, TRUE, FALSE, FALSE},
      {kWin2000, false, TRUE, FALSE, FALSE}, {kModernNT, false, FALSE, FALSE, FALSE},
      {2, false, TRUE, FALSE, FALSE},        {0, false, FALSE, FALSE, FALSE},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "platform " << c.nPlatform << (c.bClassic ? " classic" : ""));
    BCMenuProbe::Force(c.nPlatform, c.bClassic);
    EXPECT_EQ(BCMenu::HasNewShell(), c.bNewShell);
    EXPECT_EQ(BCMenu::IsThemedXP(), c.bThemedXP);
    EXPECT_EQ(BCMenu::UseXPStyle(), c.bXPStyle);
  }
}

class ThemeKey {
 public:
  static constexpr const char* kPath = "Software\\Microsoft\\Plus!\\Themes\\Current";
  ThemeKey() { Remove(); }
  ~ThemeKey() { Remove(); }
  static void Set(const char* pszValue) {
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszValue),
                     static_cast<DWORD>(lstrlenA(pszValue) + 1));
    ::RegCloseKey(hKey);
  }
  static void Remove() { ::RegDeleteKeyA(HKEY_CURRENT_USER, kPath); }
};

BOOL FreshThemeAnswer() {
  BCMenuProbe::s_classicThemeDone = 0;
  BCMenuProbe::s_classicTheme = 0;
  return BCMenu::IsClassicThemeActive();
}

TEST_F(BCMenuTest, IsClassicThemeActive_SuffixMatchIgnoringCase) {
  ThemeKey key;
  const struct {
    const char* pszValue;
    BOOL bClassic;
  } kCases[] = {
      {"C:\\WINDOWS\\Resources\\Themes\\windows classic.theme", TRUE},
      {"Windows Classic.theme", TRUE},
      {"Classic.theme", FALSE},
      {"C:\\WINDOWS\\Resources\\Themes\\Luna.theme", FALSE},
      {"C:\\Themes\\Windows Classic.theme.bak", FALSE},
  };
  for (const auto& c : kCases) {
    ThemeKey::Set(c.pszValue);
    EXPECT_EQ(FreshThemeAnswer(), c.bClassic) << c.pszValue;
  }
  ThemeKey::Remove();
  EXPECT_FALSE(FreshThemeAnswer()) << "no theme key";
}

TEST_F(BCMenuTest, IsClassicThemeActive_AnsweredOnceEvenWhenTheLookupFailed) {
  ThemeKey key;
  EXPECT_FALSE(FreshThemeAnswer());
  ThemeKey::Set("Windows Classic.theme");
  EXPECT_FALSE(BCMenu::IsClassicThemeActive()) << "a failed lookup is final";

  EXPECT_TRUE(FreshThemeAnswer());
  ThemeKey::Set("Luna.theme");
  EXPECT_TRUE(BCMenu::IsClassicThemeActive()) << "cached";
}

// ---- images ----------------------------------------------------------------------------------------

// A scratch popup whose appended items put their toolbar images into the shared store.
class CImageMenu : public BCMenu {
 public:
  CImageMenu() { CreatePopupMenu(); }
  int Add(UINT nID, int nToolbar = IDR_BCM_TOOLBAR16) {
    AppendItem(L"item", MF_STRING, nID, nToolbar);
    return GetEntry(GetEntryCount() - 1)->m_sharedImageIndex;
  }
};

// The centre of a test image's square and its light-grey background corner.
constexpr POINT kSquare = {7, 7};
constexpr POINT kCorner = {0, 0};

TEST_F(BCMenuTest, SharedImages_XPEffects_TripletPerCommandAndReplacedInPlace) {
  BCMenuProbe::Force(kWinXP);
  CImageMenu menu;
  EXPECT_EQ(menu.Add(ID_BCM_RED), 0);
  EXPECT_EQ(menu.Add(ID_BCM_BLUE), 3);
  EXPECT_EQ(BCMenuProbe::s_sharedImageIds, (std::vector<int>{100, 100, 100, 200, 200, 200}));
  EXPECT_TRUE(BCMenu::HasImageTriplet(0));
  EXPECT_FALSE(BCMenu::HasImageTriplet(1));
  EXPECT_TRUE(BCMenu::HasImageTriplet(3));
  EXPECT_FALSE(BCMenu::HasImageTriplet(4));
  EXPECT_EQ(BCMenu::SharedImageIndex(ID_BCM_BLUE), 3);
  EXPECT_EQ(BCMenu::SharedImageIndex(ID_BCM_GREEN), -1);

  CImageList& shared = *BCMenuProbe::SharedImages();
  ASSERT_EQ(shared.GetImageCount(), 6);
  const COLORREF crShadow = Sys(COLOR_3DSHADOW);  // themed XP: the plain shadow colour
  // Normal, faded (blended by 0.3) and shadow image of the blue command, the toolbar's 2nd image.
  EXPECT_EQ(DrawListImage(shared, 3).At(kSquare.x, kSquare.y), RGB(0, 0, 255));
  EXPECT_EQ(DrawListImage(shared, 4).At(kSquare.x, kSquare.y), RGB(76, 76, 255));
  EXPECT_EQ(DrawListImage(shared, 5).At(kSquare.x, kSquare.y), crShadow);
  for (int i : {3, 4, 5}) EXPECT_EQ(DrawListImage(shared, i).At(kCorner.x, kCorner.y), kMagenta) << i;

  // Red's image becomes the green picture: same positions, every variant follows.
  CImageList green;
  green.Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1);
  ASSERT_TRUE(menu.AddResourceBitmap(green, IDR_BCM_TOOLBAR16));
  EXPECT_EQ(menu.AddToSharedImages(green, 2, ID_BCM_RED), 0);
  EXPECT_EQ(shared.GetImageCount(), 6);
  EXPECT_EQ(BCMenuProbe::s_sharedImageIds.size(), 6u);
  EXPECT_EQ(DrawListImage(shared, 0).At(kSquare.x, kSquare.y), RGB(0, 255, 0));
  EXPECT_EQ(DrawListImage(shared, 1).At(kSquare.x, kSquare.y), RGB(76, 255, 76));
  EXPECT_EQ(DrawListImage(shared, 2).At(kSquare.x, kSquare.y), crShadow);
  EXPECT_EQ(menu.GetEntry(0)->m_sharedImageIndex, 0) << "the item shows the new image";
}

TEST_F(BCMenuTest, SharedImages_ClassicStyle_OnePositionPerCommand) {
  BCMenuProbe::Force(kModernNT);
  CImageMenu menu;
  EXPECT_EQ(menu.Add(ID_BCM_RED), 0);
  EXPECT_EQ(menu.Add(ID_BCM_GREEN), 1);
  EXPECT_EQ(menu.Add(ID_BCM_RED), 0) << "a second image for red replaces the first";
  EXPECT_EQ(BCMenuProbe::s_sharedImageIds, (std::vector<int>{100, 300}));
  EXPECT_FALSE(BCMenu::HasImageTriplet(0));
  EXPECT_EQ(DrawListImage(*BCMenuProbe::SharedImages(), 1).At(kSquare.x, kSquare.y), RGB(0, 255, 0));
}

TEST_F(BCMenuTest, FindToolbarImage_ImageIndexOfTheButton) {
  BCMenu menu;
  const struct {
    UINT nID;
    UINT nToolbar;
    int nStart;
    BOOL bFound;
    int nIndex;
  } kCases[] = {
      {ID_BCM_RED, IDR_BCM_TOOLBAR16, 0, TRUE, 0},   {ID_BCM_BLUE, IDR_BCM_TOOLBAR16, 0, TRUE, 1},
      {ID_BCM_GREEN, IDR_BCM_TOOLBAR256, 0, TRUE, 2}, {ID_BCM_RED, IDR_BCM_TOOLBAR16, 5, TRUE, 5},
      {ID_BCM_HELP, IDR_BCM_TOOLBAR16, 0, FALSE, 0}, {ID_BCM_BLUE, IDR_BCM_NO_SUCH_RESOURCE, 4, FALSE, 4},
  };
  for (const auto& c : kCases) {
    int nIndex = c.nStart;
    EXPECT_EQ(menu.FindToolbarImage(c.nID, c.nToolbar, nIndex), c.bFound) << c.nID << " in " << c.nToolbar;
    EXPECT_EQ(nIndex, c.nIndex) << c.nID << " in " << c.nToolbar;
  }
}

TEST_F(BCMenuTest, AddResourceBitmap_SixteenColoursMappedToButtonColours) {
  BCMenuProbe::Force(kModernNT);
  BCMenu menu;
  CImageList list16, list256;
  list16.Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1);
  list256.Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1);
  ASSERT_TRUE(menu.AddResourceBitmap(list16, IDR_BCM_TOOLBAR16));
  ASSERT_TRUE(menu.AddResourceBitmap(list256, IDR_BCM_TOOLBAR256));
  EXPECT_EQ(list16.GetImageCount(), 3) << "no faded or shadow copies in the classic style";
  CImageList empty;
  empty.Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1);
  EXPECT_FALSE(menu.AddResourceBitmap(empty, IDR_BCM_NO_SUCH_RESOURCE));

  const CPixels px16 = DrawListImage(list16, 0);
  const CPixels px256 = DrawListImage(list256, 0);
  // Light grey became the 3-D face, the transparent colour; the 256-colour grey stays.
  EXPECT_EQ(px16.At(kCorner.x, kCorner.y), kMagenta);
  EXPECT_EQ(px256.At(kCorner.x, kCorner.y), RGB(192, 192, 192));
  EXPECT_EQ(px16.At(2, 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(px256.At(2, 1), RGB(128, 128, 128));
  EXPECT_EQ(px16.At(1, 1), Sys(COLOR_BTNTEXT));
  EXPECT_EQ(px16.At(kSquare.x, kSquare.y), RGB(255, 0, 0));

  EXPECT_EQ(BCMenu::LoadSystemColoredBitmap(IDR_BCM_TOOLBAR256), nullptr);
  EXPECT_EQ(BCMenu::LoadSystemColoredBitmap(IDR_BCM_NO_SUCH_RESOURCE), nullptr);
  HBITMAP hbm = BCMenu::LoadSystemColoredBitmap(IDR_BCM_TOOLBAR16);
  EXPECT_NE(hbm, nullptr);
  ::DeleteObject(hbm);
}

TEST_F(BCMenuTest, ColorTableSize_UsedCountElseByDepth) {
  const struct {
    DWORD dwUsed;
    WORD wBits;
    int nSize;
  } kCases[] = {{5, 8, 5}, {0, 1, 2}, {0, 4, 16}, {0, 8, 256}, {0, 24, 0}, {0, 32, 0}};
  for (const auto& c : kCases) {
    BITMAPINFOHEADER bih{};
    bih.biClrUsed = c.dwUsed;
    bih.biBitCount = c.wBits;
    EXPECT_EQ(BCMenu::ColorTableSize(&bih), c.nSize) << c.dwUsed << "/" << c.wBits;
  }
}

// A bitmap like the canvas's, each pixel given as a row of colours.
void PaintRows(CDC& dc, const std::vector<std::vector<COLORREF>>& rows) {
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) dc.SetPixel(static_cast<int>(x), static_cast<int>(y), rows[y][x]);
  }
}

TEST_F(BCMenuTest, FadedAndShadowBitmaps_LeaveTheFaceColourAlone) {
  BCMenuProbe::Force(kModernNT);  // not themed: the shadow is the blended shadow colour
  const COLORREF crFace = Sys(COLOR_3DFACE);
  CCanvas ref(1, 1);
  for (bool bShadow : {false, true}) {
    CBitmap bm;
    ASSERT_TRUE(bm.CreateCompatibleBitmap(ref.DC(), 3, 2));
    CDC dc;
    dc.CreateCompatibleDC(ref.DC());
    {
      CSelectGuard sel(dc, bm);
      PaintRows(dc, {{crFace, RGB(0, 0, 255), RGB(200, 100, 50)}, {RGB(0, 0, 0), crFace, crFace}});
    }
    if (bShadow) BCMenu::MakeShadowBitmap(bm);
    else BCMenu::MakeFadedBitmap(bm);
    CSelectGuard sel(dc, bm);
    const COLORREF crShadow = BCMenu::BlendTowardWhite(Sys(COLOR_3DSHADOW), 0.49);
    SCOPED_TRACE(bShadow ? "shadow" : "faded");
    EXPECT_EQ(dc.GetPixel(0, 0), crFace);
    EXPECT_EQ(dc.GetPixel(1, 1), crFace);
    EXPECT_EQ(dc.GetPixel(1, 0), bShadow ? crShadow : RGB(76, 76, 255));
    EXPECT_EQ(dc.GetPixel(2, 0), bShadow ? crShadow : RGB(216, 146, 111));
    EXPECT_EQ(dc.GetPixel(0, 1), bShadow ? crShadow : RGB(76, 76, 76));
  }
}

TEST_F(BCMenuTest, DrawEmbossed_ForegroundInShadowWithHighlightBelowRight) {
  const COLORREF crFace = Sys(COLOR_3DFACE);
  const COLORREF crHi = Sys(COLOR_3DHILIGHT);
  const COLORREF crSh = Sys(COLOR_3DSHADOW);
  const COLORREF crBack = RGB(0, 128, 128);
  CCanvas canvas(8, 8);
  CBitmap bm;
  ASSERT_TRUE(bm.CreateCompatibleBitmap(canvas.DC(), 4, 4));
  {
    CDC dc;
    dc.CreateCompatibleDC(canvas.DC());
    CSelectGuard sel(dc, bm);
    dc.FillSolidRect(0, 0, 4, 4, crFace);
    dc.SetPixel(0, 0, RGB(200, 0, 0));  // the only foreground pixel
    dc.SetPixel(2, 2, crHi);            // counts as background too
  }
  BCMenu::DrawEmbossed(canvas.DC(), 1, 1, 4, 4, bm, 0, 0, crBack);
  const CPixels px = canvas.Read();
  // The 5 x 5 area at (1, 1): S shadow, H highlight, b background, - untouched.
  const char* kExpected[5] = {"Sbbb-", "bHbbb", "bbbbb", "bbbbb", "-bbbb"};
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      const char c = kExpected[y][x];
      const COLORREF cr = c == 'S' ? crSh : c == 'H' ? crHi : c == 'b' ? crBack : kMagenta;
      EXPECT_EQ(px.At(1 + x, 1 + y), cr) << "at " << x << "," << y;
    }
  }
  EXPECT_EQ(px.At(0, 0), kMagenta);
}

// ---- the item model ----------------------------------------------------------------------------------

UINT ItemType(HMENU hMenu, int nPos) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_FTYPE;
  ::GetMenuItemInfoA(hMenu, static_cast<UINT>(nPos), TRUE, &mii);
  return mii.fType;
}

ULONG_PTR ItemData(HMENU hMenu, int nPos) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_DATA;
  ::GetMenuItemInfoA(hMenu, static_cast<UINT>(nPos), TRUE, &mii);
  return mii.dwItemData;
}

BCMenu* SubMenu(BCMenu& menu, int nPos) {
  CMenu* pSub = menu.GetSubMenu(nPos);
  return pSub && pSub->IsKindOf(RUNTIME_CLASS(BCMenu)) ? static_cast<BCMenu*>(pSub) : nullptr;
}

TEST_F(BCMenuTest, LoadMenu_LastTopLevelItemAPopup_WholeTreeBuilt) {
  BCMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_BCM_MENU));
  ASSERT_EQ(menu.GetMenuItemCount(), 3);
  ASSERT_EQ(menu.GetEntryCount(), 3);
  const UINT kTopFlags[] = {MF_BYPOSITION | MF_POPUP, MF_BYPOSITION, MF_BYPOSITION | MF_POPUP};
  const wchar_t* kTopTexts[] = {L"&File", L"&Help", L"&Edit"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(menu.GetEntry(i)->m_flags, kTopFlags[i]) << i;
    EXPECT_STREQ(menu.GetEntry(i)->GetWideText(), kTopTexts[i]);
    EXPECT_EQ(ItemType(menu, i) & MFT_OWNERDRAW, 0u) << "top level items are plain strings";
  }
  CString label;
  menu.GetMenuString(1, label, MF_BYPOSITION);
  EXPECT_EQ(label, "&Help");
  EXPECT_EQ(menu.GetMenuItemID(1), static_cast<UINT>(ID_BCM_HELP));

  BCMenu* pFile = SubMenu(menu, 0);
  BCMenu* pEdit = SubMenu(menu, 2);
  ASSERT_TRUE(pFile && pEdit);
  BCMenu* pMore = SubMenu(*pEdit, 1);
  ASSERT_TRUE(pMore) << "the popup inside the last popup";
  EXPECT_EQ(pFile->GetMenuItemCount(), 3);
  EXPECT_EQ(pEdit->GetMenuItemCount(), 2);
  EXPECT_EQ(pMore->GetMenuItemCount(), 1);
  for (BCMenu* pSub : {pFile, pEdit, pMore}) {
    EXPECT_TRUE(BCMenu::IsBitmapMenuHandle(*pSub));
    for (int i = 0; i < pSub->GetMenuItemCount(); ++i) {
      EXPECT_NE(ItemType(*pSub, i) & MFT_OWNERDRAW, 0u);
      EXPECT_EQ(ItemData(*pSub, i), reinterpret_cast<ULONG_PTR>(pSub->GetEntry(i)));
    }
  }
  EXPECT_EQ(pFile->GetEntry(1)->m_flags, static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW));
  EXPECT_EQ(pFile->GetEntry(2)->m_flags, static_cast<UINT>(MF_GRAYED | MF_OWNERDRAW));
  EXPECT_EQ(pEdit->GetEntry(0)->m_flags, static_cast<UINT>(MF_CHECKED | MF_OWNERDRAW));
  EXPECT_EQ(pEdit->GetEntry(1)->m_commandId, reinterpret_cast<UINT_PTR>(pMore->m_hMenu));
  EXPECT_NE(pFile->GetMenuState(ID_BCM_EXIT, MF_BYCOMMAND) & MF_GRAYED, 0u);

  int nPos = -7;
  EXPECT_EQ(menu.FindMenuContaining(ID_BCM_DEEP, nPos), pMore);
  EXPECT_EQ(nPos, 0);
  EXPECT_EQ(menu.FindMenuContaining(ID_BCM_HELP, nPos), &menu);
  EXPECT_EQ(nPos, 1);
  EXPECT_EQ(menu.FindMenuContaining(999, nPos), nullptr);
  EXPECT_EQ(nPos, -1);
  CString text;
  EXPECT_TRUE(menu.GetItemText(ID_BCM_DEEP, text, MF_BYCOMMAND));
  EXPECT_EQ(text, "&Deep");
  EXPECT_FALSE(menu.GetItemText(999, text, MF_BYCOMMAND));
  EXPECT_FALSE(pFile->GetItemText(3, text));

  // Destroying the top level takes the whole tree with it.
  const HMENU hSubs[] = {*pFile, *pEdit, *pMore};
  EXPECT_TRUE(menu.DestroyMenu());
  for (HMENU h : hSubs) {
    EXPECT_FALSE(BCMenu::IsBitmapMenuHandle(h));
    EXPECT_EQ(CMenu::FromHandlePermanent(h), nullptr);
  }
  EXPECT_EQ(menu.GetEntryCount(), 0);
}

TEST_F(BCMenuTest, LoadMenu_MissingTemplate_MenuLeftAsItWas) {
  BCMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendItem(L"&Keep", MF_STRING, 7);
  const HMENU hBefore = menu;
  EXPECT_FALSE(menu.LoadMenu(IDR_BCM_NO_SUCH_RESOURCE));
  EXPECT_EQ(menu.GetSafeHmenu(), hBefore);
  EXPECT_EQ(menu.GetEntryCount(), 1);
}

TEST_F(BCMenuTest, AppendItem_SeparatorWhateverTheFlags_KeepsOnlyByPosition) {
  BCMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendItem(L"ignored", MF_CHECKED | MF_GRAYED | MF_POPUP, 0);
  menu.AppendItem(L"", MF_BYPOSITION | MF_CHECKED, 0);
  EXPECT_EQ(menu.GetEntry(0)->m_flags, 0x900u);
  EXPECT_EQ(menu.GetEntry(1)->m_flags, 0xD00u);
  EXPECT_NE(menu.GetMenuState(0, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION) & MF_CHECKED, 0u);
}

TEST_F(BCMenuTest, AppendItem_ToALoadedMenu_TopLevelPopupsStayPlainStrings) {
  BCMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_BCM_MENU));
  menu.AppendItem(L"&Later", MF_STRING, 77);
  EXPECT_EQ(menu.GetEntry(0)->m_flags, static_cast<UINT>(MF_BYPOSITION | MF_POPUP));
  EXPECT_EQ(ItemType(menu, 0) & MFT_OWNERDRAW, 0u);
  CString label;
  menu.GetMenuString(2, label, MF_BYPOSITION);
  EXPECT_EQ(label, "&Edit");
  EXPECT_NE(ItemType(menu, 3) & MFT_OWNERDRAW, 0u) << "the appended item itself is owner-drawn";
}

int LabelWidth(HDC hdc, const CString& s) {
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
  HDC hdc = ::GetDC(nullptr);
  {
    CSelectGuard sel(hdc, font);
    const int cxTarget = LabelWidth(hdc, "A much wider label without one ");
    const int cxSpace = LabelWidth(hdc, " ");
    const char* kTails[] = {"\tCtrl+O", "\tCtrl+Shift+S"};
    for (int i = 0; i < 2; ++i) {
      const CString text = menu.GetEntry(i)->GetAnsiText();
      const int nTab = text.Find('\t');
      ASSERT_GT(nTab, 0);
      EXPECT_EQ(text.Mid(nTab), kTails[i]);
      const int cx = LabelWidth(hdc, text.Left(nTab));
      EXPECT_GE(cx, cxTarget) << text.GetString();
      EXPECT_LT(cx - cxSpace, cxTarget) << "no more spaces than needed: " << text.GetString();
    }
  }
  ::ReleaseDC(nullptr, hdc);
  EXPECT_STREQ(menu.GetEntry(2)->GetWideText(), L"A much wider label without one");
}

TEST_F(BCMenuTest, FindMnemonic_AmpersandAndCharacterAnywhere_FirstMatchWins) {
  BCMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  for (const wchar_t* psz : {L"&Alpha", L"", L"&beta", L"Be&ta again", L"Open\tCtrl+&X"}) {
    menu.AppendItem(psz, MF_STRING, *psz ? static_cast<UINT_PTR>(menu.GetEntryCount() + 10) : 0);
  }
  const struct {
    UINT nChar;
    UINT nFlags;
    LRESULT lResult;
  } kCases[] = {
      {'B', MF_POPUP, MAKELRESULT(2, MNC_EXECUTE)}, {'a', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
      {'T', MF_POPUP, MAKELRESULT(3, MNC_EXECUTE)}, {'x', MF_POPUP, MAKELRESULT(4, MNC_EXECUTE)},
      {'l', MF_POPUP, 0},                           {'a', 0, 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(BCMenu::FindMnemonic(c.nChar, c.nFlags, &menu), c.lResult)
        << static_cast<char>(c.nChar) << " flags " << c.nFlags;
  }
  EXPECT_EQ(BCMenu::FindMnemonic('a', MF_POPUP, nullptr), 0);
}

TEST_F(BCMenuTest, FindMnemonic_PlatformItemAddedBehindItsBack_SynchronizedFirst) {
  BCMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendItem(L"&Alpha", MF_STRING, 10);
  menu.AppendItem(L"", MF_STRING, 0);
  BCMenuEntry* pAlpha = menu.GetEntry(0);
  menu.AppendMenu(MF_STRING, 77, "&Zulu");
  menu.AppendMenu(MF_SEPARATOR);

  EXPECT_EQ(BCMenu::FindMnemonic('z', MF_POPUP, &menu), MAKELRESULT(2, MNC_EXECUTE));
  ASSERT_EQ(menu.GetEntryCount(), 4);
  EXPECT_EQ(menu.GetEntry(0), pAlpha) << "entries are reused by command id";
  EXPECT_STREQ(menu.GetEntry(2)->GetWideText(), L"&Zulu");
  EXPECT_EQ(menu.GetEntry(2)->m_commandId, 77u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(ItemType(menu, i) & MFT_OWNERDRAW, 0u) << i;
    EXPECT_EQ(ItemData(menu, i), reinterpret_cast<ULONG_PTR>(menu.GetEntry(i))) << i;
  }
  EXPECT_NE(menu.GetEntry(3)->m_flags & MF_SEPARATOR, 0u);
}

}  // namespace
