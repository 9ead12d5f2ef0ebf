// Everything the window shows about two files, worked out before the window opens.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "LineDiff.h"
#include "TextFile.h"

namespace viewer {

enum class Outcome {
    Unreadable,  // one file or both could not be read; `errors` names them
    Binary,      // at least one file is binary: compared byte by byte
    TooLarge,    // a file is larger than the text limit: compared byte by byte, in blocks
    Text,        // both are text: compared line by line
};

struct FileSide {
    QString path;
    QString encoding;  // text files only
    bool lossy = false;
    qint64 size = 0;
    TextFile text;
};

struct Comparison {
    Outcome outcome = Outcome::Unreadable;
    FileSide first;
    FileSide second;
    QStringList errors;  // one line per unreadable file, naming it
    bool identicalBytes = false;
    qint64 firstDifferentByte = -1;  // offset of the first byte that differs, -1 if none
    std::vector<DiffRow> rows;
    std::vector<qsizetype> differenceStarts;

    // Text whose lines all match although the bytes differ: why, in a sentence.
    QString SameLinesNote() const;
};

// Beyond this size a file is not read into memory as text: the line diff holds each file several
// times over (bytes, UTF-16 text, line table), and a pair of disk images must not exhaust memory.
constexpr qint64 kTextLimitBytes = qint64{64} << 20;

Comparison Compare(const QString& firstPath, const QString& secondPath,
                   qint64 textLimitBytes = kTextLimitBytes);

}  // namespace viewer
