// A folder's entries through the wide Win32 calls. Names match as the file system matches them,
// case aside (CompareStringOrdinal ignoring case, as NTFS does); a reparse point (a symbolic
// link, a junction) is listed as a link and never followed.
#include <windows.h>
#include <winioctl.h>

#include <memory>

#include "FileRead.h"
#include "FolderList.h"

namespace viewer {

namespace {

FileError ListError(DWORD error, const std::filesystem::path& path) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_NAME:
            return {FileProblem::EntryNotFound, error, path};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return {FileProblem::NoReadPermission, error, path};
        case ERROR_DIRECTORY:
            return {FileProblem::NotFolder, error, path};
        default:
            return {FileProblem::System, error, path};
    }
}

// Opens an entry itself (a link, not what it points to) to ask about it, reading nothing.
HANDLE OpenEntry(const std::filesystem::path& path) {
    return CreateFileW(OpenableName(path.native()).c_str(), 0,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                       nullptr);
}

bool Identity(const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE file = OpenEntry(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool got = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return got;
}

}  // namespace

bool ListFolder(const std::filesystem::path& folder, std::vector<FolderItem>& items,
                FileError& error) {
    std::wstring pattern = folder.native();
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileExW(OpenableName(pattern).c_str(), FindExInfoBasic, &found,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return true;  // nothing in it, not even "."
        error = ListError(code, folder);
        return false;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderItem item;
        item.name = name;
        const DWORD attributes = found.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            item.kind = EntryKind::Link;
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            item.kind = EntryKind::Folder;
        } else {
            item.kind = EntryKind::File;
            item.size = static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
        }
        items.push_back(std::move(item));
    } while (FindNextFileW(search, &found));
    const DWORD code = GetLastError();
    FindClose(search);
    if (code != ERROR_NO_MORE_FILES) {
        error = ListError(code, folder);
        return false;
    }
    return true;
}

bool ReadLink(const std::filesystem::path& link, std::string& target, FileError& error) {
    const HANDLE file = OpenEntry(link);
    if (file == INVALID_HANDLE_VALUE) {
        error = ListError(GetLastError(), link);
        return false;
    }
    // The reparse data whole: its tag and its target, as the file system keeps them.
    target.resize(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD got = 0;
    const bool read = DeviceIoControl(file, FSCTL_GET_REPARSE_POINT, nullptr, 0, target.data(),
                                      static_cast<DWORD>(target.size()), &got, nullptr) != 0;
    const DWORD code = GetLastError();
    CloseHandle(file);
    if (!read) {
        error = ListError(code, link);
        return false;
    }
    target.resize(got);
    return true;
}

bool SameFile(const std::filesystem::path& first, const FolderItem&,
              const std::filesystem::path& second, const FolderItem&) {
    BY_HANDLE_FILE_INFORMATION info1{}, info2{};
    return Identity(first, info1) && Identity(second, info2) &&
           info1.dwVolumeSerialNumber == info2.dwVolumeSerialNumber &&
           info1.nFileIndexHigh == info2.nFileIndexHigh &&
           info1.nFileIndexLow == info2.nFileIndexLow;
}

int CompareNames(const std::wstring& a, const std::wstring& b) {
    const int order = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                           static_cast<int>(b.size()), TRUE);
    if (order == 0) return a.compare(b);  // cannot happen with valid lengths; stay exact
    return order - CSTR_EQUAL;
}

std::u16string DisplayName(const std::wstring& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string shown;
    for (std::size_t at = 0; at < name.size(); ++at) {
        const auto unit = static_cast<char16_t>(name[at]);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && at + 1 < name.size() && name[at + 1] >= 0xDC00 && name[at + 1] <= 0xDFFF) {
            shown += unit;
            shown += static_cast<char16_t>(name[++at]);
        } else if (high || low) {
            shown += u'<';
            for (int shift = 12; shift >= 0; shift -= 4) {
                shown += static_cast<char16_t>(kHex[(unit >> shift) & 15]);
            }
            shown += u'>';
        } else {
            shown += unit;
        }
    }
    return shown;
}

}  // namespace viewer
