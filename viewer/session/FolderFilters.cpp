#include "FolderFilters.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "TextDecode.h"
#include "platform/Profile.h"

namespace viewer {

namespace {

// The file view's section: the front end never reads or writes it.
constexpr const char* kSection = "Viewer";
constexpr const char* kHideSameKey = "FolderHideSame";
constexpr const char* kPatternKey = "FolderHideNames";

// A value as it must be written to read back whole: reading trims blanks around it and takes
// one pair of quotes off.
std::u16string Quoted(const std::u16string& value) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    if (value.empty() || (!blank(value.front()) && !blank(value.back()) && !quoted)) return value;
    return u'"' + value + u'"';
}

// A value read, or nothing where the key is not there; off Windows the file holds UTF-8, as the
// system's "ANSI" text is there.
std::optional<std::u16string> Read(const std::filesystem::path& file, const char* key) {
    // The unit separator, which no value holds, stands for a value that is not there.
#ifdef _WIN32
    std::wstring value(4096, L'\0');
    const std::wstring section(kSection, kSection + std::strlen(kSection));
    const std::wstring name(key, key + std::strlen(key));
    value.resize(GetPrivateProfileStringW(section.c_str(), name.c_str(), L"\x1F", value.data(),
                                          static_cast<DWORD>(value.size()), file.c_str()));
    if (value == L"\x1F") return std::nullopt;
    return std::u16string(value.begin(), value.end());
#else
    std::string value(4096, '\0');
    value.resize(GetPrivateProfileStringA(kSection, key, "\x1F", value.data(),
                                          static_cast<DWORD>(value.size()), file.c_str()));
    if (value == "\x1F") return std::nullopt;
    return FromUtf8(value);
#endif
}

bool Write(const std::filesystem::path& file, const char* key, const std::u16string& value) {
#ifdef _WIN32
    const std::wstring section(kSection, kSection + std::strlen(kSection));
    const std::wstring name(key, key + std::strlen(key));
    const std::wstring text(value.begin(), value.end());
    return WritePrivateProfileStringW(section.c_str(), name.c_str(), text.c_str(), file.c_str()) !=
           0;
#else
    return WritePrivateProfileStringA(kSection, key, ToUtf8(value).c_str(), file.c_str()) != 0;
#endif
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
    filters.hideSame = Read(settingsFile, kHideSameKey) != u"0";
    filters.namePattern = Read(settingsFile, kPatternKey).value_or(u"");
    return filters;
}

bool SaveFolderFilters(const std::filesystem::path& settingsFile, const FolderFilters& filters) {
    if (settingsFile.empty()) return false;
    // A line break would end the value early: the patterns keep their line.
    std::u16string pattern = filters.namePattern;
    std::replace_if(
        pattern.begin(), pattern.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
    const bool hideSame = Write(settingsFile, kHideSameKey, filters.hideSame ? u"1" : u"0");
    return Write(settingsFile, kPatternKey, Quoted(pattern)) && hideSame;
}

}  // namespace viewer
