#include "afxcmn_imagelist.h"

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  DeleteImageList();
  m_hImageList = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
  return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  const BOOL bDone = ::ImageList_Destroy(m_hImageList);
  m_hImageList = nullptr;
  return bDone;
}

int CImageList::Add(HBITMAP hbm, COLORREF crMask) {
  return m_hImageList && hbm ? ::ImageList_AddMasked(m_hImageList, hbm, crMask) : -1;
}

int CImageList::Add(HICON hIcon) {
  return m_hImageList && hIcon ? ::ImageList_ReplaceIcon(m_hImageList, -1, hIcon) : -1;
}

BOOL CImageList::Replace(int nImage, HICON hIcon) {
  return m_hImageList && hIcon && nImage >= 0 && ::ImageList_ReplaceIcon(m_hImageList, nImage, hIcon) == nImage;
}

HICON CImageList::ExtractIcon(int nImage) const {
  if (!m_hImageList || nImage < 0 || nImage >= GetImageCount()) return nullptr;
  return ::ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL);
}

BOOL CImageList::Draw(HDC hdc, int nImage, POINT pt, UINT nStyle) const {
  return m_hImageList && ::ImageList_Draw(m_hImageList, nImage, hdc, pt.x, pt.y, nStyle);
}
