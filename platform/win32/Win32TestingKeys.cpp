// Win32 backend: the test driver's keys, clipboard and screen-reader view. Keys are posted to the
// focused control and run through the program's own message loop, with Ctrl held in the
// thread's keyboard state; the clipboard is set through OLE as a file manager sets it; names are
// read as a screen reader reads them, with AccessibleObjectFromWindow.
#include "Win32Internal.h"

#include <oleacc.h>

#include <functional>

#include "../Testing.h"
#include "TestDataObject.h"

namespace platform::testing {

namespace {

// Runs the program's message loop until the thread's queue is empty.
void RunPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) win32::ProcessMessage(message);
}

void SetClipboard(IDataObject* data) {
    OleSetClipboard(data);
    data->Release();
}

std::wstring ReadAccessible(Control& control,
                            const std::function<HRESULT(IAccessible&, VARIANT, BSTR*)>& read) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control.impl().hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                          win32::kAccessibleId,
                                          reinterpret_cast<void**>(&accessible)))) {
        throw Error(L"no accessible object");
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT result = read(*accessible, self, &text);
    std::wstring value = SUCCEEDED(result) && text != nullptr ? text : L"";
    SysFreeString(text);
    accessible->Release();
    return value;
}

}  // namespace

void PressKey(Control& focus, Key key) {
    HWND target = focus.impl().editHwnd;
    SetFocus(target);
    UINT virtualKey = 0;
    bool control = false;
    switch (key) {
        case Key::Enter:
            virtualKey = VK_RETURN;
            break;
        case Key::F4:
            virtualKey = VK_F4;
            break;
        case Key::CtrlO:
            virtualKey = 'O';
            control = true;
            break;
        case Key::CtrlV:
            virtualKey = 'V';
            control = true;
            break;
    }
    BYTE saved[256];
    GetKeyboardState(saved);
    if (control) {
        BYTE held[256];
        std::copy(saved, saved + 256, held);
        held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
        SetKeyboardState(held);
    }
    const LPARAM down =
        1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    PostMessageW(target, WM_KEYUP, virtualKey, down | 0xC0000000);
    RunPendingMessages();
    SetKeyboardState(saved);
}

bool IsListDropped(ComboBox& box) {
    return SendMessageW(box.impl().hwnd, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void CopyFilesToClipboard(const std::vector<std::wstring>& files) {
    SetClipboard(win32::MakeFileListData(files));
}

void CopyTextToClipboard(const std::wstring& text) { SetClipboard(win32::MakeTextData(text)); }

std::wstring AccessibleName(Control& control) {
    return ReadAccessible(control, [](IAccessible& accessible, VARIANT self, BSTR* text) {
        return accessible.get_accName(self, text);
    });
}

std::wstring AccessibleDescription(Control& control) {
    return ReadAccessible(control, [](IAccessible& accessible, VARIANT self, BSTR* text) {
        return accessible.get_accDescription(self, text);
    });
}

}  // namespace platform::testing
