// The colours and marks of the two kinds of differing lines, shared by the list and its legend.
#pragma once

#include <QColor>
#include <QString>

#include "LineDiff.h"

namespace viewer {

inline QColor KindColour(RowKind kind) {
    switch (kind) {
        case RowKind::OnlyFirst:
            return QColor(0xff, 0xd4, 0xd4);  // light red: gone from the second file
        case RowKind::OnlySecond:
            return QColor(0xcc, 0xee, 0xff);  // light blue: new in the second file
        case RowKind::Same:
            break;
    }
    return QColor();
}

// A mark beside the colour, so the kinds stay apart for readers who cannot tell the colours.
inline QString KindMark(RowKind kind) {
    switch (kind) {
        case RowKind::OnlyFirst:
            return QStringLiteral("<!");
        case RowKind::OnlySecond:
            return QStringLiteral("!>");
        case RowKind::Same:
            break;
    }
    return QString();
}

inline QString KindLegend(RowKind kind) {
    switch (kind) {
        case RowKind::OnlyFirst:
            return QStringLiteral(" <! 第一のファイルだけにある行 ");
        case RowKind::OnlySecond:
            return QStringLiteral(" !> 第二のファイルだけにある行 ");
        case RowKind::Same:
            break;
    }
    return QString();
}

}  // namespace viewer
