#pragma once
// An edit control holding one float within a range; keystrokes and pastes that would make the
// text invalid are undone.
#include "afxwin.h"

class CNumEdit : public CEdit {
  DECLARE_DYNAMIC(CNumEdit)
 public:
  CNumEdit();

  // Adds nSteps * delta to the value, clamped to the range.
  virtual void ChangeAmount(int nSteps);
  virtual float GetDelta() const;
  virtual void SetDelta(float fDelta);
  virtual void GetRange(float& fMin, float& fMax) const;
  virtual void SetRange(float fMin, float fMax);
  virtual BOOL GetVerbose() const;
  virtual void SetVerbose(BOOL bVerbose);
  // 0 valid, 1 a number outside the range, 2 not a number or a number with trailing text.
  virtual int IsValid(const CString& str) const;
  virtual int IsValid() const;
  // FALSE (text unchanged) when fValue lies outside the range.
  virtual BOOL SetValue(float fValue);
  // 0.0 when the text is not valid.
  virtual float GetValue() const;
  // Sets str to the printf format for fValue; the decimal count only ever grows.
  virtual CString& ConstructFormat(CString& str, float fValue);

 protected:
  BYTE m_nDecimals;
  BOOL m_bVerbose;
  float m_fDelta;
  float m_fMinValue;
  float m_fMaxValue;

  // After the text changed: puts fOld back (all selected) and returns FALSE when the text is not
  // valid; otherwise lets the decimal count follow the new value and returns TRUE.
  BOOL KeepValidOr(float fOld);

  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  // WM_PASTE and WM_UNDO: text that enters without WM_CHAR.
  afx_msg LRESULT OnInsertWithoutChar(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};
