#include "app/app.h"

#include "platform/window_frame.h"

Surface g_surface;
BallField g_balls;

Ball* g_picked = nullptr;
bool g_dragging = false;
std::int32_t g_lastX = 0;
std::int32_t g_lastY = 0;
const std::int32_t g_originX = kFrameSize / 2;  // the field's origin at the frame's centre
const std::int32_t g_originY = kFrameSize / 2;
const std::int32_t g_presentX = 0;
const std::int32_t g_presentY = 0;

namespace {

constexpr WPARAM kKeyQ = 0x51;
constexpr std::int32_t kFrameBitsPerPixel = 32;
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The window's outer size gives the frame's picture a client area of its own size.
constexpr int kOuterWidth = kFrameSize + kCaptionFrameWidth;
constexpr int kOuterHeight = kFrameSize + kCaptionFrameHeight;

void AddBall(BallField& balls, std::int32_t shape, std::uint32_t radius, std::int32_t x,
             std::int32_t y, std::int32_t scaleX, std::int32_t scaleY) {
  Ball* ball = balls.AddBall(shape, radius);
  ball->centerX = x;
  ball->centerY = y;
  ball->scaleX = scaleX;
  ball->scaleY = scaleY;
}

// lParam carries client x in its low 16 bits and y in the high 16, both taken as unsigned.
std::int32_t LowWord(LPARAM lParam) { return static_cast<std::int32_t>(lParam & 0xFFFF); }
std::int32_t HighWord(LPARAM lParam) { return static_cast<std::int32_t>((lParam >> 16) & 0xFFFF); }

}  // namespace

void BuildScene(BallField& balls) {
  AddBall(balls, BALL_ROUND, 80, -50, 0, 2, 1);
  AddBall(balls, BALL_ROUND, 80, 50, 0, 1, 1);
  AddBall(balls, BALL_SQUARE, 50, 0, 30, 2, 1);
}

void CreateSurface(Surface& surface) {
  surface.Create(kFrameSize, kFrameSize, kFrameBitsPerPixel);
  surface.SetPenColor(kContourColor);
}

bool RegisterAppClass(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW;
  windowClass.lpfnWndProc = AppWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "BMP";
  return RegisterClassA(&windowClass) != 0;
}

HWND CreateAppWindow(HINSTANCE instance) {
  return CreateWindowExA(0, "BMP", "Zantrel -Sample-", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         kOuterWidth, kOuterHeight, nullptr, nullptr, instance, nullptr);
}

void DrawFrame(HWND window) {
  g_surface.Clear(kBackgroundColor);
  g_balls.DrawContour(kFrameCells, kFrameSize, kFrameSize, kFrameThreshold, &g_surface);
  g_surface.Present(window, g_presentX, g_presentY);
}

LRESULT CALLBACK AppWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_PAINT:
      g_surface.Present(window, g_presentX, g_presentY);  // the last frame, not recomputed
      break;
    case WM_KEYDOWN:
      if (wParam == kKeyQ) PostQuitMessage(0);
      break;
    case WM_MOUSEMOVE: {
      if (!g_dragging) break;
      const std::int32_t x = LowWord(lParam);
      const std::int32_t y = HighWord(lParam);
      const std::int32_t dx = x - g_lastX;
      const std::int32_t dy = g_lastY - y;  // field y grows upward
      if (dx == 0 && dy == 0) break;
      // Wrapping add: a ball dragged without limit must not overflow into undefined behaviour.
      g_picked->centerX = static_cast<std::int32_t>(static_cast<std::uint32_t>(g_picked->centerX) +
                                                    static_cast<std::uint32_t>(dx));
      g_picked->centerY = static_cast<std::int32_t>(static_cast<std::uint32_t>(g_picked->centerY) +
                                                    static_cast<std::uint32_t>(dy));
      DrawFrame(window);
      g_lastX = x;
      g_lastY = y;
      break;
    }
    case WM_LBUTTONDOWN:
      g_lastX = LowWord(lParam);
      g_lastY = HighWord(lParam);
      g_picked = g_balls.PickBall(g_lastX - g_originX, g_originY - g_lastY);
      g_dragging = g_picked != g_balls.Head()->item;
      break;
    case WM_LBUTTONUP:
      g_dragging = false;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
