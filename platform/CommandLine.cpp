// The texts a command line is built from, the same on every platform.
#include "Process.h"

namespace platform {

std::wstring QuotedArgument(const std::wstring& text) {
    const size_t kept = text.find_last_not_of(L'\\');
    const size_t trailing = kept == std::wstring::npos ? text.size() : text.size() - kept - 1;
    return L"\"" + text + std::wstring(trailing, L'\\') + L"\"";
}

std::wstring PathForTool(const std::wstring& text) {
#ifdef _WIN32
    if (text.size() >= 2 && text.front() == L'"' && text.find(L'"', 1) == text.size() - 1) {
        return text.substr(1, text.size() - 2);
    }
#endif
    return text;
}

}  // namespace platform
