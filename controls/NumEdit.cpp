#include "NumEdit.h"

#include <cctype>
#include <cfloat>
#include <cstdio>

IMPLEMENT_DYNAMIC(CNumEdit, CEdit)

BEGIN_MESSAGE_MAP(CNumEdit, CEdit)
  ON_WM_CHAR()
  ON_MESSAGE(WM_SETTEXT, OnProgramText)
  ON_MESSAGE(EM_REPLACESEL, OnProgramText)
  ON_CONTROL_REFLECT_EX(EN_UPDATE, OnUpdateText)
END_MESSAGE_MAP()

namespace {

// A number in the plain decimal notation that every C runtime's "%f" reads alike: after blanks
// and a sign, a digit, or a point and a digit. Newer runtimes also read "nan", "inf", "infinity"
// and hexadecimal floats ("0x1p3"), which are no numbers to the user of this edit.
bool StartsAsDecimal(const char* psz) {
  while (std::isspace(static_cast<unsigned char>(*psz))) ++psz;
  if (*psz == '+' || *psz == '-') ++psz;
  if (psz[0] == '0' && (psz[1] == 'x' || psz[1] == 'X')) return false;
  if (*psz == '.') ++psz;
  return std::isdigit(static_cast<unsigned char>(*psz)) != 0;
}

}  // namespace

CNumEdit::CNumEdit() : m_nDecimals(0), m_bVerbose(FALSE), m_fDelta(1.0f), m_fMinValue(-FLT_MAX), m_fMaxValue(FLT_MAX) {}

float CNumEdit::GetDelta() const { return m_fDelta; }

void CNumEdit::SetDelta(float fDelta) { m_fDelta = fDelta; }

void CNumEdit::GetRange(float& fMin, float& fMax) const {
  fMin = m_fMinValue;
  fMax = m_fMaxValue;
}

void CNumEdit::SetRange(float fMin, float fMax) {
  m_fMinValue = fMin;
  m_fMaxValue = fMax;
}

BOOL CNumEdit::GetVerbose() const { return m_bVerbose; }

void CNumEdit::SetVerbose(BOOL bVerbose) { m_bVerbose = bVerbose; }

int CNumEdit::IsValid(const CString& str) const {
  const int nRes = Judge(str);
  if (m_bVerbose && nRes != 0) {
    AfxMessageBox(nRes == 1 ? "Given value is out of range.\n" : "Characters must be a number.\n", MB_ICONSTOP | MB_OK);
  }
  return nRes;
}

int CNumEdit::Judge(const CString& str) const {
  // "%f%n" plus a look at the rest is "%f%s" without a buffer for the trailing word.
  float fValue = 0.0f;
  int nUsed = -1;
  const char* psz = str.GetString();
  int nRes = 0;
  if (!StartsAsDecimal(psz) || std::sscanf(psz, "%f%n", &fValue, &nUsed) != 1 || nUsed < 0) {
    nRes = 2;
  } else {
    for (const char* p = psz + nUsed; *p; ++p) {
      if (!std::isspace(static_cast<unsigned char>(*p))) {
        nRes = 2;
        break;
      }
    }
    if (fValue > m_fMaxValue || fValue < m_fMinValue) nRes = 1;
  }
  return nRes;
}

int CNumEdit::IsValid() const {
  CString str;
  GetWindowText(str);
  return IsValid(str);
}

float CNumEdit::GetValue() const {
  if (IsValid() != 0) return 0.0f;
  CString str;
  GetWindowText(str);
  float fValue = 0.0f;
  std::sscanf(str.GetString(), "%f", &fValue);
  return fValue;
}

CString& CNumEdit::ConstructFormat(CString& str, float fValue) {
  CString strNum;
  strNum.Format("%G", static_cast<double>(fValue));
  int nPoint = strNum.Find('.');
  if (nPoint >= 0) {
    int nDecimals = strNum.GetLength() - nPoint - 1;
    if (nDecimals > m_nDecimals) m_nDecimals = static_cast<BYTE>(nDecimals);
  }
  str.Format("%%.%df", static_cast<int>(m_nDecimals));
  return str;
}

BOOL CNumEdit::SetValue(float fValue) {
  if (fValue > m_fMaxValue || fValue < m_fMinValue) return FALSE;
  CString strFormat;
  ConstructFormat(strFormat, fValue);
  CString str;
  str.Format(strFormat, static_cast<double>(fValue));
  SetWindowText(str);
  return TRUE;
}

void CNumEdit::ChangeAmount(int nSteps) {
  float f = GetValue() + static_cast<float>(nSteps) * m_fDelta;
  if (f > m_fMaxValue) {
    f = m_fMaxValue;
  } else if (f < m_fMinValue) {
    f = m_fMinValue;
  }
  SetValue(f);
}

void CNumEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (nChar == ' ') return;
  m_bRejected = FALSE;
  CEdit::OnChar(nChar, nRepCnt, nFlags);
  if (!m_bRejected) return;
  // Characters typed ahead of the rejected one would be judged against the restored text.
  MSG msg;
  while (::PeekMessageA(&msg, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
  }
}

LRESULT CNumEdit::OnProgramText(WPARAM, LPARAM) {
  const BOOL bOuter = m_bProgramText;
  m_bProgramText = TRUE;
  const LRESULT lResult = Default();
  m_bProgramText = bOuter;
  GetWindowText(m_strLast);
  return lResult;
}

void CNumEdit::PreSubclassWindow() {
  CEdit::PreSubclassWindow();
  GetWindowText(m_strLast);
}

BOOL CNumEdit::OnUpdateText() {
  if (m_bProgramText) return FALSE;
  CString str;
  GetWindowText(str);
  // An emptied field is where the next number starts; the dialog decides what leaving it means.
  if (str.IsEmpty() || IsValid(str) == 0) {
    m_strLast = str;
    CString strFormat;  // the decimal count follows the value
    if (!str.IsEmpty()) ConstructFormat(strFormat, GetValue());
  } else {
    m_bRejected = TRUE;
    // A text the program set that is no number (or no longer one in the range) leaves only the
    // empty field to go back to.
    SetWindowText(Judge(m_strLast) == 0 ? m_strLast : CString());
  }
  // The parent's own EN_UPDATE handling runs as well.
  return FALSE;
}

LRESULT CNumEdit::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const BOOL bOuter = m_bRejected;
  m_bRejected = FALSE;
  const LRESULT lResult = CEdit::DefWindowProc(message, wParam, lParam);
  // Selected only now: the platform edit may place the selection after its notification.
  if (m_bRejected) SetSel(0, -1);
  m_bRejected = m_bRejected || bOuter;
  return lResult;
}
