// The "参照" button: the Open dialog, preset to the current tool, and what it remembers.
#include "FormFixture.h"

namespace {

TEST_F(FormTest, OkWithoutChangeWritesTheToolAndCreatesTheFile) {
    const std::wstring tool = (dir / "tool").wstring();
    testsupport::WriteBytes(dir / "tool", "");
    auto form = Start();
    form->ExePath.SetText(tool);
    platform::testing::AnswerNextOpenDialog(tool);
    platform::testing::Click(form->btnReffer);
    EXPECT_EQ(platform::testing::LastOpenDialogPreset(), tool);
    EXPECT_EQ(form->ExePath.Text(), tool);
    EXPECT_EQ(form->ChosenExePath, tool);
    EXPECT_EQ(IniValue(L"WINDIFF", L"ExePath"), tool);
}

TEST_F(FormTest, CancelChangesNothing) {
    WriteIni("[WINDIFF]\nExePath=/usr/bin/true\n");
    const std::string before = testsupport::ReadBytes(IniFile());
    auto form = Start();
    platform::testing::CancelNextOpenDialog();
    platform::testing::Click(form->btnReffer);
    EXPECT_EQ(form->ExePath.Text(), L"/usr/bin/true");
    EXPECT_EQ(form->ChosenExePath, L"");
    EXPECT_EQ(testsupport::ReadBytes(IniFile()), before);
}

TEST_F(FormTest, TypedToolPathIsTheDialogsPresetAndTheChoiceLastsToTheNextStart) {
    std::filesystem::create_directory(dir / "tools");
    const std::wstring typed = (dir / "tools" / "typed-tool").wstring();
    const std::wstring chosen = (dir / "tools" / "chosen-tool").wstring();
    testsupport::WriteBytes(dir / "tools" / "typed-tool", "");
    testsupport::WriteBytes(dir / "tools" / "chosen-tool", "");
    auto form = Start();
    platform::testing::Type(form->ExePath, typed);
    platform::testing::AnswerNextOpenDialog(chosen);
    platform::testing::Click(form->btnReffer);
    EXPECT_EQ(platform::testing::LastOpenDialogPreset(), typed);
    EXPECT_EQ(form->ExePath.Text(), chosen);
    EXPECT_EQ(Start()->ExePath.Text(), chosen);
}

}  // namespace
