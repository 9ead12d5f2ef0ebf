// The files to compare, read through the wide Win32 file calls: any name the system can hold
// opens, whatever the ANSI code page. Opened read-only, sharing with writers and deleters.
#include <windows.h>

#include <climits>

#include "FileRead.h"

namespace viewer {

namespace {

FileProblem ProblemOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return FileProblem::NotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return FileProblem::NoReadPermission;
        default:
            return FileProblem::System;
    }
}

std::int64_t Joined(DWORD high, DWORD low) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

}  // namespace

std::u16string SystemMessage(std::uint32_t code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) return {};
    std::u16string message(reinterpret_cast<const char16_t*>(text), length);
    LocalFree(text);
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r')) {
        message.pop_back();
    }
    return message;
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(OpenableName(path.native()).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return FileIdentity{
        Joined(data.nFileSizeHigh, data.nFileSizeLow),
        Joined(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

void InputFile::Fail(std::uint32_t code) { error_ = {ProblemOf(code), code, path_}; }

std::wstring LongName(const std::wstring& name) {
    if (name.starts_with(L"\\\\?\\") || name.starts_with(L"\\\\.\\")) return name;
    std::wstring full(name.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return name;
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    // A device ("NUL" is "\\.\NUL") has no long form.
    if (full.starts_with(L"\\\\.\\") || full.starts_with(L"\\\\?\\")) return full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// Large pages on Windows need a privilege that a user is seldom given: memory stays as it is.
void AdviseLargePages(char*, std::size_t) {}

std::wstring OpenableName(const std::wstring& name) {
    return name.size() < MAX_PATH ? name : LongName(name);
}

InputFile::InputFile(const std::filesystem::path& path, bool mayBeMissing) : path_(path) {
    if (path.empty()) {
        error_ = {FileProblem::EmptyPath, 0, path};
        return;
    }
    const std::wstring name = OpenableName(path.native());
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error_ = {FileProblem::IsFolder, 0, path};
        return;
    }
    HANDLE file = CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        missing_ = mayBeMissing && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
        if (!missing_) Fail(error);
        return;
    }
    // A device or a pipe would block or never end: only files on a disk are read.
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        error_ = {FileProblem::NotRegularFile, 0, path};
    } else if (!GetFileInformationByHandle(file, &info)) {
        Fail(GetLastError());
    }
    if (error_.failed()) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    identity_ = {Joined(info.nFileSizeHigh, info.nFileSizeLow),
                 Joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
}

InputFile::~InputFile() {
    if (handle_ != kNoHandle) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::int64_t InputFile::Read(char* buffer, std::int64_t capacity) {
    if (missing_) return 0;
    const DWORD asked = static_cast<DWORD>(capacity < INT_MAX ? capacity : INT_MAX);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, asked, &got, nullptr)) {
        Fail(GetLastError());
        return -1;
    }
    return static_cast<std::int64_t>(got);
}

}  // namespace viewer
