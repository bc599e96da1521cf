#pragma once
// The display resolution of windows, and the metrics, fonts and pictures for a resolution. The
// calls of newer Windows (GetDpiForWindow and the *ForDpi functions: 10 1607; the dialog
// DPI-change behaviours: 10 1703; GetDpiForMonitor: 8.1) are looked up at run time. Without them
// the process is at most system aware, so every window is at the system DPI, which is the screen
// DC's LOGPIXELSX.
#include <windows.h>

#include "afxdpimath.h"
#include "afxgdi.h"

// Newer than the Windows version the headers are set to.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif
constexpr UINT kDcdcDisableFontUpdate = 0x0001;  // DCDC_DISABLE_FONT_UPDATE

UINT AfxGetSystemDpi();
// The DPI of the window's monitor for a per-monitor aware window, else the system DPI.
UINT AfxGetDpiForWindow(HWND hWnd);
// The DPI of the monitor holding the point (where a menu opens).
UINT AfxGetDpiForPoint(POINT pt);
int AfxScaleForWindow(HWND hWnd, int nValue96);
// The DPI a dialog's layout grew by: the window's DPI times the character height its font got
// over the one it asked for. That is the window's DPI wherever the dialog's face has a size for
// it; a raster face without one (Wine's MS Sans Serif has none past 20 pixels) leaves the dialog
// and its dialog units smaller, and text that must fit boxes measured in them follows the
// dialog. Never more than the window's DPI.
UINT AfxGetLayoutDpi(HWND hDialog);
// The DPI a control's own font is made for: its text must fit a box measured in its dialog's
// units, so it grows as the dialog did; a control without a parent follows its own DPI.
UINT AfxGetControlTextDpi(HWND hControl);

int AfxGetSystemMetricsForDpi(int nIndex, UINT nDpi);
// The non-client metrics (menu, caption, message fonts) for the DPI.
BOOL AfxGetNonClientMetricsForDpi(NONCLIENTMETRICSW* pMetrics, UINT nDpi);
BOOL AfxAdjustWindowRectExForDpi(RECT* pRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle, UINT nDpi);
// Through the dialog manager of a per-monitor v2 dialog (10 1703); FALSE where there is none.
BOOL AfxSetDialogControlDpiChangeBehavior(HWND hWnd, UINT nMask, UINT nValues);

// lf describes a font for nFromDpi; the font made has its height for nToDpi.
BOOL AfxCreateFontForDpi(CFont& rFont, LOGFONTA lf, UINT nFromDpi, UINT nToDpi);
// Bitmap resource nBaseId, with variants drawn for larger DPIs (afxdpimath.h), at the target size:
// the variant drawn for nDpi, resampled when its size is not the target's.
BOOL AfxLoadBitmapForDpi(CBitmap& rBitmap, UINT nBaseId, SIZE target, UINT nDpi);
// The picture resampled to the target size (afxdpimath.h), as a 32-bit bitmap.
BOOL AfxResampleBitmap(HBITMAP hSource, SIZE target, CBitmap& rResult);
// Icon resource nID at the size cx96 x cy96 takes at nDpi; the caller destroys it.
HICON AfxLoadIconForDpi(UINT nID, int cx96, int cy96, UINT nDpi);

// Tests put a fake DPI source for windows here; nullptr goes back to the system's.
using AfxDpiForWindowFn = UINT (*)(HWND);
void AfxSetDpiForWindowStandIn(AfxDpiForWindowFn pfn);
