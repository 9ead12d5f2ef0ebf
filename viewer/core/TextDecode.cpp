#include "TextDecode.h"

#include <algorithm>
#include <cstring>

#include "Cp932.h"

namespace viewer {

namespace {

constexpr std::size_t kBinaryProbeBytes = 8000;
constexpr char16_t kReplacement = u'\uFFFD';

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

bool HasUtf16Mark(std::string_view bytes) {
    return StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF");
}

// The length of the valid UTF-8 sequence at `at` and its code point, or 0 when it is not one.
std::size_t Utf8Sequence(const unsigned char* at, const unsigned char* end, char32_t& point) {
    const unsigned char lead = at[0];
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, point = lead & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - at) < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80) return 0;
        point = (point << 6) | (at[i] & 0x3F);
    }
    if (point < min || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    return length;
}

void AppendPoint(std::u16string& out, char32_t point) {
    if (point < 0x10000) {
        out.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2 + 1);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) -> char16_t {
        const unsigned char a = data[2 * i], b = data[2 * i + 1];
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const char16_t low = unit(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(c);
                out.push_back(low);
                ++i;
                continue;
            }
        }
        out.push_back(c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
    }
    if (bytes.size() % 2 != 0) out.push_back(kReplacement);
    return out;
}

// Whole units, and every surrogate in a pair.
bool IsUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return false;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    bool wantLow = false;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned unit =
            bigEndian ? (data[i] << 8) | data[i + 1] : (data[i + 1] << 8) | data[i];
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (low != wantLow) return false;
        wantLow = unit >= 0xD800 && unit <= 0xDBFF;
    }
    return !wantLow;
}

}  // namespace

std::u16string EncodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return u"UTF-8";
        case Encoding::Utf8Bom:
            return u"UTF-8 (BOM付き)";
        case Encoding::Utf16Le:
            return u"UTF-16 LE";
        case Encoding::Utf16Be:
            return u"UTF-16 BE";
        case Encoding::Cp932:
            return u"Shift_JIS (CP932)";
        case Encoding::Windows1252:
            return u"Latin-1 (Windows-1252)";
    }
    return {};
}

bool LooksBinary(std::string_view bytes) {
    if (HasUtf16Mark(bytes)) return false;
    return bytes.substr(0, kBinaryProbeBytes).find('\0') != std::string_view::npos;
}

bool IsUtf8(std::string_view bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        // Runs of ASCII, the bulk of most files, are checked eight bytes at a time.
        while (end - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, at, 8);
            if ((word & 0x8080808080808080ULL) != 0) break;
            at += 8;
        }
        if (at == end) break;
        char32_t point;
        const std::size_t length = Utf8Sequence(at, end, point);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::u16string FromUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        char32_t point;
        const std::size_t length = Utf8Sequence(at, end, point);
        if (length == 0) {
            out.push_back(kReplacement);
            ++at;
            continue;
        }
        AppendPoint(out, point);
        at += length;
    }
    return out;
}

DetectedEncoding DetectEncoding(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        return {Encoding::Utf8Bom, 3, !IsUtf8(bytes.substr(3))};
    }
    if (StartsWith(bytes, "\xFF\xFE"))
        return {Encoding::Utf16Le, 2, !IsUtf16(bytes.substr(2), false)};
    if (StartsWith(bytes, "\xFE\xFF"))
        return {Encoding::Utf16Be, 2, !IsUtf16(bytes.substr(2), true)};
    if (IsUtf8(bytes)) return {Encoding::Utf8, 0, false};
    if (DecodeCp932(bytes, nullptr)) return {Encoding::Cp932, 0, false};
    // Every byte has a character of its own here, so no two different lines look the same.
    return {Encoding::Windows1252, 0, false};
}

std::u16string Decode(std::string_view bytes, Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            return FromUtf8(bytes);
        case Encoding::Utf16Le:
            return DecodeUtf16(bytes, false);
        case Encoding::Utf16Be:
            return DecodeUtf16(bytes, true);
        case Encoding::Cp932: {
            std::u16string text;
            if (DecodeCp932(bytes, &text)) return text;
            return FromUtf8(bytes);  // not reached for a file found to be CP932
        }
        case Encoding::Windows1252:
            break;
    }
    // Windows-1252 is Latin-1 but for 0x80..0x9F; the five bytes it leaves undefined keep their
    // Latin-1 control characters, so that every byte stays a character of its own.
    static constexpr char16_t kHigh[32] = {u'€', 0x81, u'‚', u'ƒ', u'„', u'…', u'†', u'‡',
                                           u'ˆ', u'‰', u'Š', u'‹', u'Œ', 0x8D, u'Ž', 0x8F,
                                           0x90, u'‘', u'’', u'“', u'”', u'•', u'–', u'—',
                                           u'˜', u'™', u'š', u'›', u'œ', 0x9D, u'ž', u'Ÿ'};
    std::u16string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.push_back(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte);
    }
    return text;
}

}  // namespace viewer
