// The settings file on a Japanese system: paths are stored in Shift-JIS (code page 932) and
// read back unchanged; characters that code page lacks are stored converted.
#include "behaviour/FormFixture.h"

namespace {

using Paths = std::vector<std::wstring>;

class JapaneseCodePageTest : public FormTest {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
        // The settings file itself lies in a folder with a Japanese name.
        std::filesystem::create_directory(dir.path() / L"設定");
        platform::testing::OverrideExecutableDirectory((dir.path() / L"設定").wstring());
        platform::testing::OverrideArgumentText(L"");
    }

    std::filesystem::path JapaneseIni() const { return dir.path() / L"設定" / L"Zarvo.ini"; }
};

TEST_F(JapaneseCodePageTest, JapanesePathsAreStoredAsShiftJisAndReadBackUnchanged) {
    // 表 and ソ end in the byte of a backslash (0x5C) in Shift-JIS.
    const std::wstring path = L"C:\\データ\\表ソ 一.txt";
    auto form = Start(path);
    form->AcceptFile(L"next");
    form->SaveHistory();
    EXPECT_EQ(
        testsupport::ReadBytes(JapaneseIni()),
        "[DiffPath]\r\nLIST1=C:\\\x83\x66\x81\x5B\x83\x5E\\\x95\x5C\x83\x5C \x88\xEA.txt\r\n");
    EXPECT_EQ(History(*Start()), Paths{path});
}

// A user folder the code page cannot spell: the program, its viewer, a tool and the files all lie
// under "José". What the settings file keeps must name the same files after a restart, and it
// holds nothing the code page lacks and never a '?'.
TEST_F(JapaneseCodePageTest, FilesInAFolderTheCodePageCannotSpellSurviveARestart) {
    const std::filesystem::path user = dir.path() / L"José";
    const std::filesystem::path app = user / L"Programs";
    std::filesystem::create_directories(app);
    std::filesystem::create_directories(user / L"한 tools");
    const std::filesystem::path viewer = app / L"diff-zarvo-view.exe";
    const std::filesystem::path tool = user / L"한 tools" / L"tool.exe";
    const std::filesystem::path a = user / L"a é.txt", b = user / L"b.txt";
    for (const auto& file : {viewer, tool, a, b}) testsupport::WriteBytes(file, "MZ");
    platform::testing::OverrideExecutableDirectory(app.wstring());
    const std::filesystem::path ini = app / L"Zarvo.ini";

    // The viewer beside the program, chosen: kept as its bare name, shown again in full.
    auto form = Start();
    EXPECT_EQ(form->ExePath.Text(), viewer.wstring());
    platform::testing::AnswerNextOpenDialog(viewer.wstring());
    platform::testing::Click(form->btnReffer);
    EXPECT_EQ(testsupport::ReadBytes(ini), "[WINDIFF]\r\nExePath=diff-zarvo-view.exe\r\n");
    EXPECT_EQ(Start()->ExePath.Text(), viewer.wstring());

    // Any other tool, and the history: kept under their short names, read back in full.
    form = Start(a.wstring());
    platform::testing::AnswerNextOpenDialog(tool.wstring());
    platform::testing::Click(form->btnReffer);
    form->AcceptFile(b.wstring());
    form->SaveHistory();
    const std::string bytes = testsupport::ReadBytes(ini);
    EXPECT_EQ(bytes.find('?'), std::string::npos) << bytes;
    EXPECT_NE(bytes.find('~'), std::string::npos) << bytes;
    for (const char c : bytes) EXPECT_GT(static_cast<signed char>(c), 0) << bytes;
    form = Start();
    EXPECT_EQ(form->ExePath.Text(), tool.wstring());
    EXPECT_EQ(History(*form), Paths{a.wstring()});
    // What was read is what is kept: saving it again changes nothing.
    form->AcceptFile(L"x");
    form->SaveHistory();
    EXPECT_EQ(testsupport::ReadBytes(ini), bytes);

    // A path the code page holds is stored as it stands, short name or not.
    const std::wstring plain = (dir.path() / L"プレーン.txt").wstring();
    form = Start(plain);
    form->AcceptFile(L"y");
    form->SaveHistory();
    EXPECT_NE(testsupport::ReadBytes(ini).find("LIST1=" + platform::ToAnsi(plain) + "\r\n"),
              std::string::npos);
    EXPECT_EQ(History(*Start()), (Paths{plain, a.wstring()}));
}

// A name the code page cannot spell, of a file that has no short name (none exists): the user is
// told, once, and the history keeps the files it can instead of a '?' that names nothing.
TEST_F(JapaneseCodePageTest, ANameThatCannotBeKeptIsToldAndLeftOut) {
    const std::wstring korean = L"C:\\없는 폴더\\한글.txt";
    auto form = Start(korean);
    form->AcceptFile(L"C:\\kept.txt");
    form->AcceptFile(L"last");
    platform::testing::AnswerNextMessageBox(true);
    form->SaveHistory();
    EXPECT_EQ(platform::testing::LastMessage(),
              L"次のパスは履歴として設定ファイル (Zarvo.ini) に保存できません。\n\n" + korean +
                  L"\n\n名前の一部の文字を設定ファイルの文字コードで書けず、短い名前 (8.3 "
                  L"形式) もないため、次回の起動では履歴に残りません。");
    EXPECT_EQ(testsupport::ReadBytes(JapaneseIni()), "[DiffPath]\r\nLIST1=C:\\kept.txt\r\n");
    // Told once: the next save says nothing more (an unanswered box would hold the test).
    form->SaveHistory();
    EXPECT_EQ(History(*Start()), Paths{L"C:\\kept.txt"});
}

}  // namespace
