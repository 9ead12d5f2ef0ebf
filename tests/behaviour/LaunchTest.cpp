// The "実行" button: the tool starts on the pair, and only a started tool saves the history.
#include "FormFixture.h"
#include "support/Launches.h"

namespace {

using Args = std::vector<std::string>;
using testsupport::WaitForLaunches;

std::string Narrow(const std::wstring& text) { return platform::ToUtf8(text); }

class LaunchTest : public FormTest {
protected:
    std::wstring tool = testsupport::InstallRecordTool(dir.path()).wstring();

    void UseTool(const std::wstring& path) {
        WriteIni("[WINDIFF]\nExePath=" + Narrow(path) + "\n");
    }
};

TEST_F(LaunchTest, BeforeAnyFileNothingStartsAndNothingIsWritten) {
    UseTool(tool);
    const std::string before = testsupport::ReadBytes(IniFile());
    auto form = Start();
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(testsupport::ReadBytes(IniFile()), before);
    // The first launch that does happen is the only one recorded.
    form->AcceptFile(L"a");
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1).size(), 1u);
}

TEST_F(LaunchTest, StartsToolWithNewestFileFirstThenSavesHistory) {
    WriteIni("[WINDIFF]\nExePath=" + Narrow(tool) + "\n[DiffPath]\nLIST1=older.txt\n");
    auto form = Start(L"newer.txt");
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"newer.txt", "older.txt"}}));
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST1"), L"older.txt");
    // A launch changes nothing in the window: the same pair can go again.
    EXPECT_EQ(form->path1.Text(), L"newer.txt");
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");
}

TEST_F(LaunchTest, TwoDroppedFilesAreComparedAndTheFirstBecomesHistory) {
    UseTool(tool);
    auto form = Start();
    platform::testing::DropFiles(form->window, {(dir / "first.txt").wstring()});
    platform::testing::DropFiles(form->window, {(dir / "second.txt").wstring()});
    platform::testing::Click(form->btnGo);
    const auto launches = WaitForLaunches(dir.path(), 1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], (Args{Narrow((dir / "second.txt").wstring()),
                                 Narrow((dir / "first.txt").wstring())}));
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST1"), (dir / "first.txt").wstring());
}

// Where the settings file cannot be written at all, the first setting lost says so, once, naming
// the file; the comparison starts all the same.
TEST_F(LaunchTest, AnUnwritableSettingsFileIsToldOnceAndTheToolStillStarts) {
    std::filesystem::create_directory(IniFile());  // a folder where the file should be
    auto form = Start(L"b.txt");
    EXPECT_EQ(form->IniPath, IniFile().wstring());
    platform::testing::Type(form->ExePath, tool);
    form->AcceptFile(L"c.txt");
    platform::testing::AnswerNextMessageBox(true);
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"c.txt", "b.txt"}}));
    EXPECT_EQ(platform::testing::LastMessage(),
              L"設定ファイルに書き込めません。\n\n" + IniFile().wstring() +
                  L"\n\n選んだ比較ツールと履歴は今回は使えますが、次回の起動では残りません。"
                  L"このファイルか、そのフォルダーに書き込めるようにしてください。");
    // (A second message would wait for an answer that never comes.)
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 2).size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(IniFile()));
}

TEST_F(LaunchTest, WithoutSecondPathThePlaceholderIsTheSecondArgument) {
    UseTool(tool);
    auto form = Start(L"only.txt");
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1),
              (std::vector<Args>{{"only.txt", Narrow(L"第二のパス指定")}}));
    // Nothing in the list, so nothing to save.
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST1"), L"<missing>");
}

TEST_F(LaunchTest, PressingTwiceStartsTwice) {
    UseTool(tool);
    auto form = Start(L"a");
    form->AcceptFile(L"b");
    platform::testing::Click(form->btnGo);
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 2), (std::vector<Args>{{"b", "a"}, {"b", "a"}}));
}

TEST_F(LaunchTest, TypedTextsAreWhatTheToolGets) {
    UseTool(tool);
    auto form = Start(L"a");
    platform::testing::Type(form->path1, L"typed first");
    platform::testing::Type(form->path2, L"typed second");
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"typed first", "typed second"}}));
}

TEST_F(LaunchTest, AToolTypedByHandIsUsedButNotSaved) {
    auto form = Start(L"a");
    platform::testing::Type(form->ExePath, tool);
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(WaitForLaunches(dir.path(), 1).size(), 1u);
    EXPECT_EQ(IniValue(L"WINDIFF", L"ExePath"), L"<missing>");
}

// A tool that cannot start: the user is told which and why, offered another, and nothing is saved.
TEST_F(LaunchTest, ToolThatCannotStartIsReportedAndSavesNoHistory) {
    const std::filesystem::path notExecutable = dir / "plain.txt";
    testsupport::WriteBytes(notExecutable, "not a program");
    const std::wstring tools[] = {(dir / "missing-tool").wstring(), L"", dir.path().wstring(),
                                  notExecutable.wstring()};
    for (const std::wstring& broken : tools) {
        SCOPED_TRACE(Narrow(broken));
        WriteIni("[WINDIFF]\nExePath=" + Narrow(broken) + "\n[DiffPath]\nLIST1=old\n");
        const std::string before = testsupport::ReadBytes(IniFile());
        auto form = Start(L"new");
        form->AcceptFile(L"newer");
        platform::testing::AnswerNextMessageBox(false);
        platform::testing::Click(form->btnGo);
        const std::wstring message = platform::testing::LastMessage();
        EXPECT_NE(message.find(L"比較ツールを起動できませんでした。\n\n"), std::wstring::npos);
        EXPECT_NE(message.find(L"ツール: " + broken + L"\n"), std::wstring::npos);
        EXPECT_NE(message.find(L"\n理由: "), std::wstring::npos);
        EXPECT_EQ(testsupport::ReadBytes(IniFile()), before);

        // The window still works: with a real tool the same pair goes through.
        form->ExePath.SetText(tool);
        platform::testing::Click(form->btnGo);
        EXPECT_EQ(WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"newer", "new"}}));
        EXPECT_EQ(IniValue(L"DiffPath", L"LIST1"), L"new");
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().extension() == ".args") std::filesystem::remove(entry.path());
        }
    }
}

TEST_F(LaunchTest, AnsweringYesAfterAFailedStartOpensTheToolChoice) {
    const std::wstring missing = (dir / "missing-tool").wstring();
    UseTool(missing);
    auto form = Start(L"a");
    platform::testing::AnswerNextMessageBox(true);
    platform::testing::AnswerNextOpenDialog(tool);
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(platform::testing::LastOpenDialogPreset(), missing);
    EXPECT_EQ(form->ExePath.Text(), tool);
    EXPECT_EQ(IniValue(L"WINDIFF", L"ExePath"), tool);
}

}  // namespace
