// A window in a browser page: its client area is the page's one canvas (id "canvas"), shown with
// one putImageData per present. Input comes from Emscripten's HTML5 events on that canvas only,
// so, as for a Win32 window that takes no capture, the pointer outside it is not seen. Waiting for
// input suspends the program (Asyncify) and gives the browser its event loop back until an event
// arrives, so WinMain keeps its blocking message loop.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/native/gdi/objects.h"
#include "platform/native/user/backend.h"

namespace zantrel::user {
namespace {

constexpr const char* kCanvas = "#canvas";

// The page has one canvas, so there is at most one window; its handle is this record.
struct CanvasWindow {
  bool open = false;
  std::string title;
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // the presented picture in canvas byte order
};

CanvasWindow g_canvas;
std::deque<BackendEvent> g_pending;

// clang-format off
EM_JS(bool, CanvasPresent, (), { return !!(typeof document != "undefined" && document.getElementById("canvas")); });

EM_JS(void, ShowCanvas, (const char* title), {
  document.title = UTF8ToString(title);
  const canvas = document.getElementById("canvas");
  canvas.hidden = false;
  canvas.focus();
});

EM_JS(void, HideCanvas, (), { document.getElementById("canvas").hidden = true; });

EM_JS(void, PutImage, (const std::uint8_t* rgba, int width, int height), {
  const canvas = document.getElementById("canvas");
  const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
  canvas.getContext("2d").putImageData(new ImageData(pixels, width, height), 0, 0);
});

// Resolves once WakeWaiter runs; the program stays suspended meanwhile.
EM_ASYNC_JS(void, SleepUntilInput, (), {
  await new Promise(resolve => { Module.zantrelWake = resolve; });
});

EM_JS(void, WakeWaiter, (), {
  const wake = Module.zantrelWake;
  Module.zantrelWake = null;
  if (wake) wake();
});
// clang-format on

void Push(BackendEvent event) {
  event.window = &g_canvas;
  g_pending.push_back(event);
  WakeWaiter();  // the program resumes after this handler returns, never inside it
}

// Event positions are CSS pixels from the canvas's corner; the canvas may be shown scaled.
void ToClient(const EmscriptenMouseEvent& e, BackendEvent& event) {
  double cssWidth = 0, cssHeight = 0;
  emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
  const double sx = cssWidth > 0 ? g_canvas.width / cssWidth : 1.0;
  const double sy = cssHeight > 0 ? g_canvas.height / cssHeight : 1.0;
  event.x = static_cast<int>(std::floor(e.targetX * sx));
  event.y = static_cast<int>(std::floor(e.targetY * sy));
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void*) {
  BackendEvent event;
  if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
    event.kind = BackendEvent::kMouseMove;
  } else {
    if (e->button != 0) return EM_FALSE;  // only the left (main) button
    event.kind = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? BackendEvent::kLeftDown : BackendEvent::kLeftUp;
  }
  ToClient(*e, event);
  event.leftDown = e->buttons & 1;
  Push(event);
  return EM_FALSE;  // the browser's own handling (focus on press) goes on
}

// The Win32 virtual key of a key event: letters and digits by the character they type, as on a
// desktop layout; keys the program could not tell apart give 0 and are dropped.
unsigned VirtualKey(const char* key) {
  if (std::strlen(key) == 1) {
    const unsigned char c = static_cast<unsigned char>(key[0]);
    if (std::isalpha(c)) return static_cast<unsigned>(std::toupper(c));
    if (std::isdigit(c)) return c;
    if (c == ' ') return 0x20;
  }
  if (std::strcmp(key, "Escape") == 0) return 0x1B;
  return 0;
}

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* e, void*) {
  BackendEvent event;
  event.kind = BackendEvent::kKeyDown;
  event.virtualKey = VirtualKey(e->key);
  Push(event);
  return EM_FALSE;
}

// Closing the tab closes the window, as the window manager's close button would.
const char* OnUnload(int, const void*, void*) {
  if (g_canvas.open) Push(BackendEvent{BackendEvent::kClose});
  return nullptr;  // no "leave this page?" question
}

const char* Open() {
  if (CanvasPresent()) return nullptr;
  return "no page with a canvas to show the window on (id \"canvas\"): open zantrel.html in a "
         "browser, or choose the in-memory windows with ZANTREL_BACKEND=headless.";
}

// The page's one canvas makes one window; a second finds it taken.
void* Create(const char* title, int width, int height) {
  if (g_canvas.open) return nullptr;
  g_canvas.open = true;
  g_canvas.title = title;
  g_canvas.width = width;
  g_canvas.height = height;
  g_canvas.rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
  emscripten_set_canvas_element_size(kCanvas, width, height);
  emscripten_set_mousedown_callback(kCanvas, nullptr, false, OnMouse);
  emscripten_set_mousemove_callback(kCanvas, nullptr, false, OnMouse);
  emscripten_set_mouseup_callback(kCanvas, nullptr, false, OnMouse);
  emscripten_set_keydown_callback(kCanvas, nullptr, false, OnKeyDown);
  emscripten_set_beforeunload_callback(nullptr, OnUnload);
  return &g_canvas;
}

void Show(void*) { ShowCanvas(g_canvas.title.c_str()); }

void Destroy(void*) {
  HideCanvas();
  g_canvas.open = false;
  g_pending.clear();
}

void Present(void*, const std::uint8_t* pixels, int width, int height) {
  if (width != g_canvas.width || height != g_canvas.height) return;
  std::uint8_t* out = g_canvas.rgba.data();
  const std::size_t count = static_cast<std::size_t>(width) * height;
  for (std::size_t i = 0; i < count; ++i, pixels += 4, out += 4) {
    out[0] = pixels[2];
    out[1] = pixels[1];
    out[2] = pixels[0];
    out[3] = 0xFF;
  }
  PutImage(g_canvas.rgba.data(), width, height);
}

bool Wait(BackendEvent* event) {
  while (g_pending.empty()) {
    if (!g_canvas.open) return false;  // no window, so no input will ever come
    SleepUntilInput();
  }
  *event = g_pending.front();
  g_pending.pop_front();
  return true;
}

}  // namespace

const Backend& WindowSystemBackend() {
  static const Backend backend{"web", Open, Create, Show, Destroy, Present, Wait};
  return backend;
}

}  // namespace zantrel::user

// For the page's tests: the program's device contexts, bitmaps, pens and brushes still alive. The
// globals' destructors delete theirs on the way out, so after a normal end it is 0.
extern "C" EMSCRIPTEN_KEEPALIVE int zantrel_live_gdi_objects() {
  using zantrel::gdi::Kind;
  using zantrel::gdi::LiveCount;
  return LiveCount(Kind::kDc) + LiveCount(Kind::kBitmap) + LiveCount(Kind::kPen) + LiveCount(Kind::kBrush);
}
