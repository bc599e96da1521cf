#pragma once
#include <windows.h>

// A library of the system folder, loaded for the holder's life. Only from there: a DLL of that
// name planted beside the executable must never be loaded.
class CSystemLibrary {
 public:
  explicit CSystemLibrary(const char* lpszFileName);
  ~CSystemLibrary();
  CSystemLibrary(const CSystemLibrary&) = delete;
  CSystemLibrary& operator=(const CSystemLibrary&) = delete;
  HMODULE Get() const { return m_hModule; }

 private:
  HMODULE m_hModule = nullptr;
};

// A function of a module, or null; for functions that older Windows versions lack. Through a
// plain function pointer type, which any function pointer converts to and back.
template <class Fn>
Fn AfxGetProc(HMODULE hModule, const char* lpszName) {
  if (!hModule) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(hModule, lpszName)));
}
