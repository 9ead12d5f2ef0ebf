// The settings file: one value at a time, read and written through the platform's settings file.
#include "../platform/SettingsFile.h"

#include <string>

#include "../platform/MessageBox.h"
#include "Form1.h"
#include "texts.h"

std::wstring Form1::ReadIni(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultValue) {
    std::wstring value = platform::ReadSetting(IniPath, section, key, defaultValue);
    ZeroTrim(value);
    return value;
}

void Form1::ZeroTrim(std::wstring& text) {
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.erase(nul);
}

// nullptr removes the key.
void Form1::WriteIni(const std::wstring& section, const std::wstring& key,
                     const std::wstring* value) {
    const bool written = value != nullptr ? platform::WriteSetting(IniPath, section, key, *value)
                                          : platform::RemoveSetting(IniPath, section, key);
    // Where nothing can be written the user hears it once, at the first setting lost. Without a
    // file at all (the program could not tell its folder) stderr has said so already.
    if (written || UnwritableTold || IniPath.empty()) return;
    UnwritableTold = true;
    platform::ShowWarning(window, texts::kUnstorableTitle,
                          texts::kUnwritableLead + IniPath + texts::kUnwritableEnd);
}
