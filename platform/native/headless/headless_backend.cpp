// Headless windows: the client area lives only in memory, and no input ever arrives, so a
// message loop on it ends once its queue is drained (user32 then closes the windows). Only for
// programs that ask for it: nobody sees these windows.
#include "platform/native/user/backend.h"

namespace zantrel::user {
namespace {

std::uintptr_t g_windowCount = 0;

const char* Open() { return nullptr; }
// Any distinct non-null value serves as the backend's handle: nothing is behind it.
void* Create(const char*, int, int) { return reinterpret_cast<void*>(++g_windowCount); }
void Show(void*) {}
void Destroy(void*) {}
void Present(void*, const std::uint8_t*, int, int, const RECT&) {}
bool NoInput(BackendEvent*) { return false; }

}  // namespace

const Backend& HeadlessBackend() {
  static const Backend backend{"headless", Open, Create, Show, Destroy, Present, false, NoInput, NoInput};
  return backend;
}

}  // namespace zantrel::user
