#include "BCMenu.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(BCMenu, CMenu)

std::vector<HMENU>& BCMenu::AllPopupHandles() {
  static std::vector<HMENU> handles;
  return handles;
}

BCMenu::~BCMenu() { DestroyMenu(); }

BOOL BCMenu::DestroyMenu() {
  std::vector<HMENU>& all = AllPopupHandles();
  if (m_hMenu) all.erase(std::remove(all.begin(), all.end(), m_hMenu), all.end());
  return CMenu::DestroyMenu();
}

BOOL BCMenu::IsBitmapMenuHandle(HMENU hMenu) {
  if (!hMenu) return FALSE;
  const std::vector<HMENU>& all = AllPopupHandles();
  return std::find(all.begin(), all.end(), hMenu) != all.end();
}

BOOL BCMenu::IsBitmapMenu(CMenu* pMenu) { return pMenu && IsBitmapMenuHandle(pMenu->m_hMenu); }

LRESULT BCMenu::FindMnemonic(UINT nChar, UINT nFlags, CMenu* pMenu) {
  if (!pMenu || !(nFlags & MF_POPUP)) return 0;
  char key[3] = {'&', static_cast<char>(nChar), '\0'};
  ::CharLowerBuffA(key, 2);
  // Without item records of our own, the labels are the platform menu's strings, which is what
  // bringing the records in step with the platform menu would copy in.
  const int nCount = pMenu->GetMenuItemCount();
  for (int i = 0; i < nCount; ++i) {
    CString label;
    pMenu->GetMenuString(static_cast<UINT>(i), label, MF_BYPOSITION);
    std::string text = label.str();
    if (text.empty()) continue;
    ::CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    if (text.find(key) != std::string::npos) return MAKELRESULT(i, MNC_EXECUTE);
  }
  return 0;
}

void BCMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
  if (!lpMIS) return;
  // Classic metrics: the XP style applies only to a themed Windows XP, which the style rules that
  // come with the item records decide.
  const int nPad = 4;
  lpMIS->itemWidth = static_cast<UINT>(2 * m_imageWidth + 1);
  lpMIS->itemHeight = static_cast<UINT>(std::max(::GetSystemMetrics(SM_CYMENU), m_imageHeight + nPad));
}
