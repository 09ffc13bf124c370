#include <cstdio>

#include "platform/program_text.h"
#include "platform/win32.h"

namespace {

bool HasHandle(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// The console of the process that started this one; an already attached console counts.
bool AttachStarterConsole() {
  return AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace

void WriteProgramText(ProgramStream stream, const char* text) {
  const bool output = stream == ProgramStream::kOutput;
  std::FILE* file = output ? stdout : stderr;
  if (!HasHandle(output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE)) {
    if (!AttachStarterConsole() || !std::freopen("CONOUT$", "w", file)) {
      MessageBoxA(nullptr, text, "Zantrel", MB_OK | (output ? MB_ICONINFORMATION : MB_ICONERROR));
      return;
    }
  }
  std::fputs(text, file);
  std::fflush(file);
}
