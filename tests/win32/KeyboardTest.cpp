// Tab through the program's own message loop: keys move the focus in the layout's tab order.
#include "behaviour/FormFixture.h"
#include "platform/Application.h"

namespace {

class KeyboardTest : public FormTest {
  protected:
    // Runs the program's message loop over the keys pressed on the focused control.
    void PressOnFocus(std::initializer_list<std::pair<WPARAM, bool>> keys) {
        HWND focus = GetFocus();
        for (const auto& [key, shift] : keys) {
            if (shift) PostMessageW(focus, WM_KEYDOWN, VK_SHIFT, 0);
            PostMessageW(focus, WM_KEYDOWN, key, 0);
            PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
            if (shift) PostMessageW(focus, WM_KEYUP, VK_SHIFT, 0xC0000001);
        }
        PostQuitMessage(0);
        int argc = 0;
        platform::Application application(argc, nullptr);
        application.Run();
    }
};

TEST_F(KeyboardTest, TabMovesFromTheFirstPathToTheGoButton) {
    auto form = Start();
    const std::vector<std::wstring> order = platform::testing::TabOrder(form->window);
    ASSERT_FALSE(order.empty());
    ASSERT_EQ(order.front(), L"path1");
    platform::testing::Type(form->path1, L"x");  // gives path1 the focus, as a click there would
    PressOnFocus({{VK_TAB, false}});
    wchar_t className[32] = {};
    GetClassNameW(GetFocus(), className, 32);
    EXPECT_STREQ(className, L"Button");
    wchar_t text[32] = {};
    GetWindowTextW(GetFocus(), text, 32);
    EXPECT_STREQ(text, L"実行");
}

}  // namespace
