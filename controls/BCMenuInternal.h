#pragma once
// What the bitmap menu's source files share and nobody else needs.
#include "afxwin.h"

namespace bcmenu {

// NONCLIENTMETRICSA up to the message font: the size every Windows version accepts.
constexpr UINT kNonClientMetricsSize = 340;

// Measuring and image work borrow the main window's context, or the desktop's without one.
CWnd* MainOrDesktopWnd();

// The menu font of the system's non-client metrics, for the DPI.
BOOL CreateMenuFont(CFont& font, UINT nDpi);

}  // namespace bcmenu
