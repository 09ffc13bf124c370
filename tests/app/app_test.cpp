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
    static const bool registered = RegisterAppClass(nullptr);
    ASSERT_TRUE(registered);
    window_ = CreateAppWindow(nullptr);
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

TEST_F(App, APressDuringADragPicksAgain) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(150, 200));
  ASSERT_EQ(g_picked, BallAt(0));
  // (200, 170) lies inside the second round ball too, but the square ball's metric 0 wins.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(200, 170));
  EXPECT_EQ(g_picked, BallAt(2));
  EXPECT_TRUE(g_dragging);
  // A press on no ball during a drag ends it; the point is still recorded.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(20, 20));
  EXPECT_EQ(g_picked, nullptr);
  EXPECT_FALSE(g_dragging);
  EXPECT_EQ(g_lastX, 20);
  EXPECT_EQ(g_lastY, 20);
  Mark();
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(150, 200));
  EXPECT_FALSE(FrameDrawn());
  const int startX[] = {-50, 50, 0};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(BallAt(i)->centerX, startX[i]) << "ball " << i;
  // The release keeps the last pick.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(250, 200));
  Send(WM_LBUTTONUP, 0, Client(250, 200));
  EXPECT_EQ(g_picked, BallAt(1));
  EXPECT_FALSE(g_dragging);
}

TEST_F(App, MovesAddTheUnsignedWordDisplacementWithFieldYUp) {
  struct Step {
    int x, y;              // client point of the move, as a capture could report it
    int centerX, centerY;  // the second ball's centre afterwards
  };
  // Pressed at the second ball's centre, client (250, 200); each row continues from the last.
  const Step steps[] = {
      {260, 195, 60, 5},                            // (+10, -5) client is (+10, +5) field
      {260, 195, 60, 5},                            // same point: no step
      {259, 196, 59, 4},                            // one pixel each way
      {259, -1, 59, 4 + 196 - 65535},               // above the window: y reads 65535
      {-1, -1, 59 + 65535 - 259, 4 + 196 - 65535},  // left of it: x reads 65535
      {0, 0, -200, 200},                            // and back to the corner
  };
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(250, 200));
  ASSERT_EQ(g_picked, BallAt(1));
  for (const Step& step : steps) {
    Send(WM_MOUSEMOVE, MK_LBUTTON, Client(step.x, step.y));
    EXPECT_EQ(BallAt(1)->centerX, step.centerX) << "move to " << step.x << "," << step.y;
    EXPECT_EQ(BallAt(1)->centerY, step.centerY) << "move to " << step.x << "," << step.y;
    EXPECT_EQ(g_lastX, step.x & 0xFFFF);
    EXPECT_EQ(g_lastY, step.y & 0xFFFF);
  }
  EXPECT_EQ(BallAt(0)->centerX, -50);
  EXPECT_EQ(BallAt(2)->centerY, 30);
}

// Counts the WM_PAINTs that reach the application's window procedure.
int g_paints = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++g_paints;
  return AppWindowProc(window, message, wParam, lParam);
}

COLORREF WindowPixel(HWND window) {
  HDC dc = GetDC(window);
  const COLORREF color = GetPixel(dc, 0, 0);
  ReleaseDC(window, dc);
  return color;
}

TEST_F(App, UpdateWindowPaintsOnceCopyingTheSurfaceAsItIs) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "BMPCount";
    return RegisterClassA(&windowClass) != 0;
  }();
  ASSERT_TRUE(registered);
  HWND counted = CreateWindowExA(0, "BMPCount", "count", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 406, 425, nullptr, nullptr,
                                 nullptr, nullptr);
  ASSERT_NE(counted, nullptr);
  g_paints = 0;
  Mark();  // stands for whatever the surface holds; at start-up that is all black
  ShowWindow(counted, SW_SHOW);
  UpdateWindow(counted);
  EXPECT_EQ(g_paints, 1);
  EXPECT_EQ(WindowPixel(counted), kMarker);
  EXPECT_FALSE(FrameDrawn());
  // Had the paint not reached DefWindowProcA, the window would still be invalid and be painted
  // again here.
  UpdateWindow(counted);
  EXPECT_EQ(g_paints, 1);
  // A later paint copies the surface again, still without drawing a frame.
  SetPixel(g_surface.dc, 0, 0, 0x0000FF00);
  SendMessageA(counted, WM_PAINT, 0, 0);
  EXPECT_EQ(WindowPixel(counted), 0x0000FF00u);
  EXPECT_EQ(GetPixel(g_surface.dc, 0, 0), 0x0000FF00u);
  DestroyWindow(counted);
}

}  // namespace

// The class is already registered by the fixture, so WinMain gives up at once: no window, no
// ball, no surface change.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

TEST_F(App, WinMainReturnsZeroAtOnceWhenTheClassCannotBeRegistered) {
  const int ballsBefore = [] {
    int n = 0;
    for (const ListNode<Ball>* node = g_balls.Head(); !node->isTail; node = node->next) ++n;
    return n;
  }();
  Mark();
  static char commandLine[] = "";
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT), 0);
  int ballsAfter = 0;
  for (const ListNode<Ball>* node = g_balls.Head(); !node->isTail; node = node->next) ++ballsAfter;
  EXPECT_EQ(ballsAfter, ballsBefore);
  EXPECT_FALSE(FrameDrawn());
}

}  // namespace

