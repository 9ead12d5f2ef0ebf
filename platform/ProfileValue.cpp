// Values made ready for the profile file, the same on every platform.
#include "Profile.h"
#include "Text.h"

namespace platform {

namespace {

// What a reader may trim from a value's ends (the Windows one may take \v, \f and Ctrl-Z too).
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\v' || c == L'\f' || c == L'\x1A';
}
bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

// Reading trims blanks and then removes one pair of matching outer quotes: only a value that
// would lose something needs quotes of its own. Any other value is written as it always was.
bool NeedsQuotes(std::wstring_view text) {
    if (text.empty()) return false;
    if (IsBlank(text.front()) || IsBlank(text.back())) return true;
    return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

}  // namespace

bool CanStoreProfileValue(std::wstring_view value) {
    return value.find_first_of(L"\r\n") == std::wstring_view::npos;
}

std::wstring ProfileValueToWrite(std::wstring_view value) {
    std::wstring text = ThroughAnsi(value);
    if (NeedsQuotes(text)) text = L"\"" + text + L"\"";
    return text;
}

}  // namespace platform
