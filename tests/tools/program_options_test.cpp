// How the programs split a Windows command line: as the Windows C runtime does for the cases they
// meet (no backslashes). The help and complaint texts are checked on the programs themselves.
#include "tools/program_options.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitCommandLine, WordsAsTheWindowsRuntimeSplitsThem) {
  const struct {
    const char* commandLine;
    std::vector<std::string> words;
  } cases[] = {
      {nullptr, {}},
      {"   \t ", {}},
      {"  --drag\t1,2,3,4  --out x.bmp ", {"--drag", "1,2,3,4", "--out", "x.bmp"}},
      {"\"two words\" tail", {"two words", "tail"}},
      {"pre\"fix mid\"dle", {"prefix middle"}},
      {"\"\" \"\"", {"", ""}},
      {"\"unclosed to the end", {"unclosed to the end"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.commandLine), c.words) << ::testing::PrintToString(c.commandLine);
  }
}

}  // namespace
