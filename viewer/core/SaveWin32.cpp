// Saves on Windows: the new contents go into a file beside the old one, are flushed, and take
// the old one's place through ReplaceFileW, which keeps its attributes, security and streams.
// A symbolic link is followed to the file it names, which is the one replaced.
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
    name = OpenableName(path.native());
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

// The hidden file beside `target` that the new contents go into first: ".name.new-<pid>".
std::wstring TemporaryName(const std::wstring& target) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::size_t name = slash == std::wstring::npos ? 0 : slash + 1;
    return target.substr(0, name) + L"." + target.substr(name) + L".new-" +
           std::to_wstring(GetCurrentProcessId());
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
    std::wstring target;
    {
        Handle old(CreateFileW(OpenableName(path.native()).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!old.ok()) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND) return Failure(error, path);
            if (!stillAsRead(nullptr)) return {WriteStatus::ChangedOnDisk, {}};
            // Not there (deleted since it was read, or a file of one folder only taken into
            // the other): made new, with what its folder gives a new file.
            return Create(OpenableName(path.native()), content, path);
        }
        BY_HANDLE_FILE_INFORMATION info{};
        std::string present;
        if (!GetFileInformationByHandle(old.get(), &info) || !ReadWhole(old.get(), present)) {
            return Failure(GetLastError(), path);
        }
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            return {WriteStatus::Refused, {FileProblem::ReadOnlyFile, 0, path}};
        }
        if (!stillAsRead(&present)) return {WriteStatus::ChangedOnDisk, {}};
        target = TargetName(old.get(), path);
        if (target.empty()) return Failure(GetLastError(), path);
    }
    const std::wstring temporary = TemporaryName(target);
    if (const DWORD error = WriteTemporary(temporary, content); error != 0) {
        return Failure(error, path);
    }
    if (!ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return Failure(error, path);
    }
    return {WriteStatus::Written, {}};
}

FileError WhyNotWritable(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(OpenableName(path.native()).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        // A file yet to be made: its folder takes it, if there is one.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            return {FileProblem::System, error, path};
        }
        if (error == ERROR_PATH_NOT_FOUND)
            return {FileProblem::NoFolder, error, path.parent_path()};
        return {};
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) return {FileProblem::ReadOnlyFile, 0, path};
    return {};
}

}  // namespace viewer
