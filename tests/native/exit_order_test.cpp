// Globals that hold platform objects delete them at exit, after everything first made inside
// main has already been destroyed: the handle table must still answer then. Before it was kept
// alive, a global surface's destructor found no handle it could delete and leaked its device
// context, bitmap and pen (the valgrind suite shows the same on the app itself).
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include "surface/surface.h"

namespace {

// Destroyed at exit like g_surface; reports through the exit code whether its handles could
// still be deleted.
struct ExitDeleter {
  bool armed = false;
  HDC dc = nullptr;
  HPEN pen = nullptr;
  HBITMAP bitmap = nullptr;
  ~ExitDeleter() {
    if (!armed) return;
    const bool deleted = DeleteDC(dc) && DeleteObject(bitmap) && DeleteObject(pen);
    _exit(deleted ? 0 : 3);
  }
};

ExitDeleter g_exitDeleter;

// Makes a surface's objects inside main and hands them to the global, then exits normally.
[[noreturn]] void MakeAndExit() {
  Surface made;
  if (!made.Create(8, 8, 32)) _exit(2);
  made.SetPenColor(0x00FFFFFF);
  g_exitDeleter = {true, made.dc, made.pen, made.bitmap};
  made.dc = nullptr;
  made.pen = nullptr;
  made.bitmap = nullptr;
  std::exit(0);
}

TEST(ExitOrder, GlobalDestructorsCanStillDeleteHandles) {
  EXPECT_EXIT(MakeAndExit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
