#pragma once
// A spin control that steps the float value of a buddy CNumEdit; the platform control's own
// integer position only serves to produce clicks.
#include "afxwin.h"

class CNumEdit;

class CNumSpinCtrl : public CSpinButtonCtrl {
  DECLARE_DYNAMIC(CNumSpinCtrl)
 public:
  CNumSpinCtrl() = default;

  // Without a CNumEdit buddy the operations do nothing and the getters give 0.0.
  virtual void SetDelta(float fDelta);
  virtual float GetDelta() const;
  // A CNumEdit buddy is reset to 0.
  virtual void SetBuddy(CWnd* pWndBuddy);
  virtual CWnd* GetBuddy() const;
  virtual void GetRange(float& fLower, float& fUpper) const;
  virtual void SetRange(float fLower, float fUpper);
  virtual float GetPos() const;
  virtual void SetPos(float fValue);

 protected:
  afx_msg void OnDeltaPos(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

 private:
  CNumEdit* GetNumEditBuddy() const;
};
