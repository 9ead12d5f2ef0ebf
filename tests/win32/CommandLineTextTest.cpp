// The argument text cut from Windows command lines.
#include <gtest/gtest.h>

#include "platform/win32/CommandLineText.h"

namespace {

using platform::win32::ArgumentsAfterProgramName;

TEST(CommandLineText, QuotedProgramNameEndsAtItsClosingQuote) {
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\Program Files\\z.exe\" a.txt"), L"a.txt");
    // No blank needed after the closing quote.
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\p\\z.exe\"a b"), L"a b");
    // Blanks and quotes inside the name belong to it.
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\a b\\z z.exe\"   x"), L"x");
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\p\\z.exe\""), L"");
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\never closed a.txt"), L"");
}

TEST(CommandLineText, UnquotedProgramNameEndsAtTheFirstBlank) {
    EXPECT_EQ(ArgumentsAfterProgramName(L"z.exe a.txt"), L"a.txt");
    EXPECT_EQ(ArgumentsAfterProgramName(L"C:\\p\\z.exe\ta.txt"), L"a.txt");
    EXPECT_EQ(ArgumentsAfterProgramName(L"z.exe"), L"");
    EXPECT_EQ(ArgumentsAfterProgramName(L""), L"");
    // A quote later in an unquoted name does not open anything.
    EXPECT_EQ(ArgumentsAfterProgramName(L"z\"x\".exe b"), L"b");
}

TEST(CommandLineText, LeadingBlanksGoEverythingElseStays) {
    EXPECT_EQ(ArgumentsAfterProgramName(L"z.exe    C:\\a b\\x.txt  "), L"C:\\a b\\x.txt  ");
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"z.exe\" \t \"C:\\a b\\x.txt\" "),
              L"\"C:\\a b\\x.txt\" ");
    EXPECT_EQ(ArgumentsAfterProgramName(L"z.exe one.txt  two.txt"), L"one.txt  two.txt");
    EXPECT_EQ(ArgumentsAfterProgramName(L"z.exe    "), L"");
    EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\ツール\\z.exe\" ファイル 一.txt"),
              L"ファイル 一.txt");
}

}  // namespace
