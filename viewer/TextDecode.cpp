#include "TextDecode.h"

#include <QStringDecoder>

#include "Cp932.h"

namespace viewer {

namespace {

constexpr qsizetype kBinaryProbeBytes = 8000;

bool StartsWith(const QByteArray& bytes, const char* mark, qsizetype length) {
    return bytes.size() >= length && std::equal(mark, mark + length, bytes.constData());
}

bool HasUtf16Bom(const QByteArray& bytes) {
    return StartsWith(bytes, "\xFF\xFE", 2) || StartsWith(bytes, "\xFE\xFF", 2);
}

// Decodes with a fresh decoder; returns false when the decoder met a byte sequence it rejects.
bool TryDecode(QStringDecoder decoder, QByteArrayView bytes, QString& out) {
    if (!decoder.isValid()) return false;
    out = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

bool LooksBinary(const QByteArray& bytes) {
    if (HasUtf16Bom(bytes)) return false;
    const QByteArrayView probe(bytes.constData(), std::min(bytes.size(), kBinaryProbeBytes));
    return probe.contains('\0');
}

DecodedText DecodeText(const QByteArray& bytes) {
    DecodedText result;
    const QByteArrayView all(bytes);
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) {
        result.encoding = QStringLiteral("UTF-8 (BOM付き)");
        result.lossy = !TryDecode(QStringDecoder(QStringDecoder::Utf8), all.sliced(3), result.text);
        return result;
    }
    if (StartsWith(bytes, "\xFF\xFE", 2)) {
        result.encoding = QStringLiteral("UTF-16 LE");
        result.lossy =
            !TryDecode(QStringDecoder(QStringDecoder::Utf16LE), all.sliced(2), result.text);
        return result;
    }
    if (StartsWith(bytes, "\xFE\xFF", 2)) {
        result.encoding = QStringLiteral("UTF-16 BE");
        result.lossy =
            !TryDecode(QStringDecoder(QStringDecoder::Utf16BE), all.sliced(2), result.text);
        return result;
    }
    if (TryDecode(QStringDecoder(QStringDecoder::Utf8), all, result.text)) {
        result.encoding = QStringLiteral("UTF-8");
        return result;
    }
    if (std::optional<QString> cp932 = DecodeCp932(all)) {
        result.text = std::move(*cp932);
        result.encoding = QStringLiteral("Shift_JIS (CP932)");
        return result;
    }
    // Show what can be shown rather than nothing; the header tells the user bytes were replaced.
    result.text = QString::fromUtf8(bytes);
    result.encoding = QStringLiteral("UTF-8");
    result.lossy = true;
    return result;
}

}  // namespace viewer
