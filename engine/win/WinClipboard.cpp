#include "win/WinClipboard.h"

#include <windows.h>

CWinClipboard::CWinClipboard(void* ownerHwnd) : m_hOwner(ownerHwnd) {}

bool CWinClipboard::Open() { return ::OpenClipboard(static_cast<HWND>(m_hOwner)) != FALSE; }

void CWinClipboard::Empty() { ::EmptyClipboard(); }

void CWinClipboard::Close() { ::CloseClipboard(); }
