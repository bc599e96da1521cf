#include "Label.h"

#include <utility>

// The stock font is made for the system DPI.
CLabel::CLabel()
    : m_crFore(::GetSysColor(COLOR_WINDOWTEXT)),
      m_hBackBrush(::GetSysColor(COLOR_BTNFACE)),
      m_lfFont{},
      m_nFontDpi(AfxGetSystemDpi()),
      m_nMadeDpi(AfxGetSystemDpi()) {
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_lfFont), &m_lfFont);
  m_font.CreateFontIndirect(&m_lfFont);
}

CLabel::~CLabel() {
  m_font.DeleteObject();
  m_hBackBrush.DeleteObject();
}

BEGIN_MESSAGE_MAP(CLabel, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_LBUTTONDOWN()
  ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChangedAfterParent)
END_MESSAGE_MAP()

void CLabel::PreSubclassWindow() {
  // Only the font that colour requests select is made anew here; the control keeps its own
  // until a face or height is set.
  const UINT nDpi = AfxGetControlTextDpi(m_hWnd);
  if (nDpi != m_nMadeDpi && AfxCreateFontForDpi(m_font, m_lfFont, m_nFontDpi, nDpi)) m_nMadeDpi = nDpi;
  CStatic::PreSubclassWindow();
}

CLabel& CLabel::SetLabelText(const char* pszText) {
  // The read-outs are rewritten every second and mostly unchanged: the same text again would
  // only repaint the same pixels.
  if (IsWindow()) {
    CString strCurrent;
    GetWindowText(strCurrent);
    if (strCurrent == (pszText ? pszText : "")) return *this;
  }
  SetWindowText(pszText);
  return *this;
}

CLabel& CLabel::SetForeColor(COLORREF crText) {
  m_crFore = crText;
  RedrawNow();
  return *this;
}

CLabel& CLabel::SetBackColor(COLORREF crBack) {
  m_hBackBrush.CreateSolidBrush(crBack);
  return *this;
}

CLabel& CLabel::SetFontFace(const char* pszFaceName) {
  ::lstrcpynA(m_lfFont.lfFaceName, pszFaceName ? pszFaceName : "", LF_FACESIZE);
  ReconstructFont();
  RedrawNow();
  return *this;
}

CLabel& CLabel::SetFontHeight(int nHeight) {
  m_lfFont.lfHeight = -nHeight;
  m_nFontDpi = dpi::kBase;
  ReconstructFont();
  RedrawNow();
  return *this;
}

void CLabel::ReconstructFont() {
  const UINT nDpi = IsWindow() ? AfxGetControlTextDpi(m_hWnd) : m_nMadeDpi;
  CFont font;
  AfxCreateFontForDpi(font, m_lfFont, m_nFontDpi, nDpi);
  if (IsWindow()) {
    // A per-monitor dialog's manager would hand the control its template font at a DPI change.
    AfxSetDialogControlDpiChangeBehavior(m_hWnd, kDcdcDisableFontUpdate, kDcdcDisableFontUpdate);
    // Some static controls (Wine's) select the font they were given after asking for colours, so
    // the control gets this font too; the old one is deleted only once it is no longer in use.
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), FALSE);
  }
  m_font = std::move(font);
  m_nMadeDpi = nDpi;
}

LRESULT CLabel::OnDpiChangedAfterParent(WPARAM, LPARAM) {
  ReconstructFont();
  RedrawNow();
  return 0;
}

void CLabel::RedrawNow() {
  // RedrawWindow(NULL) would repaint the whole desktop. A label not on screen (its dialog still
  // being set up, or hidden) is painted anew when it shows; the calls would cost a start for nothing.
  if (IsWindow() && IsWindowVisible()) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBRUSH CLabel::CtlColor(CDC* pDC, UINT nCtlColor) {
  if (nCtlColor == CTLCOLOR_STATIC) {
    // No guard here: the control draws its text with this font after our answer, and it puts
    // back what it displaced once it has drawn.
    pDC->SelectObject(m_font);
    pDC->SetTextColor(m_crFore);
    pDC->SetBkMode(TRANSPARENT);
  }
  return m_hBackBrush;
}

void CLabel::OnLButtonDown(UINT nFlags, CPoint point) {
  CString strLink;
  GetWindowText(strLink);
  HINSTANCE hResult = ::ShellExecuteA(nullptr, "open", strLink, nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<UINT_PTR>(hResult) <= 32) {
    TRACE("ShellExecute(%s) failed: %d\n", strLink.GetString(), static_cast<int>(reinterpret_cast<INT_PTR>(hResult)));
  }
  CStatic::OnLButtonDown(nFlags, point);
}
