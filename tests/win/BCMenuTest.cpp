// BCMenu as the image button uses it: a menu without items of its own.
#include "BCMenu.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A platform popup menu owned by the test.
class CTestPopup : public CMenu {
 public:
  explicit CTestPopup(std::initializer_list<const char*> items) {
    CreatePopupMenu();
    UINT nId = 100;
    for (const char* psz : items) {
      if (psz) AppendMenu(MF_STRING, nId++, psz);
      else AppendMenu(MF_SEPARATOR);
    }
  }
};

TEST(BCMenuTest, FindMnemonic_PopupFlag_FirstLabelWithAmpersandCharCaseIgnored) {
  CTestPopup menu({"&Alpha", nullptr, "&beta", "Be&ta again", "Open\tCtrl+&X"});
  EXPECT_EQ(BCMenu::FindMnemonic('B', MF_POPUP, &menu), MAKELRESULT(2, MNC_EXECUTE));
  EXPECT_EQ(BCMenu::FindMnemonic('a', MF_POPUP, &menu), MAKELRESULT(0, MNC_EXECUTE));
  EXPECT_EQ(BCMenu::FindMnemonic('T', MF_POPUP, &menu), MAKELRESULT(3, MNC_EXECUTE));
  EXPECT_EQ(BCMenu::FindMnemonic('x', MF_POPUP, &menu), MAKELRESULT(4, MNC_EXECUTE)) << "accelerator part counts";
  EXPECT_EQ(BCMenu::FindMnemonic('l', MF_POPUP, &menu), 0) << "letter without ampersand";
}

TEST(BCMenuTest, FindMnemonic_NoPopupFlagOrNoMenu_Zero) {
  CTestPopup menu({"&Alpha"});
  EXPECT_EQ(BCMenu::FindMnemonic('a', 0, &menu), 0);
  EXPECT_EQ(BCMenu::FindMnemonic('a', MF_POPUP, nullptr), 0);
  CTestPopup empty({});
  EXPECT_EQ(BCMenu::FindMnemonic('a', MF_POPUP, &empty), 0);
}

TEST(BCMenuTest, IsBitmapMenu_MenusNotAppendedByABitmapMenu_False) {
  BCMenu bc;
  ASSERT_TRUE(bc.CreatePopupMenu());
  CTestPopup plain({"&Alpha"});
  EXPECT_FALSE(BCMenu::IsBitmapMenu(&bc));
  EXPECT_FALSE(BCMenu::IsBitmapMenu(&plain));
  EXPECT_FALSE(BCMenu::IsBitmapMenu(nullptr));
  EXPECT_FALSE(BCMenu::IsBitmapMenuHandle(plain.m_hMenu));
  EXPECT_FALSE(BCMenu::IsBitmapMenuHandle(nullptr));
}

TEST(BCMenuTest, MeasureItem_RequestWithoutEntry_EmptyItemSize) {
  BCMenu bc;
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemWidth = 777;
  mis.itemHeight = 555;
  bc.MeasureItem(&mis);
  // No text: two image widths (16) plus one; at least a menu bar high, and image height 15 + pad 4.
  EXPECT_EQ(mis.itemWidth, 33u);
  EXPECT_EQ(mis.itemHeight, static_cast<UINT>(std::max(::GetSystemMetrics(SM_CYMENU), 19)));
}

TEST(BCMenuTest, Destructor_MenuWithHandle_PlatformMenuDestroyed) {
  HMENU hMenu = nullptr;
  {
    BCMenu bc;
    ASSERT_TRUE(bc.CreatePopupMenu());
    hMenu = bc.GetSafeHmenu();
    EXPECT_EQ(CMenu::FromHandlePermanent(hMenu), &bc);
    EXPECT_TRUE(bc.IsKindOf(RUNTIME_CLASS(BCMenu)));
    EXPECT_STREQ(bc.GetRuntimeClass()->m_lpszClassName, "BCMenu");
  }
  EXPECT_FALSE(::IsMenu(hMenu));
  EXPECT_EQ(CMenu::FromHandlePermanent(hMenu), nullptr);

  BCMenu bc;
  ASSERT_TRUE(bc.CreateMenu());
  hMenu = bc.GetSafeHmenu();
  EXPECT_TRUE(bc.DestroyMenu());
  EXPECT_EQ(bc.GetSafeHmenu(), nullptr);
  EXPECT_FALSE(::IsMenu(hMenu));
  EXPECT_FALSE(bc.DestroyMenu()) << "nothing left to destroy";
}

}  // namespace
