#include "afxtoolbar.h"

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CWnd)

namespace {

struct CToolBarResource {
  int cx = 0;
  int cy = 0;
  std::vector<UINT> ids;  // 0 for a separator
};

// Microsoft's resource compiler writes 16-bit fields after a version word of 1; GNU windres writes
// 32-bit fields and no version. Each layout is recognised by its size agreeing with its count.
bool ParseToolBarResource(const BYTE* p, DWORD cb, CToolBarResource& out) {
  auto word = [p](DWORD i) {
    WORD w;
    std::memcpy(&w, p + 2 * i, sizeof w);
    return w;
  };
  auto dword = [p](DWORD i) {
    DWORD d;
    std::memcpy(&d, p + 4 * i, sizeof d);
    return d;
  };
  if (cb >= 8 && word(0) == 1) {
    const DWORD n = word(3);
    if (cb >= 8 + 2 * n && cb <= 8 + 2 * n + 2) {
      out.cx = word(1);
      out.cy = word(2);
      for (DWORD i = 0; i < n; ++i) out.ids.push_back(word(4 + i));
      return true;
    }
  }
  if (cb >= 12) {
    const DWORD n = dword(2);
    if (n <= 0xFFFF && cb >= 12 + 4 * n) {
      out.cx = static_cast<int>(dword(0));
      out.cy = static_cast<int>(dword(1));
      for (DWORD i = 0; i < n; ++i) out.ids.push_back(dword(3 + i));
      return true;
    }
  }
  return false;
}

}  // namespace

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);
  m_dwBarStyle = dwStyle & 0xFFFF;
  const DWORD dwWndStyle = (dwStyle & 0xFFFF0000) | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (!CreateEx(0, TOOLBARCLASSNAMEA, nullptr, dwWndStyle, 0, 0, 0, 0, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)))) {
    return FALSE;
  }
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  return TRUE;
}

BOOL CToolBar::LoadToolBar(const char* lpszResourceName) {
  if (!m_hWnd) return FALSE;
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, MAKEINTRESOURCEA(241));  // RT_TOOLBAR
  if (!hRsrc) return FALSE;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  const BYTE* p = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
  CToolBarResource res;
  if (!p || !ParseToolBarResource(p, ::SizeofResource(hInst, hRsrc), res)) return FALSE;

  while (GetCount() > 0) SendMessage(TB_DELETEBUTTON, 0);
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(res.cx, res.cy));
  std::vector<TBBUTTON> buttons(res.ids.size());
  int iImage = 0;
  for (size_t i = 0; i < res.ids.size(); ++i) {
    TBBUTTON& b = buttons[i];
    b.idCommand = static_cast<int>(res.ids[i]);
    b.fsState = TBSTATE_ENABLED;
    if (res.ids[i] == 0) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.fsStyle = BTNS_BUTTON;
      b.iBitmap = iImage++;
    }
  }
  if (buttons.empty()) return TRUE;
  return static_cast<BOOL>(SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
  return m_hWnd ? static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind)) : -1;
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
  TBBUTTON b{};
  if (!m_hWnd || !SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) {
    nID = 0;
    nStyle = 0;
    iImage = 0;
    return;
  }
  nID = static_cast<UINT>(b.idCommand);
  nStyle = b.fsStyle | (static_cast<UINT>(b.fsState) << 16);
  iImage = b.iBitmap;
}

HBITMAP AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc) {
  HGLOBAL hGlobal = hRsrc ? ::LoadResource(hInst, hRsrc) : nullptr;
  const BYTE* p = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
  const DWORD cb = hRsrc ? ::SizeofResource(hInst, hRsrc) : 0;
  if (!p || cb < sizeof(BITMAPINFOHEADER)) return nullptr;

  BITMAPINFOHEADER bih;
  std::memcpy(&bih, p, sizeof bih);
  if (bih.biSize < sizeof bih || bih.biSize > cb) return nullptr;
  DWORD nColors = bih.biClrUsed;
  if (nColors == 0 && bih.biBitCount <= 8) nColors = 1u << bih.biBitCount;
  if (nColors > 256) return nullptr;
  const DWORD cbHeader = bih.biSize + nColors * sizeof(RGBQUAD);
  if (cbHeader > cb) return nullptr;
  if (bih.biCompression == BI_RGB) {
    const ULONGLONG cbRow = (static_cast<ULONGLONG>(bih.biWidth) * bih.biBitCount + 31) / 32 * 4;
    const ULONGLONG cRows =
        static_cast<ULONGLONG>(bih.biHeight < 0 ? -static_cast<LONGLONG>(bih.biHeight) : bih.biHeight);
    if (bih.biWidth <= 0 || cbHeader + cbRow * cRows > cb) return nullptr;
  }

  // A private copy of header and colour table: the resource itself is read-only.
  std::vector<BYTE> info(p, p + cbHeader);
  auto* pColors = reinterpret_cast<RGBQUAD*>(info.data() + bih.biSize);
  static const struct {
    COLORREF crFrom;
    int nSysColor;
  } kMap[] = {{RGB(0, 0, 0), COLOR_BTNTEXT},
              {RGB(128, 128, 128), COLOR_BTNSHADOW},
              {RGB(192, 192, 192), COLOR_BTNFACE},
              {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}};
  for (DWORD i = 0; i < nColors; ++i) {
    RGBQUAD& q = pColors[i];
    const COLORREF cr = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    for (const auto& m : kMap) {
      if (cr != m.crFrom) continue;
      const COLORREF crSys = ::GetSysColor(m.nSysColor);
      q.rgbRed = GetRValue(crSys);
      q.rgbGreen = GetGValue(crSys);
      q.rgbBlue = GetBValue(crSys);
      break;
    }
  }

  HDC hdcScreen = ::GetDC(nullptr);
  HBITMAP hbm = ::CreateDIBitmap(hdcScreen, &bih, CBM_INIT, p + cbHeader,
                                 reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, hdcScreen);
  return hbm;
}
