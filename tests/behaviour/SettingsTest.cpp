// Reading single values from the settings file.
#include "FormFixture.h"

namespace {

TEST_F(FormTest, ZeroTrimCutsAtTheFirstNul) {
    Form1 form;
    const std::pair<std::wstring, std::wstring> cases[] = {
        {std::wstring(L"abc\0def", 7), L"abc"},
        {L"abc", L"abc"},
        {std::wstring(L"\0abc", 4), L""},
        {L"", L""},
    };
    for (auto [text, expected] : cases) {
        form.ZeroTrim(text);
        EXPECT_EQ(text, expected);
    }
}

TEST_F(FormTest, ReadIniGivesStoredValueOrDefault) {
    WriteIni("[WINDIFF]\nExePath=tool\nEmpty=\n");
    Form1 form;
    form.IniPath = IniFile().wstring();
    EXPECT_EQ(form.ReadIni(L"WINDIFF", L"ExePath", L"default"), L"tool");
    EXPECT_EQ(form.ReadIni(L"windiff", L"exepath", L"default"), L"tool");
    EXPECT_EQ(form.ReadIni(L"WINDIFF", L"Empty", L"default"), L"");
    EXPECT_EQ(form.ReadIni(L"WINDIFF", L"Missing", L"default"), L"default");
    EXPECT_EQ(form.ReadIni(L"Other", L"ExePath", L""), L"");
}

}  // namespace
