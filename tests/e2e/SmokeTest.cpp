#include "E2EDriver.h"
#include "UiSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Smoke, Start_NoArguments_ShowsMainWindowAndExitsOnClose) {
  const std::string exe = e2e::PathFromEnv("MNEMORA_EXE");
  ASSERT_FALSE(exe.empty()) << "MNEMORA_EXE is not set";

  std::string error;
  e2e::ChildProcess app = e2e::ChildProcess::Launch(exe, {}, &error);
  ASSERT_TRUE(app) << error;

  HWND main = e2e::WaitForTopLevelWindow(app.Pid(), "Mnemora", 20000);
  ASSERT_NE(main, nullptr) << "no window titled \"Mnemora\" within 20 s";
  EXPECT_TRUE(e2e::WaitForVisibility(main, true, 5000));
  e2e::CaptureSettled(e2e::WindowRectOf(main));
  e2e::SaveWindowShot(main, "smoke-main.bmp");

  ASSERT_TRUE(e2e::Post(main, WM_CLOSE));
  DWORD exitCode = 0;
  EXPECT_TRUE(app.WaitForExit(10000, &exitCode)) << "still running 10 s after WM_CLOSE";
}

}  // namespace
