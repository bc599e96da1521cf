#include "afxmenu.h"

namespace {

thread_local HMENU t_hTrackingMenu = nullptr;

// Submenus nest only a few levels; the limit guards against a menu that contains itself.
constexpr int kMaxMenuDepth = 16;

HMENU FindItemHolder(HMENU hMenu, UINT nItemID, ULONG_PTR nItemData, int nDepth) {
  if (!hMenu || nDepth > kMaxMenuDepth) return nullptr;
  const int nCount = ::GetMenuItemCount(hMenu);
  for (int i = 0; i < nCount; ++i) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    if (!::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &mii)) continue;
    // The item data tells owner-drawn items apart; items without it can only be told by id.
    if (mii.dwItemData == nItemData && (nItemData != 0 || mii.wID == nItemID)) return hMenu;
    if (HMENU hFound = FindItemHolder(mii.hSubMenu, nItemID, nItemData, nDepth + 1)) return hFound;
  }
  return nullptr;
}

}  // namespace

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  const HMENU hPrev = t_hTrackingMenu;
  t_hTrackingMenu = m_hMenu;
  const BOOL bResult = ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
  t_hTrackingMenu = hPrev;
  return bResult;
}

BOOL AfxMeasureMenuItem(HWND hWndOwner, LPMEASUREITEMSTRUCT lpMIS) {
  if (!lpMIS || lpMIS->CtlType != ODT_MENU) return FALSE;
  HMENU hHolder = FindItemHolder(t_hTrackingMenu, lpMIS->itemID, lpMIS->itemData, 0);
  if (!hHolder && hWndOwner && !(::GetWindowLongPtrA(hWndOwner, GWL_STYLE) & WS_CHILD)) {
    hHolder = FindItemHolder(::GetMenu(hWndOwner), lpMIS->itemID, lpMIS->itemData, 0);
  }
  CMenu* pMenu = CMenu::FromHandlePermanent(hHolder);
  if (!pMenu) return FALSE;
  pMenu->MeasureItem(lpMIS);
  return TRUE;
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMIS) {
  if (!AfxMeasureMenuItem(m_hWnd, lpMIS)) Default();
}
