// The window procedure driven message by message: drags, presses, keys, closing, painting. Runs
// on the headless backend natively and on the real user32 under Wine.
#include <gtest/gtest.h>

#include "app/app.h"
#include "contour/contour_trace.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

constexpr COLORREF kMarker = 0x000000FF;

LPARAM Client(int x, int y) {
  return static_cast<LPARAM>((static_cast<DWORD>(x) & 0xFFFF) | ((static_cast<DWORD>(y) & 0xFFFF) << 16));
}

// The exit code of the quit message that ends the queue, dispatching what comes before it.
WPARAM DrainToQuit() {
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  return msg.wParam;
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
    if (window_ && DestroyWindow(window_)) DrainToQuit();  // WM_DESTROY posts the quit
  }
  void Send(UINT message, WPARAM wParam, LPARAM lParam) { AppWindowProc(window_, message, wParam, lParam); }
  // A red pixel in the surface: a new frame clears it, Present leaves it.
  void Mark() { SetPixel(g_surface.dc, 0, 0, kMarker); }
  bool FrameDrawn() { return GetPixel(g_surface.dc, 0, 0) != kMarker; }
  const ListNode<Ball>* NodeAt(int index) {
    const ListNode<Ball>* node = g_balls.Head();
    for (int i = 0; i <= index; ++i) node = node->next;
    return node;
  }
  Ball* BallAt(int index) { return NodeAt(index)->item; }
  HWND window_ = nullptr;
};

// Presses in a row, each picking again; client (200, 200) is field (0, 0), y up.
TEST_F(App, EachPressPicksTheBallUnderIt) {
  struct Press {
    int x, y;
    int picked;  // ball index, -1 for none
  };
  const Press presses[] = {
      {150, 200, 0},  // the first ball's centre
      {200, 170, 2},  // inside the second ball too, but the square's metric 0 wins
      {251, 170, 2},  // |-51 / 2| = 25 across the square's wide axis
      {20, 20, -1},   // no ball: the drag ends
      {250, 200, 1},
  };
  for (const Press& p : presses) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(p.x, p.y));
    EXPECT_EQ(g_picked, p.picked < 0 ? nullptr : BallAt(p.picked)) << p.x << "," << p.y;
    EXPECT_EQ(g_dragging, p.picked >= 0);
    EXPECT_EQ(g_lastX, p.x);
    EXPECT_EQ(g_lastY, p.y);
  }
  Send(WM_LBUTTONUP, 0, Client(250, 200));
  EXPECT_EQ(g_picked, BallAt(1));  // the release keeps the pick and ends the drag
  EXPECT_FALSE(g_dragging);
  Mark();
  Send(WM_MOUSEMOVE, 0, Client(300, 300));
  EXPECT_FALSE(FrameDrawn());
  EXPECT_EQ(BallAt(1)->centerX, 50);
}

// Moves after a press on the second ball, each from the last: the centre moves by the client
// displacement with y turned, coordinates read as unsigned 16-bit words, one frame per step.
TEST_F(App, MovesAddTheUnsignedWordDisplacementWithFieldYUp) {
  struct Step {
    int x, y, centerX, centerY;
  };
  const Step steps[] = {
      {260, 195, 60, 5},
      {260, 195, 60, 5},                            // same point: no step, no frame
      {260, 196, 60, 4},                            // one axis only
      {259, -1, 59, 4 + 196 - 65535},               // above the window: y reads 65535
      {-1, -1, 59 + 65535 - 259, 4 + 196 - 65535},  // left of it: x reads 65535
      {0, 0, -200, 200},
  };
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(250, 200));
  int lastX = 250, lastY = 200;
  for (const Step& step : steps) {
    Mark();
    Send(WM_MOUSEMOVE, 0, Client(step.x, step.y));  // the button state is not consulted
    EXPECT_EQ(BallAt(1)->centerX, step.centerX) << "move to " << step.x << "," << step.y;
    EXPECT_EQ(BallAt(1)->centerY, step.centerY) << "move to " << step.x << "," << step.y;
    EXPECT_EQ(FrameDrawn(), (step.x & 0xFFFF) != lastX || (step.y & 0xFFFF) != lastY);
    lastX = g_lastX, lastY = g_lastY;
    EXPECT_EQ(g_lastX, step.x & 0xFFFF);
    EXPECT_EQ(g_lastY, step.y & 0xFFFF);
  }
  EXPECT_EQ(BallAt(0)->centerX, -50);
  EXPECT_EQ(BallAt(2)->centerY, 30);
}

TEST_F(App, TheFrameIsTheContourOfTheMovedScene) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(250, 200));
  Send(WM_MOUSEMOVE, MK_LBUTTON, Client(230, 180));
  RecordingCanvas canvas;
  TraceContour(g_balls, kFrameCells, kFrameSize, kFrameSize, kFrameThreshold, canvas);
  ASSERT_FALSE(canvas.segments.empty());
  for (const TracedSegment& s : canvas.segments) EXPECT_EQ(GetPixel(g_surface.dc, s.x1, s.y1), 0x00FFFFFFu);
  EXPECT_EQ(GetPixel(g_surface.dc, 200, 380), 0u);  // far below every ball: background
}

// Q and the window's destruction post quit code 0; other keys and painting post nothing and
// draw no frame. A quit code 7 posted first shows whether the message posted another.
TEST_F(App, QuitsOnQOrDestructionOnly) {
  struct Case {
    UINT message;
    WPARAM wParam;
    WPARAM exitCode;
  };
  const Case cases[] = {{WM_KEYDOWN, 'Q', 0}, {WM_KEYDOWN, 'W', 7}, {WM_KEYDOWN, 0x1B, 7},
                        {WM_PAINT, 0, 7},     {WM_DESTROY, 0, 0},  {WM_CLOSE, 0, 0}};
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Client(150, 200));  // even during a drag
  for (const Case& c : cases) {
    Mark();
    PostQuitMessage(7);
    Send(c.message, c.wParam, 0);
    EXPECT_EQ(DrainToQuit(), c.exitCode) << c.message << " " << c.wParam;
    EXPECT_FALSE(FrameDrawn());
  }
  window_ = nullptr;  // WM_CLOSE destroyed it
}

// Counts the WM_PAINTs that reach the application's window procedure.
int g_paints = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_paints += message == WM_PAINT;
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
  HWND counted = CreateWindowExA(0, "BMPCount", "count", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 406, 425, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(counted, nullptr);
  g_paints = 0;
  Mark();
  ShowWindow(counted, SW_SHOW);
  UpdateWindow(counted);
  UpdateWindow(counted);  // validated by DefWindowProcA: no second paint
  EXPECT_EQ(g_paints, 1);
  EXPECT_EQ(WindowPixel(counted), kMarker);
  SetPixel(g_surface.dc, 0, 0, 0x0000FF00);
  SendMessageA(counted, WM_PAINT, 0, 0);  // copies the surface again, draws no frame
  EXPECT_EQ(WindowPixel(counted), 0x0000FF00u);
  EXPECT_EQ(GetPixel(g_surface.dc, 0, 0), 0x0000FF00u);
  DestroyWindow(counted);
  DrainToQuit();
}

// The class is already registered, so WinMain gives up at once: no ball, no frame.
TEST_F(App, WinMainReturnsZeroAtOnceWhenTheClassCannotBeRegistered) {
  Mark();
  static char commandLine[] = "";
  EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT), 0);
  EXPECT_TRUE(NodeAt(2)->isTail);
  EXPECT_FALSE(FrameDrawn());
}

}  // namespace
