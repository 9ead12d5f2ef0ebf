// Reads a whole file for comparison, refusing what is not a regular file.
#pragma once

#include <QByteArray>
#include <QString>

namespace viewer {

struct FileBytes {
    bool ok = false;
    QByteArray bytes;
    QString error;  // why the file could not be read, in Japanese; empty when ok
};

// Never blocks on a FIFO or a device and never writes: the file is opened read-only and
// non-blocking, and anything but a regular file is refused before a byte is read.
FileBytes ReadWholeFile(const QString& path);

}  // namespace viewer
