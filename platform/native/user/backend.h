// One window-system backend under the native user32: real windows (sdl2/) or in-memory ones
// (headless/), chosen once from a small table.
#pragma once

#include <cstdint>

namespace zantrel::user {

struct BackendEvent {
  enum Kind { kNone, kMouseMove, kLeftDown, kLeftUp, kKeyDown, kClose, kExpose } kind = kNone;
  void* window = nullptr;  // the backend's own window handle
  int x = 0, y = 0;        // client coordinates
  bool leftDown = false;   // button state during a move
  unsigned virtualKey = 0;
};

struct Backend {
  const char* name;
  // Makes a hidden window whose client area is width x height; null on failure.
  void* (*createWindow)(const char* title, int width, int height);
  void (*showWindow)(void* window);
  void (*destroyWindow)(void* window);
  // Shows the client-area pixels (top-down B, G, R, x rows of width * 4 bytes).
  void (*present)(void* window, const std::uint8_t* pixels, int width, int height);
  // Waits for the next input; false when no input will ever come (the headless backend).
  bool (*waitEvent)(BackendEvent* event);
};

const Backend& HeadlessBackend();
const Backend& Sdl2Backend();
// ZANTREL_BACKEND=sdl2|headless, else sdl2 when a display is there, headless otherwise.
const Backend& ChosenBackend();

}  // namespace zantrel::user
