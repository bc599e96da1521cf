#include "atlbase.h"

#include <cstring>

LONG CRegKey::Open(HKEY hKeyParent, const char* lpszKeyName, REGSAM samDesired) {
  HKEY hKey = nullptr;
  LONG lRes = ::RegOpenKeyExA(hKeyParent, lpszKeyName, 0, samDesired, &hKey);
  if (lRes == ERROR_SUCCESS) {
    Close();
    m_hKey = hKey;
  }
  return lRes;
}

LONG CRegKey::Create(HKEY hKeyParent, const char* lpszKeyName, char* lpszClass, DWORD dwOptions, REGSAM samDesired,
                     LPSECURITY_ATTRIBUTES lpSecAttr, LPDWORD lpdwDisposition) {
  HKEY hKey = nullptr;
  DWORD dw = 0;
  LONG lRes = ::RegCreateKeyExA(hKeyParent, lpszKeyName, 0, lpszClass, dwOptions, samDesired, lpSecAttr, &hKey, &dw);
  if (lpdwDisposition) *lpdwDisposition = dw;
  if (lRes == ERROR_SUCCESS) {
    Close();
    m_hKey = hKey;
  }
  return lRes;
}

LONG CRegKey::Close() {
  LONG lRes = ERROR_SUCCESS;
  if (m_hKey) {
    lRes = ::RegCloseKey(m_hKey);
    m_hKey = nullptr;
  }
  return lRes;
}

LONG CRegKey::QueryValue(char* szValue, const char* lpszValueName, DWORD* pdwCount) {
  if (!szValue || !pdwCount || *pdwCount == 0) return ERROR_INVALID_PARAMETER;
  DWORD room = *pdwCount;
  DWORD type = 0;
  DWORD cb = room;
  LONG lRes = ::RegQueryValueExA(m_hKey, lpszValueName, nullptr, &type, reinterpret_cast<BYTE*>(szValue), &cb);
  if (lRes != ERROR_SUCCESS) {
    szValue[0] = '\0';
    return lRes;
  }
  // Data that fills the whole room without a terminator is cut by one byte, never read past.
  szValue[cb < room ? cb : room - 1] = '\0';
  *pdwCount = cb;
  return lRes;
}

LONG CRegKey::SetValue(const char* lpszValue, const char* lpszValueName) {
  if (!lpszValue) return ERROR_INVALID_PARAMETER;
  return ::RegSetValueExA(m_hKey, lpszValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                          static_cast<DWORD>(std::strlen(lpszValue) + 1));
}

LONG CRegKey::DeleteValue(const char* lpszValue) { return ::RegDeleteValueA(m_hKey, lpszValue); }
