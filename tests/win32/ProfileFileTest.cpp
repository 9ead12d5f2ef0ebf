// Settings files move between the Linux and the Windows build unchanged: Windows reads the
// layout the Linux build writes, and writes the layout the Linux build reads.
#include "behaviour/FormFixture.h"

namespace {

using Paths = std::vector<std::wstring>;

class ProfileFileTest : public FormTest {};

TEST_F(ProfileFileTest, FileInTheLinuxBuildsLayoutReadsTheSame) {
    // What the Linux build writes for a tool choice followed by a launch.
    testsupport::WriteBytes(IniFile(),
                            "[WINDIFF]\r\nExePath=C:\\Tools\\diff.exe\r\n"
                            "[DiffPath]\r\nLIST1=C:\\a b\\x.txt\r\nLIST2=y\r\n");
    auto form = Start();
    EXPECT_EQ(form->ExePath.Text(), L"C:\\Tools\\diff.exe");
    EXPECT_EQ(History(*form), (Paths{L"C:\\a b\\x.txt", L"y"}));
}

TEST_F(ProfileFileTest, ReadingRulesAgreeWithTheLinuxBuild) {
    // Case-blind names, blanks around names and values, one pair of quotes removed, comments,
    // LF-only lines, keys outside sections and the first section of a name winning.
    testsupport::WriteBytes(IniFile(),
                            "LIST1=outside\n"
                            "[ diffpath ]\n"
                            "; LIST2=comment\n"
                            "  list1 =  \" q v \"  \n"
                            "LIST2='unmatched\n"
                            "LIST3=a;b#c\n"
                            "[DiffPath]\n"
                            "LIST4=second section\n");
    auto form = Start();
    EXPECT_EQ(History(*form), (Paths{L" q v ", L"'unmatched", L"a;b#c"}));
}

TEST_F(ProfileFileTest, WindowsWritesWhatTheLinuxBuildWrites) {
    auto form = Start(L"first");
    form->AcceptFile(L"second");
    form->SaveHistory();
    EXPECT_EQ(testsupport::ReadBytes(IniFile()), "[DiffPath]\r\nLIST1=first\r\n");

    // An existing key changes in place, keeping its casing; a new section goes at the end.
    testsupport::WriteBytes(IniFile(), "[diffpath]\r\nlist1=old\r\n");
    form->SaveHistory();
    platform::testing::AnswerNextOpenDialog(IniFile().wstring());
    platform::testing::Click(form->btnReffer);
    EXPECT_EQ(testsupport::ReadBytes(IniFile()),
              "[diffpath]\r\nlist1=first\r\n[WINDIFF]\r\nExePath=" +
                  platform::ToAnsi(IniFile().wstring()) + "\r\n");
}

TEST_F(ProfileFileTest, NewKeyGoesAfterTheLastEntryOfItsSection) {
    testsupport::WriteBytes(IniFile(), "[DiffPath]\r\nLIST1=a\r\n[WINDIFF]\r\nExePath=t\r\n");
    auto form = Start(L"x");
    form->AcceptFile(L"y");
    form->AcceptFile(L"z");
    form->SaveHistory();
    EXPECT_EQ(testsupport::ReadBytes(IniFile()),
              "[DiffPath]\r\nLIST1=y\r\nLIST2=x\r\nLIST3=a\r\n[WINDIFF]\r\nExePath=t\r\n");
}

}  // namespace
