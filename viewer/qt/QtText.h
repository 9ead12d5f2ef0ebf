// The session's texts, colours and paths as Qt's, for the Qt front alone.
#pragma once

#include <QColor>
#include <QFile>
#include <QString>
#include <QStringList>
#include <filesystem>

#include "Comparison.h"
#include "Look.h"

namespace viewer {

inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline QColor ToQColor(Rgb colour) { return QColor(colour.r, colour.g, colour.b); }
inline QColor ToQColor(ColourRole role) { return ToQColor(Colour(role)); }

// A path as the user typed it: its bytes in the system's file-name encoding.
inline QString PathText(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// One "path: reason" line per file that could not be read.
inline QStringList ErrorLines(const Comparison& comparison) {
    QStringList lines;
    for (const FileSide* side : {&comparison.first(), &comparison.second()}) {
        if (side->error.empty()) continue;
        lines << QStringLiteral("%1: %2").arg(PathText(side->path), ToQString(side->error));
    }
    return lines;
}

}  // namespace viewer
