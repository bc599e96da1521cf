// Takes the README's pictures from the real program: the main window as it looks on a first
// start, the tray menu opened on the notification-area icon, and the About box. Run by
// scripts/screenshots.sh in a fresh Wine prefix with a virtual desktop; writes main-window.bmp,
// tray-menu.bmp and about.bmp into MNEMORA_E2E_OUT. Exit code 0 when all three were taken.
// "MnemoraShots main NAME.bmp" takes the main window only, as NAME.bmp.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "E2EDriver.h"
#include "MainDialogSupport.h"
#include "UiSupport.h"

namespace {

using namespace e2e;

constexpr WPARAM kShowWindow = 32771;
constexpr WPARAM kAbout = 1033;
// Room around the tray menu and the icon, and a stretch of the taskbar to their left, so the
// picture shows where the menu comes from (Wine keeps the menu on the screen by laying it over
// the icon).
constexpr int kTrayMargin = 12;
constexpr int kTaskbarStretch = 150;

int Fail(const char* what) {
  std::fprintf(stderr, "MnemoraShots: %s\n", what);
  return 1;
}

bool Save(const RECT& r, const char* name) {
  const std::string path = SaveScreenRect(r, name);
  if (path.empty()) return false;
  std::printf("%s\n", path.c_str());
  return true;
}

RECT Union(const RECT& a, const RECT& b) {
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

RECT Inflated(const RECT& r, int by) {
  return RECT{std::max(0L, r.left - by), std::max(0L, r.top - by),
              std::min<LONG>(GetSystemMetrics(SM_CXSCREEN), r.right + by),
              std::min<LONG>(GetSystemMetrics(SM_CYSCREEN), r.bottom + by)};
}

int TakeShots(const RunningProgram& app, const std::string& exe, const char* mainOnly) {
  if (!WaitUntilOnScreen(app.dialog) || !BringToFront(app.dialog)) return Fail("the main window did not show");
  ParkMouse();
  CaptureSettled(WindowRectOf(app.dialog));
  if (!Save(WindowRectOf(app.dialog), mainOnly ? mainOnly : "main-window.bmp"))
    return Fail("could not save the main window");
  if (mainOnly) return 0;

  // The tray menu as a user opens it: window hidden, a right click on the icon.
  if (!Post(app.dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0) || !WaitForVisibility(app.dialog, false, 5000))
    return Fail("the main window did not hide");
  if (!WaitForTraySlotCount(exe, 1, 10000)) return Fail("no tray icon");
  const auto slots = TraySlotsShowingIcon(exe);
  const auto slot = slots.empty() ? std::nullopt : TraySlotRect(slots[0]);
  if (!slot) return Fail("the tray icon's place is unknown");
  const POINT center = CenterOf(*slot);
  const Image screen = CaptureScreen();
  if (!Click(center.x, center.y, MouseButton::Right)) return Fail("could not right-click the tray icon");
  HWND menu = WaitForPopupMenu(app.Pid(), 5000);
  if (!menu) return Fail("no tray menu");
  CaptureSettled(WindowRectOf(menu), screen.Crop(WindowRectOf(menu)));
  RECT area = Inflated(Union(WindowRectOf(menu), *slot), kTrayMargin);
  area.left = std::max(0L, area.left - kTaskbarStretch);
  CaptureSettled(area);  // the taskbar beneath too
  const bool menuSaved = Save(area, "tray-menu.bmp");
  Post(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  WaitUntil([&] { return FindVisiblePopupMenu(app.Pid()) == nullptr; }, 5000);
  if (!menuSaved) return Fail("could not save the tray menu");

  if (!Post(app.dialog, WM_COMMAND, kShowWindow, 0) || !WaitForVisibility(app.dialog, true, 5000))
    return Fail("the main window did not come back");
  if (!Post(app.dialog, WM_COMMAND, kAbout, 0)) return Fail("could not ask for About");
  HWND about = WaitForTopLevelWindow(app.Pid(), "About Mnemora.Net", 5000, "#32770");
  if (!about || !WaitForVisibility(about, true, 5000) || !BringToFront(about)) return Fail("no About box");
  ParkMouse();
  CaptureSettled(WindowRectOf(about));
  const bool aboutSaved = Save(WindowRectOf(about), "about.bmp");
  Post(about, WM_COMMAND, IDOK, 0);
  WaitUntil([&] { return !IsWindow(about); }, 5000);
  return aboutSaved ? 0 : Fail("could not save the About box");
}

}  // namespace

int main(int argc, char** argv) {
  const char* mainOnly = argc == 3 && std::string(argv[1]) == "main" ? argv[2] : nullptr;
  const std::string exe = ShippedExe();
  if (exe.empty()) return Fail("MNEMORA_EXE is not set");
  TerminateProcessesNamed("Mnemora.exe");
  // The first-start look, with the default options; the automatic rule must stay quiet.
  if (!maindlg::ShippedProgramIsSafeToStart()) return Fail("too little free memory: the program would start a pass");
  maindlg::ResetSettings();

  std::string error;
  RunningProgram app = StartProgram(exe, {}, &error);
  if (!app.dialog) return Fail(("the program did not start: " + error).c_str());
  const int result = TakeShots(app, exe, mainOnly);
  Post(app.dialog, WM_CLOSE);
  if (!app.process.WaitForExit(10000)) app.process.Terminate();
  return result;
}
