#include "DwmFrame.h"

#include <dwmapi.h>

#include <string>

namespace {

DwmSetWindowAttributeFn g_pfnStandIn = nullptr;

class CLibrary {
 public:
  explicit CLibrary(const std::string& path) : m_hModule(::LoadLibraryA(path.c_str())) {}
  ~CLibrary() {
    if (m_hModule) ::FreeLibrary(m_hModule);
  }
  CLibrary(const CLibrary&) = delete;
  CLibrary& operator=(const CLibrary&) = delete;
  HMODULE Get() const { return m_hModule; }

 private:
  HMODULE m_hModule;
};

// From the system folder only: a dwmapi.dll planted beside the executable must not be loaded.
std::string SystemDwmapiPath() {
  char dir[MAX_PATH + 1] = {};
  UINT n = ::GetSystemDirectoryA(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  dir[n] = '\0';
  return std::string(dir) + "\\dwmapi.dll";
}

}  // namespace

void SetDwmSetWindowAttributeStandIn(DwmSetWindowAttributeFn pfn) { g_pfnStandIn = pfn; }

void LeaveFrameToWindow(HWND hWnd) {
  const int nPolicy = DWMNCRP_DISABLED;
  if (g_pfnStandIn) {
    g_pfnStandIn(hWnd, DWMWA_NCRENDERING_POLICY, &nPolicy, sizeof nPolicy);
    return;
  }
  const std::string path = SystemDwmapiPath();
  if (path.empty()) return;
  CLibrary dwmapi(path);
  if (!dwmapi.Get()) return;
  // Through a plain function pointer type, which any function pointer may be converted to.
  auto pfnAny = reinterpret_cast<void (*)()>(::GetProcAddress(dwmapi.Get(), "DwmSetWindowAttribute"));
  if (!pfnAny) return;
  // The result is of no use: without composition the frame is the window's anyway.
  reinterpret_cast<DwmSetWindowAttributeFn>(pfnAny)(hWnd, DWMWA_NCRENDERING_POLICY, &nPolicy, sizeof nPolicy);
}
