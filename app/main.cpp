// Zantrel: drag the three balls of a metaball field with the left mouse button.
#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  if (!RegisterAppClass(instance)) return 0;
  HWND window = CreateAppWindow(instance);
  // Without a window no input can ever come: a message loop would wait forever.
  if (!window) return 0;
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
