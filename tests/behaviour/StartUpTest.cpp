// Start-up: what the window shows for each combination of settings file and argument text.
#include "FormFixture.h"

namespace {

std::wstring DefaultTool() {
    const std::wstring bundled = platform::BundledComparisonTool();
    return bundled.empty()
               ? L"C:\\Program Files\\Microsoft Visual Studio\\Common\\Tools\\WINDIFF.EXE"
               : bundled;
}

TEST_F(FormTest, FreshStartShowsPlaceholdersAndDefaultToolAndCreatesNoFile) {
    auto form = Start();
    EXPECT_EQ(form->IniPath, dir.path().wstring() + platform::kPathSeparator + L"Zarvo.ini");
    EXPECT_EQ(form->ExePath.Text(), DefaultTool());
    EXPECT_EQ(form->path1.Text(), L"第一のパス指定");
    EXPECT_EQ(form->path2.Text(), L"第二のパス指定");
    EXPECT_EQ(form->path2.ListCount(), 0);
    EXPECT_EQ(form->Guide.Caption(), L"第一の対象ファイルをドロップして下さい");
    EXPECT_FALSE(form->FirstPathReady);
    EXPECT_FALSE(form->SecondPathReady);
    EXPECT_FALSE(std::filesystem::exists(IniFile()));
}

TEST_F(FormTest, HistoryWithoutArgumentOffersNewestEntryAndWaitsForFirstFile) {
    WriteIni("[DiffPath]\nLIST1=A\nLIST2=B\n");
    auto form = Start();
    EXPECT_EQ(form->path2.Text(), L"A");
    EXPECT_EQ(History(*form), (std::vector<std::wstring>{L"A", L"B"}));
    EXPECT_TRUE(form->SecondPathReady);
    EXPECT_FALSE(form->FirstPathReady);
    EXPECT_EQ(form->Guide.Caption(), L"第一の対象ファイルをドロップして下さい");
    EXPECT_EQ(form->path1.Text(), L"第一のパス指定");
}

TEST_F(FormTest, ArgumentWithoutHistoryAsksForSecondFile) {
    auto form = Start(L"X");
    EXPECT_EQ(form->path1.Text(), L"X");
    EXPECT_EQ(form->path2.Text(), L"第二のパス指定");
    EXPECT_TRUE(form->FirstPathReady);
    EXPECT_FALSE(form->SecondPathReady);
    EXPECT_EQ(form->Guide.Caption(), L"第二の対象ファイルを ドロップして下さい");
}

TEST_F(FormTest, ArgumentWithHistoryIsReadyToCompare) {
    WriteIni("[DiffPath]\nLIST1=A\n");
    auto form = Start(L"X");
    EXPECT_EQ(form->path1.Text(), L"X");
    EXPECT_EQ(form->path2.Text(), L"A");
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");
    EXPECT_TRUE(form->FirstPathReady);
    // The placeholder that stood in path1 is not history.
    EXPECT_EQ(History(*form), std::vector<std::wstring>{L"A"});
}

TEST_F(FormTest, ArgumentTextIsTakenWholeWithSpacesQuotesAndSeveralNames) {
    for (const std::wstring text : {L"C:\\a b\\x.txt", L"\"C:\\a b\\x.txt\"",
                                    L"one.txt two.txt  three.txt ", L"ファイル 一.txt"}) {
        auto form = Start(text);
        EXPECT_EQ(form->path1.Text(), text);
    }
}

TEST_F(FormTest, StoredToolPathIsShownAndAnEmptyOneStaysEmpty) {
    WriteIni("[WINDIFF]\nExePath=/opt/tools/meld\n");
    EXPECT_EQ(Start()->ExePath.Text(), L"/opt/tools/meld");
    WriteIni("[WINDIFF]\nExePath=\n");
    EXPECT_EQ(Start()->ExePath.Text(), L"");
}

TEST_F(FormTest, RootFolderGetsTheSeparatorTwice) {
    const std::wstring root = dir.path().root_path().wstring();
    ASSERT_EQ(root.back(), platform::kPathSeparator);
    platform::testing::OverrideExecutableDirectory(root);
    auto form = Start();
    // An ordinary user may not write the root: their settings go to their own folder.
    if (form->IniPath.find(L"/diff-zarvo/") != std::wstring::npos ||
        form->IniPath.find(L"\\Diff-Zarvo\\") != std::wstring::npos) {
        GTEST_SKIP() << "the root folder is not this user's to write";
    }
    EXPECT_EQ(form->IniPath, root + platform::kPathSeparator + L"Zarvo.ini");
}

TEST_F(FormTest, DamagedSettingsFilesStartWithDefaultsAndStayUntouched) {
    const std::string damaged[] = {
        std::string("\0\x01\x02\xff\xfe[DiffPath]\0LIST1", 16),
        "",
        std::string(3 * 1024 * 1024, 'x'),
        "\xff\xfe[\0D\0i\0f\0f\0P\0a\0t\0h\0]\0",
        "[DiffPath\nLIST1\n=\n[]\n===\n",
    };
    for (const std::string& bytes : damaged) {
        testsupport::WriteBytes(IniFile(), bytes);
        auto form = Start();
        EXPECT_EQ(form->ExePath.Text(), DefaultTool());
        EXPECT_EQ(form->path2.ListCount(), 0);
        EXPECT_EQ(form->path2.Text(), L"第二のパス指定");
        EXPECT_EQ(testsupport::ReadBytes(IniFile()), bytes);
    }
}

TEST_F(FormTest, SettingsFileThatIsAFolderGivesDefaults) {
    std::filesystem::create_directory(IniFile());
    auto form = Start(L"X");
    EXPECT_EQ(form->ExePath.Text(), DefaultTool());
    EXPECT_EQ(form->path1.Text(), L"X");
    form->SaveHistory();
    EXPECT_TRUE(std::filesystem::is_directory(IniFile()));
}

}  // namespace
