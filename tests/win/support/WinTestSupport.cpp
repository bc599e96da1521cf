#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace wintest {
namespace {

// A window's client-area DC, released when it goes; no framework object is looked up or made.
class CScreenDC {
 public:
  explicit CScreenDC(HWND hWnd) : m_hWnd(hWnd), m_hdc(::GetDC(hWnd)) {}
  ~CScreenDC() {
    if (m_hdc) ::ReleaseDC(m_hWnd, m_hdc);
  }
  CScreenDC(const CScreenDC&) = delete;
  CScreenDC& operator=(const CScreenDC&) = delete;
  operator HDC() const { return m_hdc; }

 private:
  HWND m_hWnd;
  HDC m_hdc;
};

}  // namespace

// ---- message pumping ----------------------------------------------------------------------------

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void PumpPendingPreTranslated(HWND hWndStop) {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!CWnd::WalkPreTranslateTree(hWndStop, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD dwTimeoutMs, const std::function<void()>& pump) {
  const DWORD dwStart = ::GetTickCount();
  for (;;) {
    pump();
    if (done()) return true;
    if (::GetTickCount() - dwStart >= dwTimeoutMs) return false;
    ::Sleep(5);
  }
}

void PumpFor(DWORD dwMillis, const std::function<void()>& pump) {
  WaitUntil([] { return false; }, dwMillis, pump);
}

bool PumpUntilIdle(DWORD dwTimeoutMs, const std::function<void()>& pump) {
  constexpr UINT kWork = QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT | QS_HOTKEY;
  return WaitUntil([] { return HIWORD(::GetQueueStatus(kWork)) == 0; }, dwTimeoutMs, pump);
}

void Settle(HWND hWnd) {
  PumpUntilIdle();
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpUntilIdle();
}

// ---- dialogs --------------------------------------------------------------------------------------

CDialogTemplate::CDialogTemplate(DWORD dwStyle, short cx, short cy, const wchar_t* pszTitle, WORD wPointSize,
                                 const wchar_t* pszFace) {
  PutDword(dwStyle);
  PutDword(0);
  Put(0);  // item count, raised by AddItem
  Put(0);
  Put(0);
  Put(static_cast<WORD>(cx));
  Put(static_cast<WORD>(cy));
  Put(0);  // no menu
  Put(0);  // the dialog class
  PutString(pszTitle);
  if (dwStyle & DS_SETFONT) {
    Put(wPointSize);
    PutString(pszFace);
  }
}

CDialogTemplate& CDialogTemplate::AddItem(int nID, WORD wClassAtom, DWORD dwStyle, short x, short y, short cx, short cy,
                                          const wchar_t* pszText) {
  if (m_words.size() % 2) Put(0);  // items start on a DWORD boundary
  PutDword(WS_CHILD | WS_VISIBLE | dwStyle);
  PutDword(0);
  Put(static_cast<WORD>(x));
  Put(static_cast<WORD>(y));
  Put(static_cast<WORD>(cx));
  Put(static_cast<WORD>(cy));
  Put(static_cast<WORD>(nID));
  Put(0xFFFF);
  Put(wClassAtom);
  PutString(pszText);
  Put(0);  // no creation data
  ++m_words[4];
  return *this;
}

void CDialogTemplate::PutDword(DWORD d) {
  Put(LOWORD(d));
  Put(HIWORD(d));
}

void CDialogTemplate::PutString(const wchar_t* psz) {
  for (; *psz; ++psz) Put(static_cast<WORD>(*psz));
  Put(0);
}

BOOL CreateModeless(CDialog& rDlg, const CDialogTemplate& tmpl, const RECT& rcScreen, UINT nFlags) {
  if (!rDlg.CreateIndirect(tmpl.Get(), nullptr)) return FALSE;
  const CRect rc(rcScreen);
  if (rc.IsRectEmpty()) nFlags |= SWP_NOMOVE | SWP_NOSIZE;
  ::SetWindowPos(rDlg.m_hWnd, HWND_TOPMOST, rc.left, rc.top, rc.Width(), rc.Height(), SWP_SHOWWINDOW | nFlags);
  return TRUE;
}

BOOL CControlHost::CreateHost() {
  return CreateModeless(*this, CDialogTemplate(WS_POPUP | WS_CLIPCHILDREN | DS_SETFONT, 200, 150),
                        CRect(0, 0, 400, 300));
}

HWND CreateChildWindow(HWND hWndParent, int nId, const char* pszClass, const char* pszText, DWORD dwStyle, int x, int y,
                       int cx, int cy, DWORD dwExStyle) {
  return ::CreateWindowExA(dwExStyle, pszClass, pszText, WS_CHILD | WS_VISIBLE | dwStyle, x, y, cx, cy, hWndParent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), ::GetModuleHandleA(nullptr), nullptr);
}

CPoint ScreenCenter(HWND hWnd) {
  CRect rc;
  ::GetWindowRect(hWnd, &rc);
  return rc.CenterPoint();
}

// ---- colours and pixels ---------------------------------------------------------------------------

CtlColorAnswer AskCtlColor(HWND hWndParent, HWND hWndCtl, UINT nMessage) {
  CMemoryDC dc;
  EXPECT_TRUE(dc.CreateCompatibleDC(nullptr)) << "no memory DC for the colour request";
  HGDIOBJ hOldFont = ::GetCurrentObject(dc, OBJ_FONT);
  CtlColorAnswer a;
  a.hBrush = reinterpret_cast<HBRUSH>(
      ::SendMessageA(hWndParent, nMessage, reinterpret_cast<WPARAM>(dc.m_hDC), reinterpret_cast<LPARAM>(hWndCtl)));
  LOGBRUSH lb{};
  if (a.hBrush && ::GetObjectA(a.hBrush, sizeof lb, &lb) == sizeof lb) a.crBrush = lb.lbColor;
  a.crText = dc.GetTextColor();
  a.crBk = dc.GetBkColor();
  a.nBkMode = dc.GetBkMode();
  a.hFont = ::GetCurrentObject(dc, OBJ_FONT);
  ::GetObjectA(a.hFont, sizeof a.lf, &a.lf);
  ::GetTextMetricsA(dc, &a.tm);
  dc.SelectObject(hOldFont);  // a control's font must not stay selected here
  return a;
}

CPixels::CPixels(int cx, int cy, const uint32_t* pBits) : m_cx(cx), m_cy(cy) {
  m_px.reserve(static_cast<size_t>(cx) * cy);
  for (int i = 0; i < cx * cy; ++i) {
    m_px.push_back(RGB((pBits[i] >> 16) & 0xFF, (pBits[i] >> 8) & 0xFF, pBits[i] & 0xFF));
  }
}

COLORREF CPixels::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_cx || y >= m_cy) return CLR_INVALID;
  return m_px[static_cast<size_t>(y) * m_cx + x];
}

int CPixels::Count(COLORREF cr, const RECT& area) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) n += At(x, y) == cr;
  return n;
}

bool CPixels::IsUniform(COLORREF cr, const RECT& area) const {
  return Count(cr, area) == (area.right - area.left) * (area.bottom - area.top);
}

CRect CPixels::Bounds(COLORREF cr, const RECT& area) const {
  CRect r(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (At(x, y) != cr) continue;
      r.left = std::min<int>(r.left, x);
      r.top = std::min<int>(r.top, y);
      r.right = std::max<int>(r.right, x + 1);
      r.bottom = std::max<int>(r.bottom, y + 1);
    }
  }
  return r.left == INT_MAX ? CRect() : r;
}

CDibCanvas::CDibCanvas(HDC hdcRef, int cx, int cy) : m_cx(cx), m_cy(cy) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = -cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  m_bitmap.Attach(::CreateDIBSection(hdcRef, &bmi, DIB_RGB_COLORS, &m_pBits, nullptr, 0));
  m_dc.CreateCompatibleDC(hdcRef);
  if (!m_bitmap.IsNull()) m_hOld = m_dc.SelectObject(m_bitmap);
}

CDibCanvas::~CDibCanvas() {
  if (m_hOld) m_dc.SelectObject(m_hOld);
}

CPixels CDibCanvas::Read() const {
  if (!m_pBits) return CPixels();
  ::GdiFlush();
  return CPixels(m_cx, m_cy, static_cast<const uint32_t*>(m_pBits));
}

CPixels CaptureClient(HWND hWnd) {
  CRect rc;
  ::GetClientRect(hWnd, &rc);
  CScreenDC dcWnd(hWnd);
  CDibCanvas canvas(dcWnd, rc.Width(), rc.Height());
  canvas.DC().BitBlt(0, 0, rc.Width(), rc.Height(), dcWnd, 0, 0, SRCCOPY);
  return canvas.Read();
}

COLORREF ReadPixel(HWND hWnd, int x, int y) { return ::GetPixel(CScreenDC(hWnd), x, y); }

}  // namespace wintest
