#include "afxwin.h"

#include "afximpl.h"

using namespace afximpl;

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

CHandleMap<HMENU, CMenu>& MenuMap() {
  static auto* map = new CHandleMap<HMENU, CMenu>;
  return *map;
}

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

// ---- menus -------------------------------------------------------------------------------------

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) { return hMenu ? MenuMap().FindPermanent(hMenu) : nullptr; }

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!hMenu) return nullptr;
  return FindOrMakeTemporary(MenuMap(), TempMaps().menus, hMenu, [](HMENU h) {
    auto pMenu = std::make_unique<CMenu>();
    pMenu->m_hMenu = h;
    pMenu->m_bTemporary = true;
    return pMenu;
  });
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (!hMenu || m_hMenu || !MenuMap().AddPermanent(hMenu, this)) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU hMenu = m_hMenu;
  if (hMenu && !m_bTemporary) MenuMap().RemovePermanent(hMenu, this);
  m_hMenu = nullptr;
  return hMenu;
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
  HMENU hMenu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
  if (!hMenu) TRACE("LoadMenu(%u) failed: error %lu\n", nIDResource, ::GetLastError());
  return Attach(hMenu);
}

BOOL CMenu::LoadMenu(const char* lpszResourceName) {
  HMENU hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszResourceName);
  if (!hMenu) TRACE("LoadMenu failed: error %lu\n", ::GetLastError());
  return Attach(hMenu);
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu || m_bTemporary) return FALSE;
  return ::DestroyMenu(Detach());
}

CMenu::~CMenu() {
  if (!m_bTemporary) DestroyMenu();
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  char buf[256] = {};
  int n = ::GetMenuStringA(m_hMenu, nIDItem, buf, static_cast<int>(sizeof buf), nFlags);
  buf[sizeof buf - 1] = '\0';
  rString = buf;
  return n;
}

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
