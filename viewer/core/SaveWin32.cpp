// Saves on Windows: the new contents go into a file beside the old one, are flushed, and take
// the old one's place through ReplaceFileW, which keeps its attributes, security and streams.
// A symbolic link is followed to the file it names, which is the one replaced. A file with other
// names (hard links), or in a folder that takes no new file, is written over instead: a new file
// would leave its other names with the old contents, or could not be made.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "Comparison.h"
#include "FileRead.h"
#include "SaveFile.h"

namespace viewer {

namespace {

// Closes a handle on every way out.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (ok()) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

WriteResult Failure(DWORD error, const std::filesystem::path& path) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return {WriteStatus::DiskFull, {FileProblem::DiskFull, error, path}};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return {WriteStatus::Refused, {FileProblem::NoWritePermission, error, path}};
        case ERROR_WRITE_PROTECT:
            return {WriteStatus::Refused, {FileProblem::ReadOnlyMedium, error, path}};
        default:
            return {WriteStatus::Failed, {FileProblem::System, error, path}};
    }
}

// The write refused before it starts, for the reason editing was refused.
WriteResult Refusal(const FileError& why) {
    switch (why.problem) {
        case FileProblem::NoFolder:
        case FileProblem::System:
            return {WriteStatus::Failed, why};
        case FileProblem::DiskFull:
            return {WriteStatus::DiskFull, why};
        default:
            return {WriteStatus::Refused, why};
    }
}

// The folder of a long name: "\\?\C:\folder" of "\\?\C:\folder\file.txt", "\\?\C:\" of
// "\\?\C:\file".
std::wstring FolderOf(const std::wstring& name) {
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash > 0 && name[slash - 1] == L':') return name.substr(0, slash + 1);
    return name.substr(0, slash);
}

// Whether the user this program runs as holds `access` to the file or folder `name`, as its
// security descriptor grants it (deny entries, groups and the owner's rights all counted).
// Where the system keeps no security or will not show it, yes: the open that follows decides.
bool Granted(const std::wstring& name, DWORD access) {
    const SECURITY_INFORMATION asked =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(name.c_str(), asked, nullptr, 0, &size);
    if (size == 0) return true;
    std::string security(size, '\0');
    if (!GetFileSecurityW(name.c_str(), asked, security.data(), size, &size)) return true;
    // AccessCheck wants an impersonation token: the thread's own, or a copy of the process's.
    HANDLE token = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
        HANDLE process = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process)) {
            return true;
        }
        const BOOL copied = DuplicateToken(process, SecurityIdentification, &token);
        CloseHandle(process);
        if (!copied) return true;
    }
    const Handle owned(token);
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    MapGenericMask(&access, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof privileges;
    DWORD grantedAccess = 0;
    BOOL granted = FALSE;
    if (!AccessCheck(security.data(), token, access, &mapping, &privileges, &privilegesSize,
                     &grantedAccess, &granted)) {
        return true;
    }
    return granted != FALSE;
}

// The name of the file the handle has open, links followed: "\\?\C:\folder\file.txt".
std::wstring FinalName(HANDLE file) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(length);
    }
}

// The name to replace: the file the handle has open, links followed, in the long form that the
// temporary file beside it and the replace need past MAX_PATH. Where the system cannot name it
// (Wine cannot past MAX_PATH), the name asked for, in that form, serves unless it is a link.
std::wstring TargetName(HANDLE file, const std::filesystem::path& path) {
    std::wstring name = FinalName(file);
    if (!name.empty()) return name;
    const DWORD error = GetLastError();
    name = LongName(path.native());
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetLastError(error);
        return {};
    }
    return name;
}

bool ReadWhole(HANDLE file, std::string& out) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return false;
    if (size.QuadPart > kTextLimitBytes) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    out.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t filled = 0;
    while (filled < out.size()) {
        DWORD got = 0;
        if (!ReadFile(file, out.data() + filled, static_cast<DWORD>(out.size() - filled), &got,
                      nullptr)) {
            return false;
        }
        if (got == 0) break;
        filled += got;
    }
    out.resize(filled);
    return true;
}

bool WriteWhole(HANDLE file, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 24));
        DWORD wrote = 0;
        if (!WriteFile(file, content.data() + done, chunk, &wrote, nullptr)) return false;
        done += wrote;
    }
    return FlushFileBuffers(file) != 0;
}

// The hidden file beside `target` that the new contents go into first: ".name.new-<pid>", the
// name cut short where the whole would pass the 255 characters a name may have.
std::wstring TemporaryName(const std::wstring& target) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    const std::wstring suffix = L".new-" + std::to_wstring(GetCurrentProcessId());
    std::wstring name = target.substr(start);
    const std::size_t room = 255 - 1 - suffix.size();
    if (name.size() > room) {
        name.resize(room);
        if (IS_HIGH_SURROGATE(name.back())) name.pop_back();  // never half a character
    }
    return target.substr(0, start) + L"." + name + suffix;
}

// Writes and flushes the temporary file; the error, or 0. Nothing is left of it on a failure.
DWORD WriteTemporary(const std::wstring& temporary, const std::string& content) {
    DWORD error = 0;
    {
        Handle fresh(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!fresh.ok()) return GetLastError();
        if (WriteWhole(fresh.get(), content)) return 0;
        error = GetLastError();
    }
    DeleteFileW(temporary.c_str());
    return error;
}

bool SetEnd(HANDLE file, std::size_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) != 0;
}

bool WriteFromStart(HANDLE file, const std::string& content) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteWhole(file, content) &&
           SetEnd(file, content.size()) && FlushFileBuffers(file);
}

// Writes `content` over the bytes of `target`, which keeps its identity: every name it has
// sees the new contents. Nothing is written unless it still holds `before`, as it was read. Not
// atomic as a replace is: the room is taken first, so that a full disk fails before a byte
// changes, and a write that fails halfway puts the old bytes back.
WriteResult WriteOver(const std::wstring& target, const std::string& content,
                      const std::string& before, const std::filesystem::path& path) {
    const Handle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string present;
    if (!file.ok() || !ReadWhole(file.get(), present)) return Failure(GetLastError(), path);
    if (present != before) return {WriteStatus::ChangedOnDisk, {}};
    if (content.size() > before.size() && !SetEnd(file.get(), content.size())) {
        const DWORD error = GetLastError();
        SetEnd(file.get(), before.size());
        return Failure(error, path);
    }
    if (WriteFromStart(file.get(), content)) return {WriteStatus::Written, {}};
    const DWORD error = GetLastError();
    if (WriteFromStart(file.get(), before)) return Failure(error, path);
    // The old bytes would not go back either: the old length at least, and the user told.
    SetEnd(file.get(), before.size());
    return {WriteStatus::NotRestored, Failure(error, path).error};
}

// Whether a new file may take the place of `target`: its folder takes new files, and the old
// one may be removed (by its own right, or by the folder's right to remove what it holds).
bool Replaceable(const std::wstring& target) {
    const std::wstring folder = FolderOf(target);
    return Granted(folder, FILE_ADD_FILE) &&
           (Granted(target, DELETE) || Granted(folder, FILE_DELETE_CHILD));
}

// A file that is not there yet, given its name only once it is whole; never over a file that
// another program made in the meantime.
WriteResult Create(const std::wstring& target, const std::string& content,
                   const std::filesystem::path& path) {
    const std::wstring temporary = TemporaryName(target);
    if (const DWORD error = WriteTemporary(temporary, content); error != 0) {
        return Failure(error, path);
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            return {WriteStatus::ChangedOnDisk, {}};
        }
        return Failure(error, path);
    }
    return {WriteStatus::Written, {}};
}

}  // namespace

WriteResult ReplaceContent(const std::filesystem::path& path, const std::string& content,
                           const StillAsRead& stillAsRead, std::uint32_t /*permissions*/) {
    // Refused as editing it was, for the same reason.
    if (const FileError why = WhyNotWritable(path); why.failed()) return Refusal(why);
    const std::wstring name = LongName(path.native());
    std::wstring target;
    std::string present;
    bool overTheOld = false;
    {
        Handle old(CreateFileW(name.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!old.ok()) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND) return Failure(error, path);
            if (!stillAsRead(nullptr)) return {WriteStatus::ChangedOnDisk, {}};
            // Not there (deleted since it was read, or a file of one folder only taken into
            // the other): made new, with what its folder gives a new file.
            return Create(name, content, path);
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(old.get(), &info) || !ReadWhole(old.get(), present)) {
            return Failure(GetLastError(), path);
        }
        if (!stillAsRead(&present)) return {WriteStatus::ChangedOnDisk, {}};
        target = TargetName(old.get(), path);
        if (target.empty()) return Failure(GetLastError(), path);
        // A new file in its place would leave its other names (hard links) with the old
        // contents, or could not be made.
        overTheOld = info.nNumberOfLinks > 1 || !Replaceable(target);
    }
    if (overTheOld) return WriteOver(target, content, present, path);
    const std::wstring temporary = TemporaryName(target);
    if (const DWORD error = WriteTemporary(temporary, content); error != 0) {
        if (error == ERROR_ACCESS_DENIED) return WriteOver(target, content, present, path);
        return Failure(error, path);
    }
    if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        return {WriteStatus::Written, {}};
    }
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file has left its name already: the new contents take it, or stay beside it
        // rather than be lost.
        if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            return {WriteStatus::Written, {}};
        }
        return {WriteStatus::Failed, {FileProblem::System, GetLastError(), path}};
    }
    // Nothing was replaced (Wine's replace fails past MAX_PATH; a file that may be written but
    // not removed): the old file is written over.
    DeleteFileW(temporary.c_str());
    return WriteOver(target, content, present, path);
}

FileError WhyNotWritable(const std::filesystem::path& path) {
    const std::wstring name = LongName(path.native());
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND)
            return {FileProblem::NoFolder, error, path.parent_path()};
        if (error != ERROR_FILE_NOT_FOUND) return {FileProblem::System, error, path};
        // A file yet to be made: its folder must take it.
        if (!Granted(FolderOf(name), FILE_ADD_FILE)) {
            return {FileProblem::FolderNotWritable, ERROR_ACCESS_DENIED, path.parent_path()};
        }
        return {};
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) return {FileProblem::ReadOnlyFile, 0, path};
    // The file's own rights, as its security grants them and as an open for writing finds them
    // (a read-only medium, a share that says no). A folder that takes no new file is no reason:
    // the save writes the file over.
    if (!Granted(name, FILE_WRITE_DATA)) {
        return {FileProblem::NoWritePermission, ERROR_ACCESS_DENIED, path};
    }
    const Handle probe(CreateFileW(name.c_str(), FILE_WRITE_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = probe.ok() ? 0 : GetLastError();
    // Another program holding it open, sharing no writes, may let go before the save.
    if (error == 0 || error == ERROR_SHARING_VIOLATION) return {};
    return Failure(error, path).error;
}

}  // namespace viewer
