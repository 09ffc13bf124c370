// Process entry of the native build: calls WinMain as the Windows C runtime does, and returns its
// result through exit so that destructors registered at start-up run.
#include "platform/native/windows.h"

int main() {
  static char commandLine[] = "";
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
  return WinMain(instance, nullptr, commandLine, SW_SHOWDEFAULT);
}
