// Win32 backend: paths the settings file's ANSI code page cannot spell are kept under a name of
// the same file that it can. A short (8.3) name is ASCII by construction and is what Windows
// itself hands to programs that cannot take the long name; the viewer beside the program needs
// none: its bare name is what CreateProcess finds first in the starting program's own folder, so
// older copies of the program start it too, and it survives the folder being moved.
#include "../Process.h"
#include "../Profile.h"
#include "../Text.h"
#include "Win32Internal.h"

#include <algorithm>

namespace platform {

namespace {

constexpr wchar_t kViewerName[] = L"diff-zarvo-view.exe";

bool CodePageHolds(const std::wstring& text) { return ThroughAnsi(text) == text; }

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ViewerBesideProgram() {
    std::wstring path = ExecutableDirectory();
    if (path.empty()) return {};
    if (path.back() != L'\\') path += L'\\';
    return path + kViewerName;
}

// GetShortPathNameW or GetLongPathNameW on path, however long the answer; empty on failure.
template <typename Function>
std::wstring OtherName(Function function, const std::wstring& path) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = function(path.c_str(), name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(length);
    }
}

// The path with each part the code page cannot spell replaced by that part's short name, and the
// other parts kept as they are (Windows takes any mix of the two); empty where a part has none.
std::wstring ShortWherePathNeedsIt(const std::wstring& path) {
    std::wstring result;
    for (size_t begin = 0;;) {
        const size_t end = std::min(path.find(L'\\', begin), path.size());
        const std::wstring part = path.substr(begin, end - begin);
        if (CodePageHolds(part)) {
            result += part;
        } else {
            const std::wstring shortName = OtherName(GetShortPathNameW, path.substr(0, end));
            const std::wstring shortPart = shortName.substr(shortName.find_last_of(L'\\') + 1);
            if (shortName.empty() || !CodePageHolds(shortPart)) return {};
            result += shortPart;
        }
        if (end == path.size()) return result;
        result += L'\\';
        begin = end + 1;
    }
}

}  // namespace

std::wstring PathToStore(const std::wstring& path, StoredPath kind) {
    if (CodePageHolds(path)) return path;
    if (kind == StoredPath::Tool && SameName(path, ViewerBesideProgram())) return kViewerName;
    return ShortWherePathNeedsIt(path);
}

std::wstring PathFromStore(const std::wstring& value, StoredPath kind) {
    if (kind == StoredPath::Tool && SameName(value, kViewerName)) {
        const std::wstring viewer = ViewerBesideProgram();
        return viewer.empty() ? value : viewer;
    }
    if (value.find(L'~') == std::wstring::npos) return value;
    const std::wstring longName = OtherName(GetLongPathNameW, value);
    return !longName.empty() && !CodePageHolds(longName) ? longName : value;
}

}  // namespace platform
