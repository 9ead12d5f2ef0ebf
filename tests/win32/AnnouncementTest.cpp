// The guide tells screen readers of each new message: a name-change event, as NVDA and Narrator
// listen for it, once per change.
#include "behaviour/FormFixture.h"
#include "platform/win32/Win32Internal.h"

namespace {

std::vector<std::pair<HWND, std::wstring>> nameChanges;

void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || child != CHILDID_SELF) return;
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    nameChanges.emplace_back(hwnd, text);
}

TEST_F(FormTest, TheGuideAnnouncesEachNewMessageOnce) {
    auto form = Start();
    HWND guide = form->Guide.impl().hwnd;
    nameChanges.clear();
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, OnNameChange,
                        GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    platform::testing::DropFiles(form->window, {L"C:\\data\\one.txt"});
    platform::testing::DropFiles(form->window, {L"C:\\data\\two.txt"});
    platform::testing::DropFiles(form->window, {L"C:\\data\\three.txt"});
    MSG message;  // out-of-context events arrive through the queue
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    UnhookWinEvent(hook);
    std::vector<std::wstring> announced;
    for (const auto& [hwnd, text] : nameChanges) {
        if (hwnd == guide) announced.push_back(text);
    }
    EXPECT_EQ(announced, std::vector<std::wstring>{L"比較を実行できます"});
}

}  // namespace
