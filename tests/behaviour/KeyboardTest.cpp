// The window without a mouse: Ctrl+O and Ctrl+V take a file as a drop does, Enter presses the
// focused button and F4 opens the history list.
#include "FormFixture.h"

namespace {

using platform::testing::Key;
using platform::testing::PressKey;
using Paths = std::vector<std::wstring>;

TEST_F(FormTest, CtrlOTakesTheChosenFileAsADropAndCancelChangesNothing) {
    const std::wstring one = (dir / "one.txt").wstring();
    const std::wstring two = (dir / "two.txt").wstring();
    testsupport::WriteBytes(dir / "one.txt", "1");
    testsupport::WriteBytes(dir / "two.txt", "2");
    auto form = Start();

    platform::testing::CancelNextOpenDialog();
    PressKey(form->path1, Key::CtrlO);
    EXPECT_EQ(form->path1.Text(), L"第一のパス指定");
    EXPECT_FALSE(form->FirstPathReady);

    platform::testing::AnswerNextOpenDialog(one);
    PressKey(form->btnGo, Key::CtrlO);
    EXPECT_EQ(form->path1.Text(), one);
    EXPECT_TRUE(form->FirstPathReady);
    EXPECT_EQ(form->Guide.Caption(), L"第一の対象ファイルをドロップして下さい");

    // From a text box as well; the file before it becomes the second path.
    platform::testing::AnswerNextOpenDialog(two);
    PressKey(form->ExePath, Key::CtrlO);
    EXPECT_EQ(form->path1.Text(), two);
    EXPECT_EQ(form->path2.Text(), one);
    EXPECT_EQ(History(*form), Paths{one});
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");

    platform::testing::CancelNextOpenDialog();
    PressKey(form->path2, Key::CtrlO);
    EXPECT_EQ(form->path1.Text(), two);
    EXPECT_EQ(History(*form), Paths{one});
    EXPECT_FALSE(std::filesystem::exists(IniFile()));
}

TEST_F(FormTest, CtrlVTakesCopiedFilesAsADropAndPastesTextAsText) {
    const std::wstring first = (dir / "first.txt").wstring();
    const std::wstring second = dir.path().wstring() + L"/ファイル 2.txt";
    auto form = Start();

    platform::testing::CopyFilesToClipboard({first, second});
    PressKey(form->btnGo, Key::CtrlV);
    EXPECT_EQ(form->path1.Text(), first);
    EXPECT_TRUE(form->FirstPathReady);

    // Files win over a text box's own paste: the box keeps its text.
    const std::wstring tool = form->ExePath.Text();
    platform::testing::CopyFilesToClipboard({second});
    PressKey(form->ExePath, Key::CtrlV);
    EXPECT_EQ(form->path1.Text(), second);
    EXPECT_EQ(form->path2.Text(), first);
    EXPECT_EQ(form->ExePath.Text(), tool);
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");

    // Text pastes into the box with the focus, and is taken by nothing else.
    platform::testing::CopyTextToClipboard(L"/typed/パス.txt");
    platform::testing::Type(form->path1, L"");
    PressKey(form->path1, Key::CtrlV);
    EXPECT_EQ(form->path1.Text(), L"/typed/パス.txt");
    PressKey(form->btnGo, Key::CtrlV);
    EXPECT_EQ(form->path1.Text(), L"/typed/パス.txt");
    EXPECT_EQ(History(*form), Paths{first});
}

TEST_F(FormTest, EnterPressesTheFocusedButtonAndF4OpensTheHistory) {
    const std::wstring tool = (dir / "tool").wstring();
    testsupport::WriteBytes(dir / "tool", "");
    WriteIni("[DiffPath]\nLIST1=A\n");
    auto form = Start();
    platform::testing::AnswerNextOpenDialog(tool);
    PressKey(form->btnReffer, Key::Enter);
    EXPECT_EQ(form->ExePath.Text(), tool);

    EXPECT_FALSE(platform::testing::IsListDropped(form->path2));
    PressKey(form->path2, Key::F4);
    EXPECT_TRUE(platform::testing::IsListDropped(form->path2));
}

}  // namespace
