// The files to compare, read through POSIX calls: open read-only and non-blocking, fstat, read.
// Off Windows a path is the name's bytes, passed to open() unchanged.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileRead.h"
#include "TextDecode.h"

namespace viewer {

namespace {

std::u16string Reason(int error) {
    switch (error) {
        case ENOENT:
            return u"ファイルが見つかりません";
        case EACCES:
        case EPERM:
            return u"読み取る権限がありません";
        case EISDIR:
            return u"フォルダーです";
        case ENOTDIR:
            return u"パスの途中がフォルダーではありません";
        default:
            return FromUtf8(std::strerror(error));
    }
}

}  // namespace

InputFile::InputFile(const std::filesystem::path& path, bool mayBeMissing) {
    if (path.empty()) {
        error_ = u"パスが空です";
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        missing_ = mayBeMissing && errno == ENOENT;
        if (!missing_) error_ = Reason(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error_ = Reason(errno);
    } else if (S_ISDIR(info.st_mode)) {
        error_ = Reason(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        error_ = u"通常のファイルではありません";
    }
    if (!error_.empty()) {
        ::close(fd);
        return;
    }
    handle_ = fd;
    size_ = static_cast<std::int64_t>(info.st_size);
    permissions_ = static_cast<std::uint32_t>(info.st_mode & 07777);
}

InputFile::~InputFile() {
    if (handle_ != kNoHandle) ::close(static_cast<int>(handle_));
}

std::int64_t InputFile::Read(char* buffer, std::int64_t capacity) {
    if (missing_) return 0;
    for (;;) {
        const ssize_t got =
            ::read(static_cast<int>(handle_), buffer, static_cast<size_t>(capacity));
        if (got >= 0) return static_cast<std::int64_t>(got);
        if (errno == EINTR) continue;
        error_ = Reason(errno);
        return -1;
    }
}

}  // namespace viewer
