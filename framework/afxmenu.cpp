#include "afxwin.h"

#include "afximpl.h"

using namespace afximpl;

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

CHandleMap<HMENU, CMenu>& MenuMap() {
  static auto* map = new CHandleMap<HMENU, CMenu>;
  return *map;
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
