#pragma once
// An owner-drawn menu with a small image beside each item, drawn in the classic style (3-D frames
// around images, full-width highlight) or the XP style (image gutter, light flat highlight, faded
// and shadowed images). The images live in one process-wide list keyed by command id, so a
// command shows the same image in every menu. Item texts are kept wide.
//
// BCMenu.cpp: the style rules and the item model; BCMenuImages.cpp: the shared image store and
// the image variants; BCMenuDraw.cpp: measuring and drawing.
#include <memory>
#include <string>
#include <vector>

#include "afxcmn.h"
#include "afxwin.h"

// One item of a BCMenu. Its address is the item data of the platform's owner-drawn item, so
// measure and draw requests carry it.
class BCMenuEntry {
 public:
  BCMenuEntry() = default;
  BCMenuEntry(const BCMenuEntry&) = delete;
  BCMenuEntry& operator=(const BCMenuEntry&) = delete;

  void SetWideText(const wchar_t* pszText) { m_text = pszText ? pszText : L""; }
  // Narrow texts are in the ANSI code page.
  void SetAnsiText(const char* pszText);
  const wchar_t* GetWideText() const { return m_text.c_str(); }
  CString GetAnsiText() const;

  std::wstring m_text;          // label, then optionally a tab and the accelerator part
  int m_ownImageIndex = -1;     // into m_ownImages
  int m_sharedImageIndex = -1;  // into the shared image list
  int m_imageResource = -1;     // resource of the entry's own image; -1 none
  UINT m_flags = 0;             // the MF_ flags last given to the platform
  UINT_PTR m_commandId = 0;     // a popup item's menu handle; 0 for a separator
  int m_synced = 0;             // claim mark of Synchronize
  std::unique_ptr<CImageList> m_ownImages;
};

class BCMenu : public CMenu {
  DECLARE_DYNAMIC(BCMenu)
 public:
  BCMenu() = default;
  ~BCMenu() override;

  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;

  // The DPI of the monitor where the menu is about to open; owner-drawn items are measured and
  // drawn for it. The platform keeps the sizes it measured, so at a new DPI every item of the
  // tree is handed back to it unchanged, which has it measure them again.
  void PrepareForDpi(UINT nDpi);
  // As prepared; the system DPI before.
  UINT MenuDpi() const { return m_nDpi ? m_nDpi : AfxGetSystemDpi(); }

  // Builds the whole tree from a standard menu template (framework resources first, then the
  // executable's). The top level becomes plain string items; every deeper item is owner-drawn.
  virtual BOOL LoadMenu(UINT nIDResource);
  virtual BOOL LoadMenu(const char* lpszResourceName);
  // Also deletes the submenu objects that LoadMenu made, depth first.
  virtual BOOL DestroyMenu();

  // nID 0 makes a separator. With MF_POPUP, nID is the popup's menu handle; a BCMenu object behind
  // that handle is owned from then on (allocate it with new). nImageResource names a toolbar
  // resource and its bitmap holding the item's image; -1 uses the shared image of nID, if any.
  BOOL AppendItem(const wchar_t* pszText, UINT nFlags = MF_STRING, UINT_PTR nID = 0, int nImageResource = -1);
  // Puts a new entry for the item at nPosition; the caller places the entry in the item list.
  std::unique_ptr<BCMenuEntry> ReplaceItemAt(int nPosition, UINT nFlags, UINT_PTR nID, const char* pszText);
  // The menu of this tree holding command nID (submenus searched before later items), with the
  // item's position; NULL and -1 when none does.
  CMenu* FindMenuContaining(UINT nID, int& nPosition);
  // By position (MF_BYPOSITION) or by command anywhere in the tree.
  BOOL GetItemText(UINT nIDOrPosition, CString& rText, UINT nFlags = MF_BYPOSITION);
  // Pads the labels with spaces so that every accelerator part starts in one column.
  void AlignAccelerators();
  // How many platform items stand in front of the loaded ones.
  int LoadedItemOffset();
  void DemoteTopLevelPopups();
  // Rebuilds the entry list so that entry i describes platform item i, reusing entries by id.
  void Synchronize();
  BCMenuEntry* ClaimEntry(UINT_PTR nID);
  void MarkAllEntries(int nValue);
  void DeleteUnclaimedEntries();

  int GetEntryCount() const { return static_cast<int>(m_items.size()); }
  BCMenuEntry* GetEntry(int nIndex) const;

  // The answer to WM_MENUCHAR: MAKELRESULT(position, MNC_EXECUTE) of the first item whose label
  // contains '&' and the character (case ignored), else 0. Popup menus only. nChar as an ANSI
  // window gets it.
  static LRESULT FindMnemonic(UINT nChar, UINT nFlags, CMenu* pMenu);
  // The menu or handle is a popup that some BCMenu appended.
  static BOOL IsBitmapMenu(CMenu* pMenu);
  static BOOL IsBitmapMenuHandle(HMENU hMenu);

  // ---- style and colour rules -------------------------------------------------------------------
  // Platform codes: 0 Win32s, 1 NT (3.x, 5.2 and later), 2 Windows 95, 3 Windows 98, 4 Windows Me,
  // 5 NT 4.0, 6 Windows 2000, 7 Windows XP.
  static int ClassifyPlatform();
  // The desktop theme is "Windows Classic.theme"; looked up once per process.
  static BOOL IsClassicThemeActive();
  static BOOL HasNewShell() { return s_platformClass >= 2; }
  static BOOL IsThemedXP() { return s_platformClass == 7 && !IsClassicThemeActive(); }
  static BOOL UseXPStyle() { return (IsThemedXP() ? s_xpStyleWhenThemed : s_xpStyleOtherwise) == 1; }
  // Each channel c becomes c + f * (255 - c), truncated, for 0 < f <= 1; other factors change nothing.
  static COLORREF BlendTowardWhite(COLORREF cr, double dFactor);

  static constexpr int s_xpStyleWhenThemed = 1;
  static constexpr int s_xpStyleOtherwise = 0;
  static constexpr int s_classicSelectDisabled = 1;
  static constexpr int s_xpSelectDisabled = 0;
  static constexpr int s_xpImageEffects = 1;

  // ---- images -----------------------------------------------------------------------------------
  // First position of the command in the shared list, or -1.
  static int SharedImageIndex(UINT_PTR nID);
  // Positions i, i + 1 and i + 2 hold one command: normal, faded and shadow image.
  static BOOL HasImageTriplet(int nIndex);
  // Stores image nIndex of rList as the command's image, in place when the command has one.
  // Returns the shared position, or -1.
  int AddToSharedImages(CImageList& rList, int nIndex, UINT_PTR nID);
  // The image index of command nID in toolbar resource nToolbarId; nIndex is left alone when the
  // command is on the first image or not there at all.
  BOOL FindToolbarImage(UINT nID, UINT nToolbarId, int& nIndex);
  // Adds the images of bitmap resource nResourceId, plus a faded and a shadow copy of its first
  // image when the XP effects are in force.
  BOOL AddResourceBitmap(CImageList& rList, int nResourceId);
  // A 16-colour bitmap resource with the standard greys turned into button colours; NULL for any
  // other depth.
  static HBITMAP LoadSystemColoredBitmap(int nResourceId);
  static int ColorTableSize(const BITMAPINFOHEADER* pHeader);
  // Image nIndex over the 3-D face colour, as a bitmap compatible with hdc.
  BOOL ImageToBitmap(HDC hdc, CImageList& rList, int nIndex, CBitmap& rBitmap);
  static void MakeFadedBitmap(CBitmap& rBitmap);
  static void MakeShadowBitmap(CBitmap& rBitmap);
  // The disabled look: the image's foreground in the shadow colour with a highlight copy one pixel
  // down and right. Pixels of the 3-D face or highlight colour are background.
  static void DrawEmbossed(HDC hdc, int x, int y, int cx, int cy, HBITMAP hbm, int xSrc, int ySrc, COLORREF crBack);

  // ---- glyphs -----------------------------------------------------------------------------------
  // The glyphs as drawn at 96 DPI, grown to nDpi pixel by pixel.
  static void DrawCheckGlyph(CDC* pDC, int x, int y, COLORREF cr, UINT nDpi = dpi::kBase);
  static void DrawRadioGlyph(CDC* pDC, int x, int y, COLORREF cr, UINT nDpi = dpi::kBase);
  static void DrawCheckBoxClassic(CDC* pDC, const CRect& rect, BOOL bSelected, BOOL bCheckBitmap,
                                  UINT nDpi = dpi::kBase);
  static void DrawCheckBoxXP(CDC* pDC, const CRect& rect, BOOL bCheckBitmap, COLORREF cr, UINT nDpi = dpi::kBase);

 protected:
  void DrawItemClassic(LPDRAWITEMSTRUCT lpDIS);
  void DrawItemXP(LPDRAWITEMSTRUCT lpDIS);
  void DrawItemText(CDC* pDC, const CRect& rcText, const std::wstring& text, COLORREF cr);
  BOOL AppendPlatformItem(UINT nFlags, UINT_PTR nID, BCMenuEntry* pEntry);

  std::vector<std::unique_ptr<BCMenuEntry>> m_items;  // one per item position, in order
  std::vector<HMENU> m_popupHandles;                  // popups appended to this menu
  int m_imageWidth = 16;
  int m_imageHeight = 15;
  COLORREF m_maskColor = RGB(192, 192, 192);
  int m_useMaskColor = 0;  // 0: the 3-D face colour is transparent in resource bitmaps
  int m_monoEmboss = 0;    // 0: disabled images are embossed
  CImageList* m_checkImages = nullptr;
  int m_checkImagesShared = 0;
  int m_checkImageSelected = -1;  // > 0 enables the check image of selected checked items
  int m_checkImageNormal = -1;    // > 0 enables it for unselected checked items
  int m_iconHandles = 0;          // AddResourceBitmap takes the id as an icon handle
  int m_loadedFromResource = 0;
  UINT m_nDpi = 0;  // PrepareForDpi's

  // Process-wide; fixed before the application starts (the platform) or at first use (the theme).
  static int s_platformClass;
  static int s_classicTheme;
  static int s_classicThemeDone;
  static std::unique_ptr<CImageList> s_sharedImages;
  static std::vector<int> s_sharedImageIds;  // command of each shared image
  static std::vector<HMENU> s_allPopupHandles;
};
