// The core's texts and paths as Qt strings, for the Qt front alone.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <filesystem>

#include "Comparison.h"

namespace viewer {

inline QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }

// A path as the user typed it: its bytes in the system's file-name encoding.
inline QString PathText(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// One "path: reason" line per file that could not be read.
inline QStringList ErrorLines(const Comparison& comparison) {
    QStringList lines;
    for (const FileSide* side : {&comparison.first, &comparison.second}) {
        if (side->error.empty()) continue;
        lines << QStringLiteral("%1: %2").arg(PathText(side->path), ToQString(side->error));
    }
    return lines;
}

}  // namespace viewer
