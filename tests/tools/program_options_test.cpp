#include "tools/program_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
  const char* commandLine;
  std::vector<std::string> words;
};

// How the Windows C runtime splits lpCmdLine for the cases the programs meet (no backslashes).
const SplitCase kSplitCases[] = {
    {"", {}},
    {"   \t ", {}},
    {"--version", {"--version"}},
    {"  --drag\t1,2,3,4  --out x.bmp ", {"--drag", "1,2,3,4", "--out", "x.bmp"}},
    {"\"two words\" tail", {"two words", "tail"}},
    {"pre\"fix mid\"dle", {"prefix middle"}},
    {"\"\" \"\"", {"", ""}},
    {"\"unclosed to the end", {"unclosed to the end"}},
};

TEST(SplitCommandLine, WordsAsTheWindowsRuntimeSplitsThem) {
  for (const SplitCase& c : kSplitCases) {
    EXPECT_EQ(SplitCommandLine(c.commandLine), c.words) << '[' << c.commandLine << ']';
  }
  EXPECT_TRUE(SplitCommandLine(nullptr).empty());
}

constexpr ProgramOption kOptions[] = {{"--out FILE", "where to write"}, {"-q", "quiet"}};
constexpr ProgramInfo kProgram{"tool", "[--out FILE] [-q]", "Does one thing.", kOptions};

TEST(HelpText, EveryOptionOnItsOwnLineWithDescriptionsInOneColumn) {
  const std::string text = HelpText(kProgram);
  EXPECT_EQ(text,
            "usage: tool [--out FILE] [-q]\n"
            "Does one thing.\n"
            "\n"
            "options:\n"
            "  --out FILE  where to write\n"
            "  -q          quiet\n"
            "  --help      print this help and exit\n"
            "  --version   print the version and exit\n");
}

TEST(BadArgumentText, NamesTheArgumentAndReasonBeforeTheUsageLine) {
  EXPECT_EQ(BadArgumentText(kProgram, "--in", "unknown option"),
            "tool: --in: unknown option\nusage: tool [--out FILE] [-q]\n"
            "(tool --help describes every option)\n");
  EXPECT_EQ(BadArgumentText(kProgram, "", "missing FILE").substr(0, 20), "tool: missing FILE\nu");
}

}  // namespace
