#pragma once
// Registry key holder with the familiar CRegKey surface (narrow strings).
#include <windows.h>

class CRegKey {
 public:
  CRegKey() = default;
  ~CRegKey() { Close(); }
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;

  HKEY m_hKey = nullptr;
  operator HKEY() const { return m_hKey; }

  LONG Open(HKEY hKeyParent, const char* lpszKeyName, REGSAM samDesired = KEY_ALL_ACCESS);
  LONG Create(HKEY hKeyParent, const char* lpszKeyName, char* lpszClass = nullptr,
              DWORD dwOptions = REG_OPTION_NON_VOLATILE, REGSAM samDesired = KEY_ALL_ACCESS,
              LPSECURITY_ATTRIBUTES lpSecAttr = nullptr, LPDWORD lpdwDisposition = nullptr);
  LONG Close();
  // Reads a value into szValue (*pdwCount bytes of room) and always leaves it NUL-terminated
  // within that room, whatever type or length the stored data has.
  LONG QueryValue(char* szValue, const char* lpszValueName, DWORD* pdwCount);
  LONG SetValue(const char* lpszValue, const char* lpszValueName);
  LONG DeleteValue(const char* lpszValue);
};
