// Process entry of the native build: calls WinMain as the Windows C runtime does, with the
// arguments joined into one command line that splits back into them by Windows' rules, and ends
// the process with its result through exit, so that destructors registered at start-up run. (Exit
// is called rather than returned into: in a browser, a main that waited for events has long
// handed control back to the page by the time WinMain returns, and nothing would take its result.)
#include <cstdlib>
#include <string>

#include "platform/native/windows.h"

namespace {

// An argument as the command line holds it: as it is unless empty or holding a space, tab or
// double quote; else in double quotes, each quote escaped by a backslash and the backslashes in
// front of a quote (the closing one included) doubled, so that they stay backslashes.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

}  // namespace

int main(int argc, char** argv) {
  static std::string commandLine;  // static: exit does not end main's own objects
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += Quoted(argv[i]);
  }
  // Windows hands a program the address its .exe is loaded at, 0x400000 by default.
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
  std::exit(WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT));
}
