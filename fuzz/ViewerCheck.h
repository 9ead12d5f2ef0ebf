// What the viewer's fuzz targets share: a failure that names the broken rule, and plain reference
// versions of line splitting and encoding, written apart from the core so that the core's own
// code is checked against them rather than against itself.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace viewercheck {

[[noreturn]] inline void Fail(const char* target, const char* rule) {
    std::fprintf(stderr, "%s: %s\n", target, rule);
    std::abort();
}

// A line's bytes, without its line ending, and where they begin in the file.
struct RawLine {
    std::size_t begin = 0;
    std::string_view bytes;
};

// Lines as the viewer cuts them: at the code unit LF (one or two bytes, `bigEndian` for UTF-16
// BE), a CR just before it belonging to the ending; a last line without LF is a line, a final LF
// starts none. Bytes past the last whole unit belong to the last line.
inline std::vector<RawLine> SplitLines(std::string_view bytes, std::size_t unit, bool bigEndian) {
    auto is = [&](std::size_t at, char c) {
        if (unit == 1) return bytes[at] == c;
        return bigEndian ? bytes[at] == 0 && bytes[at + 1] == c
                         : bytes[at] == c && bytes[at + 1] == 0;
    };
    std::vector<RawLine> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at + unit <= bytes.size(); at += unit) {
        if (!is(at, '\n')) continue;
        std::size_t end = at;
        if (end >= start + unit && is(end - unit, '\r')) end -= unit;
        lines.push_back({start, bytes.substr(start, end - start)});
        start = at + unit;
    }
    if (start < bytes.size()) lines.push_back({start, bytes.substr(start)});
    return lines;
}

// Well-formed UTF-8, as the Unicode standard's table of byte sequences has it: no overlong
// forms, no surrogates, nothing past U+10FFFF, nothing cut off.
inline bool IsWellFormedUtf8(std::string_view bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        const unsigned char lead = *at++;
        if (lead < 0x80) continue;
        std::size_t more = 0;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - at) < more || *at < low || *at > high) return false;
        for (std::size_t i = 1; i < more; ++i) {
            if (at[i] < 0x80 || at[i] > 0xBF) return false;
        }
        at += more;
    }
    return true;
}

// UTF-16 text back to UTF-8; false for a lone surrogate, which no UTF-8 decodes to.
inline bool EncodeUtf8(std::u16string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

inline std::string EncodeUtf16(std::u16string_view text, bool bigEndian) {
    std::string out;
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

// Whole units, every surrogate in a pair: UTF-16 that decodes without a replacement.
inline bool IsWholeUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return false;
    bool wantLow = false;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned unit = bigEndian ? (a << 8) | b : (b << 8) | a;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (low != wantLow) return false;
        wantLow = unit >= 0xD800 && unit <= 0xDBFF;
    }
    return !wantLow;
}

}  // namespace viewercheck
