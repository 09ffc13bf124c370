// Text for the person who started a program: its answer to --help and --version, or what was
// wrong with its command line.
//
// A console program has its standard output and error. A Windows program linked as a GUI process
// has them only when its starter hands them over (a pipe, a file, Wine started from a shell); when
// it was started from a console window without them, the text goes to that console, and when there
// is no console at all (started from a desktop shortcut) it is shown in a message box.
#pragma once

enum class ProgramStream { kOutput, kError };

void WriteProgramText(ProgramStream stream, const char* text);
