#include "UiSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace e2e {

namespace {

const char kSettingsKey[] = "SOFTWARE\\Mnemora.Net";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class Module {
 public:
  explicit Module(const std::string& path)
      : m_module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~Module() {
    if (m_module) FreeLibrary(m_module);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  HMODULE Get() const { return m_module; }

 private:
  HMODULE m_module;
};

class GdiObject {
 public:
  explicit GdiObject(HGDIOBJ object) : m_object(object) {}
  ~GdiObject() {
    if (m_object) DeleteObject(m_object);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  HGDIOBJ Get() const { return m_object; }

 private:
  HGDIOBJ m_object;
};

class MemoryDc {
 public:
  MemoryDc() : m_dc(CreateCompatibleDC(nullptr)) {}
  ~MemoryDc() {
    if (m_dc) DeleteDC(m_dc);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
};

class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
  ~Selection() {
    if (m_old) SelectObject(m_dc, m_old);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

class ScreenDc {
 public:
  ScreenDc() : m_dc(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (m_dc) ReleaseDC(nullptr, m_dc);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
};

class Icon {
 public:
  explicit Icon(HICON icon) : m_icon(icon) {}
  ~Icon() {
    if (m_icon) DestroyIcon(m_icon);
  }
  Icon(const Icon&) = delete;
  Icon& operator=(const Icon&) = delete;
  HICON Get() const { return m_icon; }

 private:
  HICON m_icon;
};

class Menu {
 public:
  explicit Menu(HMENU menu) : m_menu(menu) {}
  ~Menu() {
    if (m_menu) DestroyMenu(m_menu);
  }
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
  HMENU Get() const { return m_menu; }

 private:
  HMENU m_menu;
};

class Window {
 public:
  explicit Window(HWND window) : m_window(window) {}
  ~Window() {
    if (m_window) DestroyWindow(m_window);
  }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND Get() const { return m_window; }

 private:
  HWND m_window;
};

// A 32-bit top-down DIB section of the given size; bits are BGRA.
struct Dib {
  Dib(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    w = width;
    h = height;
  }
  ~Dib() {
    if (bitmap) DeleteObject(bitmap);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  Image ToImage() const {
    Image image;
    image.width = w;
    image.height = h;
    image.pixels.resize(static_cast<size_t>(w) * h);
    const auto* p = static_cast<const BYTE*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]);
    return image;
  }

  HBITMAP bitmap = nullptr;
  void* bits = nullptr;
  int w = 0;
  int h = 0;
};

DWORD ProcessOfWindow(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND FindVisibleOfClass(DWORD pid, const char* className) {
  struct Search {
    DWORD pid;
    const char* className;
    HWND found;
  } search{pid, className, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (!IsWindowVisible(window) || ProcessOfWindow(window) != s->pid) return TRUE;
        if (ClassName(window) != s->className) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return SendInput(1, &input, sizeof input) == 1;
}

}  // namespace

// ---- pictures -------------------------------------------------------------------------------------

Image Image::Crop(int x, int y, int w, int h) const {
  Image part;
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height) return part;
  part.width = w;
  part.height = h;
  part.pixels.reserve(static_cast<size_t>(w) * h);
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) part.pixels.push_back(At(col, row));
  return part;
}

int Image::Count(COLORREF color) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), color)); }

int Image::CountOther(std::initializer_list<COLORREF> colors) const {
  int n = 0;
  for (COLORREF p : pixels)
    if (std::find(colors.begin(), colors.end(), p) == colors.end()) ++n;
  return n;
}

Image CaptureScreen(const RECT& r) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return {};
  ScreenDc screen;
  MemoryDc memory;
  Dib dib(width, height);
  if (!screen.Get() || !memory.Get() || !dib.bitmap) return {};
  {
    Selection select(memory.Get(), dib.bitmap);
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY)) return {};
    GdiFlush();
  }
  return dib.ToImage();
}

Image CaptureScreen() {
  return CaptureScreen(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

Image CaptureSettled(const RECT& r, const Image& before, DWORD timeoutMs) {
  // Six times Wine's 50 ms between flushes of a busy thread: a picture in pieces does not last.
  constexpr ULONGLONG kSettleMs = 300;
  if (IsRectEmpty(&r)) return {};
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  Image last = CaptureScreen(r);
  ULONGLONG since = GetTickCount64();
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (!last.Empty() && last.pixels != before.pixels && now - since >= kSettleMs) return last;
    if (now >= end) return {};
    Sleep(50);
    Image next = CaptureScreen(r);
    if (next.pixels != last.pixels) {
      last = std::move(next);
      since = GetTickCount64();
    }
  }
}

bool SameColor(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

double MatchRatio(const Image& a, const Image& b, int tolerance) {
  if (a.Empty() || a.width != b.width || a.height != b.height) return 0.0;
  size_t same = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    if (SameColor(a.pixels[i], b.pixels[i], tolerance)) ++same;
  return static_cast<double>(same) / static_cast<double>(a.pixels.size());
}

std::string ColorText(COLORREF color) {
  if (color == CLR_INVALID) return "invalid";
  char text[32];
  snprintf(text, sizeof text, "RGB(%d,%d,%d)", GetRValue(color), GetGValue(color), GetBValue(color));
  return text;
}

bool WaitForScreenPixel(int x, int y, COLORREF color, DWORD timeoutMs) {
  return WaitUntil([&] { return ScreenPixel(x, y) == color; }, timeoutMs);
}

bool WaitForScreenMatch(const RECT& r, const Image& expected, double minRatio, DWORD timeoutMs) {
  return WaitUntil([&] { return MatchRatio(CaptureScreen(r), expected) >= minRatio; }, timeoutMs);
}

std::optional<Image> LoadExeBitmap(const std::string& exe, int id) {
  Module module(exe);
  if (!module.Get()) return std::nullopt;
  GdiObject bitmap(LoadImageA(module.Get(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap.Get()) return std::nullopt;
  BITMAP info = {};
  if (!GetObjectA(bitmap.Get(), sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return std::nullopt;
  Dib dib(info.bmWidth, info.bmHeight);
  MemoryDc source;
  MemoryDc target;
  if (!dib.bitmap || !source.Get() || !target.Get()) return std::nullopt;
  {
    Selection s(source.Get(), bitmap.Get());
    Selection t(target.Get(), dib.bitmap);
    if (!BitBlt(target.Get(), 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY)) return std::nullopt;
    GdiFlush();
  }
  return dib.ToImage();
}

std::optional<Image> RenderExeIcon(const std::string& exe, int id, SIZE load, SIZE draw, COLORREF background) {
  Module module(exe);
  if (!module.Get()) return std::nullopt;
  Icon icon(static_cast<HICON>(
      LoadImageA(module.Get(), MAKEINTRESOURCEA(id), IMAGE_ICON, load.cx, load.cy, LR_DEFAULTCOLOR)));
  if (!icon.Get()) return std::nullopt;
  Dib dib(draw.cx, draw.cy);
  MemoryDc memory;
  GdiObject brush(CreateSolidBrush(background));
  if (!dib.bitmap || !memory.Get() || !brush.Get()) return std::nullopt;
  {
    Selection select(memory.Get(), dib.bitmap);
    RECT all{0, 0, draw.cx, draw.cy};
    FillRect(memory.Get(), &all, static_cast<HBRUSH>(brush.Get()));
    if (!DrawIconEx(memory.Get(), 0, 0, icon.Get(), draw.cx, draw.cy, 0, nullptr, DI_NORMAL)) return std::nullopt;
    GdiFlush();
  }
  return dib.ToImage();
}

std::optional<Image> RenderExeSmallIcon(const std::string& exe, int id, COLORREF background) {
  const SIZE small{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
  return RenderExeIcon(exe, id, small, small, background);
}

// ---- the program ----------------------------------------------------------------------------------

std::string ShippedExe() { return PathFromEnv("MNEMORA_EXE"); }
std::string CappedExe() { return PathFromEnv("MNEMORA_CAPPED_EXE"); }

void ResetProgramState() {
  TerminateProcessesNamed("Mnemora.exe");
  DeleteRegKey(kSettingsKey);
  DeleteRegValue(kRunKey, "Mnemora.Net");
  DeleteRegValue(kRunKey, "Mnemora.Net", HKEY_CURRENT_USER);
  // Automatic freeing off: nothing these tests do may start a pass by itself.
  WriteRegString(kSettingsKey, "AutoFree", "FALSE");
  WriteRegString(kSettingsKey, "AutoFreeNum", "15");
}

RunningProgram StartProgram(const std::string& exe, const std::string& arguments, std::string* error) {
  RunningProgram app;
  if (exe.empty()) {
    if (error) *error = "no executable given (MNEMORA_EXE / MNEMORA_CAPPED_EXE unset?)";
    return app;
  }
  app.process = ChildProcess::Launch(exe, arguments, error);
  if (!app.process) return app;
  HWND dialog = WaitForTopLevelWindow(app.Pid(), "Mnemora", 20000, "#32770");
  if (!dialog) {
    if (error) *error = "no dialog titled \"Mnemora\" within 20 s";
    return app;
  }
  const bool figures = WaitUntil(
      [&] {
        auto text = ControlText(dialog, 1016);
        return text && !text->empty();
      },
      10000);
  if (!figures) {
    if (error) *error = "the memory figures were not filled in within 10 s";
    return app;
  }
  // Started without arguments the dialog shows itself once its modal loop runs.
  if (arguments.empty() && !WaitForVisibility(dialog, true, 10000)) {
    if (error) *error = "the dialog did not become visible within 10 s";
    return app;
  }
  SendWithTimeout(dialog, WM_NULL, 0, 0);
  app.dialog = dialog;
  return app;
}

bool BringToFront(HWND window) {
  if (!IsWindow(window)) return false;
  SetForegroundWindow(window);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // Painted before this returns: for another thread's windows the paint requests are sent. A
  // repaint left queued could still be pending after the round trip below, which a busy thread
  // (or machine) leaves half done on the screen: the dialog's white panel without its controls.
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
  // The activation and the repaints are queued in the window's thread; it has handled them once
  // this returns, and flushes them to the screen when it next runs idle.
  return SyncWithThreadOf(window) && !CaptureSettled(WindowRectOf(window)).Empty();
}

bool WaitUntilOnScreen(HWND dialog) {
  // A point of the white panel at any DPI: the panel grows with it.
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  const bool painted = WaitUntil(
      [&] {
        const RECT w = WindowRectOf(dialog);
        return ClientPixel(dialog, MulDiv(10, dpi, 96), MulDiv(100, dpi, 96)) == RGB(255, 255, 255) &&
               ScreenPixel((w.left + w.right) / 2, w.top) == RGB(222, 223, 222);
      },
      10000);
  // The desktop must have settled too: a popup opened over a window that is still being
  // mapped can end up beneath it. Both the dialog's thread and the desktop's have handled
  // what they had queued once these return; the labels may reach the screen after the panel.
  const bool settled = SyncWithThreadOf(dialog) && SyncWithThreadOf(GetDesktopWindow());
  return painted && settled && !CaptureSettled(WindowRectOf(dialog)).Empty();
}

void ParkMouse() { MoveMouse(1, 1); }

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ControlScreenRect(HWND dialog, int controlId) {
  RECT r{};
  HWND control = GetDlgItem(dialog, controlId);
  if (!control || !GetClientRect(control, &r)) return r;
  MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

POINT CenterOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

RECT Offset(const RECT& r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

RECT CaptionButtonRect(HWND dialog, CaptionButton button) {
  const RECT w = WindowRectOf(dialog);
  const int right = (w.right - w.left) - GetSystemMetrics(SM_CXFRAME);
  const int top = 2 * GetSystemMetrics(SM_CYFRAME) - 4;
  const int fromRight = button == CaptionButton::Close ? 22 : button == CaptionButton::Minimize ? 42 : 62;
  const int left = right - fromRight;
  return RECT{w.left + left, w.top + top, w.left + left + 17, w.top + top + 16};
}

bool PressLeft() { return SendMouse(MOUSEEVENTF_LEFTDOWN); }
bool ReleaseLeft() { return SendMouse(MOUSEEVENTF_LEFTUP); }

// ---- tray ------------------------------------------------------------------------------------------

std::optional<RECT> TraySlotRect(int slot) {
  auto center = TrayIconCenter(slot);
  if (!center) return std::nullopt;
  const int half = (GetSystemMetrics(SM_CXSMICON) + 4) / 2;
  return RECT{center->x - half, center->y - half, center->x + half, center->y + half};
}

std::vector<int> TraySlotsShowingIcon(const std::string& exe, int maxSlots) {
  std::vector<int> slots;
  // The shell handles each move (and drops what it finds dead) before the next one comes.
  for (int slot = 0; slot < maxSlots; ++slot) {
    if (auto center = TrayIconCenter(slot)) {
      MoveMouse(center->x, center->y);
      if (HWND shell = WindowFromPoint(*center)) SyncWithThreadOf(shell, 4);
    }
  }
  ParkMouse();
  // ... and repaints the slots it emptied.
  if (HWND taskbar = TaskbarWindow()) SyncWithThreadOf(taskbar);
  const int cx = GetSystemMetrics(SM_CXSMICON);
  const int cy = GetSystemMetrics(SM_CYSMICON);
  RECT all{};
  for (int slot = 0; slot < maxSlots; ++slot)
    if (auto rect = TraySlotRect(slot)) UnionRect(&all, &all, &*rect);
  const Image tray = CaptureSettled(all);
  for (int slot = 0; slot < maxSlots; ++slot) {
    auto rect = TraySlotRect(slot);
    if (!rect) break;
    const Image cell = tray.Crop(Offset(*rect, -all.left, -all.top));
    if (cell.Empty()) continue;
    auto icon = RenderExeSmallIcon(exe, kAppIconId, cell.At(0, 0));
    if (!icon) continue;
    double best = 0.0;
    for (int dy = 0; dy + cy <= cell.height; ++dy)
      for (int dx = 0; dx + cx <= cell.width; ++dx)
        best = std::max(best, MatchRatio(cell.Crop(dx, dy, cx, cy), *icon, 16));
    if (best >= 0.9) slots.push_back(slot);
  }
  return slots;
}

bool WaitForTraySlotCount(const std::string& exe, size_t count, DWORD timeoutMs) {
  return WaitUntil([&] { return TraySlotsShowingIcon(exe).size() == count; }, timeoutMs, 250);
}

// ---- menus and tooltips ------------------------------------------------------------------------------

std::optional<std::vector<MenuEntry>> ExeMenuEntries(const std::string& exe, int menuId) {
  Module module(exe);
  if (!module.Get()) return std::nullopt;
  Menu menu(LoadMenuA(module.Get(), MAKEINTRESOURCEA(menuId)));
  HMENU popup = menu.Get() ? GetSubMenu(menu.Get(), 0) : nullptr;
  if (!popup) return std::nullopt;
  std::vector<MenuEntry> entries;
  const int count = GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    char text[128] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info)) return std::nullopt;
    text[sizeof text - 1] = '\0';
    entries.push_back(MenuEntry{(info.fType & MFT_SEPARATOR) != 0, info.wID, text});
  }
  return entries;
}

HWND FindVisiblePopupMenu(DWORD pid) { return FindVisibleOfClass(pid, "#32768"); }

HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs) {
  HWND menu = nullptr;
  WaitUntil([&] { return (menu = FindVisiblePopupMenu(pid)) != nullptr; }, timeoutMs);
  return menu;
}

std::optional<MenuPicture> RenderExeMenu(const std::string& exe, int menuId, POINT at, bool defaultFirst) {
  Module module(exe);
  if (!module.Get()) return std::nullopt;
  Menu menu(LoadMenuA(module.Get(), MAKEINTRESOURCEA(menuId)));
  HMENU popup = menu.Get() ? GetSubMenu(menu.Get(), 0) : nullptr;
  if (!popup) return std::nullopt;
  if (defaultFirst) SetMenuDefaultItem(popup, 0, TRUE);
  Window owner(
      CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  if (!owner.Get()) return std::nullopt;

  // The menu runs its own modal loop on this thread; a helper thread looks at it and ends it.
  MenuPicture picture;
  std::atomic<bool> seen{false};
  const Image screen = CaptureScreen();
  std::thread watcher([&] {
    HWND window = WaitForPopupMenu(GetCurrentProcessId(), 5000);
    if (!window) return;
    picture.window = WindowRectOf(window);
    picture.image = CaptureSettled(picture.window, screen.Crop(picture.window));
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
      RECT item{};
      GetMenuItemRect(nullptr, popup, static_cast<UINT>(i), &item);
      picture.items.push_back(Offset(item, -picture.window.left, -picture.window.top));
    }
    seen = true;
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner.Get(), nullptr);
  watcher.join();
  // Gone from the screen again, so that nothing pictured there next is taken for it.
  if (!seen || picture.image.Empty() || CaptureSettled(picture.window, picture.image).Empty()) return std::nullopt;
  return picture;
}

HWND FindVisibleTooltip(DWORD pid) { return FindVisibleOfClass(pid, "tooltips_class32"); }

HWND WaitForVisibleTooltip(DWORD pid, DWORD timeoutMs) {
  HWND tip = nullptr;
  WaitUntil([&] { return (tip = FindVisibleTooltip(pid)) != nullptr; }, timeoutMs);
  return tip;
}

NoBrowserRegistered::NoBrowserRegistered() {
  for (const char* key : {"http\\shell\\open\\command", "https\\shell\\open\\command", "mailto\\shell\\open\\command",
                          "htmlfile\\shell\\open\\command"}) {
    Saved saved{key, ReadRegString(key, "", HKEY_CLASSES_ROOT)};
    if (saved.value && !DeleteRegKey(key, HKEY_CLASSES_ROOT)) m_ok = false;
    m_saved.push_back(std::move(saved));
  }
}

NoBrowserRegistered::~NoBrowserRegistered() {
  for (const Saved& saved : m_saved)
    if (saved.value) WriteRegString(saved.key, "", *saved.value, HKEY_CLASSES_ROOT);
}

// ---- fixture -----------------------------------------------------------------------------------------

void ProgramTest::SetUp() {
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) ReleaseLeft();
  ResetProgramState();
  ParkMouse();
}

void ProgramTest::TearDown() {
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) ReleaseLeft();
  m_app.process.Terminate();
  TerminateProcessesNamed("Mnemora.exe");
  ParkMouse();
}

void ProgramTest::Start(const std::string& arguments, const std::string& exe) {
  std::string error;
  m_app = StartProgram(exe, arguments, &error);
  ASSERT_NE(m_app.dialog, nullptr) << error;
}

void ProgramTest::Shot(const RECT& r, const std::string& name) {
  CaptureSettled(r);
  EXPECT_FALSE(SaveScreenRect(r, name).empty()) << "could not save " << name;
}

}  // namespace e2e
