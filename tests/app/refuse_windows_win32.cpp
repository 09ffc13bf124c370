// A training hook that vetoes the creation of every window of this thread, as Windows lets one.
#include "platform/win32.h"
#include "tests/app/refuse_windows.h"

namespace {

LRESULT CALLBACK Veto(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void RefuseWindows() { SetWindowsHookExA(WH_CBT, Veto, nullptr, GetCurrentThreadId()); }
