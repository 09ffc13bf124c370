// Real windows through SDL2. The window never captures the mouse, as a Win32 window that does
// not ask for capture: outside the client area it receives no mouse input at all.
#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/native/user/backend.h"

namespace zantrel::user {
namespace {

constexpr const char* kWhatToDo =
    "set DISPLAY to a running X server, start one (Xvfb :7 & export DISPLAY=:7), or render "
    "pictures with zantrel-render.";

bool Named(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

// SDL's video drivers that draw where nobody sees it.
bool ShowsNothing(const std::string& driver) {
  return driver == "offscreen" || driver == "dummy" || driver == "evdev";
}

// Connects SDL to the display; empty when windows can be shown there, else why not.
std::string Connect() {
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // The plain window framebuffer: a texture-backed one would make SDL recreate the window
  // (a new X window) for OpenGL at the first present, after it was shown.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // SIGINT and SIGTERM end the process as they end any other; SDL would turn them into a quit
  // event that no Win32 program ever sees.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Only the drivers of a display that is named. Left to itself SDL tries every driver it has,
  // printing the complaints of each, and settles on one that draws into memory. SDL_VIDEODRIVER
  // in the environment still wins over this.
  const bool x11 = Named("DISPLAY");
  std::string drivers = x11 ? "x11" : "";
  if (Named("WAYLAND_DISPLAY")) drivers += x11 ? ",wayland" : "wayland";
  const std::string unset = std::string("no display to show the window on, DISPLAY is not set: ");
  if (drivers.empty() && !Named("SDL_VIDEODRIVER")) return unset + kWhatToDo;
  const std::string display =
      x11 ? std::string("display \"") + std::getenv("DISPLAY") + "\"" : "the display";
  SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    if (!x11) return unset + kWhatToDo;
    return "cannot open " + display + ": " + kWhatToDo;
  }
  const std::string driver = SDL_GetCurrentVideoDriver();
  if (ShowsNothing(driver)) {
    SDL_Quit();
    return "SDL offers only its \"" + driver + "\" video driver for " + display +
           ", which shows nothing: " + kWhatToDo;
  }
  return {};
}

const char* Open() {
  static const std::string refusal = Connect();
  return refusal.empty() ? nullptr : refusal.c_str();
}

void* Create(const char* title, int width, int height) {
  SDL_Window* window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                        width, height, SDL_WINDOW_HIDDEN);
  if (!window) std::fprintf(stderr, "zantrel: SDL_CreateWindow: %s\n", SDL_GetError());
  return window;
}

void Show(void* window) { SDL_ShowWindow(static_cast<SDL_Window*>(window)); }
void Destroy(void* window) { SDL_DestroyWindow(static_cast<SDL_Window*>(window)); }

void Present(void* window, const std::uint8_t* pixels, int width, int height, const RECT&) {
  auto* w = static_cast<SDL_Window*>(window);
  SDL_Surface* surface = SDL_GetWindowSurface(w);
  if (!surface) return;
  // The rows come bottom-up; the window surface's lie top-down.
  auto* out = static_cast<std::uint8_t*>(surface->pixels);
  for (int y = 0; y < height; ++y, out += surface->pitch) {
    SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_XRGB8888, pixels + std::ptrdiff_t{height - 1 - y} * width * 4,
                      width * 4, surface->format->format, out, surface->pitch);
  }
  SDL_UpdateWindowSurface(w);
}

unsigned VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<unsigned>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<unsigned>('0' + (key - SDLK_0));
  if (key == SDLK_ESCAPE) return 0x1B;
  if (key == SDLK_SPACE) return 0x20;
  return 0;
}

// The input an SDL event stands for; false for events the window system does not pass on.
bool Translate(const SDL_Event& e, BackendEvent* out) {
  *out = BackendEvent{};
  switch (e.type) {
    case SDL_MOUSEMOTION:
      out->kind = BackendEvent::kMouseMove;
      out->window = SDL_GetWindowFromID(e.motion.windowID);
      out->x = e.motion.x;
      out->y = e.motion.y;
      out->leftDown = e.motion.state & SDL_BUTTON_LMASK;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (e.button.button != SDL_BUTTON_LEFT) return false;
      out->kind = e.type == SDL_MOUSEBUTTONDOWN ? BackendEvent::kLeftDown : BackendEvent::kLeftUp;
      out->window = SDL_GetWindowFromID(e.button.windowID);
      out->x = e.button.x;
      out->y = e.button.y;
      return true;
    case SDL_KEYDOWN:
      out->kind = BackendEvent::kKeyDown;
      out->window = SDL_GetWindowFromID(e.key.windowID);
      out->virtualKey = VirtualKey(e.key.keysym.sym);
      return true;
    case SDL_WINDOWEVENT:
      out->window = SDL_GetWindowFromID(e.window.windowID);
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) out->kind = BackendEvent::kClose;
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED) out->kind = BackendEvent::kExpose;
      return out->kind != BackendEvent::kNone;
    default:
      return false;
  }
}

bool Wait(BackendEvent* out) {
  SDL_Event e;
  do {
    if (!SDL_WaitEvent(&e)) {
      std::fprintf(stderr, "zantrel: SDL_WaitEvent: %s\n", SDL_GetError());
      return false;
    }
  } while (!Translate(e, out));
  return true;
}

bool Take(BackendEvent* out) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (Translate(e, out)) return true;
  }
  return false;
}

}  // namespace

const Backend& WindowSystemBackend() {
  static const Backend backend{"sdl2", Open, Create, Show, Destroy, Present, false, Wait, Take};
  return backend;
}

}  // namespace zantrel::user
