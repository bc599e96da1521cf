#include <process.h>

#include <cerrno>

#include "afxwin.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
CWinApp* g_pApp = nullptr;

// Colours a framework message box like every dialog once SetDialogBkColor has run.
const char kMsgBoxOldProc[] = "Mnemora.MsgBoxProc";
thread_local bool t_bMsgBoxHooked = false;

LRESULT CALLBACK MsgBoxColorProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto old = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kMsgBoxOldProc));
  CWinApp* pApp = AfxGetApp();
  switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (pApp && pApp->HasDialogColors()) {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(hdc, pApp->DialogTextColor());
        ::SetBkColor(hdc, pApp->DialogBkColor());
        return reinterpret_cast<LRESULT>(pApp->DialogBkBrush());
      }
      break;
    case WM_NCDESTROY:
      ::RemovePropA(hWnd, kMsgBoxOldProc);
      if (old) ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      break;
    default:
      break;
  }
  return old ? ::CallWindowProcA(old, hWnd, message, wParam, lParam) : ::DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK MsgBoxCbtHook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_CREATEWND && !t_bMsgBoxHooked) {
    auto* pCreate = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
    const char* cls = pCreate->lpcs->lpszClass;
    bool bDialog = IS_INTRESOURCE(cls) ? reinterpret_cast<ULONG_PTR>(cls) == 32770 : lstrcmpA(cls, "#32770") == 0;
    if (bDialog) {
      t_bMsgBoxHooked = true;
      HWND hWnd = reinterpret_cast<HWND>(wParam);
      LONG_PTR old = ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MsgBoxColorProc));
      ::SetPropA(hWnd, kMsgBoxOldProc, reinterpret_cast<HANDLE>(old));
    }
  }
  return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}
}  // namespace

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->GetMainWnd() : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
  return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

CWinApp::CWinApp(const char* lpszAppName) {
  g_pApp = this;
  if (lpszAppName) {
    m_strAppName = lpszAppName;
    m_pszAppName = m_strAppName;
  }
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::InitNames(HINSTANCE hInstance) {
  m_hInstance = hInstance;
  char path[MAX_PATH + 1] = {};
  DWORD n = ::GetModuleFileNameA(hInstance, path, MAX_PATH);
  path[n < MAX_PATH ? n : MAX_PATH] = '\0';
  CString full(path);
  int slash = full.ReverseFind('\\');
  CString base = full.Mid(slash + 1);
  int dot = base.ReverseFind('.');
  m_strExeName = dot >= 0 ? base.Left(dot) : base;
  m_pszExeName = m_strExeName;

  if (!m_pszAppName) {
    // No title string resource: the application is named after its executable.
    CString title;
    m_strAppName = title.LoadString(0xE000 /* AFX_IDS_APP_TITLE */) ? title : m_strExeName;
    m_pszAppName = m_strAppName;
  }

  int fullDot = full.ReverseFind('.');
  m_strHelpPath = (fullDot > slash ? full.Left(fullDot) : full) + ".HLP";
  m_pszHelpFilePath = m_strHelpPath;
}

void CWinApp::SetDialogBkColor(COLORREF clrCtlBk, COLORREF clrCtlText) {
  m_dlgBkBrush.CreateSolidBrush(clrCtlBk);
  m_crDlgBk = clrCtlBk;
  m_crDlgText = clrCtlText;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
  return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

int CWinApp::Run() {
  MSG msg;
  CMessageLoopScope loop;
  for (;;) {
    loop.IdleIfQueueEmpty();
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return ExitInstance();
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

namespace {
int ShowMessageBox(HWND hOwner, const char* lpszText, UINT nType) {
  CWinApp* pApp = AfxGetApp();
  const char* caption = pApp ? pApp->m_pszAppName : nullptr;
  HHOOK hHook = nullptr;
  if (pApp && pApp->HasDialogColors()) {
    t_bMsgBoxHooked = false;
    hHook = ::SetWindowsHookExA(WH_CBT, &MsgBoxCbtHook, nullptr, ::GetCurrentThreadId());
    if (!hHook) TRACE("SetWindowsHookEx(WH_CBT) for a message box failed: error %lu\n", ::GetLastError());
  }
  int result = ::MessageBoxA(hOwner, lpszText, caption, nType);
  if (hHook) ::UnhookWindowsHookEx(hHook);
  return result;
}
}  // namespace

int AfxMessageBox(const char* lpszText, UINT nType, UINT) {
  // Owned by the main window only on its own thread; a box from a worker stands alone.
  HWND hOwner = nullptr;
  CWnd* pMain = AfxGetMainWnd();
  if (pMain && pMain->m_hWnd && ::IsWindow(pMain->m_hWnd) &&
      ::GetWindowThreadProcessId(pMain->m_hWnd, nullptr) == ::GetCurrentThreadId()) {
    hOwner = ::GetLastActivePopup(pMain->m_hWnd);
  }
  return ShowMessageBox(hOwner, lpszText, nType);
}

int AfxOwnedMessageBox(HWND hOwner, const char* lpszText, UINT nType) {
  return ShowMessageBox(hOwner, lpszText, nType);
}

// ---- threads -----------------------------------------------------------------------------------

CWinThread::~CWinThread() {
  if (m_hThread && this != g_pApp) ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::ThreadEntry(void* pThis) {
  auto* pThread = static_cast<CWinThread*>(pThis);
  UINT nResult = static_cast<UINT>(-1);
  try {
    nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
  } catch (...) {
    // An exception must not leave through the runtime's thread start; the thread just ends.
    TRACE_CURRENT_EXCEPTION("thread function");
  }
  AfxDeleteTempMaps();
  if (pThread->m_bAutoDelete) delete pThread;
  return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  unsigned id = 0;
  uintptr_t h = ::_beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry, this,
                                 dwCreateFlags | CREATE_SUSPENDED, &id);
  if (!h) {
    TRACE("_beginthreadex failed: errno %d\n", errno);
    return FALSE;
  }
  m_hThread = reinterpret_cast<HANDLE>(h);
  m_nThreadID = id;
  if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
  return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  auto* pThread = new CWinThread(pfnThreadProc, pParam);
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    delete pThread;
    return nullptr;
  }
  if (!pThread->SetThreadPriority(nPriority)) {
    TRACE("SetThreadPriority(%d) failed: error %lu\n", nPriority, ::GetLastError());
  }
  if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
  return pThread;
}

// ---- entry -------------------------------------------------------------------------------------

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* pApp = AfxGetApp();
  if (!pApp) return -1;
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  if (!::InitCommonControlsEx(&icc)) TRACE("InitCommonControlsEx failed\n");
  pApp->InitNames(hInstance);
  pApp->m_lpCmdLine = lpCmdLine;
  pApp->m_nCmdShow = nCmdShow;
  pApp->m_nThreadID = ::GetCurrentThreadId();
  if (!pApp->InitInstance()) return pApp->ExitInstance();
  return pApp->Run();
}
