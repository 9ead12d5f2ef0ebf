// GetPrivateProfileStringA and WritePrivateProfileStringA off Windows. Reads never fail loudly:
// anything unreadable gives the default. Writes are atomic (temporary file, fsync, rename) and
// serialised between processes by an advisory lock on the folder, so a crash, a full disk or a
// second running copy never leaves a half-written or stale file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "../Profile.h"
#include "ProfileText.h"

namespace {

using platform::posix::TrimSpaces;

// A file descriptor closed on scope exit.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Failed };

// Reads the whole file. A missing file reads as empty; a folder or an unreadable file fails.
// Opened without blocking: a FIFO in the file's place would otherwise wait for a writer forever.
ReadResult ReadWhole(const char* path, std::string& content) {
    content.clear();
    Fd fd(open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.ok()) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return ReadResult::Failed;
    // A file too large for memory (a damaged or sparse one) is unreadable, not a crash: the
    // callers are C functions that cannot pass an exception on.
    try {
        content.reserve(static_cast<size_t>(info.st_size));
        char block[65536];
        for (;;) {
            const ssize_t n = read(fd.get(), block, sizeof block);
            if (n == 0) return ReadResult::Ok;
            if (n < 0) {
                if (errno == EINTR) continue;
                return ReadResult::Failed;
            }
            content.append(block, static_cast<size_t>(n));
        }
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    std::string().swap(content);
    errno = ENOMEM;
    return ReadResult::Failed;
}

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

// The folder holding path, and the file's own name in it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A settings file that is a symbolic link is written through to the file it names.
std::string ResolveLink(const char* path) {
    struct stat info {};
    if (lstat(path, &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    if (realpath(path, resolved) == nullptr) return path;
    return resolved;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Writes content beside path under a temporary name and renames it over path.
bool ReplaceFile(const std::string& path, std::string_view content, mode_t mode) {
    std::string temp = path + ".XXXXXX";
    Fd fd(mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.ok()) return false;
    const bool written =
        WriteAll(fd.get(), content) && fchmod(fd.get(), mode) == 0 && fsync(fd.get()) == 0;
    if (!written || rename(temp.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        unlink(temp.c_str());
        errno = saved;
        return false;
    }
    // The folder is not flushed: a crash before the system writes it back keeps the old file,
    // still whole, and each launch saves eight keys, so the flush would be paid eight times.
    return true;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* appName, const char* keyName, const char* defaultValue,
                               char* returnedString, DWORD size, const char* fileName) {
    std::string content;
    if (fileName != nullptr) ReadWhole(fileName, content);
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

    const std::string path = ResolveLink(fileName);
    const auto [folder, name] = SplitPath(path);
    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok()) return 0;
    while (flock(dir.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return 0;
    }

    std::string content;
    const ReadResult read = ReadWhole(path.c_str(), content);
    if (read == ReadResult::Failed) return 0;
    mode_t mode = NewFileMode();
    if (read == ReadResult::Ok) {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) return 0;
        mode = info.st_mode & 07777;
        // A file nobody may write is read-only, as Windows' read-only attribute, even for root.
        // A file this user may not write stays as it is too: the rename below needs only the
        // folder's permission and would hand another user's file over to us.
        if ((mode & 0222) == 0 || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
            errno = EACCES;
            return 0;
        }
    }

    const std::string updated = platform::posix::ApplyWrite(content, section, key, text);
    if (updated == content) return 1;
    return ReplaceFile(path, updated, mode) ? 1 : 0;
}
