#include "afxwin.h"

// ---- run-time classes --------------------------------------------------------------------------

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};
const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const {
  for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass) {
    if (p == pBase || lstrcmpA(p->m_lpszClassName, pBase->m_lpszClassName) == 0) return true;
  }
  return false;
}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const { return pClass && GetRuntimeClass()->IsDerivedFrom(pClass); }

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

// ---- message maps ------------------------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMapEntry(UINT nMessage, UINT nCode, UINT nID) const {
  for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn; ++e) {
      if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::DispatchMapMessage(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                                    LRESULT* pResult) {
  const AFX_MSGMAP_ENTRY* e = FindMapEntry(nMessage, nCode, nID);
  if (!e) return FALSE;
  LRESULT lResult = 0;
  BOOL bHandled = e->pfn(this, wParam, lParam, &lResult);
  if (bHandled && pResult) *pResult = lResult;
  return bHandled;
}
