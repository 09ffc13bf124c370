// Process entry of the native build: calls WinMain as the Windows C runtime does, with the
// arguments joined into one command line (an argument holding a space or tab, or an empty one,
// in double quotes), and ends the process with its result through exit, so that destructors
// registered at start-up run. (Exit is called rather than returned into: in a browser, a main that
// waited for events has long handed control back to the page by the time WinMain returns, and
// nothing would take its result.)
#include <cstdlib>
#include <string>

#include "platform/native/windows.h"

int main(int argc, char** argv) {
  static std::string commandLine;  // static: exit does not end main's own objects
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (i > 1) commandLine += ' ';
    const bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    commandLine += quote ? '"' + argument + '"' : argument;
  }
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
  std::exit(WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT));
}
