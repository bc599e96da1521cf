#include "TextProgressCtrl.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace {

// Differences wrap like the 32-bit arithmetic the range messages imply, without signed overflow.
int Diff32(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int Add32(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }

int TruncToInt(double d) {
  if (std::isnan(d)) return 0;
  if (d >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (d <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(d);
}

// GDI coordinates are 28-bit; a bar beyond that looks no different, and the limit keeps
// client-edge arithmetic clear of overflow for absurd positions.
int BarLength(int nExtent, double dFraction) {
  const int kMaxCoord = 1 << 27;
  int n = TruncToInt(nExtent * dFraction);
  return n > kMaxCoord ? kMaxCoord : (n < -kMaxCoord ? -kMaxCoord : n);
}

}  // namespace

// ---- COffscreenDC ------------------------------------------------------------------------------

COffscreenDC::COffscreenDC(CDC* pDC) : m_pDC(pDC) {
  if (!pDC->IsPrinting()) {
    pDC->GetClipBox(m_rect);
    if (m_memDC.CreateCompatibleDC(*pDC) && m_bitmap.CreateCompatibleBitmap(*pDC, m_rect.Width(), m_rect.Height())) {
      m_selBitmap.emplace(m_memDC, m_bitmap);
      m_hDC = m_memDC;
      SetWindowOrg(m_rect.left, m_rect.top);
      return;
    }
    // Out of GDI resources: drawing straight to the target still gives the right picture.
    m_memDC.DeleteDC();
  }
  m_hDC = pDC->m_hDC;
}

// The members then put the old bitmap back and delete the bitmap and the memory DC.
COffscreenDC::~COffscreenDC() {
  if (m_selBitmap) {
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_memDC, m_rect.left, m_rect.top, SRCCOPY);
  }
}

// ---- CTextProgressCtrl -------------------------------------------------------------------------

CTextProgressCtrl::CTextProgressCtrl()
    : m_crCaption(CLR_DEFAULT),
      m_nPos(0),
      m_nStep(1),
      m_nUpper(100),
      m_nLower(0),
      m_bCaption(TRUE),
      m_nLastBarLength(-1),
      m_crBar(CLR_DEFAULT),
      m_crBack(CLR_DEFAULT) {}

CTextProgressCtrl::~CTextProgressCtrl() {}

BEGIN_MESSAGE_MAP(CTextProgressCtrl, CProgressCtrl)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_GETTEXT, OnGetText)
  ON_MESSAGE(PBM_DELTAPOS, OnOffsetPos)
  ON_MESSAGE(PBM_GETPOS, OnGetPos)
  ON_MESSAGE(PBM_GETRANGE, OnGetRange)
  ON_MESSAGE(PBM_SETBARCOLOR, OnSetBarColor)
  ON_MESSAGE(PBM_SETBKCOLOR, OnSetBkColor)
  ON_MESSAGE(PBM_SETPOS, OnSetPos)
  ON_MESSAGE(PBM_SETRANGE, OnSetRange)
  ON_MESSAGE(PBM_SETRANGE32, OnSetRange32)
  ON_MESSAGE(PBM_SETSTEP, OnSetStep)
  ON_MESSAGE(PBM_STEPIT, OnStepIt)
  ON_MESSAGE(PBM_SETCAPTIONCOLOR, OnSetCaptionColor)
  ON_MESSAGE(PBM_SHOWCAPTION, OnShowCaption)
END_MESSAGE_MAP()

COLORREF CTextProgressCtrl::SetBarColor(COLORREF crBar) {
  if (IsWindow()) Invalidate(TRUE);
  COLORREF crOld = m_crBar;
  m_crBar = crBar;
  return crOld;
}

COLORREF CTextProgressCtrl::SetBackColor(COLORREF crBack) {
  if (IsWindow()) Invalidate(TRUE);
  COLORREF crOld = m_crBack;
  m_crBack = crBack;
  return crOld;
}

COLORREF CTextProgressCtrl::SetCaptionColor(COLORREF crCaption) {
  if (IsWindow()) Invalidate(TRUE);
  COLORREF crOld = m_crCaption;
  m_crCaption = crCaption;
  return crOld;
}

void CTextProgressCtrl::ShowCaption(BOOL bShow) {
  if (IsWindow() && bShow != m_bCaption) Invalidate(TRUE);
  m_bCaption = bShow;
}

double CTextProgressCtrl::GetFraction() const {
  int nSpan = Diff32(m_nUpper, m_nLower);
  if (nSpan == 0) return 0.0;
  return static_cast<double>(Diff32(m_nPos, m_nLower)) / static_cast<double>(nSpan);
}

BOOL CTextProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CTextProgressCtrl::OnPaint() {
  if (m_nLower >= m_nUpper) {
    CPaintDC dc(this);  // the request must still be completed
    return;
  }

  COLORREF crBar = m_crBar == CLR_DEFAULT ? ::GetSysColor(COLOR_HIGHLIGHT) : m_crBar;
  COLORREF crBack = m_crBack == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : m_crBack;

  CRect rcClient;
  GetClientRect(rcClient);
  double dFraction = GetFraction();

  CPaintDC paintDC(this);
  COffscreenDC dc(&paintDC);
  CWnd* pParent = GetParent();
  CSelectGuard font(dc, pParent ? pParent->GetFont() : nullptr);

  bool bVertical = (GetStyle() & PBS_VERTICAL) != 0;
  CRect rcFilled(rcClient);
  CRect rcRemaining(rcClient);
  if (bVertical) {
    rcFilled.top = rcClient.bottom - BarLength(rcClient.Height(), dFraction);
    rcRemaining.bottom = rcFilled.top;
  } else {
    rcFilled.right = rcClient.left + BarLength(rcClient.Width(), dFraction);
    rcRemaining.left = rcFilled.right;
  }
  dc.FillSolidRect(rcFilled, crBar);
  dc.FillSolidRect(rcRemaining, crBack);

  if (!m_bCaption || bVertical) return;

  CString strCaption = m_strCaption;
  if (strCaption.IsEmpty()) strCaption.Format("%d%%", TruncToInt(dFraction * 100.0));
  dc.SetBkMode(TRANSPARENT);
  const UINT nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

  // Each half of the caption takes the other half's fill colour, so it reads across the edge.
  int nSaved = dc.SaveDC();
  dc.IntersectClipRect(rcFilled);
  dc.SetTextColor(m_crCaption == CLR_DEFAULT ? crBack : m_crCaption);
  CRect rcText(rcClient);
  dc.DrawText(strCaption, rcText, nFormat);
  dc.RestoreDC(nSaved);

  nSaved = dc.SaveDC();
  dc.IntersectClipRect(rcRemaining);
  dc.SetTextColor(m_crCaption == CLR_DEFAULT ? crBar : m_crCaption);
  rcText = rcClient;
  dc.DrawText(strCaption, rcText, nFormat);
  dc.RestoreDC(nSaved);
}

void CTextProgressCtrl::OnSize(UINT nType, int cx, int cy) {
  CProgressCtrl::OnSize(nType, cx, cy);
  m_nLastBarLength = -1;
}

LRESULT CTextProgressCtrl::OnSetText(WPARAM, LPARAM lParam) {
  LRESULT lResult = Default();
  const char* pszText = lParam ? reinterpret_cast<const char*>(lParam) : "";
  if (m_strCaption != pszText) {
    m_strCaption = pszText;
    Invalidate(TRUE);
  }
  return lResult;
}

LRESULT CTextProgressCtrl::OnGetText(WPARAM wParam, LPARAM lParam) {
  char* pszBuffer = reinterpret_cast<char*>(lParam);
  if (!pszBuffer || wParam == 0) return 0;
  int nMax = wParam > static_cast<WPARAM>(INT_MAX) ? INT_MAX : static_cast<int>(wParam);
  ::lstrcpynA(pszBuffer, m_strCaption, nMax);
  return ::lstrlenA(pszBuffer);
}

LRESULT CTextProgressCtrl::OnOffsetPos(WPARAM wParam, LPARAM) {
  return SendMessage(PBM_SETPOS, static_cast<WPARAM>(Add32(m_nPos, static_cast<int>(wParam))));
}

LRESULT CTextProgressCtrl::OnGetPos(WPARAM, LPARAM) { return m_nPos; }

LRESULT CTextProgressCtrl::OnGetRange(WPARAM wParam, LPARAM lParam) {
  if (auto* pRange = reinterpret_cast<PBRANGE*>(lParam)) {
    pRange->iLow = m_nLower;
    pRange->iHigh = m_nUpper;
  }
  return wParam ? m_nLower : m_nUpper;
}

LRESULT CTextProgressCtrl::OnSetBarColor(WPARAM, LPARAM lParam) { return SetBarColor(static_cast<COLORREF>(lParam)); }

LRESULT CTextProgressCtrl::OnSetBkColor(WPARAM, LPARAM lParam) { return SetBackColor(static_cast<COLORREF>(lParam)); }

LRESULT CTextProgressCtrl::OnSetPos(WPARAM wParam, LPARAM) {
  int nOldPos = m_nPos;
  m_nPos = static_cast<int>(wParam);
  if (m_nUpper != m_nLower) {
    CRect rcClient;
    GetClientRect(rcClient);
    // The width decides even for a vertical bar.
    int nBarLength = BarLength(rcClient.Width(), GetFraction());
    if (nBarLength != m_nLastBarLength) {
      m_nLastBarLength = nBarLength;
      RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
  }
  return nOldPos;
}

LRESULT CTextProgressCtrl::OnSetRange(WPARAM, LPARAM lParam) {
  m_nLower = LOWORD(lParam);
  m_nUpper = HIWORD(lParam);
  return m_nUpper;
}

LRESULT CTextProgressCtrl::OnSetRange32(WPARAM wParam, LPARAM lParam) {
  m_nLower = static_cast<int>(wParam);
  m_nUpper = static_cast<int>(lParam);
  return m_nUpper;
}

LRESULT CTextProgressCtrl::OnSetStep(WPARAM wParam, LPARAM) {
  int nOldStep = m_nStep;
  m_nStep = static_cast<int>(wParam);
  return nOldStep;
}

LRESULT CTextProgressCtrl::OnStepIt(WPARAM, LPARAM) {
  return SendMessage(PBM_SETPOS, static_cast<WPARAM>(Add32(m_nPos, m_nStep)));
}

LRESULT CTextProgressCtrl::OnSetCaptionColor(WPARAM, LPARAM lParam) {
  return SetCaptionColor(static_cast<COLORREF>(lParam));
}

LRESULT CTextProgressCtrl::OnShowCaption(WPARAM wParam, LPARAM) {
  ShowCaption(static_cast<BOOL>(wParam));
  return 0;
}
