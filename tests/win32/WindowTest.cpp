#include "WindowTest.h"

#include <oleacc.h>

namespace testsupport {

std::wstring AccessibleName(HWND window, LONG child) {
    static const IID accessibleId{
        0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, accessibleId,
                                          reinterpret_cast<void**>(&accessible)))) {
        return L"(none)";
    }
    VARIANT which{};
    which.vt = VT_I4;
    which.lVal = child;
    BSTR name = nullptr;
    std::wstring text;
    if (accessible->get_accName(which, &name) == S_OK && name != nullptr) text = name;
    SysFreeString(name);
    accessible->Release();
    return text;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

}  // namespace testsupport
