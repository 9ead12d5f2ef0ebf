// GetPrivateProfileStringA and WritePrivateProfileStringA off Windows. Reads never fail loudly:
// anything unreadable gives the default. Writes are atomic (new file, fsync, rename) and
// serialised between processes by an advisory lock on the folder, so a crash, a full disk or a
// second running copy never leaves a half-written or stale file; they keep the file's owner,
// group and permissions, write through symbolic links, and leave no temporary file behind
// (FileReplace.cpp, which the viewer's saves share).
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "../Profile.h"
#include "FileReplace.h"
#include "ProfileText.h"

namespace {

using platform::posix::TrimSpaces;

// No settings file of ours comes near this size; a larger one is damaged (or a sparse file of
// a gigabyte, which would take seconds and gigabytes to read) and reads as unreadable.
constexpr off_t kLargestFile = 16 << 20;

// Copies text into the caller's buffer, cut to size - 1 characters; returns the count copied.
DWORD CopyOut(std::string_view text, char* buffer, DWORD size) {
    if (buffer == nullptr || size == 0) return 0;
    const size_t count = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

// A list of NUL-terminated names ends with a second NUL; a cut list keeps both.
DWORD CopyOutList(std::string_view names, char* buffer, DWORD size) {
    if (buffer == nullptr || size == 0) return 0;
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    if (names.size() + 1 <= size) {
        std::memcpy(buffer, names.data(), names.size());
        buffer[names.size()] = '\0';
        if (names.empty() && size > 1) buffer[1] = '\0';
        return static_cast<DWORD>(names.size());
    }
    std::memcpy(buffer, names.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* appName, const char* keyName, const char* defaultValue,
                               char* returnedString, DWORD size, const char* fileName) {
    std::string content;
    if (fileName != nullptr && !platform::posix::ReadFileWhole(fileName, kLargestFile, content)) {
        content.clear();
    }
    if (appName == nullptr) {
        return CopyOutList(platform::posix::ListNames(content, std::nullopt), returnedString, size);
    }
    const std::string_view section = TrimSpaces(appName);
    if (keyName == nullptr) {
        return CopyOutList(platform::posix::ListNames(content, section), returnedString, size);
    }
    const auto value = platform::posix::FindValue(content, section, TrimSpaces(keyName));
    if (value) return CopyOut(*value, returnedString, size);
    std::string_view fallback = defaultValue != nullptr ? defaultValue : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
    return CopyOut(fallback, returnedString, size);
}

BOOL WritePrivateProfileStringA(const char* appName, const char* keyName, const char* value,
                                const char* fileName) {
    if (appName == nullptr || fileName == nullptr) {
        errno = EINVAL;
        return 0;
    }
    const std::string_view section = TrimSpaces(appName);
    const std::optional<std::string_view> key =
        keyName != nullptr ? std::optional(TrimSpaces(keyName)) : std::nullopt;
    const std::optional<std::string_view> text =
        value != nullptr ? std::optional<std::string_view>(value) : std::nullopt;
    // A line break, or a name the reader could not find again, would damage the file.
    if (section.empty() || HasLineBreak(section) || section.find(']') != std::string_view::npos ||
        (key && (key->empty() || HasLineBreak(*key) || key->find('=') != std::string_view::npos ||
                 key->front() == '[' || key->front() == ';')) ||
        (text && HasLineBreak(*text))) {
        errno = EINVAL;
        return 0;
    }

    // No name at all is no settings file: a program that cannot tell its own folder keeps none,
    // and must not write one into whatever folder it was started from.
    std::string path = fileName;
    if (path.empty()) {
        errno = ENOENT;
        return 0;
    }
    return platform::posix::ReplaceFileContent(
               path, kLargestFile,
               [&](const std::string* present) -> std::optional<std::string> {
                   const std::string_view old =
                       present != nullptr ? std::string_view(*present) : "";
                   std::string updated = platform::posix::ApplyWrite(old, section, key, text);
                   if (updated == old) return std::nullopt;
                   return updated;
               })
               ? 1
               : 0;
}
