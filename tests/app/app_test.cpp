// The window procedure driven by sequences of messages: presses pick, moves drag, Q or the
// window's end quit, painting shows the last frame. Headless natively, the real user32 under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

struct Message {
  UINT id;
  WPARAM wParam;
  LPARAM lParam = 0;
};
Message Down(int x, int y) { return {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WORD(x), WORD(y))}; }
Message Move(int x, int y) { return {WM_MOUSEMOVE, 0, MAKELPARAM(WORD(x), WORD(y))}; }
Message Key(WPARAM key) { return {WM_KEYDOWN, key}; }
constexpr Message kUp{WM_LBUTTONUP, 0}, kPaint{WM_PAINT, 0}, kDestroy{WM_DESTROY, 0},
    kClose{WM_CLOSE, 0};

enum class Frame { kKept, kPresented, kRedrawn };  // what the last message did to the picture
constexpr int kNone = -1;
constexpr COLORREF kMarker = 0x000000FF;

// The exit code of the quit message ending the queue; what comes before it is dispatched.
WPARAM DrainToQuit() {
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  return msg.wParam;
}

TEST(App, StartsUpThenMessageSequencesPickDragRedrawAndQuit) {
  static char commandLine[] = "";
  PostQuitMessage(0);  // WinMain opens the window, draws the first frame, then meets the quit
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT), 0);
  ASSERT_FALSE(g_balls.Head()->isTail);
  EXPECT_TRUE(std::any_of(g_surface.pixels, g_surface.pixels + 4 * kFrameSize * kFrameSize,
                          [](std::uint8_t channel) { return channel != 0; }));
  const struct {
    std::vector<Message> messages;
    int picked;  // index of the picked ball
    bool dragging;
    int moved = kNone, centerX = 0, centerY = 0;  // the ball moved and its new centre
    Frame last = Frame::kKept;
    WPARAM quit = 7;  // the exit code posted last; 7 is posted before the messages
  } cases[] = {
      // Client (200, 200) is field (0, 0), y up. Inside ball 1 too: the square's metric 0 wins.
      {{Down(200, 170)}, 2, true},
      {{Down(251, 170)}, 2, true},  // |51 / 2| = 25 across the square's wide axis
      {{Down(250, 200), Down(20, 20)}, kNone, false},
      {{Down(250, 200), Move(250, 200)}, 1, true},  // no step, no frame
      {{Down(250, 200), Move(260, 195)}, 1, true, 1, 60, 5, Frame::kRedrawn},
      {{Down(250, 200), Move(250, 201)}, 1, true, 1, 50, -1, Frame::kRedrawn},
      {{Down(250, 200), Move(260, 190), Move(270, 170)}, 1, true, 1, 70, 30, Frame::kRedrawn},
      {{Down(250, 200), Move(250, -1)}, 1, true, 1, 50, 200 - 65535, Frame::kRedrawn},  // words
      {{Down(250, 200), Move(-1, 200)}, 1, true, 1, 65535 - 200, 0, Frame::kRedrawn},   // unsigned
      {{Down(250, 200), kUp, Move(300, 300)}, 1, false},
      {{Down(150, 200), Key('Q')}, 0, true, kNone, 0, 0, Frame::kKept, 0},  // even in a drag
      {{Key('W')}, kNone, false},
      {{Key(0x1B)}, kNone, false},  // Escape
      {{kPaint}, kNone, false, kNone, 0, 0, Frame::kPresented},
      {{kDestroy}, kNone, false, kNone, 0, 0, Frame::kKept, 0},
      {{kClose}, kNone, false, kNone, 0, 0, Frame::kKept, 0},
  };
  constexpr int kStart[3][2] = {{-50, 0}, {50, 0}, {0, 30}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << &c - cases);
    g_balls.Clear();
    BuildScene(g_balls);
    CreateSurface(g_surface);
    g_picked = nullptr;
    g_dragging = false;
    HWND window = CreateAppWindow(nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    DrawFrame(window);
    PostQuitMessage(7);
    for (const Message& m : c.messages) {
      if (&m == &c.messages.back()) SetPixel(g_surface.dc, 0, 0, kMarker);  // a frame clears it
      AppWindowProc(window, m.id, m.wParam, m.lParam);
    }
    const Ball* balls[] = {g_balls.Head()->next->item, g_balls.Head()->next->next->item,
                           g_balls.Head()->next->next->next->item};
    EXPECT_EQ(g_picked, c.picked == kNone ? nullptr : balls[c.picked]);
    EXPECT_EQ(g_dragging, c.dragging);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(balls[i]->centerX, i == c.moved ? c.centerX : kStart[i][0]) << "ball " << i;
      EXPECT_EQ(balls[i]->centerY, i == c.moved ? c.centerY : kStart[i][1]) << "ball " << i;
    }
    HDC screen = GetDC(window);
    EXPECT_EQ(GetPixel(screen, 0, 0) == GetPixel(g_surface.dc, 0, 0), c.last != Frame::kKept);
    ReleaseDC(window, screen);
    EXPECT_EQ(GetPixel(g_surface.dc, 0, 0) == kMarker, c.last != Frame::kRedrawn);
    EXPECT_EQ(DrainToQuit(), c.quit);
    if (DestroyWindow(window)) DrainToQuit();  // its WM_DESTROY posts another quit
  }
  // With the class registered already, WinMain gives up at once: no scene, no frame.
  g_balls.Clear();
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT), 0);
  EXPECT_TRUE(g_balls.Head()->isTail);
  EXPECT_EQ(GetPixel(g_surface.dc, 0, 0), kMarker);
}

}  // namespace
