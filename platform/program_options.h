// The command-line conventions every program of the project keeps: --help describes each option
// on standard output, --version names the program and the project version, and a bad argument is
// named with the reason, followed by the usage line, on standard error (exit status 2). Here, below
// the app and the tools alike, so that every program reaches it without looking upward.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ProgramOption {
  const char* name;         // "--out FILE"
  const char* description;  // one line
};

struct ProgramInfo {
  const char* name;     // "zantrel-render"
  const char* usage;    // what follows the name in the usage line
  const char* summary;  // what the program does, one or two sentences
  std::span<const ProgramOption> options;  // --help and --version are added by the help text
};

constexpr int kUsageStatus = 2;

std::string HelpText(const ProgramInfo& program);
std::string VersionText(const ProgramInfo& program);
// "NAME: ARGUMENT: REASON", then the usage line and where to find more.
std::string BadArgumentText(const ProgramInfo& program, std::string_view argument,
                            std::string_view reason);

// Answers --help and --version (status 0); nothing for any other argument.
std::optional<int> AnswerStandardOption(const ProgramInfo& program, std::string_view argument);
// Reports the argument as bad and gives the status to exit with.
int RejectArgument(const ProgramInfo& program, std::string_view argument, std::string_view reason);
// An argument starting with "-" names an option; any other is an operand.
constexpr bool IsOption(std::string_view argument) { return argument.starts_with("-"); }
// Reports an argument the program has no place for: "unknown option" for an option, else the
// reason given for a stray operand.
int RejectUnexpectedArgument(const ProgramInfo& program, std::string_view argument,
                             std::string_view operandReason);

// The words of a Windows command line (the program's name not included), as the Windows C runtime
// splits it: at spaces and tabs outside double quotes; 2n backslashes before a double quote give
// n backslashes and the quote opens or closes, 2n + 1 give n and a literal quote; backslashes
// anywhere else are literal.
std::vector<std::string> SplitCommandLine(const char* commandLine);
