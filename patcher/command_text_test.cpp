#include "patcher/command_text.h"

#include <gtest/gtest.h>

namespace {

struct CommandTextCase {
  const char* command_line;
  const char* text;
};
void PrintTo(const CommandTextCase& c, std::ostream* os) {
  *os << testing::PrintToString(std::string(c.command_line));
}

class CommandTextFromTest : public testing::TestWithParam<CommandTextCase> {};

TEST_P(CommandTextFromTest, CutsOffTheProgramName) {
  EXPECT_EQ(CommandTextFrom(GetParam().command_line), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTextFromTest,
    testing::Values(
        CommandTextCase{"", ""}, CommandTextCase{"evenbough.exe", ""},
        CommandTextCase{"evenbough.exe   ", ""},
        CommandTextCase{"evenbough.exe C:\\Games\\Risen 2", "C:\\Games\\Risen 2"},
        // Inner and trailing blanks, quotes and backslashes are the installer's own.
        CommandTextCase{"\"C:\\Program Files\\evenbough.exe\" D:\\Risen 2 \\ ", "D:\\Risen 2 \\ "},
        CommandTextCase{"evenbough.exe \t \"D:\\Risen 2\"", "\"D:\\Risen 2\""},
        CommandTextCase{"evenbough.exe a\"b c\"", "a\"b c\""},
        // A quote anywhere in the name switches quoting, so blanks there belong to the name.
        CommandTextCase{"C:\\x\" y\"z\\evenbough.exe dir", "dir"},
        CommandTextCase{"\"C:\\never closed.exe dir", ""},
        CommandTextCase{"\"\"evenbough.exe dir", "dir"},
        // Every byte from 1 to 32 separates; bytes above 127 are name bytes.
        CommandTextCase{"evenbough.exe\x01\x1f \t\n\rdir", "dir"},
        CommandTextCase{"\xe9v\xe9nbough\xa0.exe \xe9t\xe9", "\xe9t\xe9"},
        CommandTextCase{"evenbough\177b dir", "dir"}));

}  // namespace
