#pragma once
// The common-control image list: a strip of equal-sized images, each with an optional mask.
#include <windows.h>
#include <commctrl.h>
// shellapi.h turns ExtractIcon into a macro; seen everywhere, it renames the member consistently.
#include <shellapi.h>

class CImageList {
 public:
  CImageList() = default;
  ~CImageList() { DeleteImageList(); }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST m_hImageList = nullptr;

  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  operator HIMAGELIST() const { return m_hImageList; }

  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  BOOL DeleteImageList();
  int GetImageCount() const { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }

  // Cuts hbm into images of the list's width; pixels of crMask become transparent. The list takes
  // copies, so the caller keeps (and deletes) hbm. Returns the first new index, or -1.
  int Add(HBITMAP hbm, COLORREF crMask);
  // Appends a copy of the icon; returns its index, or -1.
  int Add(HICON hIcon);
  // Puts a copy of the icon in place of image nImage.
  BOOL Replace(int nImage, HICON hIcon);
  // A new icon made from image nImage (the caller destroys it), or NULL.
  HICON ExtractIcon(int nImage) const;
  BOOL Draw(HDC hdc, int nImage, POINT pt, UINT nStyle) const;
};
