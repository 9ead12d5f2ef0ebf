// The Open dialog with the presets a Windows user meets: the WinDiff default, whose folder is
// missing on most systems, a bare name, and a very long path.
#include "behaviour/FormFixture.h"

namespace {

class OpenDialogTest : public FormTest {
protected:
    // A tool the dialog may choose, since it accepts only existing files.
    std::wstring MakeTool() {
        testsupport::WriteBytes(dir / "tool.exe", "");
        return (dir / "tool.exe").wstring();
    }
};

TEST_F(OpenDialogTest, DefaultToolInAMissingFolderStillOpensTheDialog) {
    const std::wstring tool = MakeTool();
    auto form = Start();
    ASSERT_EQ(form->ExePath.Text(),
              L"C:\\Program Files\\Microsoft Visual Studio\\Common\\Tools\\WINDIFF.EXE");
    platform::testing::AnswerNextOpenDialog(tool);
    platform::testing::Click(form->btnReffer);
    EXPECT_NE(platform::testing::LastOpenDialogPreset().find(L"WINDIFF.EXE"), std::wstring::npos);
    EXPECT_EQ(form->ExePath.Text(), tool);
    EXPECT_EQ(IniValue(L"WINDIFF", L"ExePath"), tool);
}

TEST_F(OpenDialogTest, BareNameAndLongPathPresetsOpenTheDialog) {
    const std::wstring tool = MakeTool();
    const std::wstring presets[] = {L"windiff.exe", L"C:\\" + std::wstring(300, L'x') + L".exe",
                                    L""};
    for (const std::wstring& preset : presets) {
        auto form = Start();
        form->ExePath.SetText(preset);
        platform::testing::AnswerNextOpenDialog(tool);
        platform::testing::Click(form->btnReffer);
        EXPECT_EQ(form->ExePath.Text(), tool) << platform::ToUtf8(preset);
    }
}

}  // namespace
