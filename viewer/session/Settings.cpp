#include "Settings.h"

#include <string>

#include "platform/Profile.h"

namespace viewer {

namespace {

// The viewer's own section: the front end never reads or writes it.
constexpr const char* kSection = "Viewer";

struct Flag {
    const char* key;
    bool IgnoreOptions::*option;
};
constexpr Flag kFlags[] = {
    {"IgnoreTrailingBlanks", &IgnoreOptions::trailingBlanks},
    {"IgnoreAllBlanks", &IgnoreOptions::allBlanks},
    {"IgnoreBlankLines", &IgnoreOptions::blankLines},
    {"IgnoreCase", &IgnoreOptions::letterCase},
    {"IgnoreLineEnds", &IgnoreOptions::lineEnds},
};
constexpr const char* kViewKey = "SideBySide";

#ifdef _WIN32
std::wstring Wide(const char* ascii) {
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

// "1" or "0"; anything else (a damaged value) is `fallback`.
bool Read(const std::filesystem::path& file, const char* key, bool fallback) {
    wchar_t value[8] = {};
    GetPrivateProfileStringW(Wide(kSection).c_str(), Wide(key).c_str(), L"", value, 8,
                             file.c_str());
    const std::wstring text = value;
    return text == L"1" ? true : text == L"0" ? false : fallback;
}

bool Write(const std::filesystem::path& file, const char* key, bool on) {
    return WritePrivateProfileStringW(Wide(kSection).c_str(), Wide(key).c_str(), on ? L"1" : L"0",
                                      file.c_str()) != 0;
}
#else
bool Read(const std::filesystem::path& file, const char* key, bool fallback) {
    char value[8] = {};
    GetPrivateProfileStringA(kSection, key, "", value, sizeof value, file.c_str());
    const std::string text = value;
    return text == "1" ? true : text == "0" ? false : fallback;
}

bool Write(const std::filesystem::path& file, const char* key, bool on) {
    return WritePrivateProfileStringA(kSection, key, on ? "1" : "0", file.c_str()) != 0;
}
#endif

}  // namespace

ViewerChoices LoadChoices(const std::filesystem::path& settingsFile) {
    ViewerChoices choices;
    if (settingsFile.empty()) return choices;
    for (const Flag& flag : kFlags) {
        choices.options.*flag.option = Read(settingsFile, flag.key, choices.options.*flag.option);
    }
    choices.view = Read(settingsFile, kViewKey, false) ? View::SideBySide : View::List;
    return choices;
}

bool SaveChoices(const std::filesystem::path& settingsFile, const ViewerChoices& choices) {
    if (settingsFile.empty()) return false;
    bool written = true;
    for (const Flag& flag : kFlags) {
        written = Write(settingsFile, flag.key, choices.options.*flag.option) && written;
    }
    return Write(settingsFile, kViewKey, choices.view == View::SideBySide) && written;
}

}  // namespace viewer
