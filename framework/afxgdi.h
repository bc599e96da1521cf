#pragma once
// Geometry helpers, move-only owners of GDI objects, and device contexts: CDC is a view that
// never releases its handle, CMemoryDC / CPaintDC / CClientDC / CWindowDC own theirs.
#include <windows.h>

#include <utility>

#include "afxdiag.h"
#include "afxstr.h"

class CWnd;

class CPoint : public POINT {
 public:
  CPoint() {
    x = 0;
    y = 0;
  }
  CPoint(int ix, int iy) {
    x = ix;
    y = iy;
  }
  CPoint(POINT pt) {
    x = pt.x;
    y = pt.y;
  }
  explicit CPoint(LPARAM lParam) {
    x = static_cast<short>(LOWORD(lParam));
    y = static_cast<short>(HIWORD(lParam));
  }
  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
  bool operator!=(POINT pt) const { return !(*this == pt); }
};

class CSize : public SIZE {
 public:
  CSize() {
    cx = 0;
    cy = 0;
  }
  CSize(int icx, int icy) {
    cx = icx;
    cy = icy;
  }
  CSize(SIZE s) {
    cx = s.cx;
    cy = s.cy;
  }
  bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
};

class CRect : public RECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& rc) { ::CopyRect(this, &rc); }
  CRect(POINT topLeft, SIZE size) {
    left = topLeft.x;
    top = topLeft.y;
    right = left + size.cx;
    bottom = top + size.cy;
  }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  bool IsRectEmpty() const { return ::IsRectEmpty(this) != FALSE; }
  bool PtInRect(POINT pt) const { return ::PtInRect(this, pt) != FALSE; }
  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(LPCRECT src) { ::CopyRect(this, src); }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void OffsetRect(POINT pt) { ::OffsetRect(this, pt.x, pt.y); }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void DeflateRect(int l, int t, int r, int b) {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
  }
  void NormalizeRect();
  bool operator==(const RECT& rc) const { return ::EqualRect(this, &rc) != FALSE; }
  bool operator!=(const RECT& rc) const { return !(*this == rc); }
};

// Owning GDI object holder: deletes its object unless detached.
template <class H>
class CGdiHandle {
 public:
  CGdiHandle() = default;
  explicit CGdiHandle(H h) : m_h(h) {}
  ~CGdiHandle() { DeleteObject(); }
  CGdiHandle(const CGdiHandle&) = delete;
  CGdiHandle& operator=(const CGdiHandle&) = delete;
  CGdiHandle(CGdiHandle&& o) noexcept : m_h(o.Detach()) {}
  CGdiHandle& operator=(CGdiHandle&& o) noexcept {
    if (this != &o) Attach(o.Detach());
    return *this;
  }
  H GetSafeHandle() const { return m_h; }
  operator H() const { return m_h; }
  bool IsNull() const { return m_h == nullptr; }
  void Attach(H h) {
    DeleteObject();
    m_h = h;
  }
  H Detach() { return std::exchange(m_h, nullptr); }
  BOOL DeleteObject() {
    if (!m_h) return FALSE;
    ::DeleteObject(std::exchange(m_h, nullptr));
    return TRUE;
  }
  int GetObject(int cb, void* p) const { return m_h ? ::GetObjectA(m_h, cb, p) : 0; }

 protected:
  // Whether the object was made; a failure is traced.
  BOOL Made([[maybe_unused]] const char* lpszCall) const {
    if (!m_h) TRACE("%s failed: error %lu\n", lpszCall, ::GetLastError());
    return m_h != nullptr;
  }

  H m_h = nullptr;
};

class CPen : public CGdiHandle<HPEN> {
 public:
  CPen() = default;
  CPen(int nStyle, int nWidth, COLORREF cr) { CreatePen(nStyle, nWidth, cr); }
  BOOL CreatePen(int nStyle, int nWidth, COLORREF cr) {
    Attach(::CreatePen(nStyle, nWidth, cr));
    return Made("CreatePen");
  }
};

class CBrush : public CGdiHandle<HBRUSH> {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
  BOOL CreateSolidBrush(COLORREF cr) {
    Attach(::CreateSolidBrush(cr));
    return Made("CreateSolidBrush");
  }
};

class CFont : public CGdiHandle<HFONT> {
 public:
  BOOL CreateFontIndirect(const LOGFONTA* plf) {
    Attach(::CreateFontIndirectA(plf));
    return Made("CreateFontIndirect");
  }
  int GetLogFont(LOGFONTA* plf) const { return GetObject(sizeof(LOGFONTA), plf); }
};

class CDC;

class CBitmap : public CGdiHandle<HBITMAP> {
 public:
  BOOL LoadBitmap(UINT nIDResource);
  BOOL CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    Attach(::CreateCompatibleBitmap(hdc, cx, cy));
    return Made("CreateCompatibleBitmap");
  }
  BOOL CreateBitmap(int cx, int cy, UINT planes, UINT bpp, const void* bits) {
    Attach(::CreateBitmap(cx, cy, planes, bpp, bits));
    return Made("CreateBitmap");
  }
  int GetBitmap(BITMAP* pbm) const { return GetObject(sizeof(BITMAP), pbm); }
};

// A view of a device context someone else made: it draws through the handle and never
// releases it. The holders below own theirs and release it in their destructors.
class CDC {
 public:
  CDC() = default;
  explicit CDC(HDC hdc) : m_hDC(hdc) {}
  virtual ~CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  virtual bool IsPrinting() const { return false; }

  HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
  HGDIOBJ SelectStockObject(int nIndex) { return ::SelectObject(m_hDC, ::GetStockObject(nIndex)); }
  COLORREF SetTextColor(COLORREF cr) { return ::SetTextColor(m_hDC, cr); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  COLORREF SetBkColor(COLORREF cr) { return ::SetBkColor(m_hDC, cr); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetBkMode() const { return ::GetBkMode(m_hDC); }

  int DrawText(const char* psz, int cch, LPRECT prc, UINT fmt) { return ::DrawTextA(m_hDC, psz, cch, prc, fmt); }
  int DrawText(const CString& s, LPRECT prc, UINT fmt) { return ::DrawTextA(m_hDC, s, s.GetLength(), prc, fmt); }
  BOOL TextOut(int x, int y, const CString& s) { return ::TextOutA(m_hDC, x, y, s, s.GetLength()); }
  CSize GetTextExtent(const char* psz, int cch) const;
  CSize GetTextExtent(const CString& s) const { return GetTextExtent(s, s.GetLength()); }

  void FillSolidRect(LPCRECT prc, COLORREF cr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF cr);
  int FillRect(LPCRECT prc, HBRUSH hbr) { return ::FillRect(m_hDC, prc, hbr); }
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
  BOOL BitBlt(int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src, xs, ys, rop);
  }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(LPCRECT prc) { return ::Rectangle(m_hDC, prc->left, prc->top, prc->right, prc->bottom); }
  BOOL RoundRect(LPCRECT prc, POINT pt) {
    return ::RoundRect(m_hDC, prc->left, prc->top, prc->right, prc->bottom, pt.x, pt.y);
  }
  void Draw3dRect(LPCRECT prc, COLORREF crTopLeft, COLORREF crBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF crTopLeft, COLORREF crBottomRight);
  BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
  BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush = nullptr);
  int GetClipBox(LPRECT prc) const { return ::GetClipBox(m_hDC, prc); }
  int IntersectClipRect(LPCRECT prc) {
    return ::IntersectClipRect(m_hDC, prc->left, prc->top, prc->right, prc->bottom);
  }
  int SelectClipRgn(HRGN hrgn) { return ::SelectClipRgn(m_hDC, hrgn); }
  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int nSaved) { return ::RestoreDC(m_hDC, nSaved); }
  CPoint SetWindowOrg(int x, int y);
  CPoint GetWindowOrg() const;
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF SetPixel(int x, int y, COLORREF cr) { return ::SetPixel(m_hDC, x, y, cr); }
  int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
};

// Owns a memory DC compatible with another and deletes it in its destructor.
class CMemoryDC : public CDC {
 public:
  CMemoryDC() = default;
  explicit CMemoryDC(HDC hdcCompatible) { CreateCompatibleDC(hdcCompatible); }
  ~CMemoryDC() override { DeleteDC(); }

  // Replaces (and deletes) any DC made before.
  BOOL CreateCompatibleDC(HDC hdc);
  BOOL DeleteDC();
};

// Restores what SelectObject displaced when it goes out of scope. Select may change the
// selection again (several brushes in turn); the object displaced first is the one restored.
class CSelectGuard {
 public:
  explicit CSelectGuard(HDC hdc) : m_hdc(hdc) {}
  CSelectGuard(HDC hdc, HGDIOBJ h) : m_hdc(hdc) { Select(h); }
  ~CSelectGuard() {
    if (m_hOld) ::SelectObject(m_hdc, m_hOld);
  }
  CSelectGuard(const CSelectGuard&) = delete;
  CSelectGuard& operator=(const CSelectGuard&) = delete;

  void Select(HGDIOBJ h) {
    HGDIOBJ hOld = h ? ::SelectObject(m_hdc, h) : nullptr;
    if (!m_hOld) m_hOld = hOld;
  }

 private:
  HDC m_hdc;
  HGDIOBJ m_hOld = nullptr;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 private:
  HWND m_hWnd;
};

class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* pWnd);
  explicit CWindowDC(HWND hWnd);
  ~CWindowDC() override;

 private:
  HWND m_hWnd;
};
