// A window in a browser page: its client area is the page's one canvas (id "canvas"), shown as
// wide as the page allows up to its own size. Input comes from the events on that canvas only, so,
// as for a Win32 window that takes no capture, a pointer outside it is not seen: the mouse through
// Emscripten's HTML5 events, touch and pen through pointer events (ListenToContacts). Waiting for
// input suspends the program (Asyncify) and gives the browser its event loop back until an event
// arrives, so WinMain keeps its blocking message loop.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <wasm_simd128.h>

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
  // The picture the canvas shows, in canvas byte order (R, G, B, A): a present converts what
  // changed into it and hands the canvas only that.
  std::vector<std::uint32_t> rgba;
  int contactX = 0, contactY = 0;  // where the touch or pen contact was last seen
};

CanvasWindow g_canvas;
std::deque<BackendEvent> g_pending;

// clang-format off
EM_JS(bool, CanvasPresent, (), { return !!(typeof document != "undefined" && document.getElementById("canvas")); });

// Shown at most at its own size in CSS pixels; the page may show it narrower.
EM_JS(void, ShowCanvas, (const char* title), {
  document.title = UTF8ToString(title);
  const canvas = document.getElementById("canvas");
  canvas.style.maxWidth = canvas.width + "px";
  canvas.hidden = false;
  canvas.focus();
});

EM_JS(void, HideCanvas, (), { document.getElementById("canvas").hidden = true; });

// A rectangle of the picture onto the canvas. The ImageData over the program's memory is made once,
// and again only when that memory grows (its buffer changes) or the picture moves or changes size.
// The canvas is opaque, as a window is: in Chromium a putImageData into an opaque canvas takes a
// third of the time.
EM_JS(void, PutRect, (const std::uint32_t* rgba, int width, int height, int left, int top, int right,
                      int bottom), {
  let shown = Module.zantrelShown;
  if (!shown || shown.image.data.buffer !== HEAPU8.buffer || shown.at !== rgba ||
      shown.image.width !== width || shown.image.height !== height) {
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    const context = document.getElementById("canvas").getContext("2d", { alpha: false });
    const image = new ImageData(pixels, width, height);
    shown = Module.zantrelShown = { image, at: rgba, context };
  }
  shown.context.putImageData(shown.image, 0, 0, left, top, right - left, bottom - top);
});

// Touch and pen as Windows gives them to a program that never asked for touch: the primary
// contact is the left button (down, moves, up) and other fingers are ignored. A contact is no
// mouse: the page gets no mouse events made up from it. The browser captures a contact to the
// element it began on; released here, so that outside the canvas it is not seen, as the mouse.
// Hovering pens come as mouse moves. Once for the page: the listeners serve every window on it.
EM_JS(void, ListenToContacts, (), {
  if (Module.zantrelContacts) return;
  Module.zantrelContacts = true;
  const canvas = document.getElementById("canvas");
  const phases = { pointerdown: 0, pointermove: 1, pointerup: 2, pointercancel: 3 };
  for (const type in phases) {
    canvas.addEventListener(type, e => {
      if (e.pointerType == "mouse" || !e.isPrimary) return;
      if (type == "pointermove" && !(e.buttons & 1)) return;
      if (type == "pointerdown") {
        e.preventDefault();
        canvas.releasePointerCapture(e.pointerId);
      }
      const r = canvas.getBoundingClientRect();
      _zantrel_contact(phases[type], e.clientX - r.left, e.clientY - r.top);
    });
  }
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

// A point given in CSS pixels from the canvas's corner, on the canvas as it is shown.
void ToClient(double cssX, double cssY, BackendEvent& event) {
  double cssWidth = 0, cssHeight = 0;
  emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
  const double sx = cssWidth > 0 ? g_canvas.width / cssWidth : 1.0;
  const double sy = cssHeight > 0 ? g_canvas.height / cssHeight : 1.0;
  event.x = static_cast<int>(std::floor(cssX * sx));
  event.y = static_cast<int>(std::floor(cssY * sy));
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void*) {
  BackendEvent event;
  if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
    event.kind = BackendEvent::kMouseMove;
  } else {
    if (e->button != 0) return EM_FALSE;  // only the left (main) button
    event.kind = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? BackendEvent::kLeftDown : BackendEvent::kLeftUp;
  }
  ToClient(e->targetX, e->targetY, event);
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
  g_canvas.rgba.resize(static_cast<std::size_t>(width) * height);
  emscripten_set_canvas_element_size(kCanvas, width, height);
  emscripten_set_mousedown_callback(kCanvas, nullptr, false, OnMouse);
  emscripten_set_mousemove_callback(kCanvas, nullptr, false, OnMouse);
  emscripten_set_mouseup_callback(kCanvas, nullptr, false, OnMouse);
  emscripten_set_keydown_callback(kCanvas, nullptr, false, OnKeyDown);
  emscripten_set_beforeunload_callback(nullptr, OnUnload);
  ListenToContacts();
  return &g_canvas;
}

void Show(void*) { ShowCanvas(g_canvas.title.c_str()); }

void Destroy(void*) {
  HideCanvas();
  g_canvas.open = false;
  g_pending.clear();
}

// B, G, R, x in memory to R, G, B, opaque: the canvas's byte order.
std::uint32_t CanvasPixel(std::uint32_t bgrx) {
  return 0xFF000000u | (bgrx & 0xFF) << 16 | (bgrx & 0xFF00) | (bgrx >> 16 & 0xFF);
}

// The byte moves from B, G, R, x to R, G, B, x, read from memory when a present begins: V8 keeps
// such a swizzle order in a register through a loop, where it would rebuild a constant shuffle's
// order (four instructions) for every vector.
volatile v128_t g_canvasOrder = wasm_i8x16_make(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);

// CanvasPixel, four pixels at a time.
struct CanvasPixels {
  v128_t order = g_canvasOrder;
  v128_t opaque = wasm_i32x4_splat(static_cast<std::int32_t>(0xFF000000u));
  v128_t operator()(v128_t bgrx) const { return wasm_v128_or(wasm_i8x16_swizzle(bgrx, order), opaque); }
};

// Converts the changed rectangle of the window's pixels (rows bottom-up) into the picture the
// canvas shows, and hands the canvas that rectangle: a repaint changes nothing, a drag the
// contour's surroundings.
void Present(void*, const std::uint8_t* pixels, int width, int height, const RECT& changed) {
  if (width != g_canvas.width || height != g_canvas.height) return;
  if (changed.right <= changed.left || changed.bottom <= changed.top) return;
  const CanvasPixels canvas;
  const int count = changed.right - changed.left;
  for (int y = changed.top; y < changed.bottom; ++y) {
    const std::uint8_t* in = pixels + (static_cast<std::size_t>(height - 1 - y) * width + changed.left) * 4;
    std::uint32_t* shown = g_canvas.rgba.data() + static_cast<std::size_t>(y) * width + changed.left;
    int x = 0;
    for (; x + 4 <= count; x += 4) wasm_v128_store(shown + x, canvas(wasm_v128_load(in + 4 * x)));
    for (; x < count; ++x) {
      std::uint32_t bgrx;
      std::memcpy(&bgrx, in + 4 * x, 4);
      shown[x] = CanvasPixel(bgrx);
    }
  }
  PutRect(g_canvas.rgba.data(), width, height, changed.left, changed.top, changed.right, changed.bottom);
}

bool Take(BackendEvent* event) {
  if (g_pending.empty()) return false;
  *event = g_pending.front();
  g_pending.pop_front();
  return true;
}

bool Wait(BackendEvent* event) {
  while (g_pending.empty()) {
    if (!g_canvas.open) return false;  // no window, so no input will ever come
    SleepUntilInput();
  }
  return Take(event);
}

}  // namespace

const Backend& WindowSystemBackend() {
  static const Backend backend{"web", Open, Create, Show, Destroy, Present, true, Wait, Take};
  return backend;
}

}  // namespace zantrel::user

// A touch or pen contact's phase from ListenToContacts (0 down, 1 move, 2 up, 3 cancelled) at
// CSS pixels from the canvas's corner. A cancelled contact ends as a release where it was last
// seen.
extern "C" EMSCRIPTEN_KEEPALIVE void zantrel_contact(int phase, double cssX, double cssY) {
  using zantrel::user::BackendEvent;
  using zantrel::user::g_canvas;
  constexpr BackendEvent::Kind kKinds[] = {BackendEvent::kLeftDown, BackendEvent::kMouseMove,
                                           BackendEvent::kLeftUp, BackendEvent::kLeftUp};
  constexpr int kCancelled = 3;
  if (!g_canvas.open || phase < 0 || phase > kCancelled) return;
  BackendEvent event;
  event.kind = kKinds[phase];
  event.leftDown = event.kind != BackendEvent::kLeftUp;
  if (phase == kCancelled) {
    event.x = g_canvas.contactX;
    event.y = g_canvas.contactY;
  } else {
    zantrel::user::ToClient(cssX, cssY, event);
    g_canvas.contactX = event.x;
    g_canvas.contactY = event.y;
  }
  zantrel::user::Push(event);
}

// For the page's tests: the program's device contexts, bitmaps, pens and brushes still alive. The
// globals' destructors delete theirs on the way out, so after a normal end it is 0.
extern "C" EMSCRIPTEN_KEEPALIVE int zantrel_live_gdi_objects() {
  using zantrel::gdi::Kind;
  using zantrel::gdi::LiveCount;
  return LiveCount(Kind::kDc) + LiveCount(Kind::kBitmap) + LiveCount(Kind::kPen) + LiveCount(Kind::kBrush);
}
