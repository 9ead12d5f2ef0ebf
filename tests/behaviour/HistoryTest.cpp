// The second-path history: loading, pairing files one after another, and saving.
#include "FormFixture.h"

namespace {

using Paths = std::vector<std::wstring>;

TEST_F(FormTest, AllEightKeysLoadInKeyOrderAndNinthIsNeverRead) {
    WriteIni(
        "[DiffPath]\nLIST9=nine\nLIST1=p1\nLIST2=p2\nLIST3=p3\nLIST4=p4\nLIST5=p5\nLIST6=p6\n"
        "LIST7=p7\nLIST8=p8\nLIST10=ten\n");
    auto form = Start();
    EXPECT_EQ(History(*form), (Paths{L"p1", L"p2", L"p3", L"p4", L"p5", L"p6", L"p7", L"p8"}));
    EXPECT_EQ(form->path2.Text(), L"p1");
}

TEST_F(FormTest, GapsCloseUpAndOldKeysAboveTheCountSurviveASave) {
    WriteIni("[DiffPath]\nLIST2=X\nLIST5=Y\n");
    auto form = Start();
    EXPECT_EQ(History(*form), (Paths{L"X", L"Y"}));
    form->SaveHistory();
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST1"), L"X");
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST2"), L"Y");
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST5"), L"Y");
    EXPECT_EQ(History(*Start()), (Paths{L"X", L"Y", L"Y"}));
}

TEST_F(FormTest, EachNewFilePushesThePreviousOneAndTheListKeepsTheNewestEight) {
    auto form = Start();
    for (int i = 1; i <= 10; ++i) form->AcceptFile(L"f" + std::to_wstring(i));
    EXPECT_EQ(form->path1.Text(), L"f10");
    EXPECT_EQ(History(*form), (Paths{L"f9", L"f8", L"f7", L"f6", L"f5", L"f4", L"f3", L"f2"}));
    EXPECT_EQ(form->path2.Text(), L"f9");
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");
}

TEST_F(FormTest, NinthPushDropsTheOldestStoredEntry) {
    WriteIni(
        "[DiffPath]\nLIST1=p1\nLIST2=p2\nLIST3=p3\nLIST4=p4\nLIST5=p5\nLIST6=p6\nLIST7=p7\n"
        "LIST8=p8\n");
    auto form = Start(L"a");
    form->AcceptFile(L"b");
    EXPECT_EQ(History(*form), (Paths{L"a", L"p1", L"p2", L"p3", L"p4", L"p5", L"p6", L"p7"}));
}

TEST_F(FormTest, FirstFileWithoutHistoryLeavesGuideAndSecondFileMakesAPair) {
    auto form = Start();
    form->AcceptFile(L"one");
    EXPECT_EQ(form->Guide.Caption(), L"第一の対象ファイルをドロップして下さい");
    EXPECT_TRUE(form->FirstPathReady);
    EXPECT_FALSE(form->SecondPathReady);
    form->AcceptFile(L"two");
    EXPECT_EQ(form->path1.Text(), L"two");
    EXPECT_EQ(form->path2.Text(), L"one");
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");
}

TEST_F(FormTest, DuplicatesAreKept) {
    auto form = Start(L"same");
    form->AcceptFile(L"same");
    form->AcceptFile(L"same");
    EXPECT_EQ(History(*form), (Paths{L"same", L"same"}));
}

TEST_F(FormTest, PlaceholderOrEmptyTextInFirstBoxIsNotPushed) {
    auto form = Start(L"a");
    platform::testing::Type(form->path1, L"第一のパス指定");
    form->AcceptFile(L"b");
    EXPECT_EQ(History(*form), Paths{});
    platform::testing::Type(form->path1, L"");
    form->AcceptFile(L"c");
    EXPECT_EQ(History(*form), Paths{});
    // Anything else typed there is a file like any other.
    platform::testing::Type(form->path1, L"typed");
    form->AcceptFile(L"d");
    EXPECT_EQ(History(*form), Paths{L"typed"});
}

TEST_F(FormTest, PickedOrTypedSecondPathDoesNotChangeTheList) {
    WriteIni("[DiffPath]\nLIST1=A\nLIST2=B\n");
    auto form = Start(L"X");
    platform::testing::PickItem(form->path2, 1);
    EXPECT_EQ(form->path2.Text(), L"B");
    platform::testing::Type(form->path2, L"typed");
    EXPECT_EQ(form->path2.Text(), L"typed");
    EXPECT_EQ(History(*form), (Paths{L"A", L"B"}));
    form->AcceptFile(L"Y");
    EXPECT_EQ(History(*form), (Paths{L"X", L"A", L"B"}));
}

TEST_F(FormTest, SaveWritesEveryEntryAndAnEmptyListWritesNothing) {
    auto form = Start();
    form->SaveHistory();
    EXPECT_FALSE(std::filesystem::exists(IniFile()));
    form->AcceptFile(L"a b");
    form->AcceptFile(L"ファイル.txt");
    form->AcceptFile(L"c");
    form->SaveHistory();
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST1"), L"ファイル.txt");
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST2"), L"a b");
    EXPECT_EQ(IniValue(L"DiffPath", L"LIST3"), L"<missing>");
    EXPECT_EQ(History(*Start()), (Paths{L"ファイル.txt", L"a b"}));
}

}  // namespace
