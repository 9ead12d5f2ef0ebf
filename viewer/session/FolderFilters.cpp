#include "FolderFilters.h"

#include <algorithm>

#include "Settings.h"
#include "platform/SettingsFile.h"
#include "platform/Text.h"

namespace viewer {

namespace {

// The file view's section: the front end never reads or writes it.
constexpr const wchar_t* kSection = L"Viewer";
constexpr const wchar_t* kHideSameKey = L"FolderHideSame";
constexpr const wchar_t* kPatternKey = L"FolderHideNames";

std::u16string Read(const std::filesystem::path& file, const wchar_t* key,
                    const wchar_t* fallback) {
    return platform::ToUtf16(
        platform::ReadSetting(SettingsFileText(file), kSection, key, fallback));
}

bool Write(const std::filesystem::path& file, const wchar_t* key, const std::u16string& value) {
    return platform::WriteSetting(SettingsFileText(file), kSection, key,
                                  platform::FromUtf16(value));
}

char16_t Folded(char16_t c) {
#ifdef _WIN32
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
#endif
    return c;
}

// "*" and "?" against the whole name, backtracking to the last "*" only: linear in practice.
bool Matches(std::u16string_view pattern, std::u16string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t star = std::u16string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || Folded(pattern[p]) == Folded(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

bool Blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

}  // namespace

bool NameHidden(std::u16string_view patterns, std::u16string_view name) {
    while (!patterns.empty()) {
        const std::size_t end = std::min(patterns.find(u';'), patterns.size());
        std::u16string_view pattern = patterns.substr(0, end);
        patterns.remove_prefix(std::min(end + 1, patterns.size()));
        while (!pattern.empty() && Blank(pattern.front())) pattern.remove_prefix(1);
        while (!pattern.empty() && Blank(pattern.back())) pattern.remove_suffix(1);
        if (!pattern.empty() && Matches(pattern, name)) return true;
    }
    return false;
}

FolderFilters LoadFolderFilters(const std::filesystem::path& settingsFile) {
    FolderFilters filters;
    if (settingsFile.empty()) return filters;
    filters.hideSame = Read(settingsFile, kHideSameKey, L"1") != u"0";
    filters.namePattern = Read(settingsFile, kPatternKey, L"");
    return filters;
}

bool SaveFolderFilters(const std::filesystem::path& settingsFile, const FolderFilters& filters) {
    if (settingsFile.empty()) return false;
    // A line break would end the value early: the patterns keep their line.
    std::u16string pattern = filters.namePattern;
    std::replace_if(
        pattern.begin(), pattern.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
    const bool hideSame = Write(settingsFile, kHideSameKey, filters.hideSame ? u"1" : u"0");
    return Write(settingsFile, kPatternKey, pattern) && hideSame;
}

}  // namespace viewer
