#include "BCMenu.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "BCMenuInternal.h"

IMPLEMENT_DYNAMIC(BCMenu, CMenu)

int BCMenu::s_platformClass = BCMenu::ClassifyPlatform();
int BCMenu::s_classicTheme = 0;
int BCMenu::s_classicThemeDone = 0;
std::unique_ptr<CImageList> BCMenu::s_sharedImages;
std::vector<int> BCMenu::s_sharedImageIds;
std::vector<HMENU> BCMenu::s_allPopupHandles;

// ---- shared helpers ------------------------------------------------------------------------------

namespace bcmenu {

static_assert(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth) == kNonClientMetricsSize,
              "the record up to the message font");

CWnd* MainOrDesktopWnd() {
  CWnd* pMain = AfxGetMainWnd();
  if (pMain && pMain->m_hWnd) return pMain;
  return CWnd::FromHandle(::GetDesktopWindow());
}

BOOL CreateMenuFont(CFont& font, UINT nDpi) {
  if (nDpi != AfxGetSystemDpi()) {
    NONCLIENTMETRICSW ncmDpi{};
    if (!AfxGetNonClientMetricsForDpi(&ncmDpi, nDpi)) return FALSE;
    font.Attach(::CreateFontIndirectW(&ncmDpi.lfMenuFont));
    return !font.IsNull();
  }
  // The record as it was before the padded border width was added: every Windows version fills it.
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = kNonClientMetricsSize;
  if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) return FALSE;
  return font.CreateFontIndirect(&ncm.lfMenuFont);
}

}  // namespace bcmenu

// ---- entries -------------------------------------------------------------------------------------

void BCMenuEntry::SetAnsiText(const char* pszText) {
  if (!pszText || !*pszText) {
    m_text.clear();
    return;
  }
  const int cch = ::MultiByteToWideChar(CP_ACP, 0, pszText, -1, nullptr, 0);
  if (cch <= 0) {
    m_text.clear();
    return;
  }
  std::wstring wide(static_cast<size_t>(cch), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, pszText, -1, &wide[0], cch);
  wide.resize(static_cast<size_t>(cch - 1));  // without the terminator
  m_text = std::move(wide);
}

CString BCMenuEntry::GetAnsiText() const {
  if (m_text.empty()) return CString();
  const int cb = ::WideCharToMultiByte(CP_ACP, 0, m_text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (cb <= 0) return CString();
  std::string narrow(static_cast<size_t>(cb), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, m_text.c_str(), -1, &narrow[0], cb, nullptr, nullptr);
  return CString(narrow.c_str());
}

// ---- style and colour rules ----------------------------------------------------------------------

int BCMenu::ClassifyPlatform() {
  const DWORD dwVersion = ::GetVersion();
  const bool b9x = (dwVersion & 0x80000000u) != 0;
  if (b9x && LOBYTE(LOWORD(dwVersion)) < 4) return 0;

  OSVERSIONINFOA osvi{};
  osvi.dwOSVersionInfoSize = sizeof osvi;
  if (!::GetVersionExA(&osvi)) return b9x ? 2 : 1;
  const DWORD dwMajor = osvi.dwMajorVersion;
  const DWORD dwMinor = osvi.dwMinorVersion;
  if (b9x) {
    if (dwMajor == 4 && dwMinor == 10) return 3;
    if (dwMajor == 4 && dwMinor == 90) return 4;
    return 2;
  }
  if (dwMajor == 4) return 5;
  if (dwMajor == 5 && dwMinor == 0) return 6;
  if (dwMajor == 5 && dwMinor == 1) return 7;
  return 1;
}

BOOL BCMenu::IsClassicThemeActive() {
  if (s_classicThemeDone) return s_classicTheme;
  // Marked done first: a lookup that fails answers "not classic" for the rest of the process.
  s_classicThemeDone = 1;
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &hKey) !=
      ERROR_SUCCESS) {
    return FALSE;
  }
  static const char kClassic[] = "Windows Classic.theme";
  constexpr DWORD kClassicLen = sizeof kClassic - 1;
  // 260 bytes of value and room for a terminator the value may lack.
  char szValue[261] = {};
  DWORD cb = 260;
  if (::RegQueryValueExA(hKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(szValue), &cb) == ERROR_SUCCESS) {
    szValue[std::min<DWORD>(cb, 260)] = '\0';
    const size_t nLen = std::strlen(szValue);
    if (nLen >= kClassicLen && lstrcmpiA(szValue + nLen - kClassicLen, kClassic) == 0) s_classicTheme = 1;
  }
  ::RegCloseKey(hKey);
  return s_classicTheme;
}

COLORREF BCMenu::BlendTowardWhite(COLORREF cr, double dFactor) {
  if (!(dFactor > 0.0 && dFactor <= 1.0)) return cr;
  auto blend = [dFactor](BYTE c) { return static_cast<BYTE>(c + dFactor * (255 - c)); };
  return RGB(blend(GetRValue(cr)), blend(GetGValue(cr)), blend(GetBValue(cr)));
}

// ---- life ----------------------------------------------------------------------------------------

BCMenu::~BCMenu() { DestroyMenu(); }

BCMenuEntry* BCMenu::GetEntry(int nIndex) const {
  return nIndex >= 0 && nIndex < GetEntryCount() ? m_items[static_cast<size_t>(nIndex)].get() : nullptr;
}

namespace {
void RemoveAll(std::vector<HMENU>& handles, HMENU hMenu) {
  handles.erase(std::remove(handles.begin(), handles.end(), hMenu), handles.end());
}
}  // namespace

BOOL BCMenu::DestroyMenu() {
  RemoveAll(s_allPopupHandles, m_hMenu);
  for (auto it = m_popupHandles.rbegin(); it != m_popupHandles.rend(); ++it) {
    RemoveAll(s_allPopupHandles, *it);
    CMenu* pSub = CMenu::FromHandlePermanent(*it);
    if (pSub && pSub->IsKindOf(RUNTIME_CLASS(BCMenu))) delete pSub;  // its destructor takes its own subtree
  }
  m_popupHandles.clear();
  m_items.clear();
  if (m_checkImages && !m_checkImagesShared) delete m_checkImages;
  m_checkImages = nullptr;
  return CMenu::DestroyMenu();
}

// ---- building --------------------------------------------------------------------------------------

BOOL BCMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(LOWORD(nIDResource))); }

BOOL BCMenu::LoadMenu(const char* lpszResourceName) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hRsrc = hInst ? ::FindResourceA(hInst, lpszResourceName, MAKEINTRESOURCEA(4)) : nullptr;  // RT_MENU
  if (!hRsrc) {
    hInst = ::GetModuleHandleA(nullptr);
    hRsrc = ::FindResourceA(hInst, lpszResourceName, MAKEINTRESOURCEA(4));
  }
  if (!hRsrc) return FALSE;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  const BYTE* pBase = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
  if (!pBase) return FALSE;
  const DWORD cbSize = ::SizeofResource(hInst, hRsrc);

  DestroyMenu();
  if (!CreateMenu()) return FALSE;

  // Reads never pass the end of the resource: a truncated template ends the walk.
  DWORD nPos = 0;
  auto readWord = [pBase, cbSize, &nPos](WORD& w) {
    if (nPos + 2 > cbSize) return false;
    std::memcpy(&w, pBase + nPos, 2);
    nPos += 2;
    return true;
  };
  auto readString = [&readWord](std::wstring& s) {
    s.clear();
    for (WORD ch; readWord(ch);) {
      if (ch == 0) return true;
      s.push_back(static_cast<wchar_t>(ch));
    }
    return false;
  };

  WORD wVersion = 0, wOffset = 0;
  if (!readWord(wVersion) || !readWord(wOffset)) return FALSE;
  nPos = 4 + wOffset;

  std::vector<BCMenu*> stack{this};
  std::vector<int> ended{0};
  while (!stack.empty()) {
    WORD wFlags = 0, wID = 0;
    std::wstring text;
    if (!readWord(wFlags)) break;
    if (!(wFlags & MF_POPUP) && !readWord(wID)) break;
    if (!readString(text)) break;
    const UINT nItemFlags = wFlags & ~static_cast<UINT>(MF_END);

    if (wFlags & MF_POPUP) {
      if (wFlags & MF_END) ended.back() = 1;
      auto* pSub = new BCMenu;
      pSub->m_checkImageNormal = m_checkImageNormal;
      pSub->m_checkImageSelected = m_checkImageSelected;
      pSub->m_checkImages = m_checkImages;
      pSub->m_checkImagesShared = 1;
      if (!pSub->CreatePopupMenu()) {
        delete pSub;
        break;
      }
      stack.back()->AppendItem(text.c_str(), nItemFlags, reinterpret_cast<UINT_PTR>(pSub->m_hMenu), -1);
      stack.push_back(pSub);
      ended.push_back(0);
    } else {
      stack.back()->AppendItem(text.c_str(), nItemFlags, wID, -1);
      if (wFlags & MF_END) ended.back() = 1;
      while (!stack.empty() && ended.back()) {
        stack.back()->AlignAccelerators();
        stack.pop_back();
        ended.pop_back();
      }
    }
  }

  // The top level is a menu bar: plain string items.
  const int nCount = GetMenuItemCount();
  for (int i = 0; i < nCount && i < GetEntryCount(); ++i) {
    BCMenuEntry* pEntry = m_items[static_cast<size_t>(i)].get();
    const CString label = pEntry->GetAnsiText();
    if (HMENU hSub = ::GetSubMenu(m_hMenu, i)) {
      pEntry->m_flags = MF_BYPOSITION | MF_POPUP;
      ModifyMenu(static_cast<UINT>(i), MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(hSub), label);
    } else {
      pEntry->m_flags = MF_BYPOSITION;
      ModifyMenu(static_cast<UINT>(i), MF_BYPOSITION | MF_STRING, pEntry->m_commandId, label);
    }
  }
  m_loadedFromResource = 1;
  return TRUE;
}

BOOL BCMenu::AppendPlatformItem(UINT nFlags, UINT_PTR nID, BCMenuEntry* pEntry) {
  // An owner-drawn item's "string" is its item data.
  return ::AppendMenuA(m_hMenu, nFlags, nID, reinterpret_cast<LPCSTR>(pEntry));
}

BOOL BCMenu::AppendItem(const wchar_t* pszText, UINT nFlags, UINT_PTR nID, int nImageResource) {
  if (nID == 0)
    nFlags = (nFlags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
  else
    nFlags |= MF_OWNERDRAW;

  if (nFlags & MF_POPUP) {
    HMENU hPopup = reinterpret_cast<HMENU>(nID);
    s_allPopupHandles.push_back(hPopup);
    m_popupHandles.push_back(hPopup);
  }

  m_items.push_back(std::make_unique<BCMenuEntry>());
  BCMenuEntry* pEntry = m_items.back().get();
  pEntry->SetWideText(pszText);

  if (nImageResource < 0) {
    pEntry->m_sharedImageIndex = SharedImageIndex(nID);
  } else {
    int nIndex = 0;
    FindToolbarImage(static_cast<UINT>(nID), static_cast<UINT>(nImageResource), nIndex);
    CImageList list;
    list.Create(m_imageWidth, m_imageHeight, ILC_COLORDDB | ILC_MASK, 1, 1);
    if (AddResourceBitmap(list, nImageResource)) pEntry->m_sharedImageIndex = AddToSharedImages(list, nIndex, nID);
  }

  pEntry->m_flags = nFlags;
  pEntry->m_commandId = nID;
  const BOOL bResult = AppendPlatformItem(nFlags, nID, pEntry);
  if (m_loadedFromResource) DemoteTopLevelPopups();
  return bResult;
}

std::unique_ptr<BCMenuEntry> BCMenu::ReplaceItemAt(int nPosition, UINT nFlags, UINT_PTR nID, const char* pszText) {
  auto pEntry = std::make_unique<BCMenuEntry>();
  pEntry->SetAnsiText(pszText);
  pEntry->m_flags = nFlags;
  pEntry->m_commandId = nID;
  // Only separators are ever put back without MF_OWNERDRAW; they carry no item data.
  LPCSTR pData = (nFlags & MF_OWNERDRAW) ? reinterpret_cast<LPCSTR>(pEntry.get()) : nullptr;
  ::ModifyMenuA(m_hMenu, static_cast<UINT>(nPosition), nFlags | MF_BYPOSITION, nID, pData);
  return pEntry;
}

// ---- finding -------------------------------------------------------------------------------------

namespace {
CMenu* FindIn(HMENU hMenu, UINT nID, int& nPosition) {
  const int nCount = ::GetMenuItemCount(hMenu);
  for (int i = 0; i < nCount; ++i) {
    if (HMENU hSub = ::GetSubMenu(hMenu, i)) {
      if (CMenu* pFound = FindIn(hSub, nID, nPosition)) return pFound;
    } else if (::GetMenuItemID(hMenu, i) == nID) {
      nPosition = i;
      return CMenu::FromHandle(hMenu);
    }
  }
  nPosition = -1;
  return nullptr;
}
}  // namespace

CMenu* BCMenu::FindMenuContaining(UINT nID, int& nPosition) {
  nPosition = -1;
  return m_hMenu ? FindIn(m_hMenu, nID, nPosition) : nullptr;
}

BOOL BCMenu::GetItemText(UINT nIDOrPosition, CString& rText, UINT nFlags) {
  if (nFlags & MF_BYPOSITION) {
    const BCMenuEntry* pEntry = GetEntry(static_cast<int>(nIDOrPosition));
    if (!pEntry) return FALSE;
    rText = pEntry->GetAnsiText();
    return TRUE;
  }
  int nPosition = -1;
  CMenu* pMenu = FindMenuContaining(nIDOrPosition, nPosition);
  if (!pMenu || !pMenu->IsKindOf(RUNTIME_CLASS(BCMenu))) return FALSE;
  return static_cast<BCMenu*>(pMenu)->GetItemText(static_cast<UINT>(nPosition), rText, MF_BYPOSITION);
}

// ---- texts ---------------------------------------------------------------------------------------

void BCMenu::PrepareForDpi(UINT nDpi) {
  if (!m_hMenu) return;
  const bool bChanged = nDpi != MenuDpi();
  m_nDpi = nDpi;
  const int nCount = GetMenuItemCount();
  for (int i = 0; i < nCount; ++i) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU;
    if (!::GetMenuItemInfoW(m_hMenu, static_cast<UINT>(i), TRUE, &mii)) continue;
    CMenu* pSub = mii.hSubMenu ? CMenu::FromHandlePermanent(mii.hSubMenu) : nullptr;
    if (pSub && pSub->IsKindOf(RUNTIME_CLASS(BCMenu))) static_cast<BCMenu*>(pSub)->PrepareForDpi(nDpi);
    if (bChanged && (mii.fType & MFT_OWNERDRAW)) {
      mii.fMask = MIIM_FTYPE | MIIM_DATA;
      ::SetMenuItemInfoW(m_hMenu, static_cast<UINT>(i), TRUE, &mii);
    }
  }
}

void BCMenu::AlignAccelerators() {
  CFont font;
  if (!bcmenu::CreateMenuFont(font, MenuDpi())) return;
  CClientDC dc(bcmenu::MainOrDesktopWnd());
  if (!dc.m_hDC) return;
  CSelectGuard selFont(dc, font);

  const int nCount = std::min(GetMenuItemCount(), GetEntryCount());
  auto label = [](const CString& text) {
    const int nTab = text.Find('\t');
    return nTab < 0 ? text : text.Left(nTab);
  };
  int cxTarget = -1;
  for (int i = 0; i < nCount; ++i) {
    const CString text = m_items[static_cast<size_t>(i)]->GetAnsiText();
    cxTarget = std::max(cxTarget, static_cast<int>(dc.GetTextExtent(label(text) + " ").cx));
  }
  for (int i = 0; i < nCount; ++i) {
    BCMenuEntry& entry = *m_items[static_cast<size_t>(i)];
    const CString text = entry.GetAnsiText();
    const int nTab = text.Find('\t');
    if (nTab < 0) continue;
    CString padded = text.Left(nTab);
    // A font whose space has no width would never reach the target.
    for (int cx = dc.GetTextExtent(padded).cx, cxPrev = -1; cx < cxTarget && cx > cxPrev;
         cxPrev = cx, cx = dc.GetTextExtent(padded).cx) {
      padded += " ";
    }
    padded += text.Mid(nTab);
    entry.SetAnsiText(padded);
  }
}

int BCMenu::LoadedItemOffset() {
  if (!m_loadedFromResource) return 0;
  const int nCount = GetMenuItemCount();
  for (int i = 0; i < nCount; ++i) {
    CString platform;
    GetMenuString(static_cast<UINT>(i), platform, MF_BYPOSITION);
    if (platform.IsEmpty()) continue;
    for (int j = 0; j < GetEntryCount(); ++j) {
      if (m_items[static_cast<size_t>(j)]->GetAnsiText() == platform) return i >= j ? i - j : 0;
    }
  }
  return 0;
}

void BCMenu::DemoteTopLevelPopups() {
  const int nStart = LoadedItemOffset();
  const int nCount = GetMenuItemCount();
  for (int i = 0; nStart + i < nCount; ++i) {
    if (i >= GetEntryCount()) continue;
    HMENU hSub = ::GetSubMenu(m_hMenu, nStart + i);
    if (!hSub) continue;
    BCMenuEntry& entry = *m_items[static_cast<size_t>(i)];
    entry.m_flags = MF_BYPOSITION | MF_POPUP;
    ModifyMenu(static_cast<UINT>(nStart + i), MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(hSub),
               entry.GetAnsiText());
  }
}

// ---- keeping in step with the platform menu --------------------------------------------------------

BCMenuEntry* BCMenu::ClaimEntry(UINT_PTR nID) {
  for (auto& pEntry : m_items) {
    if (pEntry && pEntry->m_commandId == nID && pEntry->m_synced == 0) {
      pEntry->m_synced = 1;
      return pEntry.get();
    }
  }
  return nullptr;
}

void BCMenu::MarkAllEntries(int nValue) {
  for (auto& pEntry : m_items) {
    if (pEntry) pEntry->m_synced = nValue;
  }
}

void BCMenu::DeleteUnclaimedEntries() {
  auto unclaimed = [](const std::unique_ptr<BCMenuEntry>& p) { return !p || p->m_synced == 0; };
  // An item still pointing at a deleted entry goes with it: its draw requests would carry the
  // freed entry. (Within Synchronize every item points at a claimed or a new entry by now.)
  for (int i = GetMenuItemCount() - 1; i >= 0; --i) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!::GetMenuItemInfoA(m_hMenu, static_cast<UINT>(i), TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW)) continue;
    for (const auto& p : m_items) {
      if (p && unclaimed(p) && reinterpret_cast<ULONG_PTR>(p.get()) == mii.dwItemData) {
        ::RemoveMenu(m_hMenu, static_cast<UINT>(i), MF_BYPOSITION);
        break;
      }
    }
  }
  // Erased, not emptied: every walk of the list expects an entry in each slot.
  m_items.erase(std::remove_if(m_items.begin(), m_items.end(), unclaimed), m_items.end());
}

void BCMenu::Synchronize() {
  MarkAllEntries(0);
  std::vector<std::unique_ptr<BCMenuEntry>> rebuilt;
  // A claimed entry moves from the old list to the new one.
  auto take = [this](BCMenuEntry* pEntry) {
    for (auto& p : m_items) {
      if (p.get() == pEntry) return std::move(p);
    }
    return std::unique_ptr<BCMenuEntry>();
  };

  const int nCount = GetMenuItemCount();
  for (int i = 0; i < nCount; ++i) {
    const UINT nPos = static_cast<UINT>(i);
    const UINT nState = GetMenuState(nPos, MF_BYPOSITION);
    std::unique_ptr<BCMenuEntry> pEntry;
    CString text;
    if (nState & MF_POPUP) {
      const UINT_PTR hSub = reinterpret_cast<UINT_PTR>(::GetSubMenu(m_hMenu, i));
      pEntry = take(ClaimEntry(hSub));
      GetMenuString(nPos, text, MF_BYPOSITION);
      if (!pEntry)
        pEntry = ReplaceItemAt(i, (nState & 0xEF) | MF_BYPOSITION | MF_POPUP | MF_OWNERDRAW, hSub, text);
      else if (!text.IsEmpty())
        pEntry->SetAnsiText(text);
    } else if (nState & MF_SEPARATOR) {
      pEntry = take(ClaimEntry(0));
      if (pEntry) {
        ::ModifyMenuA(m_hMenu, nPos, pEntry->m_flags | MF_BYPOSITION, pEntry->m_commandId,
                      reinterpret_cast<LPCSTR>(pEntry.get()));
      } else {
        pEntry = ReplaceItemAt(i, nState | MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW, 0, "");
      }
    } else {
      const UINT nID = GetMenuItemID(i);
      pEntry = take(ClaimEntry(nID));
      GetMenuString(nPos, text, MF_BYPOSITION);
      const UINT nFlags = nState | MF_BYPOSITION | MF_OWNERDRAW;
      if (pEntry) {
        pEntry->m_flags = nFlags;
        if (!text.IsEmpty()) pEntry->SetAnsiText(text);
        ::ModifyMenuA(m_hMenu, nPos, pEntry->m_flags, pEntry->m_commandId, reinterpret_cast<LPCSTR>(pEntry.get()));
      } else {
        pEntry = ReplaceItemAt(i, nFlags, nID, text);
      }
    }
    if (pEntry) rebuilt.push_back(std::move(pEntry));
  }
  DeleteUnclaimedEntries();
  m_items = std::move(rebuilt);
}

// ---- mnemonics and identification ------------------------------------------------------------------

LRESULT BCMenu::FindMnemonic(UINT nChar, UINT nFlags, CMenu* pMenu) {
  if (!pMenu || !(nFlags & MF_POPUP)) return 0;
  // Only a bitmap menu keeps labels of its own; the platform hands out none for owner-drawn items.
  if (!pMenu->IsKindOf(RUNTIME_CLASS(BCMenu))) return 0;
  auto* pBCMenu = static_cast<BCMenu*>(pMenu);

  // An ANSI window gets the character in the ANSI code page, a double-byte one as lead byte << 8 |
  // trail byte. What does not make exactly one character (0 among them) is no mnemonic.
  const char bytes[2] = {static_cast<char>(nChar >> 8), static_cast<char>(nChar)};
  const int nBytes = nChar > 0xFF ? 2 : 1;
  wchar_t key[3] = {L'&'};
  if (nChar == 0 || nChar > 0xFFFF ||
      ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes + 2 - nBytes, nBytes, key + 1, 1) != 1)
    return 0;
  ::CharLowerBuffW(key, 2);
  if (pBCMenu->GetMenuItemCount() != pBCMenu->GetEntryCount()) pBCMenu->Synchronize();
  for (int i = 0; i < pBCMenu->GetEntryCount(); ++i) {
    const BCMenuEntry* pEntry = pBCMenu->GetEntry(i);
    std::wstring lower = pEntry ? pEntry->m_text : std::wstring();
    if (lower.empty()) continue;
    ::CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    if (lower.find(key) != std::wstring::npos) return MAKELRESULT(i, MNC_EXECUTE);
  }
  return 0;
}

BOOL BCMenu::IsBitmapMenuHandle(HMENU hMenu) {
  if (!hMenu) return FALSE;
  return std::find(s_allPopupHandles.begin(), s_allPopupHandles.end(), hMenu) != s_allPopupHandles.end();
}

BOOL BCMenu::IsBitmapMenu(CMenu* pMenu) { return pMenu && IsBitmapMenuHandle(pMenu->m_hMenu); }
