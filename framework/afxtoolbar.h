#pragma once
// A toolbar control whose buttons come from a toolbar resource (command ids in button order; the
// bitmap of the same id holds the images side by side), and the loading of such a bitmap with
// its standard grey-scale colours turned into the current button colours.
#include "afxwin.h"

#ifndef AFX_IDW_TOOLBAR
#define AFX_IDW_TOOLBAR 0xE800
#endif

// Bar styles live in the low word of a bar's style; the bar keeps them, the window never sees them.
constexpr DWORD CBRS_TOP = 0x2800;

class CToolBar : public CWnd {
  DECLARE_DYNAMIC(CToolBar)
 public:
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
  // Replaces the buttons by those of the toolbar resource: each command gets the next image, a
  // separator none. Only the command-to-image mapping is read; the bitmap is not loaded.
  BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCEA(nIDResource)); }
  BOOL LoadToolBar(const char* lpszResourceName);

  int GetCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
  // Position of the button with that command, or -1.
  int CommandToIndex(UINT nIDFind) const;
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;

  DWORD m_dwBarStyle = 0;
};

// A device-dependent bitmap of the bitmap resource hRsrc in which the colour-table entries black,
// dark grey, light grey and white became the button text, shadow, face and highlight colours.
// NULL when the resource cannot be read.
HBITMAP AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc);
