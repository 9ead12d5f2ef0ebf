// What a screen reader hears, read back through the toolkit's accessibility interface. (That a
// new message is announced is seen from outside: tests/e2e on Linux, tests/win32 on Windows.)
#include "FormFixture.h"

namespace {

using platform::testing::AccessibleName;

TEST_F(FormTest, EveryControlHasItsJapaneseNameAndTheGuideIsNamedByItsMessage) {
    auto form = Start();
    EXPECT_EQ(AccessibleName(form->path1), L"第一のファイル");
    EXPECT_EQ(AccessibleName(form->path2), L"第二のファイル (履歴)");
    EXPECT_EQ(AccessibleName(form->ExePath), L"比較ツール");
    EXPECT_EQ(AccessibleName(form->btnGo), L"比較を実行");
    EXPECT_EQ(AccessibleName(form->btnReffer), L"比較ツールを参照");
    // The guide is named by its message, and says what it is.
    EXPECT_EQ(AccessibleName(form->Guide), L"第一の対象ファイルをドロップして下さい");
    EXPECT_EQ(platform::testing::AccessibleDescription(form->Guide), L"案内");

    platform::testing::DropFiles(form->window, {L"/data/one.txt"});
    platform::testing::DropFiles(form->window, {L"/data/two.txt"});
    EXPECT_EQ(AccessibleName(form->Guide), L"比較を実行できます");
    EXPECT_EQ(platform::testing::AccessibleDescription(form->Guide), L"案内");
}

}  // namespace
