// GetPrivateProfileStringW and WritePrivateProfileStringW off Windows: the A functions, with every
// text through the one lossless conversion, so a file name in any bytes is found and kept.
#include <algorithm>
#include <optional>
#include <string>

#include "../Profile.h"
#include "../Text.h"

namespace {

std::optional<std::string> Narrow(const wchar_t* text) {
    if (text == nullptr) return std::nullopt;
    return platform::ToAnsi(text);
}

const char* Pointer(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

}  // namespace

DWORD GetPrivateProfileStringW(const wchar_t* appName, const wchar_t* keyName,
                               const wchar_t* defaultValue, wchar_t* returnedString, DWORD size,
                               const wchar_t* fileName) {
    if (returnedString == nullptr || size == 0) return 0;
    const auto section = Narrow(appName), key = Narrow(keyName), fallback = Narrow(defaultValue),
               file = Narrow(fileName);
    // A character takes at most four bytes, so a cut byte value still holds size - 1 characters.
    std::string bytes(static_cast<size_t>(size) * 4, '\0');
    const DWORD count =
        GetPrivateProfileStringA(Pointer(section), Pointer(key), Pointer(fallback), bytes.data(),
                                 static_cast<DWORD>(bytes.size()), Pointer(file));
    const std::wstring wide = platform::FromAnsi(std::string_view(bytes.data(), count));
    const size_t copied = std::min<size_t>(wide.size(), size - 1);
    std::copy_n(wide.data(), copied, returnedString);
    returnedString[copied] = L'\0';
    return static_cast<DWORD>(copied);
}

BOOL WritePrivateProfileStringW(const wchar_t* appName, const wchar_t* keyName,
                                const wchar_t* value, const wchar_t* fileName) {
    const auto section = Narrow(appName), key = Narrow(keyName), text = Narrow(value),
               file = Narrow(fileName);
    return WritePrivateProfileStringA(Pointer(section), Pointer(key), Pointer(text), Pointer(file));
}
