// The colours and marks of the two kinds of differing lines, shared by the list and its legend.
#pragma once

#include <QColor>
#include <QString>

#include "LineDiff.h"

namespace viewer {

inline QColor KindColour(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return QColor(0xff, 0xd4, 0xd4);  // light red: gone from the second file
        case RowKind::Added:
            return QColor(0xcc, 0xee, 0xff);  // light blue: new in the second file
        case RowKind::Common:
            break;
    }
    return QColor();
}

// The stronger shade that marks the characters that changed inside a line, and the overview.
inline QColor MarkColour(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return QColor(0xff, 0x99, 0x99);
        case RowKind::Added:
            return QColor(0x80, 0xcc, 0xff);
        case RowKind::Common:
            break;
    }
    return QColor();
}

// The frame of the current row, dark enough to see on every colour.
inline QColor CurrentFrameColour() { return QColor(0x30, 0x30, 0x30); }

// A mark beside the colour, so the kinds stay apart for readers who cannot tell the colours.
inline QString KindMark(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return QStringLiteral("<!");
        case RowKind::Added:
            return QStringLiteral("!>");
        case RowKind::Common:
            break;
    }
    return QString();
}

inline QString KindLegend(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return QStringLiteral(" <! 第一のファイルだけにある行 ");
        case RowKind::Added:
            return QStringLiteral(" !> 第二のファイルだけにある行 ");
        case RowKind::Common:
            break;
    }
    return QString();
}

}  // namespace viewer
