#include "afxlib.h"

#include <string>

CSystemLibrary::CSystemLibrary(const char* lpszFileName) {
  char dir[MAX_PATH + 1] = {};
  const UINT n = ::GetSystemDirectoryA(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  dir[n] = '\0';
  m_hModule = ::LoadLibraryA((std::string(dir) + "\\" + lpszFileName).c_str());
}

CSystemLibrary::~CSystemLibrary() {
  if (m_hModule) ::FreeLibrary(m_hModule);
}
