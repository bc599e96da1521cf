#pragma once
// An edit control holding one float within a range. Every change by the user (typing, pasting,
// deleting, cutting, undoing) that leaves neither a valid number nor an empty field is undone;
// text the program sets is taken as it is.
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

  CString m_strLast;            // set or accepted last; a rejected change goes back to it if valid
  BOOL m_bProgramText = FALSE;  // the program is setting the text
  BOOL m_bRejected = FALSE;     // a change was undone while the current message ran

  // IsValid without the verbose box.
  int Judge(const CString& str) const;
  void PreSubclassWindow() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  // WM_SETTEXT and EM_REPLACESEL.
  afx_msg LRESULT OnProgramText(WPARAM wParam, LPARAM lParam);
  // Reflected EN_UPDATE: the text has changed and is not shown yet.
  afx_msg BOOL OnUpdateText();
  DECLARE_MESSAGE_MAP()
};
