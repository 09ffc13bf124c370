// Zantrel: drag the three balls of a metaball field with the left mouse button.
#include "app/app.h"

namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kOuterWidth = 406;  // a 400 x 400 client area inside the caption frame
constexpr int kOuterHeight = 425;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW;
  windowClass.lpfnWndProc = AppWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "BMP";
  if (!RegisterClassA(&windowClass)) return 0;

  HWND window = CreateWindowExA(0, "BMP", "Zantrel -Sample-", kWindowStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, kOuterWidth, kOuterHeight, nullptr, nullptr,
                                instance, nullptr);
  BuildScene(g_balls);
  CreateSurface(g_surface);
  ShowWindow(window, showCommand);
  UpdateWindow(window);  // its WM_PAINT shows the still black surface
  DrawFrame(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    if (!TranslateAcceleratorA(msg.hwnd, nullptr, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return 0;
}
