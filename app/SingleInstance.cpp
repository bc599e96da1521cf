#include "SingleInstance.h"

#include "afxlib.h"
#include "resource.h"

namespace {

// Only its existence counts: the first copy creates it, later copies find it.
const char kSingleInstanceMutex[] = "0x6510f64b, 0x8e55, 0x4cab, 0xac, 0x10, 0xc1, 0xd2, 0xdd, 0x61, 0x75, 0x6e";
// The main dialog template's caption. The application name comes from the file name, which a
// second download ("Mnemora (1).exe") or a renamed copy does not share.
const char kMainDialogCaption[] = "Mnemora";
constexpr DWORD kRequestTimeoutMs = 10000;
constexpr DWORD kRetryMs = 100;

CreateMutexFn g_pfnCreateMutex = &::CreateMutexA;
MessageFilterFn g_pfnMessageFilter = nullptr;

MessageFilterFn SystemMessageFilter() {
  return AfxGetProc<MessageFilterFn>(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx");
}

}  // namespace

void SetCreateMutexStandIn(CreateMutexFn pfn) { g_pfnCreateMutex = pfn ? pfn : &::CreateMutexA; }
void SetMessageFilterStandIn(MessageFilterFn pfn) { g_pfnMessageFilter = pfn; }

InstanceClaim ClaimSingleInstance(HANDLE* phMutex) {
  *phMutex = nullptr;
  HANDLE hMutex = g_pfnCreateMutex(nullptr, FALSE, kSingleInstanceMutex);
  const DWORD dwError = ::GetLastError();
  // An elevated copy's mutex cannot be opened by a later start without elevation; that
  // refusal says as plainly as "already exists" that a copy runs.
  if (!hMutex) return dwError == ERROR_ACCESS_DENIED ? InstanceClaim::kAnotherRuns : InstanceClaim::kFirst;
  if (dwError == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(hMutex);
    return InstanceClaim::kAnotherRuns;
  }
  *phMutex = hMutex;
  return InstanceClaim::kFirst;
}

bool AnotherCopyRuns() {
  HANDLE hMutex = ::OpenMutexA(SYNCHRONIZE, FALSE, kSingleInstanceMutex);
  if (hMutex) {
    ::CloseHandle(hMutex);
    return true;
  }
  return ::GetLastError() == ERROR_ACCESS_DENIED;
}

// Class and caption alone would also match a folder or document called "Mnemora" of a dialog
// class, or a message box of another copy; only the main dialog has an Optimize button.
HWND FindRunningCopy() {
  HWND hWnd = nullptr;
  while ((hWnd = ::FindWindowExA(nullptr, hWnd, "#32770", kMainDialogCaption)) != nullptr) {
    if (::GetDlgItem(hWnd, IDC_OPTIMIZE) != nullptr) return hWnd;
  }
  return nullptr;
}

UINT ShowMainWindowMessage() {
  static const UINT s_uMessage = ::RegisterWindowMessageA("Mnemora.Net.ShowMainWindow");
  return s_uMessage;
}

UINT OptimizeRequestMessage() {
  static const UINT s_uMessage = ::RegisterWindowMessageA("Mnemora.Net.Optimize");
  return s_uMessage;
}

bool AskRunningCopy(HWND hDialog, UINT uMessage) {
  DWORD dwProcessId = 0;
  ::GetWindowThreadProcessId(hDialog, &dwProcessId);
  // This process may give the foreground away (the user just used it); the running copy may
  // not take it by itself.
  if (dwProcessId) ::AllowSetForegroundWindow(dwProcessId);
  const DWORD dwStart = ::GetTickCount();
  do {
    DWORD_PTR dwResult = 0;
    if (!::SendMessageTimeoutA(hDialog, uMessage, 0, 0, SMTO_ABORTIFHUNG, kRequestTimeoutMs, &dwResult)) return false;
    if (static_cast<LRESULT>(dwResult) == kRequestTaken) return true;
    ::Sleep(kRetryMs);  // still initialising
  } while (::GetTickCount() - dwStart < kRequestTimeoutMs);
  return false;
}

void LetThroughFromOtherProcesses(HWND hWnd, std::initializer_list<UINT> messages) {
  MessageFilterFn pfnFilter = g_pfnMessageFilter ? g_pfnMessageFilter : SystemMessageFilter();
  if (!pfnFilter) return;
  for (UINT uMessage : messages) pfnFilter(hWnd, uMessage, MSGFLT_ALLOW, nullptr);
}
