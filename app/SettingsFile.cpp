// Reading the settings file: one value at a time through the profile function.
#include <string>

#include "../platform/Profile.h"
#include "Form1.h"

std::wstring Form1::ReadIni(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) {
    // Grown while the function fills it, so a long path comes back whole, never cut (a cut one
    // would name another file and be written back). No path is longer than 32,767 characters
    // (Windows' limit; Linux allows 4,096): a longer value is a damaged file, and is cut there.
    constexpr DWORD kLongest = 32768;
    std::wstring buffer;
    for (DWORD size = 1024;; size *= 2) {
        buffer.assign(size, L'\0');
        const DWORD count =
            GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                     buffer.data(), size, IniPath.c_str());
        if (count + 1 < size || size >= kLongest) break;
    }
    ZeroTrim(buffer);
    return buffer;
}

void Form1::ZeroTrim(std::wstring& text) {
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.erase(nul);
}
