// A window system whose display cannot be opened. Nothing else of it may ever be used: a window
// made on it, or a wait for its input, means start-up went on after the refusal.
#include <gtest/gtest.h>

#include "platform/native/user/backend.h"
#include "tests/app/refuse_windows.h"

namespace {

using zantrel::user::Backend;
using zantrel::user::BackendEvent;

const char* Unreachable() { return "display \"test\" cannot be opened."; }
void* CreateNothing(const char*, int, int) {
  ADD_FAILURE() << "a window was made although the display could not be opened";
  return nullptr;
}
void Untouched(void*) { ADD_FAILURE() << "a window of a refusing backend was used"; }
void PresentNothing(void*, const std::uint8_t*, int, int) { Untouched(nullptr); }
bool NeverWait(BackendEvent*) {
  ADD_FAILURE() << "waited for input although there is no window";
  return false;
}

}  // namespace

void RefuseWindows() {
  static const Backend refusing{"refusing", Unreachable,    CreateNothing, Untouched,
                                Untouched,  PresentNothing, NeverWait};
  zantrel::user::UseBackend(refusing);
}
