#pragma once
// The program's own window messages.
#include <windows.h>

#define WM_OPTIMIZE_FINISHED (WM_USER + 105)  // worker → dialog: the pass has ended
#define WM_TRAY_NOTIFY (WM_USER + 106)        // notification area → dialog: mouse event on the icon
