// Process entry of the native build: calls WinMain as the Windows C runtime does, and ends the
// process with its result through exit, so that destructors registered at start-up run. (Exit is
// called rather than returned into: in a browser, a main that waited for events has long handed
// control back to the page by the time WinMain returns, and nothing would take its result.)
#include <cstdlib>

#include "platform/native/windows.h"

int main() {
  static char commandLine[] = "";
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
  std::exit(WinMain(instance, nullptr, commandLine, SW_SHOWDEFAULT));
}
