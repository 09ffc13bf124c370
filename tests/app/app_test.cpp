// The window procedure driven message by message: the drag state table, key and close handling,
// painting. Runs on the headless backend natively and on the real user32 under Wine.
#include <gtest/gtest.h>

#include "app/app.h"
#include "contour/contour_trace.h"

namespace {

constexpr WPARAM kKeyQ = 0x51;
constexpr COLORREF kMarker = 0x000000FF;

LPARAM Client(int x, int y) {
  return static_cast<LPARAM>((static_cast<DWORD>(x) & 0xFFFF) | ((static_cast<DWORD>(y) & 0xFFFF) << 16));
}

class App : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = AppWindowProc;
      windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      windowClass.lpszClassName = "BMP";
      return RegisterClassA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
    window_ = CreateWindowExA(0, "BMP", "Zantrel -Sample-", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              CW_USEDEFAULT, CW_USEDEFAULT, 406, 425, nullptr, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(window_, nullptr);
    g_balls.Clear();
    BuildScene(g_balls);
    CreateSurface(g_surface);
    g_picked = nullptr;
    g_dragging = false;
    g_lastX = g_lastY = 0;
    DrawFrame(window_);
  }
  void TearDown() override {
    if (!window_) return;
    // Destruction posts the quit message (WM_DESTROY); take it so the next test starts clean.
    DestroyWindow(window_);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return AppWindowProc(window_, message, wParam, lParam);
  }
  // A red pixel in the surface: a new frame clears it, Present leaves it.
  void Mark() { SetPixel(g_surface.dc, 0, 0, kMarker); }
  bool FrameDrawn() { return GetPixel(g_surface.dc, 0, 0) != kMarker; }
  Ball* BallAt(int index) {
    const ListNode<Ball>* node = g_balls.Head();
    for (int i = 0; i <= index; ++i) node = node->next;
    return node->item;
  }

  HWND window_ = nullptr;
};

TEST_F(App, PressOnNoBallRecordsThePointButNeverDrags) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(5, 7));
  EXPECT_FALSE(g_dragging);
  EXPECT_EQ(g_lastX, 5);
  EXPECT_EQ(g_lastY, 7);
  Mark();
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(40, 40));
  EXPECT_FALSE(FrameDrawn());
}

TEST_F(App, DragMovesThePickedBallWithFieldYUpAndDrawsOneFrame) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(150, 200));  // the first ball's centre (-50, 0)
  ASSERT_TRUE(g_dragging);
  ASSERT_EQ(g_picked, BallAt(0));
  Mark();
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(160, 205));
  EXPECT_EQ(BallAt(0)->centerX, -40);
  EXPECT_EQ(BallAt(0)->centerY, -5);
  EXPECT_TRUE(FrameDrawn());
  // The same position again is no step: nothing is drawn.
  Mark();
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(160, 205));
  EXPECT_FALSE(FrameDrawn());
  // Without the button held the drag goes on until a button-up reaches the window.
  Send(WM_MOUSEMOVE, 0, Client(170, 205));
  EXPECT_EQ(BallAt(0)->centerX, -30);
  Send(WM_LBUTTONUP, 0, Client(170, 205));
  EXPECT_FALSE(g_dragging);
  Mark();
  Send(WM_MOUSEMOVE, 0, Client(300, 300));
  EXPECT_FALSE(FrameDrawn());
  EXPECT_EQ(BallAt(0)->centerX, -30);
}

TEST_F(App, TheFrameIsTheContourOfTheMovedScene) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(250, 200));
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(230, 180));
  CountingField<BallField> field{g_balls, {}};
  RecordingCanvas canvas;
  TraceContour(field, kFrameCells, kFrameSize, kFrameSize, kFrameThreshold, canvas);
  ASSERT_FALSE(canvas.segments.empty());
  // Every traced line's end pixel is white in the frame, and the rest is black.
  int white = 0;
  for (int y = 0; y < kFrameSize; ++y) {
    for (int x = 0; x < kFrameSize; ++x) white += GetPixel(g_surface.dc, x, y) == 0x00FFFFFF;
  }
  for (const TracedSegment& s : canvas.segments) {
    EXPECT_EQ(GetPixel(g_surface.dc, s.x1, s.y1), 0x00FFFFFFu);
  }
  EXPECT_GE(white, static_cast<int>(canvas.segments.size()) / 2);
}

TEST_F(App, BallsLeaveTheVisibleAreaAndWrappedCoordinatesAreUnsigned) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(150, 200));
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(399, 0));
  EXPECT_EQ(BallAt(0)->centerX, 199);
  EXPECT_EQ(BallAt(0)->centerY, 200);
  // A pointer left of the window arrives as a 16-bit client x read without sign: -5 is 65531.
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(-5, 0));
  EXPECT_EQ(BallAt(0)->centerX, 199 + 65531 - 399);
  EXPECT_EQ(g_lastX, 65531);
}

TEST_F(App, PaintShowsTheLastFrameWithoutRecomputing) {
  Mark();
  Send(WM_PAINT, 0, 0);
  EXPECT_FALSE(FrameDrawn());
  // Other keys do nothing; the frame stays as it was.
  Send(WM_KEYDOWN, 'W', 0);
  Send(WM_KEYDOWN, 0x1B, 0);  // Escape
  EXPECT_FALSE(FrameDrawn());
}

TEST_F(App, QuitsWithCodeZeroOnQEvenDuringADrag) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(150, 200));
  ASSERT_TRUE(g_dragging);
  Send(WM_KEYDOWN, kKeyQ, 0);
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(App, ClosingTheWindowDestroysItAndQuitsWithCodeZero) {
  SendMessageA(window_, WM_CLOSE, 0, 0);
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 0u);
  window_ = nullptr;  // already destroyed
}

}  // namespace
