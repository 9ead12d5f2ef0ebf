// Files dropped on the window, the guide text and the first-path box, as a file manager drops them.
#include "FormFixture.h"

namespace {

using Paths = std::vector<std::wstring>;

TEST_F(FormTest, EachOfTheThreeTargetsTakesADroppedFile) {
    auto form = Start();
    platform::testing::DropFiles(form->window, {L"/data/one.txt"});
    EXPECT_EQ(form->path1.Text(), L"/data/one.txt");
    EXPECT_TRUE(form->FirstPathReady);
    EXPECT_EQ(form->Guide.Caption(), L"第一の対象ファイルをドロップして下さい");

    platform::testing::DropFiles(form->Guide, {L"/data/two.txt"});
    EXPECT_EQ(form->path1.Text(), L"/data/two.txt");
    EXPECT_EQ(form->path2.Text(), L"/data/one.txt");
    EXPECT_EQ(form->Guide.Caption(), L"比較を実行できます");

    platform::testing::DropFiles(form->path1, {L"/data/three.txt"});
    EXPECT_EQ(form->path1.Text(), L"/data/three.txt");
    EXPECT_EQ(History(*form), (Paths{L"/data/two.txt", L"/data/one.txt"}));
}

TEST_F(FormTest, OnlyFilesShowTheDropCursorOverTheWindowAndItsTargets) {
    auto form = Start();
    EXPECT_TRUE(platform::testing::FileDragAccepted(form->window));
    EXPECT_TRUE(platform::testing::FileDragAccepted(form->Guide));
    EXPECT_TRUE(platform::testing::FileDragAccepted(form->path1));
    EXPECT_TRUE(platform::testing::FileDragAccepted(form->ExePath));
    EXPECT_FALSE(platform::testing::TextDragAccepted(form->window));
    EXPECT_FALSE(platform::testing::TextDragAccepted(form->Guide));
    EXPECT_FALSE(platform::testing::TextDragAccepted(form->path1));
    EXPECT_FALSE(platform::testing::TextDragAccepted(form->ExePath));
}

TEST_F(FormTest, DropsOnOtherControlsReachTheWindow) {
    auto form = Start();
    platform::testing::DropFiles(form->ExePath, {L"/data/a"});
    platform::testing::DropFiles(form->path2, {L"/data/b"});
    platform::testing::DropFiles(form->btnGo, {L"/data/c"});
    platform::testing::DropFiles(form->btnReffer, {L"/data/d"});
    EXPECT_EQ(form->path1.Text(), L"/data/d");
    EXPECT_EQ(History(*form), (Paths{L"/data/c", L"/data/b", L"/data/a"}));
    // The boxes themselves took no text from the drops.
    EXPECT_EQ(form->ExePath.Text().find(L"/data/"), std::wstring::npos);
}

TEST_F(FormTest, SeveralFilesAtOnceTakeOnlyTheFirst) {
    auto form = Start();
    platform::testing::DropFiles(form->path1, {L"/data/first", L"/data/second", L"/data/third"});
    EXPECT_EQ(form->path1.Text(), L"/data/first");
    EXPECT_EQ(form->path2.ListCount(), 0);
}

TEST_F(FormTest, AFolderIsTakenLikeAFile) {
    auto form = Start();
    platform::testing::DropFiles(form->Guide, {dir.path().wstring()});
    EXPECT_EQ(form->path1.Text(), dir.path().wstring());
}

// Text, or a file list that names no file, changes nothing.
TEST_F(FormTest, DroppedTextChangesNothing) {
    WriteIni("[DiffPath]\nLIST1=A\n");
    auto form = Start(L"X");
    platform::testing::DropFiles(form->window, {L""});
    form->Form_OLEDragDrop(platform::DropData({L"", L""}));
    form->path1_OLEDragDrop(platform::DropData(std::vector<std::wstring>{}));
    platform::testing::DropText(form->window, L"some text");
    platform::testing::DropText(form->Guide, L"some text");
    platform::testing::DropText(form->path1, L"some text");
    platform::testing::DropText(form->ExePath, L"some text");
    EXPECT_EQ(form->path1.Text(), L"X");
    EXPECT_EQ(form->path2.Text(), L"A");
    EXPECT_EQ(History(*form), Paths{L"A"});
    EXPECT_EQ(form->ExePath.Text().find(L"some text"), std::wstring::npos);
}

}  // namespace
