#include "DwmFrame.h"

#include <dwmapi.h>

#include "afxlib.h"

namespace {

DwmSetWindowAttributeFn g_pfnStandIn = nullptr;

}  // namespace

void SetDwmSetWindowAttributeStandIn(DwmSetWindowAttributeFn pfn) { g_pfnStandIn = pfn; }

void LeaveFrameToWindow(HWND hWnd) {
  const int nPolicy = DWMNCRP_DISABLED;
  if (g_pfnStandIn) {
    g_pfnStandIn(hWnd, DWMWA_NCRENDERING_POLICY, &nPolicy, sizeof nPolicy);
    return;
  }
  const CSystemLibrary dwmapi("dwmapi.dll");
  const auto pfnSet = AfxGetProc<DwmSetWindowAttributeFn>(dwmapi.Get(), "DwmSetWindowAttribute");
  // The result is of no use: without composition the frame is the window's anyway.
  if (pfnSet) pfnSet(hWnd, DWMWA_NCRENDERING_POLICY, &nPolicy, sizeof nPolicy);
}
