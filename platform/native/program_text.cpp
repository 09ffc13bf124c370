#include <cstdio>

#include "platform/program_text.h"

void WriteProgramText(ProgramStream stream, const char* text) {
  std::FILE* file = stream == ProgramStream::kOutput ? stdout : stderr;
  std::fputs(text, file);
  std::fflush(file);
}
