// Win32 backend: the system's own text for an error code, as the reason shown to the user, and
// the text of a window as a wide string.
#include "Win32Internal.h"

namespace platform::win32 {

std::wstring SystemMessage(DWORD error, std::wstring_view insert) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) return L"エラー " + std::to_wstring(error);
    std::wstring message(text, length);
    LocalFree(text);
    // Some texts name the file they are about as "%1" ("%1 は有効な Win32 アプリケーションでは
    // ありません。"); the system leaves the insert to the caller.
    for (size_t at = 0; (at = message.find(L"%1", at)) != std::wstring::npos;) {
        message.replace(at, 2, insert);
        at += insert.size();
    }
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    return message;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

}  // namespace platform::win32
