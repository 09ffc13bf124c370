// Start-up when the window system makes no window: WinMain gives up at once, as it does when its
// class cannot be registered, for a message loop without a window would wait forever. Its own
// process, so that WinMain is the first to register the class.
#include <gtest/gtest.h>

#include "app/app.h"
#include "tests/app/refuse_windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

TEST(StartUp, WithoutAWindowWinMainReturnsZeroAtOnceHavingMadeNothing) {
  RefuseWindows();
  static char commandLine[] = "";
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT), 0);
  // It was the window that failed: the class is there, so a second registration fails.
  EXPECT_FALSE(RegisterAppClass(nullptr));
  // No scene, no surface, so nothing drawn; the globals are left as static initialisation made
  // them, for their destructors at exit.
  EXPECT_TRUE(g_balls.Head()->isTail);
  EXPECT_EQ(g_surface.dc, nullptr);
  EXPECT_EQ(g_surface.bitmap, nullptr);
}

}  // namespace
