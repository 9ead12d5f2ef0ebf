#include "FileRead.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <memory>

namespace viewer {

namespace {

QString Reason(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("ファイルが見つかりません");
        case EACCES:
        case EPERM:
            return QStringLiteral("読み取る権限がありません");
        case EISDIR:
            return QStringLiteral("フォルダーです");
        case ENOTDIR:
            return QStringLiteral("パスの途中がフォルダーではありません");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

constexpr qint64 kBlockBytes = 1 << 20;

}  // namespace

InputFile::InputFile(const QString& path) {
    if (path.isEmpty()) {
        error_ = QStringLiteral("パスが空です");
        return;
    }
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error_ = Reason(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error_ = Reason(errno);
    } else if (S_ISDIR(info.st_mode)) {
        error_ = Reason(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        error_ = QStringLiteral("通常のファイルではありません");
    }
    if (!error_.isEmpty()) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<qint64>(info.st_size);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

qint64 InputFile::Read(char* buffer, qint64 capacity) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, static_cast<size_t>(capacity));
        if (got >= 0) return static_cast<qint64>(got);
        if (errno == EINTR) continue;
        error_ = Reason(errno);
        return -1;
    }
}

bool InputFile::ReadAll(QByteArray& out) {
    // Read straight into a buffer of the file's size; the size is only a hint, though, since
    // the file may grow or shrink while it is read.
    qsizetype capacity = std::max<qsizetype>(static_cast<qsizetype>(size_) + 1, 4096);
    out.resize(capacity);
    qsizetype filled = 0;
    for (;;) {
        if (filled == capacity) {
            capacity *= 2;
            out.resize(capacity);
        }
        const qint64 got = Read(out.data() + filled, capacity - filled);
        if (got < 0) return false;
        if (got == 0) break;
        filled += static_cast<qsizetype>(got);
    }
    out.truncate(filled);
    return true;
}

StreamComparison CompareInBlocks(InputFile& first, const QString& firstPath, InputFile& second,
                                 const QString& secondPath) {
    StreamComparison result;
    result.size1 = first.size();
    result.size2 = second.size();
    const auto block1 = std::make_unique<char[]>(kBlockBytes);
    const auto block2 = std::make_unique<char[]>(kBlockBytes);
    char* start1 = block1.get();
    char* start2 = block2.get();
    qint64 have1 = 0, have2 = 0;  // bytes read but not yet compared, from start1 and start2
    qint64 offset = 0;            // bytes compared and found equal
    for (;;) {
        if (have1 == 0) {
            start1 = block1.get();
            have1 = first.Read(start1, kBlockBytes);
            if (have1 < 0) {
                result.error = QStringLiteral("%1: %2").arg(firstPath, first.error());
                return result;
            }
        }
        if (have2 == 0) {
            start2 = block2.get();
            have2 = second.Read(start2, kBlockBytes);
            if (have2 < 0) {
                result.error = QStringLiteral("%1: %2").arg(secondPath, second.error());
                return result;
            }
        }
        if (have1 == 0 || have2 == 0) {
            // One file or both ended: equal so far, they differ only if one goes on.
            if (have1 == 0) result.size1 = offset;
            if (have2 == 0) result.size2 = offset;
            if (have1 != have2) result.firstDifference = offset;
            break;
        }
        const qint64 both = std::min(have1, have2);
        const char* differs = std::mismatch(start1, start1 + both, start2).first;
        if (differs != start1 + both) {
            result.firstDifference = offset + (differs - start1);
            break;
        }
        start1 += both;
        start2 += both;
        have1 -= both;
        have2 -= both;
        offset += both;
    }
    result.ok = true;
    return result;
}

}  // namespace viewer
