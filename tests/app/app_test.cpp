// The window procedure driven by message sequences; headless natively, the real user32 under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "app/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

using Message = std::tuple<UINT, WPARAM, LPARAM>;
Message Down(int x, int y) { return {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WORD(x), WORD(y))}; }
Message Move(int x, int y) { return {WM_MOUSEMOVE, 0, MAKELPARAM(WORD(x), WORD(y))}; }

enum class Outcome { kNone, kPresented, kRedrawn, kQuit };  // what the messages did, if anything
constexpr COLORREF kMarker = 0x000000FF;

TEST(App, StartsUpThenMessageSequencesPickDragRedrawAndQuit) {
  static char commandLine[] = "--no-such-option stray";  // a launcher's arguments: ignored
  PostQuitMessage(0);  // WinMain opens its window, draws the first frame, then meets the quit
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT), 0);
  EXPECT_TRUE(std::any_of(g_surface.pixels, g_surface.pixels + 4 * kFrameSize * kFrameSize,
                          [](std::uint8_t channel) { return channel != 0; }));
  // What the messages leave: the ball picked (-1: none), dragging, what the messages did, and
  // ball 1's centre (the others stay). Client (200, 200) is field (0, 0), y up.
  using enum Outcome;
  struct Case {
    std::vector<Message> messages;
    int picked = -1;
    bool dragging = false;
    Outcome last = kNone;
    std::pair<int, int> ball1 = {50, 0};
  } const cases[] = {
      {.messages = {Down(251, 170)}, .picked = 2, .dragging = true},  // the square's |51 / 2| wins
      {.messages = {Down(250, 200), Down(20, 20)}},
      {.messages = {Down(250, 200), Move(250, 200)}, .picked = 1, .dragging = true},  // no frame
      {.messages = {Down(250, 200), Move(260, 190), Move(270, 170)}, .picked = 1,
       .dragging = true, .last = kRedrawn, .ball1 = {70, 30}},
      {.messages = {Down(250, 200), Move(250, -1)}, .picked = 1, .dragging = true,
       .last = kRedrawn, .ball1 = {50, 200 - 65535}},  // words
      {.messages = {Down(250, 200), Move(-1, 200)}, .picked = 1, .dragging = true,
       .last = kRedrawn, .ball1 = {65535 - 200, 0}},  // unsigned
      {.messages = {Down(250, 200), {WM_LBUTTONUP, 0, 0}, Move(300, 300)}, .picked = 1},
      {.messages = {Down(150, 200), {WM_KEYDOWN, 'Q', 0}}, .picked = 0, .dragging = true,
       .last = kQuit},  // even in a drag
      {.messages = {{WM_KEYDOWN, 'W', 0}, {WM_PAINT, 0, 0}}, .last = kPresented},
      {.messages = {{WM_CLOSE, 0, 0}}, .last = kQuit},  // destroys the window, so last
  };
  HWND window = CreateAppWindow(nullptr);
  ShowWindow(window, SW_SHOW);
  for (const auto& [messages, picked, dragging, last, ball1] : cases) {
    SCOPED_TRACE(::testing::PrintToString(messages));
    g_balls.Clear();
    BuildScene(g_balls);
    g_picked = nullptr;
    g_dragging = false;
    DrawFrame(window);
    SetPixel(g_surface.dc, 0, 0, kMarker);  // a frame clears it
    PostQuitMessage(7);  // replaced by a quit the messages post
    for (const auto& [id, wParam, lParam] : messages) AppWindowProc(window, id, wParam, lParam);
    const ListNode<Ball>* first = g_balls.Head()->next;
    const Ball* balls[] = {first->item, first->next->item, first->next->next->item};
    EXPECT_EQ(g_picked, picked < 0 ? nullptr : balls[picked]);
    EXPECT_EQ(g_dragging, dragging);
    std::vector<std::pair<int, int>> centres;
    for (const Ball* ball : balls) centres.emplace_back(ball->centerX, ball->centerY);
    EXPECT_EQ(centres, (decltype(centres){{-50, 0}, ball1, {0, 30}}));
    HDC screen = GetDC(window);
    const bool shown = GetPixel(screen, 0, 0) == GetPixel(g_surface.dc, 0, 0);
    ReleaseDC(window, screen);
    EXPECT_EQ(shown, last == kPresented || last == kRedrawn);
    EXPECT_EQ(GetPixel(g_surface.dc, 0, 0) == kMarker, last != kRedrawn);
    MSG msg{};  // dispatch what was posted up to the quit
    while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
    EXPECT_EQ(msg.wParam, last == kQuit ? 0u : 7u);
  }
  // With its class registered already, WinMain gives up at once: no scene.
  g_balls.Clear();
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT), 0);
  EXPECT_TRUE(g_balls.Head()->isTail);
}

}  // namespace
