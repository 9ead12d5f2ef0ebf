// Reading the settings file: one value at a time through the profile function.
#include <string>

#include "../platform/Profile.h"
#include "Form1.h"

std::wstring Form1::ReadIni(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) {
    // Grown while the function fills it, so a long path comes back whole, never cut (a cut one
    // would name another file and be written back). Past a megabyte it is no path but damage.
    std::wstring buffer(1025, L' ');
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size() - 1);
        const DWORD count =
            GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                     buffer.data(), size, IniPath.c_str());
        if (count + 1 < size || buffer.size() > (1u << 20)) break;
        buffer.assign(buffer.size() * 2, L' ');
    }
    ZeroTrim(buffer);
    return buffer;
}

void Form1::ZeroTrim(std::wstring& text) {
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.erase(nul);
}
