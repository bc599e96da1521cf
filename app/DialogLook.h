#pragma once
// The look both dialogs share: button state colours and the link colours.
#include "WinXPButtonST.h"

namespace look {

const COLORREF kLinkGrey = RGB(100, 100, 100);

// Light-gray buttons that turn white under the pointer.
inline void SetButtonColors(CWinXPButtonST& button) {
  button.SetStateColor(CBtnST::BTNCOLOR_BK_HOVER, RGB(255, 255, 255), TRUE);
  button.SetStateColor(CBtnST::BTNCOLOR_FG_HOVER, RGB(70, 70, 70), TRUE);
  button.SetStateColor(CBtnST::BTNCOLOR_BK_NORMAL, RGB(214, 214, 214), TRUE);
  button.SetStateColor(CBtnST::BTNCOLOR_FG_NORMAL, RGB(70, 70, 70), TRUE);
}

}  // namespace look
