#include "afxdpi.h"

#include <objbase.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "afxlib.h"
#include "afxwin.h"

namespace {

AfxDpiForWindowFn g_pfnDpiForWindowStandIn = nullptr;

struct CDpiFunctions {
  UINT(WINAPI* pfnGetDpiForWindow)(HWND) = nullptr;
  int(WINAPI* pfnGetSystemMetricsForDpi)(int, UINT) = nullptr;
  BOOL(WINAPI* pfnSystemParametersInfoForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
  BOOL(WINAPI* pfnAdjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* pfnSetDialogControlDpiChangeBehavior)(HWND, UINT, UINT) = nullptr;
  HRESULT(WINAPI* pfnGetDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;

  CDpiFunctions() {
    const HMODULE hUser32 = ::GetModuleHandleA("user32.dll");
    pfnGetDpiForWindow = AfxGetProc<decltype(pfnGetDpiForWindow)>(hUser32, "GetDpiForWindow");
    pfnGetSystemMetricsForDpi = AfxGetProc<decltype(pfnGetSystemMetricsForDpi)>(hUser32, "GetSystemMetricsForDpi");
    pfnSystemParametersInfoForDpi =
        AfxGetProc<decltype(pfnSystemParametersInfoForDpi)>(hUser32, "SystemParametersInfoForDpi");
    pfnAdjustWindowRectExForDpi =
        AfxGetProc<decltype(pfnAdjustWindowRectExForDpi)>(hUser32, "AdjustWindowRectExForDpi");
    pfnSetDialogControlDpiChangeBehavior =
        AfxGetProc<decltype(pfnSetDialogControlDpiChangeBehavior)>(hUser32, "SetDialogControlDpiChangeBehavior");
    pfnGetDpiForMonitor = AfxGetProc<decltype(pfnGetDpiForMonitor)>(m_shcore.Get(), "GetDpiForMonitor");
  }

 private:
  CSystemLibrary m_shcore{"shcore.dll"};  // 8.1 on; kept for the life of the process
};

const CDpiFunctions& Functions() {
  static const CDpiFunctions s_functions;
  return s_functions;
}

// A metric the system gives for its own DPI, at another.
int ScaleFromSystem(int nValue, UINT nDpi) { return dpi::MulDivRound(nValue, nDpi, AfxGetSystemDpi()); }

// The picture as 32-bit pixels, rows top first.
BITMAPINFO TopDown32(int cx, int cy) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = -cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return bmi;
}

}  // namespace

BOOL AfxResampleBitmap(HBITMAP hSource, SIZE target, CBitmap& rResult) {
  BITMAP bm{};
  if (!::GetObjectA(hSource, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return FALSE;
  std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
  BITMAPINFO bmi = TopDown32(bm.bmWidth, bm.bmHeight);
  CMemoryDC dc(nullptr);
  if (!dc.GetSafeHdc() ||
      ::GetDIBits(dc, hSource, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bmi, DIB_RGB_COLORS) == 0) {
    return FALSE;
  }
  const std::vector<uint32_t> scaled = dpi::Resample(pixels, bm.bmWidth, bm.bmHeight, target.cx, target.cy);
  if (scaled.empty()) return FALSE;
  bmi = TopDown32(target.cx, target.cy);
  void* pBits = nullptr;
  CBitmap result;
  result.Attach(::CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
  if (result.IsNull() || !pBits) return FALSE;
  std::memcpy(pBits, scaled.data(), scaled.size() * sizeof(uint32_t));
  rResult = std::move(result);
  return TRUE;
}

namespace {

// A PNG resource (type "PNG") decoded by GDI+, which every Windows since XP has; nullptr when
// the resource or GDI+ is missing.
HBITMAP LoadPngResource(UINT nID) {
  const HINSTANCE hInst = AfxGetResourceHandle();
  const HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), "PNG");
  const DWORD cb = hRes ? ::SizeofResource(hInst, hRes) : 0;
  const HGLOBAL hData = cb ? ::LoadResource(hInst, hRes) : nullptr;
  const void* pData = hData ? ::LockResource(hData) : nullptr;
  if (!pData) return nullptr;

  const CSystemLibrary gdiplus("gdiplus.dll");
  struct StartupInput {
    UINT32 nVersion;
    void* pfnDebugEvent;
    BOOL bSuppressBackgroundThread;
    BOOL bSuppressExternalCodecs;
  };
  const auto pfnStartup =
      AfxGetProc<int(WINAPI*)(ULONG_PTR*, const StartupInput*, void*)>(gdiplus.Get(), "GdiplusStartup");
  const auto pfnShutdown = AfxGetProc<void(WINAPI*)(ULONG_PTR)>(gdiplus.Get(), "GdiplusShutdown");
  const auto pfnFromStream = AfxGetProc<int(WINAPI*)(IStream*, void**)>(gdiplus.Get(), "GdipCreateBitmapFromStream");
  const auto pfnToHbitmap =
      AfxGetProc<int(WINAPI*)(void*, HBITMAP*, DWORD)>(gdiplus.Get(), "GdipCreateHBITMAPFromBitmap");
  const auto pfnDispose = AfxGetProc<int(WINAPI*)(void*)>(gdiplus.Get(), "GdipDisposeImage");
  if (!pfnStartup || !pfnShutdown || !pfnFromStream || !pfnToHbitmap || !pfnDispose) return nullptr;

  // The stream owns its copy of the data and frees it when released.
  const HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, cb);
  if (!hCopy) return nullptr;
  if (void* p = ::GlobalLock(hCopy)) {
    std::memcpy(p, pData, cb);
    ::GlobalUnlock(hCopy);
  }
  IStream* pStream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(hCopy, TRUE, &pStream)) || !pStream) {
    ::GlobalFree(hCopy);
    return nullptr;
  }
  HBITMAP hBitmap = nullptr;
  const StartupInput input{1, nullptr, FALSE, FALSE};
  ULONG_PTR token = 0;
  if (pfnStartup(&token, &input, nullptr) == 0) {
    void* pImage = nullptr;
    if (pfnFromStream(pStream, &pImage) == 0 && pImage) {
      if (pfnToHbitmap(pImage, &hBitmap, 0xFF000000) != 0) hBitmap = nullptr;
      pfnDispose(pImage);
    }
    pfnShutdown(token);
  }
  pStream->Release();
  return hBitmap;
}

}  // namespace

void AfxSetDpiForWindowStandIn(AfxDpiForWindowFn pfn) { g_pfnDpiForWindowStandIn = pfn; }

UINT AfxGetSystemDpi() {
  // Fixed for the life of a process, whatever the monitors do later.
  static const UINT s_nDpi = [] {
    HDC hdc = ::GetDC(nullptr);
    const int n = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSX) : 0;
    if (hdc) ::ReleaseDC(nullptr, hdc);
    return n > 0 ? static_cast<UINT>(n) : dpi::kBase;
  }();
  return s_nDpi;
}

UINT AfxGetDpiForWindow(HWND hWnd) {
  if (g_pfnDpiForWindowStandIn) return g_pfnDpiForWindowStandIn(hWnd);
  const auto pfn = Functions().pfnGetDpiForWindow;
  const UINT nDpi = pfn && hWnd ? pfn(hWnd) : 0;
  return nDpi ? nDpi : AfxGetSystemDpi();
}

UINT AfxGetDpiForPoint(POINT pt) {
  const auto pfn = Functions().pfnGetDpiForMonitor;
  UINT nDpiX = 0, nDpiY = 0;
  if (pfn &&
      SUCCEEDED(pfn(::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), 0 /* MDT_EFFECTIVE_DPI */, &nDpiX, &nDpiY)) &&
      nDpiX) {
    return nDpiX;
  }
  return AfxGetSystemDpi();
}

UINT AfxGetControlTextDpi(HWND hControl) {
  const HWND hParent = ::GetParent(hControl);
  return hParent ? AfxGetLayoutDpi(hParent) : AfxGetDpiForWindow(hControl);
}

int AfxScaleForWindow(HWND hWnd, int nValue96) { return dpi::Scale(nValue96, AfxGetDpiForWindow(hWnd)); }

UINT AfxGetLayoutDpi(HWND hDialog) {
  const UINT nDpi = AfxGetDpiForWindow(hDialog);
  const HFONT hFont = hDialog ? reinterpret_cast<HFONT>(::SendMessageA(hDialog, WM_GETFONT, 0, 0)) : nullptr;
  LOGFONTA lf{};
  if (nDpi == dpi::kBase || !hFont || !::GetObjectA(hFont, sizeof lf, &lf) || lf.lfHeight >= 0) return nDpi;
  // The character height the font got against the one it asked for.
  CMemoryDC dc(nullptr);
  TEXTMETRICA tm{};
  if (!dc.GetSafeHdc()) return nDpi;
  {
    CSelectGuard select(dc, hFont);
    if (!::GetTextMetricsA(dc, &tm)) return nDpi;
  }
  const int nGot = tm.tmHeight - tm.tmInternalLeading;
  const int nLayout = dpi::MulDivRound(static_cast<int>(nDpi), static_cast<unsigned>(nGot > 0 ? nGot : 0),
                                       static_cast<unsigned>(-lf.lfHeight));
  return nLayout > 0 && static_cast<UINT>(nLayout) < nDpi ? static_cast<UINT>(nLayout) : nDpi;
}

int AfxGetSystemMetricsForDpi(int nIndex, UINT nDpi) {
  if (nDpi == AfxGetSystemDpi()) return ::GetSystemMetrics(nIndex);
  if (const auto pfn = Functions().pfnGetSystemMetricsForDpi) return pfn(nIndex, nDpi);
  return ScaleFromSystem(::GetSystemMetrics(nIndex), nDpi);
}

BOOL AfxGetNonClientMetricsForDpi(NONCLIENTMETRICSW* pMetrics, UINT nDpi) {
  if (!pMetrics) return FALSE;
  if (const auto pfn = Functions().pfnSystemParametersInfoForDpi) {
    pMetrics->cbSize = sizeof *pMetrics;
    return pfn(SPI_GETNONCLIENTMETRICS, pMetrics->cbSize, pMetrics, 0, nDpi);
  }
  // Older systems know the record without the padded border width only.
  pMetrics->cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, pMetrics->cbSize, pMetrics, 0)) return FALSE;
  for (LOGFONTW* plf : {&pMetrics->lfCaptionFont, &pMetrics->lfSmCaptionFont, &pMetrics->lfMenuFont,
                        &pMetrics->lfStatusFont, &pMetrics->lfMessageFont}) {
    plf->lfHeight = ScaleFromSystem(plf->lfHeight, nDpi);
  }
  for (int* pn : {&pMetrics->iBorderWidth, &pMetrics->iScrollWidth, &pMetrics->iScrollHeight, &pMetrics->iCaptionWidth,
                  &pMetrics->iCaptionHeight, &pMetrics->iSmCaptionWidth, &pMetrics->iSmCaptionHeight,
                  &pMetrics->iMenuWidth, &pMetrics->iMenuHeight}) {
    *pn = ScaleFromSystem(*pn, nDpi);
  }
  return TRUE;
}

BOOL AfxAdjustWindowRectExForDpi(RECT* pRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle, UINT nDpi) {
  if (nDpi == AfxGetSystemDpi()) return ::AdjustWindowRectEx(pRect, dwStyle, bMenu, dwExStyle);
  if (const auto pfn = Functions().pfnAdjustWindowRectExForDpi) return pfn(pRect, dwStyle, bMenu, dwExStyle, nDpi);
  if (!pRect) return FALSE;
  RECT rcNonClient{0, 0, 0, 0};
  if (!::AdjustWindowRectEx(&rcNonClient, dwStyle, bMenu, dwExStyle)) return FALSE;
  pRect->left += ScaleFromSystem(rcNonClient.left, nDpi);
  pRect->top += ScaleFromSystem(rcNonClient.top, nDpi);
  pRect->right += ScaleFromSystem(rcNonClient.right, nDpi);
  pRect->bottom += ScaleFromSystem(rcNonClient.bottom, nDpi);
  return TRUE;
}

BOOL AfxSetDialogControlDpiChangeBehavior(HWND hWnd, UINT nMask, UINT nValues) {
  const auto pfn = Functions().pfnSetDialogControlDpiChangeBehavior;
  return pfn ? pfn(hWnd, nMask, nValues) : FALSE;
}

BOOL AfxCreateFontForDpi(CFont& rFont, LOGFONTA lf, UINT nFromDpi, UINT nToDpi) {
  lf.lfHeight = dpi::FontHeight(lf.lfHeight, nFromDpi, nToDpi);
  return rFont.CreateFontIndirect(&lf);
}

BOOL AfxLoadBitmapForDpi(CBitmap& rBitmap, UINT nBaseId, SIZE target, UINT nDpi) {
  // The 96-DPI picture is a bitmap resource, the others PNG ones. A variant that is missing or
  // cannot be decoded falls back to the next smaller one.
  CBitmap loaded;
  for (int nVariant = dpi::ChooseImage(nDpi).variant; nVariant > 0 && loaded.IsNull(); --nVariant) {
    loaded.Attach(LoadPngResource(static_cast<UINT>(dpi::VariantResourceId(static_cast<int>(nBaseId), nVariant))));
  }
  if (loaded.IsNull()) loaded.Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBaseId)));
  BITMAP bm{};
  if (loaded.IsNull() || !loaded.GetBitmap(&bm)) return FALSE;
  if (bm.bmWidth == target.cx && bm.bmHeight == target.cy) {
    rBitmap = std::move(loaded);
    return TRUE;
  }
  return AfxResampleBitmap(loaded, target, rBitmap);
}

HICON AfxLoadIconForDpi(UINT nID, int cx96, int cy96, UINT nDpi) {
  // Not shared: a shared icon keeps the size it was first loaded at.
  return static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), IMAGE_ICON,
                                         dpi::Scale(cx96, nDpi), dpi::Scale(cy96, nDpi), LR_DEFAULTCOLOR));
}
