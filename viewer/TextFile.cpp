#include "TextFile.h"

namespace viewer {

namespace {

LineEnding Combine(LineEnding seen, LineEnding next) {
    if (seen == LineEnding::None || seen == next) return next;
    return LineEnding::Mixed;
}

}  // namespace

TextFile SplitLines(QString text) {
    TextFile file;
    file.text = std::move(text);
    const QChar* data = file.text.constData();
    const qsizetype size = file.text.size();
    qsizetype longest = -1;
    qsizetype start = 0;
    file.lines.reserve(static_cast<size_t>(file.text.count(u'\n')) + 1);
    while (start < size) {
        const qsizetype newline = file.text.indexOf(u'\n', start);
        if (newline < 0) {
            file.lines.push_back({start, size - start});
            break;
        }
        const bool crlf = newline > start && data[newline - 1] == u'\r';
        file.ending = Combine(file.ending, crlf ? LineEnding::CrLf : LineEnding::Lf);
        file.lines.push_back({start, newline - start - (crlf ? 1 : 0)});
        start = newline + 1;
    }
    file.endsWithNewline = size > 0 && data[size - 1] == u'\n';
    for (size_t i = 0; i < file.lines.size(); ++i) {
        if (longest < 0 || file.lines[i].length > file.lines[static_cast<size_t>(longest)].length) {
            longest = static_cast<qsizetype>(i);
        }
    }
    file.longestLine = longest;
    return file;
}

}  // namespace viewer
