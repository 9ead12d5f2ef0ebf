// Values made ready for the profile file, the same on every platform.
#include "Profile.h"
#include "Text.h"

namespace platform {

namespace {

bool NeedsQuotes(wchar_t c) { return c == L' ' || c == L'\t' || c == L'"' || c == L'\''; }

}  // namespace

bool CanStoreProfileValue(std::wstring_view value) {
    return value.find_first_of(L"\r\n") == std::wstring_view::npos;
}

std::wstring ProfileValueToWrite(std::wstring_view value) {
    std::wstring text = ThroughAnsi(value);
    if (!text.empty() && (NeedsQuotes(text.front()) || NeedsQuotes(text.back()))) {
        text = L"\"" + text + L"\"";
    }
    return text;
}

}  // namespace platform
