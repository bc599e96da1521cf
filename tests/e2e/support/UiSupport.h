#pragma once

// What the tray, frame, appearance and About tests share on top of E2EDriver: a running
// program with a known state, screen and resource pictures to compare, the tray slots, the
// program's popup menu and tooltips.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "E2EDriver.h"

namespace e2e {

constexpr UINT kWmTrayNotify = WM_USER + 106;
constexpr WPARAM kTrayIconId = 161;
constexpr int kTrayMenuId = 161;
constexpr int kAppIconId = 128;

// ---- pictures -------------------------------------------------------------------------------

struct Image {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // row by row from the top

  bool Empty() const { return pixels.empty(); }
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  Image Crop(int x, int y, int w, int h) const;
  Image Crop(const RECT& r) const { return Crop(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  int Count(COLORREF color) const;
  // Pixels that are none of the given colours.
  int CountOther(std::initializer_list<COLORREF> colors) const;
};

Image CaptureScreen(const RECT& screenRect);
Image CaptureScreen();  // all of it, so that any window's rectangle can be cropped from it
// The screen rectangle once what is painted there has come to rest: it differs from before (a
// picture of the same rectangle, or empty) and has stayed the same for a while. Under Wine a
// program's painting reaches the screen only when its thread next finds its queue empty, so
// after the reply to a sent message (SyncWithThreadOf), and a thread kept busy shows it in pieces.
// Empty when that does not happen within timeoutMs.
Image CaptureSettled(const RECT& screenRect, const Image& before = {}, DWORD timeoutMs = 5000);
// Share of equal pixels (each channel within tolerance); 0 when the sizes differ.
double MatchRatio(const Image& a, const Image& b, int tolerance = 0);
bool SameColor(COLORREF a, COLORREF b, int tolerance = 0);
std::string ColorText(COLORREF color);
bool WaitForScreenPixel(int x, int y, COLORREF color, DWORD timeoutMs);
bool WaitForScreenMatch(const RECT& screenRect, const Image& expected, double minRatio, DWORD timeoutMs);

// A bitmap resource of the executable, read without running it.
std::optional<Image> LoadExeBitmap(const std::string& exe, int id);
// The executable's icon, loaded at one size and drawn at another over a background colour.
std::optional<Image> RenderExeIcon(const std::string& exe, int id, SIZE load, SIZE draw, COLORREF background);
// Loaded and drawn at small-icon size, as the notification area shows it.
std::optional<Image> RenderExeSmallIcon(const std::string& exe, int id, COLORREF background);

// ---- the program --------------------------------------------------------------------------------

std::string ShippedExe();
std::string CappedExe();

// Ends leftover copies and sets fresh settings in which automatic freeing cannot start a pass.
void ResetProgramState();

struct RunningProgram {
  ChildProcess process;
  HWND dialog = nullptr;
  DWORD Pid() const { return process.Pid(); }
};

// Starts exe, waits for the main dialog and its first figures. Empty dialog on failure.
RunningProgram StartProgram(const std::string& exe, const std::string& arguments, std::string* error);

// Brings the window to the top, has it repaint (frame included) and waits until it has.
bool BringToFront(HWND window);
// Waits until the dialog's white panel and frame are on the screen and the desktop has
// settled; a popup opened over a window that is still being mapped can end up beneath it.
bool WaitUntilOnScreen(HWND dialog);
// The pointer at a spot where it touches none of the program's windows.
void ParkMouse();

RECT WindowRectOf(HWND window);
// A control's client area in screen coordinates.
RECT ControlScreenRect(HWND dialog, int controlId);
POINT CenterOf(const RECT& r);
RECT Offset(const RECT& r, int dx, int dy);

// Painted caption buttons, where the dialog paints them: screen rectangles of 17 x 16.
enum class CaptionButton { Close, Minimize, Help };
RECT CaptionButtonRect(HWND dialog, CaptionButton button);

// Mouse button held down or released where the pointer is.
bool PressLeft();
bool ReleaseLeft();

// ---- tray ------------------------------------------------------------------------------------------

// The screen square of a slot in the notification area.
std::optional<RECT> TraySlotRect(int slot);
// Slots (0 = rightmost) whose picture is the icon; icons of programs that have gone away are
// swept out first by passing the pointer over every slot (the shell drops them on a mouse move).
std::vector<int> TraySlotsShowingIcon(const std::string& exe, int maxSlots = 6);
bool WaitForTraySlotCount(const std::string& exe, size_t count, DWORD timeoutMs);

// ---- menus and tooltips --------------------------------------------------------------------------

// The first pop-up of a menu resource of the executable, entry by entry.
struct MenuEntry {
  bool separator = false;
  UINT id = 0;
  std::string text;
};
std::optional<std::vector<MenuEntry>> ExeMenuEntries(const std::string& exe, int menuId);

HWND FindVisiblePopupMenu(DWORD pid);
HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs);

// A menu resource of the executable shown by this process at a screen point, pictured and
// measured, then closed. Item rectangles are relative to the menu window.
struct MenuPicture {
  Image image;
  RECT window{};
  std::vector<RECT> items;
};
std::optional<MenuPicture> RenderExeMenu(const std::string& exe, int menuId, POINT at, bool defaultFirst);

HWND FindVisibleTooltip(DWORD pid);
HWND WaitForVisibleTooltip(DWORD pid, DWORD timeoutMs);

// The shell's handlers for web pages and mail (http, https, mailto, htmlfile) are removed
// while this object lives and put back afterwards, so a link has nowhere to go.
class NoBrowserRegistered {
 public:
  NoBrowserRegistered();
  ~NoBrowserRegistered();
  NoBrowserRegistered(const NoBrowserRegistered&) = delete;
  NoBrowserRegistered& operator=(const NoBrowserRegistered&) = delete;
  bool Ok() const { return m_ok; }

 private:
  struct Saved {
    std::string key;
    std::optional<std::string> value;
  };
  std::vector<Saved> m_saved;
  bool m_ok = true;
};

// ---- fixture -------------------------------------------------------------------------------------

// Per test: no copy of the program left from before, fresh settings, pointer parked; at the
// end the program is ended and the pointer parked again.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the shipped program (or exe) and fails the test if its dialog does not come up.
  void Start(const std::string& arguments = {}, const std::string& exe = ShippedExe());
  // Saves a shot of the screen rectangle into the shot folder as name (BMP), once it has settled.
  void Shot(const RECT& r, const std::string& name);

  RunningProgram m_app;
};

}  // namespace e2e
