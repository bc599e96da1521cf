#include "NumSpinCtrl.h"

#include "NumEdit.h"

namespace {
// The inner range is wide and the position kept mid-way, so the platform control never stops
// at an end before the buddy's own limits do.
constexpr int kInnerLower = 0;
constexpr int kInnerUpper = 1000;
constexpr int kInnerMiddle = 500;
}  // namespace

IMPLEMENT_DYNAMIC(CNumSpinCtrl, CSpinButtonCtrl)

BEGIN_MESSAGE_MAP(CNumSpinCtrl, CSpinButtonCtrl)
  ON_NOTIFY_REFLECT(UDN_DELTAPOS, OnDeltaPos)
END_MESSAGE_MAP()

CNumEdit* CNumSpinCtrl::GetNumEditBuddy() const {
  CWnd* pBuddy = GetBuddy();
  if (!pBuddy || !pBuddy->IsKindOf(RUNTIME_CLASS(CNumEdit))) return nullptr;
  return static_cast<CNumEdit*>(pBuddy);
}

void CNumSpinCtrl::SetDelta(float fDelta) {
  if (CNumEdit* pEdit = GetNumEditBuddy()) pEdit->SetDelta(fDelta);
}

float CNumSpinCtrl::GetDelta() const {
  CNumEdit* pEdit = GetNumEditBuddy();
  return pEdit ? pEdit->GetDelta() : 0.0f;
}

void CNumSpinCtrl::SetBuddy(CWnd* pWndBuddy) {
  CSpinButtonCtrl::SetBuddy(pWndBuddy);
  if (CNumEdit* pEdit = GetNumEditBuddy()) pEdit->SetValue(0.0f);
}

CWnd* CNumSpinCtrl::GetBuddy() const { return CSpinButtonCtrl::GetBuddy(); }

void CNumSpinCtrl::GetRange(float& fLower, float& fUpper) const {
  if (CNumEdit* pEdit = GetNumEditBuddy()) pEdit->GetRange(fLower, fUpper);
}

void CNumSpinCtrl::SetRange(float fLower, float fUpper) {
  CSpinButtonCtrl::SetRange(kInnerLower, kInnerUpper);
  if (CNumEdit* pEdit = GetNumEditBuddy()) pEdit->SetRange(fLower, fUpper);
}

float CNumSpinCtrl::GetPos() const {
  CNumEdit* pEdit = GetNumEditBuddy();
  return pEdit ? pEdit->GetValue() : 0.0f;
}

void CNumSpinCtrl::SetPos(float fValue) {
  CSpinButtonCtrl::SetPos(kInnerMiddle);
  if (CNumEdit* pEdit = GetNumEditBuddy()) pEdit->SetValue(fValue);
}

void CNumSpinCtrl::OnDeltaPos(NMHDR* pNMHDR, LRESULT* pResult) {
  auto* pUpDown = reinterpret_cast<NMUPDOWN*>(pNMHDR);
  if (pUpDown->iPos <= pUpDown->iDelta || pUpDown->iPos >= kInnerUpper - pUpDown->iDelta) {
    pUpDown->iPos = kInnerMiddle;
  }
  if (CNumEdit* pEdit = GetNumEditBuddy()) pEdit->ChangeAmount(pUpDown->iDelta);
  *pResult = 0;
}
