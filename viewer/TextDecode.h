// Tells binary from text and turns a file's bytes into text, naming the encoding it found.
#pragma once

#include <QByteArray>
#include <QString>

namespace viewer {

// A NUL byte in the first block marks a binary file, as diff and git decide; a UTF-16 byte order
// mark makes a file text whatever follows, since UTF-16 text is full of NUL bytes.
bool LooksBinary(const QByteArray& bytes);

struct DecodedText {
    QString text;
    QString encoding;    // for the header: "UTF-8", "UTF-8 (BOM付き)", "Shift_JIS (CP932)", ...
    bool lossy = false;  // some bytes were not valid in any encoding tried and were replaced
};

// Tries, in order: a byte order mark (UTF-8, UTF-16 LE or BE), strict UTF-8, then CP932
// (Windows' Shift_JIS, which Japanese files written on Windows use). When none decodes cleanly
// the text is UTF-8 with the bad bytes replaced, and `lossy` says so.
DecodedText DecodeText(const QByteArray& bytes);

}  // namespace viewer
