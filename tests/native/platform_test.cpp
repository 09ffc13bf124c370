// The native platform's own bookkeeping: what a surface holds of its objects through every
// operation (one DC, one bitmap and one pen at most, none left behind whatever fails on the way),
// which window system a program gets, the refusal of a display that cannot be used, and input
// that comes while the program draws.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
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

// Input from a scripted window system: what waits now, and a burst that arrives during the first
// present once all of that was taken. It wants changes, and shows only the changed rectangles.
std::deque<user::BackendEvent> g_waiting, g_burst;
int g_presents = 0;
std::vector<std::uint8_t> g_shown;  // the window as shown: each present copies its changed rectangle
int g_scriptWindow;  // the scripted window's handle

bool Take(user::BackendEvent* event) {
  if (g_waiting.empty()) return false;
  *event = g_waiting.front();
  g_waiting.pop_front();
  return true;
}
const user::Backend kScripted{
    "scripted", [] { return static_cast<const char*>(nullptr); },
    [](const char*, int, int) { return static_cast<void*>(&g_scriptWindow); }, [](void*) {},
    [](void*) {},
    [](void*, const std::uint8_t* pixels, int width, int height, const RECT& changed) {
      ++g_presents;
      g_shown.resize(4 * static_cast<std::size_t>(width * height));
      for (LONG y = changed.top; y < changed.bottom; ++y) {  // rows lie bottom-up
        const auto at = 4 * static_cast<std::size_t>((height - 1 - y) * width + changed.left);
        std::memcpy(&g_shown[at], pixels + at, 4 * static_cast<std::size_t>(changed.right - changed.left));
      }
      if (g_waiting.empty()) g_waiting.swap(g_burst);
    },
    true, Take, Take};

// A drag whose moves come faster than its frames: the moves that came during one frame are drawn
// as one frame, of the picture that drawing each would have left. A move after the release that
// follows them does not join them (the ball would follow it).
TEST(MessageQueue, ABurstOfMovesDuringAFrameGivesOneFrameAndTheSamePicture) {
  ASSERT_TRUE(RegisterAppClass(nullptr));
  user::UseBackend(kScripted);
  BuildScene(g_balls);
  CreateSurface(g_surface);
  using enum user::BackendEvent::Kind;
  const auto input = [](user::BackendEvent::Kind kind, int step) {
    return user::BackendEvent{.kind = kind, .window = &g_scriptWindow, .x = 250 + step, .y = 200 + step};
  };
  g_waiting = {input(kLeftDown, 0), input(kMouseMove, 1)};
  for (int step = 2; step <= 20; ++step) g_burst.push_back(input(kMouseMove, step));
  g_burst.insert(g_burst.end(), {input(kLeftUp, 20), input(kMouseMove, 90)});
  ShowWindow(CreateAppWindow(nullptr), SW_SHOW);
  for (MSG msg{}; GetMessageA(&msg, nullptr, 0, 0);) DispatchMessageA(&msg);
  EXPECT_EQ(g_presents, 1 + 2);  // a repaint, then a frame for the first move and one for the rest
  const Ball* moved = g_balls.Head()->next->next->item;
  EXPECT_EQ(moved->centerX, 50 + 20);
  EXPECT_EQ(moved->centerY, 0 - 20);
  Surface expected;  // the frame of the scene the drag left
  CreateSurface(expected);
  g_balls.DrawContour(kFrameCells, kFrameSize, kFrameSize, kFrameThreshold, &expected);
  EXPECT_EQ(std::memcmp(expected.pixels, g_surface.pixels, 4 * kFrameSize * kFrameSize), 0);
  ASSERT_EQ(g_shown.size(), 4u * kFrameSize * kFrameSize);  // the client area is the frame
  EXPECT_EQ(std::memcmp(expected.pixels, g_shown.data(), g_shown.size()), 0);
  user::UseBackend(user::HeadlessBackend());
}

}  // namespace
