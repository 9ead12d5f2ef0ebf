// The files to compare, read through the wide Win32 file calls: any name the system can hold
// opens, whatever the ANSI code page. Opened read-only, sharing with writers and deleters.
#include <windows.h>

#include <climits>

#include "FileRead.h"

namespace viewer {

namespace {

std::u16string Reason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return u"ファイルが見つかりません";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return u"読み取る権限がありません";
        default:
            return SystemReason(error);
    }
}

}  // namespace

std::u16string SystemReason(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string reason = u"エラー ";
    if (length == 0 || text == nullptr) {
        for (const char c : std::to_string(error)) reason += static_cast<char16_t>(c);
        return reason;
    }
    reason.assign(reinterpret_cast<const char16_t*>(text), length);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r')) reason.pop_back();
    return reason;
}

std::wstring OpenableName(const std::wstring& name) {
    if (name.size() < MAX_PATH || name.starts_with(L"\\\\?\\") || name.starts_with(L"\\\\.\\")) {
        return name;
    }
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
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

InputFile::InputFile(const std::filesystem::path& path, bool mayBeMissing) {
    if (path.empty()) {
        error_ = u"パスが空です";
        return;
    }
    const std::wstring name = OpenableName(path.native());
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error_ = u"フォルダーです";
        return;
    }
    HANDLE file = CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        missing_ = mayBeMissing && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
        if (!missing_) error_ = Reason(error);
        return;
    }
    // A device or a pipe would block or never end: only files on a disk are read.
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        error_ = u"通常のファイルではありません";
    } else if (!GetFileSizeEx(file, &size)) {
        error_ = Reason(GetLastError());
    }
    if (!error_.empty()) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    size_ = size.QuadPart;
}

InputFile::~InputFile() {
    if (handle_ != kNoHandle) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::int64_t InputFile::Read(char* buffer, std::int64_t capacity) {
    if (missing_) return 0;
    const DWORD asked = static_cast<DWORD>(capacity < INT_MAX ? capacity : INT_MAX);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, asked, &got, nullptr)) {
        error_ = Reason(GetLastError());
        return -1;
    }
    return static_cast<std::int64_t>(got);
}

}  // namespace viewer
