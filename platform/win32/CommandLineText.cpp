// Win32 backend: the argument text as the program sees it, cut from the command line exactly as
// the system's own start-up code finds the end of the program's name.
#include "CommandLineText.h"

#include "Win32Internal.h"

namespace platform::win32 {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// A path that names its drive and folder itself: "C:\..." or "\\server\..." (and "\\?\...").
bool IsAbsolute(std::wstring_view path) {
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return true;
    return path.size() >= 3 && path[1] == L':' && separator(path[2]);
}

}  // namespace

std::wstring TakeArgumentText(std::wstring text) {
    if (text.size() >= 2 && text.front() == L'"' && text.find(L'"', 1) == text.size() - 1) {
        text = text.substr(1, text.size() - 2);
    }
    // Only a text that can be a path at all is made absolute: any other stays as it is.
    if (text.empty() || IsAbsolute(text) || text.find_first_of(L"\"<>|*?") != std::wstring::npos) {
        return text;
    }
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(text.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return text;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

std::vector<std::wstring> QuotedNames(std::wstring_view text) {
    std::vector<std::wstring> names;
    size_t i = 0;
    for (;;) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i == text.size()) break;
        // Each name opens with a quote, holds none, and its closing quote ends it before a blank.
        if (text[i] != L'"') return {};
        const size_t closing = text.find(L'"', i + 1);
        if (closing == std::wstring_view::npos || closing == i + 1) return {};
        if (closing + 1 < text.size() && !IsBlank(text[closing + 1])) return {};
        names.emplace_back(text.substr(i + 1, closing - i - 1));
        i = closing + 1;
    }
    if (names.size() < 2) return {};
    return names;
}

std::wstring ArgumentsAfterProgramName(std::wstring_view commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t closing = commandLine.find(L'"', 1);
        // An unclosed quote runs to the end: the whole line is the program's name.
        if (closing == std::wstring_view::npos) return {};
        i = closing + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return std::wstring(commandLine.substr(i));
}

}  // namespace platform::win32
