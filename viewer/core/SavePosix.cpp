// Saves off Windows: the same atomic replacement as the settings file's write (FileReplace.cpp).
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
                           const StillAsRead& stillAsRead) {
    bool changed = false;
    const bool done = platform::posix::ReplaceFileContent(
        path.native(), kTextLimitBytes,
        [&](const std::string* present) -> std::optional<std::string> {
            if (!stillAsRead(present)) {
                changed = true;
                return std::nullopt;
            }
            return content;
        });
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
    if (stat(path.c_str(), &info) != 0) return Reason(errno);
    // Read-only for everyone is read-only for root too, as the settings file's write has it.
    if ((info.st_mode & 0222) == 0) return u"読み取り専用のファイルです";
    if (access(path.c_str(), W_OK) != 0) return Reason(errno);
    // The new contents go into a new file beside the old one.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(path, error);
    if (!error && access(real.parent_path().c_str(), W_OK | X_OK) != 0) {
        return errno == EROFS ? Reason(EROFS) : u"フォルダーに書き込む権限がありません";
    }
    return {};
}

}  // namespace viewer
