// Prints the words of its command line, each in angle brackets on a line of its own: the process
// entry must join the arguments so that SplitCommandLine gives each back as it was passed.
#include <string>

#include "platform/program_options.h"
#include "platform/program_text.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  std::string text;
  for (const std::string& word : SplitCommandLine(commandLine)) text += "<" + word + ">\n";
  WriteProgramText(ProgramStream::kOutput, text.c_str());
  return 0;
}
