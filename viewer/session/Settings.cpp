#include "Settings.h"

#include <string>

#include "platform/SettingsFile.h"
#include "platform/Text.h"

namespace viewer {

namespace {

// The viewer's own section: the front end never reads or writes it.
constexpr const wchar_t* kSection = L"Viewer";

struct Flag {
    const wchar_t* key;
    bool IgnoreOptions::*option;
};
constexpr Flag kFlags[] = {
    {L"IgnoreTrailingBlanks", &IgnoreOptions::trailingBlanks},
    {L"IgnoreAllBlanks", &IgnoreOptions::allBlanks},
    {L"IgnoreBlankLines", &IgnoreOptions::blankLines},
    {L"IgnoreCase", &IgnoreOptions::letterCase},
    {L"IgnoreLineEnds", &IgnoreOptions::lineEnds},
};
constexpr const wchar_t* kViewKey = L"SideBySide";

// "1" or "0"; anything else (a damaged value) is `fallback`.
bool Read(const std::filesystem::path& file, const wchar_t* key, bool fallback) {
    const std::wstring text = platform::ReadSetting(SettingsFileText(file), kSection, key, L"");
    return text == L"1" ? true : text == L"0" ? false : fallback;
}

bool Write(const std::filesystem::path& file, const wchar_t* key, bool on) {
    return platform::WriteSetting(SettingsFileText(file), kSection, key, on ? L"1" : L"0");
}

}  // namespace

std::wstring SettingsFileText(const std::filesystem::path& settingsFile) {
#ifdef _WIN32
    return settingsFile.wstring();
#else
    return platform::FromUtf8(settingsFile.native());
#endif
}

std::filesystem::path SettingsFileFor(const std::filesystem::path& programFolder) {
    const std::wstring file = platform::SettingsFileFor(SettingsFileText(programFolder));
#ifdef _WIN32
    return file;
#else
    return platform::ToUtf8(file);
#endif
}

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
