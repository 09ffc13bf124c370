// The native user32 subset: window classes, windows with client-area pixels, one thread's
// message queue, window DCs. GetMessageA takes them in Windows' order: posted messages first, then
// WM_QUIT once PostQuitMessage was called, then WM_PAINT for an invalid window, then new input.
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/native/gdi/window_dc.h"
#include "platform/native/user/backend.h"
#include "platform/window_frame.h"

namespace zantrel::user {

constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr int kSizingBorder = 2;  // what a sizing border adds to the fixed frame on each side

struct WindowClass {
  std::string name;
  WNDCLASSA record;
};

struct Window {
  const WindowClass* windowClass = nullptr;
  std::string title;
  int width = 0, height = 0;  // client area
  // Bottom-up, as the pictures programs present lie: a bottom-up DIB's copy into the window is
  // then one block of memory rather than a copy per row.
  std::vector<std::uint8_t> pixels;
  RECT changed{};  // since the last present, where the backend wants changes; empty: none
  const Backend* backend = nullptr;  // the one the window was made on
  void* native = nullptr;
  bool visible = false;
  bool invalid = false;
  bool destroyed = false;
};

namespace {

struct State {
  std::vector<std::unique_ptr<WindowClass>> classes;
  std::vector<std::unique_ptr<Window>> windows;
  std::deque<MSG> queue;
  bool quit = false;
  int exitCode = 0;
  const Backend* backend = nullptr;
  const Backend* refusalReported = nullptr;
};

// Never destroyed, so windows and DCs stay valid for destructors of the program's globals.
State& S() {
  static auto* state = new State;
  return *state;
}

const Backend& Active() {
  State& s = S();
  if (!s.backend) s.backend = &ChosenBackend();
  return *s.backend;
}

Window* Find(HWND handle) {
  for (auto& w : S().windows)
    if (reinterpret_cast<HWND>(w.get()) == handle && !w->destroyed) return w.get();
  return nullptr;
}

Window* FindNative(void* native) {
  for (auto& w : S().windows)
    if (w->native == native && !w->destroyed) return w.get();
  return nullptr;
}

HWND Handle(Window* w) { return reinterpret_cast<HWND>(w); }

LPARAM Point(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// Turns one backend event into the message Windows would queue. As Windows, the queue holds no
// two mouse moves in a row: a move right behind another replaces its position, so a program slower
// than its input draws once for the latest. A button, key or close message between them keeps
// both, and every message keeps its order.
void Queue(const BackendEvent& e) {
  Window* w = FindNative(e.window);
  if (!w) return;
  MSG msg{};
  msg.hwnd = Handle(w);
  switch (e.kind) {
    case BackendEvent::kMouseMove:
      msg.message = WM_MOUSEMOVE;
      msg.wParam = e.leftDown ? MK_LBUTTON : 0;
      msg.lParam = Point(e.x, e.y);
      break;
    case BackendEvent::kLeftDown:
      msg.message = WM_LBUTTONDOWN;
      msg.wParam = MK_LBUTTON;
      msg.lParam = Point(e.x, e.y);
      break;
    case BackendEvent::kLeftUp:
      msg.message = WM_LBUTTONUP;
      msg.lParam = Point(e.x, e.y);
      break;
    case BackendEvent::kKeyDown:
      if (!e.virtualKey) return;
      msg.message = WM_KEYDOWN;
      msg.wParam = e.virtualKey;
      msg.lParam = 1;
      break;
    case BackendEvent::kClose:
      msg.message = WM_CLOSE;
      break;
    case BackendEvent::kExpose:
      w->invalid = true;
      return;
    default:
      return;
  }
  std::deque<MSG>& queue = S().queue;
  if (msg.message == WM_MOUSEMOVE && !queue.empty() && queue.back().message == WM_MOUSEMOVE &&
      queue.back().hwnd == msg.hwnd) {
    queue.back() = msg;
    return;
  }
  queue.push_back(msg);
}

}  // namespace

// Client-area pixels of a window, for the headless renderer and tests of the native build.
const std::uint8_t* ClientPixels(HWND window) {
  Window* w = Find(window);
  return w ? w->pixels.data() : nullptr;
}

}  // namespace zantrel::user

using namespace zantrel::user;

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
  static HICON__* const arrow = reinterpret_cast<HICON__*>(std::uintptr_t{32512});
  return arrow;
}

ATOM RegisterClassA(const WNDCLASSA* record) {
  if (!record || !record->lpszClassName || !record->lpfnWndProc) return 0;
  State& s = S();
  for (auto& c : s.classes)
    if (c->name == record->lpszClassName) return 0;  // already registered
  auto c = std::make_unique<WindowClass>();
  c->name = record->lpszClassName;
  c->record = *record;
  s.classes.push_back(std::move(c));
  return static_cast<ATOM>(0xC000 + s.classes.size());
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR title, DWORD style, int, int, int width,
                     int height, HWND, HMENU, HINSTANCE, LPVOID) {
  State& s = S();
  const WindowClass* found = nullptr;
  for (auto& c : s.classes)
    if (className && c->name == className) found = c.get();
  if (!found) return nullptr;
  const Backend& backend = Active();
  if (const char* refusal = backend.open()) {
    // Once per backend: a program that tries again need not hear it twice.
    if (s.refusalReported != &backend) std::fprintf(stderr, "zantrel: %s\n", refusal);
    s.refusalReported = &backend;
    return nullptr;
  }
  auto w = std::make_unique<Window>();
  w->windowClass = found;
  w->title = title ? title : "";
  const bool framed = style & WS_CAPTION;
  const int border = (style & WS_THICKFRAME) ? kSizingBorder : 0;
  w->width = width - (framed ? kCaptionFrameWidth + 2 * border : 0);
  w->height = height - (framed ? kCaptionFrameHeight + 2 * border : 0);
  if (w->width < 1) w->width = 1;
  if (w->height < 1) w->height = 1;
  w->pixels.assign(static_cast<std::size_t>(w->width) * w->height * 4, 0);
  w->changed = RECT{0, 0, w->width, w->height};  // nothing shown yet
  w->backend = &backend;
  w->native = backend.createWindow(w->title.c_str(), w->width, w->height);
  if (!w->native) return nullptr;
  Window* raw = w.get();
  s.windows.push_back(std::move(w));
  SendMessageA(Handle(raw), WM_CREATE, 0, 0);
  if (style & WS_VISIBLE) ShowWindow(Handle(raw), SW_SHOW);
  return Handle(raw);
}

BOOL ShowWindow(HWND handle, int command) {
  Window* w = Find(handle);
  if (!w) return FALSE;
  const BOOL wasVisible = w->visible;
  if (command == SW_HIDE) {
    w->visible = false;
    return wasVisible;
  }
  if (!w->visible) {
    w->visible = true;
    w->invalid = true;
    SendMessageA(handle, WM_SHOWWINDOW, TRUE, 0);
    w->backend->showWindow(w->native);
  }
  return wasVisible;
}

BOOL UpdateWindow(HWND handle) {
  Window* w = Find(handle);
  if (!w) return FALSE;
  if (w->visible && w->invalid) SendMessageA(handle, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL DestroyWindow(HWND handle) {
  Window* w = Find(handle);
  if (!w) return FALSE;
  SendMessageA(handle, WM_DESTROY, 0, 0);
  w->destroyed = true;
  w->backend->destroyWindow(w->native);
  return TRUE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && !Find(window)) return FALSE;
  S().queue.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
  return TRUE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(handle);
  if (!w) return 0;
  return w->windowClass->record.lpfnWndProc(handle, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  S().quit = true;
  S().exitCode = exitCode;
}

BOOL GetMessageA(LPMSG msg, HWND, UINT, UINT) {
  State& s = S();
  for (;;) {
    BackendEvent event;
    while (Active().takeEvent(&event)) Queue(event);  // what came in while the program worked
    if (!s.queue.empty()) {
      *msg = s.queue.front();
      s.queue.pop_front();
      return TRUE;
    }
    if (s.quit) {
      s.quit = false;
      *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.exitCode), 0, 0, {0, 0}};
      return FALSE;
    }
    for (auto& w : s.windows) {
      if (!w->destroyed && w->visible && w->invalid) {
        *msg = MSG{Handle(w.get()), WM_PAINT, 0, 0, 0, {0, 0}};
        return TRUE;
      }
    }
    if (Active().waitEvent(&event)) {
      Queue(event);
      continue;
    }
    // No input will ever come: close every window, as a user finally would.
    bool any = false;
    for (auto& w : s.windows) {
      if (!w->destroyed) {
        s.queue.push_back(MSG{Handle(w.get()), WM_CLOSE, 0, 0, 0, {0, 0}});
        any = true;
      }
    }
    if (!any) {
      *msg = MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}};
      return FALSE;
    }
  }
}

int TranslateAcceleratorA(HWND, HACCEL, LPMSG) { return 0; }

BOOL TranslateMessage(const MSG* msg) { return msg && msg->message == WM_KEYDOWN; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM, LPARAM) {
  Window* w = Find(handle);
  if (!w) return 0;
  switch (message) {
    case WM_PAINT:
      w->invalid = false;  // validates, as BeginPaint/EndPaint would
      return 0;
    case WM_CLOSE:
      DestroyWindow(handle);
      return 0;
    case WM_ERASEBKGND: {
      HDC dc = GetDC(handle);
      const RECT all{0, 0, w->width, w->height};
      FillRect(dc, &all, w->windowClass->record.hbrBackground);
      ReleaseDC(handle, dc);
      return 1;
    }
    default:
      return 0;
  }
}

HDC GetDC(HWND handle) {
  Window* w = Find(handle);
  if (!w) return nullptr;
  return zantrel::gdi::CreateWindowDC(w->pixels.data(), w->width, w->height,
                                      w->backend->wantsChanges ? &w->changed : nullptr);
}

int ReleaseDC(HWND handle, HDC dc) {
  Window* w = Find(handle);
  if (!w || !dc) return 0;
  DeleteDC(dc);
  if (!w->visible) return 1;
  const RECT all{0, 0, w->width, w->height};
  w->backend->present(w->native, w->pixels.data(), w->width, w->height, w->backend->wantsChanges ? w->changed : all);
  w->changed = RECT{};
  return 1;
}

BOOL GetClientRect(HWND handle, RECT* rect) {
  Window* w = Find(handle);
  if (!w || !rect) return FALSE;
  *rect = RECT{0, 0, w->width, w->height};
  return TRUE;
}

namespace zantrel::user {

void UseBackend(const Backend& backend) { S().backend = &backend; }

}  // namespace zantrel::user
