// Opens the files to compare read-only, refusing what is not a regular file, and reads them
// whole or compares them in blocks.
#pragma once

#include <QByteArray>
#include <QString>

namespace viewer {

class InputFile {
public:
    // Never blocks on a FIFO or a device and never writes: the file is opened read-only and
    // non-blocking, and anything but a regular file is refused before a byte is read.
    explicit InputFile(const QString& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    const QString& error() const { return error_; }  // why it cannot be read, in Japanese
    qint64 size() const { return size_; }            // as it was when opened

    // Reads the rest of the file; false (with error() set) on a read error.
    bool ReadAll(QByteArray& out);
    // Reads up to `capacity` bytes; 0 at the end, -1 (with error() set) on a read error.
    qint64 Read(char* buffer, qint64 capacity);

private:
    int fd_ = -1;
    qint64 size_ = 0;
    QString error_;
};

struct StreamComparison {
    bool ok = false;
    QString error;                // which file failed to read, and why
    qint64 firstDifference = -1;  // -1 when the files are the same
    qint64 size1 = 0;
    qint64 size2 = 0;
};

// Compares two open files block by block, holding only two blocks in memory.
StreamComparison CompareInBlocks(InputFile& first, const QString& firstPath, InputFile& second,
                                 const QString& secondPath);

}  // namespace viewer
