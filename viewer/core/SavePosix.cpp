// Saves off Windows: the same atomic replacement as the settings file's write (FileReplace.cpp).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Comparison.h"
#include "SaveFile.h"
#include "TextDecode.h"
#include "platform/posix/FileReplace.h"

namespace viewer {

namespace {

std::u16string Reason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return u"書き込む権限がありません";
        case EROFS:
            return u"読み取り専用のメディアにあります";
        default:
            return FromUtf8(std::strerror(error));
    }
}

}  // namespace

WriteResult ReplaceContent(const std::filesystem::path& path, const std::string& content,
                           const StillAsRead& stillAsRead, std::uint32_t permissions) {
    bool changed = false;
    const bool done = platform::posix::ReplaceFileContent(
        path.native(), kTextLimitBytes,
        [&](const std::string* present) -> std::optional<std::string> {
            if (!stillAsRead(present)) {
                changed = true;
                return std::nullopt;
            }
            return content;
        },
        permissions != 0 ? std::optional<mode_t>(permissions & 07777) : std::nullopt);
    if (done) return {changed ? WriteStatus::ChangedOnDisk : WriteStatus::Written, {}};
    const int error = errno;
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return {WriteStatus::DiskFull, {}};
        case EACCES:
        case EPERM:
        case EROFS:
            return {WriteStatus::Refused, Reason(error)};
        default:
            return {WriteStatus::Failed, Reason(error)};
    }
}

std::u16string WhyNotWritable(const std::filesystem::path& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) return Reason(errno);
        // A file yet to be made: its folder takes it.
        const std::filesystem::path folder =
            path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
        if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return {};
        if (errno == ENOENT) return u"フォルダーがありません";
        return errno == EROFS ? Reason(EROFS) : u"フォルダーに書き込む権限がありません";
    }
    // Read-only for everyone is read-only for root too, as the settings file's write has it.
    if ((info.st_mode & 0222) == 0) return u"読み取り専用のファイルです";
    // As the system decides, with the ids the program runs as: where the file may be written but
    // not replaced (its folder is not ours), the save writes it over.
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return Reason(errno);
    return {};
}

}  // namespace viewer
