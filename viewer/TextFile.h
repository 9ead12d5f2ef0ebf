// A decoded file cut into lines: one string holds the text, the lines are spans of it, so a file
// of a million lines costs two integers a line rather than a string each.
#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace viewer {

enum class LineEnding { None, Lf, CrLf, Mixed };

struct LineSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

struct TextFile {
    QString text;
    std::vector<LineSpan> lines;  // without their line endings
    LineEnding ending = LineEnding::None;
    bool endsWithNewline = false;  // false for an empty file too
    qsizetype longestLine = -1;    // index of the line with the most characters, -1 if none

    qsizetype LineCount() const { return static_cast<qsizetype>(lines.size()); }
    QStringView Line(qsizetype index) const {
        const LineSpan& span = lines[static_cast<size_t>(index)];
        return QStringView(text).sliced(span.start, span.length);
    }
};

// LF and CR LF both end a line; a CR elsewhere is part of the line. A final line without a
// newline is still a line, and a final newline does not start an empty one, so "a\nb" and
// "a\nb\n" both have two lines and an empty text has none.
TextFile SplitLines(QString text);

}  // namespace viewer
