// Reading the settings file: one value at a time through the profile function.
#include <string>

#include "../platform/Profile.h"
#include "../platform/Text.h"
#include "Form1.h"

std::wstring Form1::ReadIni(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) {
    std::string buffer(1025, ' ');
    GetPrivateProfileStringA(platform::ToAnsi(section).c_str(), platform::ToAnsi(key).c_str(),
                             platform::ToAnsi(defaultValue).c_str(), buffer.data(), 1024,
                             platform::ToAnsi(IniPath).c_str());
    std::wstring value = platform::FromAnsi(buffer);
    ZeroTrim(value);
    return value;
}

void Form1::ZeroTrim(std::wstring& text) {
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.erase(nul);
}
