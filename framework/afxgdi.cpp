#include "afxgdi.h"

#include "afxwin.h"

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
  Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
  if (!m_h) TRACE("LoadBitmap(%u) failed: error %lu\n", nIDResource, ::GetLastError());
  return m_h != nullptr;
}

BOOL CMemoryDC::CreateCompatibleDC(HDC hdc) {
  DeleteDC();
  m_hDC = ::CreateCompatibleDC(hdc);
  if (!m_hDC) TRACE("CreateCompatibleDC failed: error %lu\n", ::GetLastError());
  return m_hDC != nullptr;
}

BOOL CMemoryDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  ::DeleteDC(m_hDC);
  m_hDC = nullptr;
  return TRUE;
}

CSize CDC::GetTextExtent(const char* psz, int cch) const {
  SIZE s{0, 0};
  ::GetTextExtentPoint32A(m_hDC, psz, cch, &s);
  return CSize(s);
}

void CDC::FillSolidRect(LPCRECT prc, COLORREF cr) {
  COLORREF old = ::SetBkColor(m_hDC, cr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, prc, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF cr) {
  RECT rc{x, y, x + cx, y + cy};
  FillSolidRect(&rc, cr);
}

void CDC::Draw3dRect(LPCRECT prc, COLORREF crTopLeft, COLORREF crBottomRight) {
  Draw3dRect(prc->left, prc->top, prc->right - prc->left, prc->bottom - prc->top, crTopLeft, crBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF crTopLeft, COLORREF crBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, crTopLeft);
  FillSolidRect(x, y, 1, cy - 1, crTopLeft);
  FillSolidRect(x + cx, y, -1, cy, crBottomRight);
  FillSolidRect(x, y + cy, cx, -1, crBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, size.cx, size.cy,
                      nFlags | DST_ICON);
}

CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old{0, 0};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CPoint CDC::GetWindowOrg() const {
  POINT pt{0, 0};
  ::GetWindowOrgEx(m_hDC, &pt);
  return CPoint(pt);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
  m_hDC = ::BeginPaint(m_hWnd, &m_ps);
  if (!m_hDC) TRACE("BeginPaint(%p) failed\n", static_cast<void*>(m_hWnd));
}
CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {
  m_hDC = ::GetDC(m_hWnd);
  if (!m_hDC) TRACE("GetDC(%p) failed\n", static_cast<void*>(m_hWnd));
}
CClientDC::~CClientDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
}

CWindowDC::CWindowDC(CWnd* pWnd) : CWindowDC(pWnd ? pWnd->GetSafeHwnd() : nullptr) {}
CWindowDC::CWindowDC(HWND hWnd) : m_hWnd(hWnd) {
  m_hDC = ::GetWindowDC(m_hWnd);
  if (!m_hDC) TRACE("GetWindowDC(%p) failed\n", static_cast<void*>(m_hWnd));
}
CWindowDC::~CWindowDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
}
