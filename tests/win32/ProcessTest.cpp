// Starting the comparison tool as a real process, and what a started program learns about
// itself: its argument text and its folder.
#include <atomic>

#include "Recorder.h"
#include "behaviour/FormFixture.h"

namespace {

using testsupport::Recorded;
using testsupport::RecorderCopy;

// A name no other test uses at the same time, also across processes.
std::wstring UniqueName(const wchar_t* prefix) {
    static std::atomic<int> counter{0};
    return prefix + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
}

class ProcessTest : public FormTest {};

TEST_F(ProcessTest, StartedToolGetsTheCommandLineAsBuiltAndKnowsItsFolder) {
    RecorderCopy recorder(dir.path(), UniqueName(L"tool-"));
    platform::CommandLine command;
    command.text = L"\"" + recorder.Path() + L"\" \"C:\\a b\\x.txt\" \"C:\\y.txt\"";
    const long pid = platform::StartProgram(command);
    EXPECT_GT(pid, 0);
    Recorded recorded;
    ASSERT_TRUE(recorder.Wait(recorded));
    EXPECT_EQ(recorded.commandLine, command.text);
    EXPECT_EQ(recorded.argumentText, L"\"C:\\a b\\x.txt\" \"C:\\y.txt\"");
    EXPECT_EQ(recorded.directory, dir.path().wstring());
}

TEST_F(ProcessTest, ProgramInADrivesRootKeepsTheBackslash) {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring root = std::filesystem::path(windows).root_path().wstring();
    ASSERT_EQ(root.size(), 3u);
    RecorderCopy recorder(root, UniqueName(L"zarvo-root-tool-"));
    platform::CommandLine command;
    command.text = L"\"" + recorder.Path() + L"\"   trailing blanks stay  ";
    platform::StartProgram(command);
    Recorded recorded;
    ASSERT_TRUE(recorder.Wait(recorded));
    EXPECT_EQ(recorded.directory, root);
    EXPECT_EQ(recorded.argumentText, L"trailing blanks stay  ");
}

TEST_F(ProcessTest, OwnFolderIsWhereTheTestProgramLies) {
    platform::testing::OverrideExecutableDirectory(L"");
    const std::filesystem::path folder = platform::ExecutableDirectory();
    EXPECT_TRUE(std::filesystem::exists(folder / "zarvo_win32_tests.exe"));
    EXPECT_NE(folder.wstring().back(), L'\\');
}

TEST_F(ProcessTest, MissingToolFailsWithTheSystemsReason) {
    platform::CommandLine command;
    command.text = L"\"" + (dir.path() / "missing.exe").wstring() + L"\" \"a\" \"b\"";
    try {
        platform::StartProgram(command);
        FAIL() << "a missing tool was started";
    } catch (const platform::Error& error) {
        EXPECT_FALSE(error.Message().empty());
    }
    command.text = L"\"\" \"a\" \"b\"";
    EXPECT_THROW(platform::StartProgram(command), platform::Error);
}

TEST_F(ProcessTest, GoButtonStartsTheToolOnBothPathsAndSavesTheHistory) {
    RecorderCopy recorder(dir.path(), UniqueName(L"tool-"));
    auto form = Start(L"\"C:\\quoted first.txt\"");
    platform::testing::Type(form->ExePath, recorder.Path());
    platform::testing::DropFiles(form->Guide, {L"C:\\a b\\x.txt"});
    platform::testing::Click(form->btnGo);
    Recorded recorded;
    ASSERT_TRUE(recorder.Wait(recorded));
    // The quotes the first path came with are not doubled: no name holds a quote.
    EXPECT_EQ(recorded.argumentText, L"\"C:\\a b\\x.txt\" \"C:\\quoted first.txt\"");
    // A value that begins with a quote goes in one more pair, so that it reads back with its own.
    EXPECT_EQ(testsupport::ReadBytes(IniFile()),
              "[DiffPath]\r\nLIST1=\"\"C:\\quoted first.txt\"\"\r\n");
}

TEST_F(ProcessTest, ToolThatCannotStartIsReportedAndNothingIsSaved) {
    const std::wstring missing = (dir.path() / "no such tool.exe").wstring();
    auto form = Start(L"first");
    form->AcceptFile(L"second");
    platform::testing::Type(form->ExePath, missing);
    platform::testing::AnswerNextMessageBox(false);
    platform::testing::Click(form->btnGo);
    const std::wstring message = platform::testing::LastMessage();
    EXPECT_NE(message.find(L"比較ツールを起動できませんでした。\n\n"), std::wstring::npos)
        << platform::ToUtf8(message);
    EXPECT_NE(message.find(missing), std::wstring::npos);
    EXPECT_FALSE(std::filesystem::exists(IniFile()));
    EXPECT_EQ(form->ExePath.Text(), missing);
}

}  // namespace
