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

TEST_F(JapaneseCodePageTest, CharactersOutsideTheCodePageAreStoredConverted) {
    const std::wstring korean = L"C:\\한글.txt";
    const std::wstring emoji = L"C:\\\U0001F600.txt";
    auto form = Start(korean);
    form->AcceptFile(emoji);
    form->AcceptFile(L"last");
    form->SaveHistory();

    const std::string bytes = testsupport::ReadBytes(JapaneseIni());
    EXPECT_EQ(bytes.find("\xED"), std::string::npos) << "no UTF-8 in an ANSI file";
    const Paths stored = History(*Start());
    ASSERT_EQ(stored.size(), 2u);
    for (const std::wstring& path : stored) {
        EXPECT_EQ(path.find(L'한'), std::wstring::npos);
        EXPECT_NE(path.find(L'?'), std::wstring::npos) << platform::ToUtf8(path);
        EXPECT_EQ(path.substr(0, 3), L"C:\\");
    }
    // What was read is what is kept: saving it again changes nothing.
    auto again = Start();
    again->AcceptFile(L"x");
    again->SaveHistory();
    EXPECT_EQ(History(*Start()), stored);
}

}  // namespace
