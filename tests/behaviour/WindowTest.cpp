// The window as built by the backend: size, places, caption, icon, fonts and keyboard order.
#include "FormFixture.h"

namespace {

using platform::testing::Geometry;

int Px(int twips, int dpi) { return platform::TwipsToPixels(twips, dpi); }

void ExpectPlaced(platform::Control& control, int left, int top, int width, int height, int dpi) {
    const Geometry g = platform::testing::ControlGeometry(control);
    EXPECT_EQ(g.left, Px(left, dpi));
    EXPECT_EQ(g.top, Px(top, dpi));
    EXPECT_EQ(g.width, Px(width, dpi));
    // A drop-down box may be no shorter than the system's own minimum.
    EXPECT_GE(g.height, Px(height, dpi));
    EXPECT_LE(g.height, Px(height, dpi) + 8);
}

TEST_F(FormTest, ControlsStandWhereTheyWereDesigned) {
    auto form = Start();
    const int dpi = platform::testing::LogicalDpi(form->window);
    ASSERT_GT(dpi, 0);
    const Geometry client = platform::testing::ClientGeometry(form->window);
    EXPECT_EQ(client.width, Px(4710, dpi));
    EXPECT_EQ(client.height, Px(3030, dpi));
    ExpectPlaced(form->Guide, 120, 120, 4335, 975, dpi);
    ExpectPlaced(form->path1, 120, 1320, 4455, 270, dpi);
    ExpectPlaced(form->path2, 120, 1680, 4455, 300, dpi);
    ExpectPlaced(form->ExePath, 120, 2040, 4455, 270, dpi);
    ExpectPlaced(form->btnGo, 120, 2400, 1455, 495, dpi);
    ExpectPlaced(form->btnReffer, 3960, 2400, 615, 255, dpi);
}

TEST_F(FormTest, CaptionIconAndTabOrder) {
    auto form = Start();
    EXPECT_EQ(platform::testing::WindowCaption(form->window), L"Diff-Zarvo");
    EXPECT_TRUE(platform::testing::HasIcon(form->window));
    EXPECT_EQ(platform::testing::TabOrder(form->window),
              (std::vector<std::wstring>{L"path1", L"btnGo", L"ExePath", L"btnReffer", L"path2"}));
}

TEST_F(FormTest, GuideAndGoButtonUseTheirFontSizes) {
    auto form = Start();
    EXPECT_DOUBLE_EQ(platform::testing::FontPoints(form->Guide), 20.25);
    EXPECT_DOUBLE_EQ(platform::testing::FontPoints(form->btnGo), 14.25);
    // The named font where the system has it, a Japanese font otherwise: never empty.
    EXPECT_FALSE(platform::testing::FontFamily(form->Guide).empty());
    EXPECT_FALSE(platform::testing::FontFamily(form->btnGo).empty());
}

}  // namespace
