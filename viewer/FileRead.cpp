#include "FileRead.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>

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

FileBytes Failure(const QString& reason) {
    FileBytes result;
    result.error = reason;
    return result;
}

// Closes the descriptor on every way out of ReadWholeFile.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

FileBytes ReadWholeFile(const QString& path) {
    if (path.isEmpty()) return Failure(QStringLiteral("パスが空です"));
    const QByteArray native = QFile::encodeName(path);
    Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return Failure(Reason(errno));

    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return Failure(Reason(errno));
    if (S_ISDIR(info.st_mode)) return Failure(Reason(EISDIR));
    if (!S_ISREG(info.st_mode)) return Failure(QStringLiteral("通常のファイルではありません"));

    FileBytes result;
    // Read straight into a buffer of the file's size; the size is only a hint, though, since the
    // file may grow or shrink while it is read.
    qsizetype capacity = std::max<qsizetype>(static_cast<qsizetype>(info.st_size) + 1, 4096);
    result.bytes.resize(capacity);
    qsizetype filled = 0;
    for (;;) {
        if (filled == capacity) {
            capacity *= 2;
            result.bytes.resize(capacity);
        }
        const ssize_t got =
            ::read(fd.get(), result.bytes.data() + filled, static_cast<size_t>(capacity - filled));
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return Failure(Reason(errno));
        }
        filled += static_cast<qsizetype>(got);
    }
    result.bytes.truncate(filled);
    result.ok = true;
    return result;
}

}  // namespace viewer
