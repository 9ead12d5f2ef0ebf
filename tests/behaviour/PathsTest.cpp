// Every path reaches the tool, and comes back from the history, exactly: long names, blanks and
// quotes at the ends, names the file cannot hold, names that are not UTF-8, relative names,
// trailing backslashes, characters outside the ANSI code page.
#include "FormFixture.h"
#include "support/Launches.h"

namespace {

using Args = std::vector<std::string>;
using Paths = std::vector<std::wstring>;
using testsupport::ReadBytes;
using testsupport::WaitForLaunches;

class PathsTest : public FormTest {
protected:
    std::filesystem::path tool = testsupport::InstallRecordTool(dir.path());
    std::string toolLine = "[WINDIFF]\nExePath=" + platform::ToUtf8(tool.wstring()) + "\n";

    void ClearLaunches() {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().extension() == ".args") std::filesystem::remove(entry.path());
        }
    }
};

// A 5,000-character name and names with blanks and quotes at their ends go to the tool, into the
// file and back out of it unchanged; names stored before keep their exact form in the file.
TEST_F(PathsTest, LongNamesAndBlanksOrQuotesAtTheEndsComeBackWhole) {
    const std::wstring longName(5000, L'v');
    WriteIni(toolLine + "[DiffPath]\nLIST1=" + std::string(5000, 'v') +
             "\nLIST2=\"  spaced  \"\nLIST3=\"\"q\"\"\n");
    auto form = Start(L"x");
    EXPECT_EQ(History(*form), (Paths{longName, L"  spaced  ", L"\"q\""}));
    platform::testing::Type(form->path1, L" lead ");
    platform::testing::DropFiles(form->window, {(dir / "'quoted'").wstring()});
    platform::testing::Click(form->btnGo);
    const std::string newest = platform::ToUtf8((dir / "'quoted'").wstring());
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{newest, " lead "}}));
    const std::string stored = ReadBytes(IniFile());
    EXPECT_NE(stored.find("\r\nLIST1=\" lead \"\r\nLIST2=" + std::string(5000, 'v') +
                          "\r\nLIST3=\"  spaced  \"\r\nLIST4=\"\"q\"\"\r\n"),
              std::string::npos)
        << stored;

    auto again = Start();
    EXPECT_EQ(History(*again), (Paths{L" lead ", longName, L"  spaced  ", L"\"q\""}));
    EXPECT_EQ(again->path2.Text(), L" lead ");
}

// Rewriting the key on a last line that has no line break ends it with CR LF.
TEST_F(PathsTest, ARewrittenLastLineEndsWithCrLf) {
    const std::string toolBytes = "[WINDIFF]\r\nExePath=" + platform::ToUtf8(tool.wstring());
    testsupport::WriteBytes(IniFile(), toolBytes + "\r\n[DiffPath]\r\nLIST1=old");
    auto form = Start();
    platform::testing::DropFiles(form->window, {(dir / "new").wstring()});
    platform::testing::DropFiles(form->window, {(dir / "newer").wstring()});
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(ReadBytes(IniFile()),
              toolBytes + "\r\n[DiffPath]\r\nLIST1=" + platform::ToUtf8((dir / "new").wstring()) +
                  "\r\nLIST2=old\r\n");
}

// Typing in the second-path box never changes the text: no completion from the history, no case
// folding, neither when the list is looked at nor when focus moves on.
TEST_F(PathsTest, TheSecondPathIsWhatTheUserTyped) {
    WriteIni(toolLine + "[DiffPath]\nLIST1=data-a.txt.orig\nLIST2=data-Report.txt\n");
    auto form = Start(L"first");
    for (const std::wstring typed : {L"data-a.txt", L"data-report.txt"}) {
        platform::testing::Type(form->path2, typed);
        platform::testing::OpenAndCloseList(form->path2);
        EXPECT_EQ(form->path2.Text(), typed);
        platform::testing::Type(form->path1, L"first");
        EXPECT_EQ(form->path2.Text(), typed);
    }
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"first", "data-report.txt"}}));
}

#ifdef _WIN32

// Explorer passes a path with blanks in one pair of quotes; a relative path names a file in the
// current folder; a path ending in a backslash reaches the tool as itself.
TEST_F(PathsTest, QuotedRelativeAndBackslashEndedPathsReachTheToolAsThemselves) {
    WriteIni(toolLine);
    auto form = StartWithCommandLine(L"\"C:\\a b\\x y.txt\"");
    EXPECT_EQ(form->path1.Text(), L"C:\\a b\\x y.txt");
    platform::testing::DropFiles(form->window, {L"C:\\"});
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"C:\\", "C:\\a b\\x y.txt"}}));
    ClearLaunches();
    platform::testing::Type(form->path2, L"C:\\data\\\\");
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"C:\\", "C:\\data\\\\"}}));

    const std::wstring cwd = std::filesystem::current_path().wstring();
    EXPECT_EQ(StartWithCommandLine(L"rel dir\\x.txt")->path1.Text(), cwd + L"\\rel dir\\x.txt");
    // Several names, each in its own quotes (Send To with a selection), are taken one after the
    // other and paired; any other text stays as it is.
    std::filesystem::remove(IniFile());
    form = StartWithCommandLine(L"\"C:\\t\\a b\\x y.txt\"  \"C:\\t\\c.txt\" \"rel.txt\"");
    EXPECT_EQ(form->path1.Text(), cwd + L"\\rel.txt");
    EXPECT_EQ(History(*form), (Paths{L"C:\\t\\c.txt", L"C:\\t\\a b\\x y.txt"}));
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");
    for (const wchar_t* text :
         {L"\"C:\\a\"\"C:\\b\"", L"\"C:\\a\" C:\\b", L"\"C:\\a\" \"\"", L"\"C:\\a b"}) {
        EXPECT_EQ(StartWithCommandLine(text)->path1.Text(), text);
    }
}

// In a folder named outside the ANSI code page the settings file is found, read and written, and
// it stays the ANSI file the A functions write. A path the code page cannot spell is kept by its
// short name, never as a look-alike (café is not cafe, the name of another file) nor with a '?'
// that names nothing; one without a short name is not kept, and the user is told.
TEST_F(PathsTest, TheSettingsFileInAnyFolderStaysAnAnsiFileWithoutLookAlikes) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    const std::filesystem::path chosen = dir.path() / L"比較\u00e9.exe";
    std::filesystem::copy_file(tool, chosen);
    for (const wchar_t* name : {L"도구", L"Caf\u00e9"}) {
        const std::filesystem::path folder = dir.path() / name;
        std::filesystem::create_directory(folder);
        platform::testing::OverrideExecutableDirectory(folder.wstring());
        const std::filesystem::path ini = folder / L"Zarvo.ini";

        // A new file, as the tool is chosen.
        auto form = Start(L"C:\\caf\u00e9\\表.txt");
        platform::testing::AnswerNextOpenDialog(chosen.wstring());
        platform::testing::Click(form->btnReffer);
        const std::string toolBytes = ReadBytes(ini);
        EXPECT_EQ(toolBytes.rfind("[WINDIFF]\r\nExePath=" + dir.path().string() + "\\", 0), 0u)
            << toolBytes;
        for (const char c : toolBytes) EXPECT_TRUE(c > 0 && c != '?') << toolBytes;
        EXPECT_EQ(Start()->ExePath.Text(), chosen.wstring());

        // An existing file, as the history is saved after a launch with the real tool.
        const std::string historyBytes = "[WINDIFF]\r\nExePath=" + tool.string() +
                                         "\r\n[DiffPath]\r\nLIST1=\x83\x66\x81\x5B\x83\x5E.txt\r\n";
        testsupport::WriteBytes(ini, historyBytes);
        form = Start(L"C:\\caf\u00e9\\表.txt");
        EXPECT_EQ(History(*form), Paths{L"データ.txt"});
        platform::testing::DropFiles(form->window, {L"C:\\new.txt"});
        platform::testing::AnswerNextMessageBox(true);
        platform::testing::Click(form->btnGo);
        EXPECT_EQ(WaitForLaunches(dir.path(), 1),
                  (std::vector<Args>{{"C:\\new.txt", "C:\\caf\xC3\xA9\\\xE8\xA1\xA8.txt"}}));
        EXPECT_NE(platform::testing::LastMessage().find(L"\n\nC:\\caf\u00e9\\表.txt\n\n"),
                  std::wstring::npos);
        EXPECT_EQ(ReadBytes(ini), historyBytes);
        EXPECT_EQ(History(*Start()), Paths{L"データ.txt"});
        ClearLaunches();
    }
}

// A system message that names its file as "%1" names the tool instead.
TEST_F(PathsTest, AFailedStartNamesTheToolWhereTheSystemSaysPercentOne) {
    const std::filesystem::path text = dir / "notes.txt";
    testsupport::WriteBytes(text, "not a program");
    WriteIni("[WINDIFF]\nExePath=" + text.string() + "\n");
    auto form = Start(L"a");
    platform::testing::AnswerNextMessageBox(false);
    platform::testing::Click(form->btnGo);
    const std::wstring message = platform::testing::LastMessage();
    EXPECT_EQ(message.find(L"%1"), std::wstring::npos) << platform::ToUtf8(message);
    const size_t reason = message.find(L"\n理由: ");
    ASSERT_NE(reason, std::wstring::npos);
    EXPECT_NE(message.find(text.wstring(), reason), std::wstring::npos)
        << platform::ToUtf8(message);
}

#else

// Names in any bytes, from the command line, a drop and the history, and a program installed in
// a folder whose name is not UTF-8: the tool gets the bytes, the file keeps them.
TEST_F(PathsTest, NamesThatAreNotUtf8StayBytes) {
    const std::string folder = platform::ToUtf8(dir.path().wstring()) + "/inst\xff";
    std::filesystem::create_directory(folder);
    const std::string viewer = folder + "/diff-zarvo-view";
    std::filesystem::copy_file(tool, viewer);
    platform::testing::OverrideExecutableDirectory(platform::FromUtf8(folder));

    const std::string cwd = std::filesystem::current_path().string();
    char program[] = "diff-zarvo", relative[] = "caf\xe9.txt";
    char* argv[] = {program, relative, nullptr};
    platform::SetArguments(2, argv);
    auto form = std::make_unique<Form1>();
    form->window.Show();
    EXPECT_EQ(platform::ToUtf8(form->path1.Text()), cwd + "/caf\xe9.txt");
    // A file on another host is no local file; localhost is this machine.
    platform::testing::DropUris(form->window, {"file://otherhost/srv/x.txt"});
    EXPECT_EQ(platform::ToUtf8(form->path1.Text()), cwd + "/caf\xe9.txt");
    platform::testing::DropUris(form->window, {"file://localhost/data/%FF%FE"});
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(folder, 1),
              (std::vector<Args>{{"/data/\xff\xfe", cwd + "/caf\xe9.txt"}}));
    EXPECT_EQ(ReadBytes(folder + "/Zarvo.ini"), "[DiffPath]\r\nLIST1=" + cwd + "/caf\xe9.txt\r\n");

    platform::testing::OverrideArgumentText(L"");
    auto again = std::make_unique<Form1>();
    again->window.Show();
    EXPECT_EQ(platform::ToUtf8(again->path2.Text()), cwd + "/caf\xe9.txt");
    EXPECT_EQ(platform::ToUtf8(again->ExePath.Text()), viewer);
}

// The Open dialog shows and gives back such a name with U+FFFD in place of its bytes: the file
// taken is still the one on disk, for the file to compare (Ctrl+O) and for the tool (参照).
TEST_F(PathsTest, TheOpenDialogTakesNamesThatAreNotUtf8AsTheyAreOnDisk) {
    const std::string base = platform::ToUtf8(dir.path().wstring());
    testsupport::WriteBytes(base + "/caf\xe9 \xfe.txt", "x");
    const std::wstring shown = dir.path().wstring() + L"/caf\uFFFD \uFFFD.txt";
    auto form = Start();

    platform::testing::AnswerNextOpenDialog(shown);
    platform::testing::PressKey(form->btnGo, platform::testing::Key::CtrlO);
    EXPECT_EQ(platform::ToUtf8(form->path1.Text()), base + "/caf\xe9 \xfe.txt");
    platform::testing::AnswerNextOpenDialog(shown);
    platform::testing::Click(form->btnReffer);
    EXPECT_EQ(platform::ToUtf8(form->ExePath.Text()), base + "/caf\xe9 \xfe.txt");
    EXPECT_EQ(ReadBytes(IniFile()), "[WINDIFF]\r\nExePath=" + base + "/caf\xe9 \xfe.txt\r\n");
}

// A name the file cannot hold (a line break) reaches the tool but not the file; the entries
// after it move up and no key keeps an older entry.
TEST_F(PathsTest, ANameWithALineBreakIsLeftOutOfTheFileWithoutStaleEntries) {
    WriteIni(toolLine + "[DiffPath]\nLIST1=f1\nLIST2=f2\nLIST3=f3\nLIST6=f6\n");
    auto form = Start(L"/d/one");
    platform::testing::DropUris(form->window, {"file:///d/bad%0Aname"});
    platform::testing::DropUris(form->window, {"file:///d/two"});
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"/d/two", "/d/bad\nname"}}));
    EXPECT_EQ(ReadBytes(IniFile()), "[WINDIFF]\r\nExePath=" + platform::ToUtf8(tool.wstring()) +
                                        "\r\n[DiffPath]\r\nLIST1=/d/one\r\nLIST2=f1\r\nLIST3=f2\r\n"
                                        "LIST4=f3\r\nLIST5=f6\r\n");
}

#endif

}  // namespace
