// The native platform's own bookkeeping: what a surface holds of its objects through every
// operation (one DC, one bitmap and one pen at most, none left behind whatever fails on the way),
// which window system a program gets, and the refusal of a display that cannot be used.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/native/gdi/objects.h"
#include "platform/native/user/backend.h"
#include "surface/surface.h"
#include "tests/support/bmp_file.h"

namespace {

namespace user = zantrel::user;
using zantrel::gdi::Kind;
using zantrel::gdi::LiveCount;

// A window of a class registered on first use.
HWND NewWindow() {
  [[maybe_unused]] static const ATOM kClass = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "Native";
    return RegisterClassA(&windowClass);
  }();
  return CreateWindowExA(0, "Native", "", 0, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
}

TEST(SurfaceObjects, EveryOperationGivesBackWhatItReplaces) {
  HWND window = NewWindow();
  const std::string file = zantrel::test::TempBmpFile(zantrel::test::AssembleBmp(
      {.width = 2, .height = 2, .bitsPerPixel = 24, .pixels = {0, 0, 0, 0x10, 0x28, 0xF0, 0, 0}}));
  Surface other;
  ASSERT_TRUE(other.Create(4, 4, 24));
  // Device contexts, bitmaps and pens alive beyond those at the start, and brushes at all.
  const auto held = [start = std::array{LiveCount(Kind::kDc), LiveCount(Kind::kBitmap),
                                        LiveCount(Kind::kPen), LiveCount(Kind::kBrush)}] {
    return std::array{LiveCount(Kind::kDc) - start[0], LiveCount(Kind::kBitmap) - start[1],
                      LiveCount(Kind::kPen) - start[2], LiveCount(Kind::kBrush) - start[3]};
  };
  {
    Surface s;
    s.SetPenColor(0x01);
    s.SetPenColor(0x02);  // no device context: the replaced pen is freed all the same
    EXPECT_EQ(held(), (std::array{0, 0, 1, 0}));
    ASSERT_TRUE(s.Create(4, 3, 32));
    s.SetPenColor(0x00FFFFFF);  // frees the pen made before the device context
    s.SetPenColor(0x00FFFFFF);  // and the one it selected
    s.Clear(0x00FFFFFF);
    s.Present(window, 5, 2);
    EXPECT_EQ(held(), (std::array{1, 1, 1, 0}));
    HDC screen = GetDC(window);  // the picture at client (5, 2): its corners in, beyond them out
    for (auto [x, y, in] : {std::tuple{5, 2, 1u}, {8, 4, 1u}, {4, 2, 0u}, {5, 1, 0u}, {9, 4, 0u},
                            {8, 5, 0u}}) {
      EXPECT_EQ(GetPixel(screen, x, y), in * 0x00FFFFFF) << x << "," << y;
    }
    ReleaseDC(window, screen);
    s.LoadBitmapFile(file.c_str());  // over a created picture, then over a loaded one
    s.LoadBitmapFile(file.c_str());
    EXPECT_EQ(held(), (std::array{1, 1, 1, 0}));
    EXPECT_EQ(GetPixel(s.dc, 1, 1), 0x001028F0u);  // the file's ink, read through the new DC
    s.LoadBitmapFile((file + ".missing").c_str());  // the old picture is gone, nothing new
    EXPECT_EQ(held(), (std::array{0, 0, 1, 0}));
    ASSERT_TRUE(s.Create(8, 6, 32));
    EXPECT_FALSE(s.Create(32768, 16384, 32));  // 2 GiB of pixels: refused by the platform
    EXPECT_EQ(held(), (std::array{0, 0, 1, 0}));
    // An empty surface draws and copies nothing, and nothing is copied from it.
    s.Clear(0x00FFFFFF);
    s.DrawLine(-5, -5, 20, 20);
    s.Blit(other, 0, 0);
    s.BlitMasked(other, other, 0, 0);
    s.Present(window, 0, 0);
    other.Blit(s, 0, 0);
    other.BlitMasked(s, s, 1, 1);
    EXPECT_EQ(GetPixel(other.dc, 0, 0), 0u);
    EXPECT_EQ(held(), (std::array{0, 0, 1, 0}));
  }
  EXPECT_EQ(held(), (std::array{0, 0, 0, 0}));
  std::filesystem::remove(file);
  EXPECT_TRUE(DestroyWindow(window));
}

TEST(BackendChoice, OnlyTheWindowShowingBackendIsTheDefaultAndOthersMustBeNamed) {
  const char* shown = user::WindowSystemBackend().name;  // sdl2, or web in a browser
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, shown},       {"", shown},           {shown, shown}, {"headless", "headless"},
      {"Headless", "unknown"}, {"headless ", "unknown"}, {"x11", "unknown"}};
  for (auto [asked, name] : cases) {
    asked ? setenv("ZANTREL_BACKEND", asked, 1) : unsetenv("ZANTREL_BACKEND");
    EXPECT_STREQ(user::ChosenBackend().name, name) << (asked ? asked : "unset");
  }
}

TEST(WindowSystem, AnUnusableDisplayFailsCreationSayingWhyOnce) {
  EXPECT_TRUE(DestroyWindow(NewWindow()));  // made and gone: no reason to wait for it
  setenv("ZANTREL_BACKEND", "x11", 1);
  user::UseBackend(user::ChosenBackend());
  unsetenv("ZANTREL_BACKEND");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(NewWindow(), nullptr);
  EXPECT_EQ(NewWindow(), nullptr);  // trying again does not repeat the reason
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "zantrel: ZANTREL_BACKEND=x11 names no window system (known: " +
                std::string(user::WindowSystemBackend().name) + ", headless).\n");
  MSG msg{};
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));  // no window: the loop ends at once
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  user::UseBackend(user::HeadlessBackend());  // the other tests' backend, whatever their order
}

}  // namespace
