#include "platform/program_options.h"

#include <algorithm>

#include "platform/program_text.h"
#include "zantrel/version.h"

namespace {

constexpr ProgramOption kStandardOptions[] = {
    {"--help", "print this help and exit"},
    {"--version", "print the version and exit"},
};

void AddOptionLines(std::string& text, std::span<const ProgramOption> options, std::size_t column) {
  for (const ProgramOption& option : options) {
    const std::string_view name = option.name;
    text += "  ";
    text += name;
    text.append(column - name.size(), ' ');
    text += option.description;
    text += '\n';
  }
}

std::string UsageLine(const ProgramInfo& program) {
  return std::string("usage: ") + program.name + " " + program.usage + "\n";
}

}  // namespace

std::string HelpText(const ProgramInfo& program) {
  std::size_t widest = 0;
  for (const auto options : {program.options, std::span<const ProgramOption>(kStandardOptions)}) {
    for (const ProgramOption& option : options) {
      widest = std::max(widest, std::string_view(option.name).size());
    }
  }
  std::string text = UsageLine(program) + program.summary + "\n\noptions:\n";
  AddOptionLines(text, program.options, widest + 2);
  AddOptionLines(text, kStandardOptions, widest + 2);
  return text;
}

std::string VersionText(const ProgramInfo& program) {
  return std::string(program.name) + " " + kZantrelVersion + "\n";
}

std::string BadArgumentText(const ProgramInfo& program, std::string_view argument,
                            std::string_view reason) {
  std::string text = std::string(program.name) + ": ";
  if (!argument.empty()) {
    text += argument;
    text += ": ";
  }
  text += reason;
  text += '\n';
  return text + UsageLine(program) + "(" + program.name + " --help describes every option)\n";
}

std::optional<int> AnswerStandardOption(const ProgramInfo& program, std::string_view argument) {
  if (argument == "--help") {
    WriteProgramText(ProgramStream::kOutput, HelpText(program).c_str());
    return 0;
  }
  if (argument == "--version") {
    WriteProgramText(ProgramStream::kOutput, VersionText(program).c_str());
    return 0;
  }
  return std::nullopt;
}

int RejectArgument(const ProgramInfo& program, std::string_view argument, std::string_view reason) {
  WriteProgramText(ProgramStream::kError, BadArgumentText(program, argument, reason).c_str());
  return kUsageStatus;
}

int RejectUnexpectedArgument(const ProgramInfo& program, std::string_view argument,
                             std::string_view operandReason) {
  return RejectArgument(program, argument,
                        IsOption(argument) ? "unknown option" : operandReason);
}

std::vector<std::string> SplitCommandLine(const char* commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;  // "" is an empty word
  bool quoted = false;
  std::size_t backslashes = 0;
  for (const char* c = commandLine ? commandLine : ""; *c; ++c) {
    if (*c == '\\') {
      ++backslashes;
      inWord = true;
      continue;
    }
    const bool escaped = *c == '"' && backslashes % 2 == 1;
    word.append(*c == '"' ? backslashes / 2 : backslashes, '\\');
    backslashes = 0;
    if (*c == '"' && !escaped) {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (*c == ' ' || *c == '\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += *c;
      inWord = true;
    }
  }
  word.append(backslashes, '\\');
  if (inWord) words.push_back(word);
  return words;
}
