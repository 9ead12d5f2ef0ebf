// Values of the settings file, through the profile functions: kernel32's on Windows, ours
// elsewhere. The place of the file is the backend's (posix/SettingsPlace.cpp,
// win32/Win32SettingsPlace.cpp).
#include "SettingsFile.h"

#include "Profile.h"

namespace platform {

std::wstring ReadSetting(const std::wstring& file, const std::wstring& section,
                         const std::wstring& key, const std::wstring& fallback) {
    if (file.empty()) return fallback;
    // Grown while the function fills it, so a long path comes back whole, never cut (a cut one
    // would name another file and be written back). No path is longer than 32,767 characters
    // (Windows' limit; Linux allows 4,096): a longer value is a damaged file, and is cut there.
    constexpr DWORD kLongest = 32768;
    std::wstring buffer;
    for (DWORD size = 1024;; size *= 2) {
        buffer.assign(size, L'\0');
        const DWORD count = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(),
                                                     buffer.data(), size, file.c_str());
        if (count + 1 < size || size >= kLongest) {
            buffer.resize(count);
            return buffer;
        }
    }
}

bool WriteSetting(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                  const std::wstring& value) {
    if (file.empty() || !MakeSettingsFolder(file)) return false;
    return WritePrivateProfileStringW(section.c_str(), key.c_str(),
                                      ProfileValueToWrite(value).c_str(), file.c_str()) != 0;
}

bool RemoveSetting(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
    if (file.empty()) return false;
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, file.c_str()) != 0;
}

}  // namespace platform
