// Run by the elevated setup program from its finish page: asks the desktop shell of the logged-on
// user to start a program, so that the program runs as that user with that user's own rights,
// never with the setup's (which, after a standard user typed an administrator's password, are the
// administrator's). The request goes to the shell's own window through IShellDispatch2, the
// documented way; where no desktop shell answers, nothing is started by any other means.
//
//   ShellRun.exe PROGRAM [ARGUMENTS [FOLDER]]
//
// Exit code: 0 the shell took the request, 1 bad command line, 2 no desktop shell to ask,
// 3 the shell refused the request.
//
// MNEMORA_SHELL_RUN_RECORD=file (for tests): once the desktop shell is found, the request is
// written to that file (UTF-8 lines: program, arguments, folder) instead of being handed over.

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <servprov.h>
#include <shlobj.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shellapi.h>

#include <memory>
#include <new>

// The method of IShellDispatch2, not shellapi's function macro.
#undef ShellExecute

namespace {

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (m_p) m_p->Release();
  }
  T* operator->() const { return m_p; }
  T* Get() const { return m_p; }
  T** Put() { return &m_p; }
  void** PutVoid() { return reinterpret_cast<void**>(&m_p); }

 private:
  T* m_p = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&m_v); }
  explicit Variant(const wchar_t* text) : Variant() {
    m_v.vt = VT_BSTR;
    m_v.bstrVal = SysAllocString(text);
  }
  explicit Variant(long number) : Variant() {
    m_v.vt = VT_I4;
    m_v.lVal = number;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&m_v); }
  VARIANT* Get() { return &m_v; }
  bool Allocated() const { return m_v.vt != VT_BSTR || m_v.bstrVal; }

 private:
  VARIANT m_v;
};

class ComInit {
 public:
  ComInit() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;
  ~ComInit() {
    if (SUCCEEDED(m_hr)) CoUninitialize();
  }
  bool Ok() const { return SUCCEEDED(m_hr); }

 private:
  HRESULT m_hr;
};

struct LocalFreer {
  void operator()(wchar_t** memory) const { LocalFree(memory); }
};

enum Result : int { kStarted = 0, kUsage = 1, kNoShell = 2, kRefused = 3 };

// The desktop's folder view, reached from the shell's own window list. Only explorer's local
// server will do: an object made in this process would start the program elevated.
bool FindDesktopShell(ComRef<IShellDispatch2>& shell, DWORD& shellProcess) {
  ComRef<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.PutVoid())))
    return false;
  Variant location(static_cast<long>(CSIDL_DESKTOP));
  Variant root;
  LONG window = 0;
  ComRef<IDispatch> desktop;
  if (windows->FindWindowSW(location.Get(), root.Get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Put()) !=
          S_OK ||
      !desktop.Get())
    return false;
  ComRef<IServiceProvider> services;
  ComRef<IShellBrowser> browser;
  ComRef<IShellView> view;
  ComRef<IDispatch> background;
  ComRef<IShellFolderViewDual> folderView;
  ComRef<IDispatch> application;
  if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.PutVoid())) ||
      FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.PutVoid())) ||
      FAILED(browser->QueryActiveShellView(view.Put())) || !view.Get() ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.PutVoid())) || !background.Get() ||
      FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.PutVoid())) ||
      FAILED(folderView->get_Application(application.Put())) || !application.Get() ||
      FAILED(application->QueryInterface(IID_IShellDispatch2, shell.PutVoid())))
    return false;
  shellProcess = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<LONG_PTR>(window)), &shellProcess);
  return true;
}

bool WriteUtf8Line(HANDLE file, const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::unique_ptr<char[]> line(new (std::nothrow) char[static_cast<size_t>(size)]);
  if (!line || WideCharToMultiByte(CP_UTF8, 0, text, -1, line.get(), size, nullptr, nullptr) != size) return false;
  // The terminator's place takes the line break.
  line[static_cast<size_t>(size) - 1] = '\n';
  DWORD written = 0;
  return WriteFile(file, line.get(), static_cast<DWORD>(size), &written, nullptr) &&
         written == static_cast<DWORD>(size);
}

struct FileCloser {
  void operator()(HANDLE file) const { CloseHandle(file); }
};
using UniqueFile = std::unique_ptr<void, FileCloser>;

bool Record(const wchar_t* path, const wchar_t* program, const wchar_t* arguments, const wchar_t* folder) {
  UniqueFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  return WriteUtf8Line(file.get(), program) && WriteUtf8Line(file.get(), arguments) &&
         WriteUtf8Line(file.get(), folder);
}

Result Run(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 4 || !*argv[1]) return kUsage;
  const wchar_t* program = argv[1];
  const wchar_t* arguments = argc > 2 ? argv[2] : L"";
  const wchar_t* folder = argc > 3 ? argv[3] : L"";

  ComInit com;
  ComRef<IShellDispatch2> shell;
  DWORD shellProcess = 0;
  if (!com.Ok() || !FindDesktopShell(shell, shellProcess)) return kNoShell;

  wchar_t record[MAX_PATH + 1] = {};
  const DWORD recordLength = GetEnvironmentVariableW(L"MNEMORA_SHELL_RUN_RECORD", record, MAX_PATH);
  if (recordLength > 0 && recordLength < MAX_PATH)
    return Record(record, program, arguments, folder) ? kStarted : kRefused;

  // The setup holds the foreground; the started program may take it over from the shell.
  if (shellProcess) AllowSetForegroundWindow(shellProcess);
  Variant file(program);
  Variant args(arguments);
  Variant dir(folder);
  Variant verb(L"open");
  Variant show(static_cast<long>(SW_SHOWNORMAL));
  if (!file.Allocated() || !args.Allocated() || !dir.Allocated() || !verb.Allocated()) return kRefused;
  return SUCCEEDED(shell->ShellExecute(file.Get()->bstrVal, *args.Get(), *dir.Get(), *verb.Get(), *show.Get()))
             ? kStarted
             : kRefused;
}

}  // namespace

// WinMain, not wWinMain, so no toolchain needs a Unicode entry-point switch; the wide command
// line comes from the system, so any folder name arrives intact.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  std::unique_ptr<wchar_t*, LocalFreer> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  return argv ? Run(argc, argv.get()) : kUsage;
}
