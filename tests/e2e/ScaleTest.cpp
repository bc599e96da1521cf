// The main window at the prefix's display resolution: the program runs DPI aware as its manifest
// asks, and what it paints grows with the DPI. scripts/test.sh runs this in the e2e prefix (96 DPI)
// and in a prefix of its own at 144 DPI (MNEMORA_E2E_DPI=144).

// The DPI functions of Windows 10, which Wine has: this test runs only there.
#undef WINVER
#define WINVER 0x0A00
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "E2EDriver.h"
#include "UiSupport.h"

namespace {

using namespace e2e;

const COLORREF kBand = RGB(222, 223, 222);
const COLORREF kBlack = RGB(0, 0, 0);

// The panel's outline at 96 DPI, (7, 7) to (515, 319) in a client area of 524 x 395.
constexpr double kPanelWidthShare = 509.0 / 524.0;
constexpr double kPanelHeightShare = 313.0 / 395.0;

UINT PrefixDpi() {
  const std::string dpi = GetEnv("MNEMORA_E2E_DPI");
  return dpi.empty() ? 96 : static_cast<UINT>(std::atoi(dpi.c_str()));
}

int Scale(int n, UINT dpi) { return MulDiv(n, static_cast<int>(dpi), 96); }

// A setting of the executable's manifest as the loader reads it.
std::wstring ManifestSetting(const std::string& exe, const wchar_t* nameSpace, const wchar_t* name) {
  const std::wstring path(exe.begin(), exe.end());
  ACTCTXW ctx = {};
  ctx.cbSize = sizeof ctx;
  ctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  ctx.lpSource = path.c_str();
  ctx.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE actCtx = CreateActCtxW(&ctx);
  if (actCtx == INVALID_HANDLE_VALUE) return L"(no manifest)";
  wchar_t value[128] = {};
  const bool found = QueryActCtxSettingsW(0, actCtx, nameSpace, name, value, 127, nullptr);
  ReleaseActCtx(actCtx);
  value[127] = L'\0';
  return found ? value : L"(not set)";
}

class ScaleTest : public ProgramTest {};

TEST_F(ScaleTest, MainWindow_AtPrefixDpi_AwareWithPanelShareOf96AndCaptionButtonsGrown) {
  const UINT dpi = PrefixDpi();
  EXPECT_EQ(ManifestSetting(ShippedExe(), L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2, System");
  EXPECT_EQ(ManifestSetting(ShippedExe(), L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true");

  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitUntilOnScreen(m_app.dialog));
  ASSERT_TRUE(BringToFront(m_app.dialog));
  const RECT w = WindowRectOf(m_app.dialog);
  Shot(w, "scale-" + std::to_string(dpi) + ".bmp");

  // Wine reports every process as per-monitor aware (2); the DPI is the prefix's.
  EXPECT_EQ(GetDpiForWindow(m_app.dialog), dpi);
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(m_app.dialog)),
            DPI_AWARENESS_PER_MONITOR_AWARE);

  RECT client = {};
  GetClientRect(m_app.dialog, &client);
  POINT origin = {0, 0};
  ClientToScreen(m_app.dialog, &origin);
  const Image area = CaptureScreen(Offset(client, origin.x, origin.y));
  ASSERT_FALSE(area.Empty());
  // The outline is the only black there is left of the labels and below the check boxes.
  int left = -1, right = -1, top = -1, bottom = -1;
  for (int x = 0; x < area.width; ++x) {
    if (area.At(x, area.height / 2) != kBlack) continue;
    if (left < 0) left = x;
    right = x;
  }
  ASSERT_GE(left, 0) << "no panel outline across the middle";
  for (int y = 0; y < area.height; ++y) {
    if (area.At(left + 4, y) != kBlack) continue;
    if (top < 0) top = y;
    bottom = y;
  }
  const double widthShare = (right - left + 1) / static_cast<double>(area.width);
  const double heightShare = (bottom - top + 1) / static_cast<double>(area.height);
  std::printf("at %u DPI the panel (%d, %d)-(%d, %d) covers %.3f x %.3f of the client area %d x %d\n", dpi, left, top,
              right, bottom, widthShare, heightShare, area.width, area.height);
  EXPECT_NEAR(widthShare, kPanelWidthShare, 0.01);
  EXPECT_NEAR(heightShare, kPanelHeightShare, 0.01);

  // The Close button where the frame metrics of the DPI put it, as wide as the DPI makes it: a
  // run of button pixels across its middle between band-coloured gaps. The click below shows it
  // grew in height too.
  const int R = (w.right - w.left) - GetSystemMetricsForDpi(SM_CXFRAME, dpi);
  const int T = 2 * GetSystemMetricsForDpi(SM_CYFRAME, dpi) - Scale(4, dpi);
  const RECT close = {w.left + R - Scale(22, dpi), w.top + T, w.left + R - Scale(22, dpi) + Scale(17, dpi),
                      w.top + T + Scale(16, dpi)};
  const Image row = CaptureScreen(
      RECT{close.left - 3, (close.top + close.bottom) / 2, close.right + 2, (close.top + close.bottom) / 2 + 1});
  int first = -1, last = -1;
  for (int x = 0; x < row.width; ++x) {
    if (row.At(x, 0) == kBand) continue;
    if (first < 0) first = x;
    last = x;
  }
  EXPECT_NEAR(last - first + 1, Scale(17, dpi), 1) << "Close button's width";

  // A spot only a grown button covers: the click reaches its hit rectangle.
  ASSERT_TRUE(Click(close.left + 2, close.bottom - 2));
  EXPECT_TRUE(m_app.process.WaitForExit(10000)) << "a click inside the Close button did not end the program";
}

}  // namespace
