// Tab through the program's own message loop: keys move the focus in the layout's tab order.
#include "behaviour/FormFixture.h"
#include "platform/Application.h"

namespace {

class KeyboardTest : public FormTest {
protected:
    // Presses a key on the focused control and runs the program's message loop over it.
    void PressOnFocus(WPARAM key) {
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 0);
        PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        PostQuitMessage(0);
        int argc = 0;
        platform::Application application(argc, nullptr);
        application.Run();
    }
};

TEST_F(KeyboardTest, FocusStartsInTheFirstPathAndTabMovesToTheGoButton) {
    auto form = Start();
    const std::vector<std::wstring> order = platform::testing::TabOrder(form->window);
    ASSERT_FALSE(order.empty());
    ASSERT_EQ(order.front(), L"path1");
    // The window comes up with the focus in the first box, where Tab starts.
    wchar_t text[32] = {};
    GetWindowTextW(GetFocus(), text, 32);
    EXPECT_STREQ(text, L"第一のパス指定");
    PressOnFocus(VK_TAB);
    GetWindowTextW(GetFocus(), text, 32);
    EXPECT_STREQ(text, L"実行");
}

}  // namespace
