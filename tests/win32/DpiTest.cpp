// The window follows the screen's resolution: at 200% scaling every twip of the layout, the
// client area and the fonts are twice as many pixels as at 100%.
#include <cstdlib>

#include "behaviour/FormFixture.h"

namespace {

class DpiTest : public FormTest {};

TEST_F(DpiTest, WindowIsLaidOutAtTheScreensResolution) {
    auto form = Start();
    const int dpi = platform::testing::LogicalDpi(form->window);
    // The test stage runs this once more on a screen set to 192 dpi and says so here.
    if (const char* expected = std::getenv("ZARVO_EXPECTED_DPI")) {
        EXPECT_EQ(dpi, std::atoi(expected));
    }
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(dpi, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);

    const platform::testing::Geometry client = platform::testing::ClientGeometry(form->window);
    EXPECT_EQ(client.width, platform::TwipsToPixels(4710, dpi));
    EXPECT_EQ(client.height, platform::TwipsToPixels(3030, dpi));
    // The default font of the boxes grows with the screen: its size in points stays that of a
    // message font, where a font left at 96 dpi pixels would shrink at 192.
    const double points = platform::testing::FontPoints(form->path1);
    EXPECT_GE(points, 6.5);
    EXPECT_LE(points, 14.0);
}

}  // namespace
