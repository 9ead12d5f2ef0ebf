// Strict CP932 (Windows' Shift_JIS) decoding through glibc's iconv.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace viewer {

// The text, or nothing when the bytes are not valid CP932. Qt's ICU-backed decoder is not used
// for this: it replaces bad sequences without reporting them, so it cannot tell CP932 from not.
std::optional<QString> DecodeCp932(QByteArrayView bytes);

}  // namespace viewer
