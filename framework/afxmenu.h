#pragma once
// Owner-drawn menu items: a draw request names its menu, a measure request does not. The menu is
// found from the popup being tracked through CMenu::TrackPopupMenu, or from the window's menu bar,
// as the one holding an item with the request's id and item data.
#include "afxwin.h"

// Passes a menu item's measure request (ODT_MENU) to the permanent menu object holding the item;
// FALSE when there is none.
BOOL AfxMeasureMenuItem(HWND hWndOwner, LPMEASUREITEMSTRUCT lpMIS);
