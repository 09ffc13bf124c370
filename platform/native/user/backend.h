// One window-system backend under the native user32: real windows (sdl2/ on a desktop, web/ in a
// browser page) or in-memory ones (headless/). Programs get the one that shows windows unless
// they, or ZANTREL_BACKEND, ask for another (backend_choice.cpp).
#pragma once

#include <cstdint>

#include "platform/native/windows.h"

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
  // Opens the display on first use. Null when windows can be shown there; else one sentence
  // naming the display that cannot be used and what to do instead.
  const char* (*open)();
  // Makes a hidden window whose client area is width x height; null on failure.
  void* (*createWindow)(const char* title, int width, int height);
  void (*showWindow)(void* window);
  void (*destroyWindow)(void* window);
  // Shows the client-area pixels: B, G, R, x rows of width * 4 bytes, bottom-up (the bottom row
  // first in memory). Only the changed rectangle differs from what the window showed before:
  // the whole client area unless the backend wants changes.
  void (*present)(void* window, const std::uint8_t* pixels, int width, int height, const RECT& changed);
  // Whether present is to be told where the pixels changed. The window's drawing then notes
  // where it changes them, and a copy into the window compares as it goes: a cost that pays
  // where showing pixels costs more than that (a page's canvas).
  bool wantsChanges;
  // Waits for the next input; false when no input will ever come (the headless backend).
  bool (*waitEvent)(BackendEvent* event);
  // The next input if one is waiting already; false when none is.
  bool (*takeEvent)(BackendEvent* event);
};

const Backend& HeadlessBackend();
// The backend that shows windows to a user in this build: SDL2 on a desktop (sdl2/), the page's
// canvas in a browser (web/).
const Backend& WindowSystemBackend();
// The backend ZANTREL_BACKEND names; the one that shows windows when it names none. An unknown
// name gives a backend that refuses every window and says which names there are.
const Backend& ChosenBackend();
// Windows created from now on use this backend; those made before keep theirs. For programs
// whose windows nobody is meant to see (renderers, tests) and for tests of user32 itself.
void UseBackend(const Backend& backend);

}  // namespace zantrel::user
