#pragma once
// The image button's owner-drawn drop-down menu.
//
// This version holds no item records of its own: the bitmap menu proper (loading from menu
// templates, appending items, images, the classic and XP drawing styles) arrives with a later
// change. What is here answers, correctly for a menu without items, the three questions the
// image button asks of it: is a menu one of ours, which item does a typed character choose, and
// how large is an item.
#include <vector>

#include "afxwin.h"

class BCMenu : public CMenu {
  DECLARE_DYNAMIC(BCMenu)
 public:
  BCMenu() = default;
  ~BCMenu() override;

  // Forgets this menu's handle as a bitmap menu, then destroys the platform menu.
  BOOL DestroyMenu();

  // This version hands out no item data, so every request sizes an item with no text and no image.
  void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;

  // The WM_MENUCHAR answer: MAKELRESULT(position, MNC_EXECUTE) for the first item whose label
  // contains '&' + nChar (case ignored), else 0. Only popup menus (MF_POPUP in nFlags) are searched.
  static LRESULT FindMnemonic(UINT nChar, UINT nFlags, CMenu* pMenu);
  // TRUE when the menu (or the handle) is a popup appended by some BCMenu.
  static BOOL IsBitmapMenu(CMenu* pMenu);
  static BOOL IsBitmapMenuHandle(HMENU hMenu);

 protected:
  int m_imageWidth = 16;
  int m_imageHeight = 15;

 private:
  // Every popup handle appended by any BCMenu; nothing appends popups yet.
  static std::vector<HMENU>& AllPopupHandles();
};
