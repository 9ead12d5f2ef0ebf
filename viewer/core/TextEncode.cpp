#include "TextEncode.h"

#include <array>
#include <utility>
#include <vector>

#include "Japanese.h"

namespace viewer {

namespace {

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The character at `at`: one code unit, or a surrogate pair.
std::size_t CharLength(std::u16string_view text, std::size_t at) {
    return IsHigh(text[at]) && at + 1 < text.size() && IsLow(text[at + 1]) ? 2 : 1;
}

// UTF-8 for valid UTF-16; nothing for a surrogate without its partner.
std::optional<std::string> ToUtf8(std::u16string_view text, std::size_t* bad) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t point = text[i];
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            point = 0x10000 + ((point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHigh(text[i]) || IsLow(text[i])) {
            *bad = i;
            return std::nullopt;
        }
        if (point < 0x80) {
            out.push_back(static_cast<char>(point));
        } else if (point < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (point >> 6)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else if (point < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (point >> 12)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (point >> 18)));
            out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        }
    }
    return out;
}

std::string ToUtf16(std::u16string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    }
    return out;
}

// Windows-1252 as the viewer reads it: every byte is one character, so the table is the
// decoder's own, turned round.
std::optional<std::string> ToWindows1252(std::u16string_view text, std::size_t* bad) {
    static const std::array<char16_t, 256> kDecoded = [] {
        std::array<char16_t, 256> table{};
        for (int byte = 0; byte < 256; ++byte) {
            table[byte] = Decode(std::string(1, static_cast<char>(byte)), Encoding::Windows1252)[0];
        }
        return table;
    }();
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        std::size_t byte = 0x80;
        while (byte < 0xA0 && kDecoded[byte] != c) ++byte;
        if (byte == 0xA0) {
            *bad = i;
            return std::nullopt;
        }
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

// A JIS character to which CP932 and the JIS tables give two code points (the pairs that
// UnifyJisVariant makes one: 〜 U+301C and ～ U+FF5E, ...): both, the JIS tables' first.
std::optional<std::pair<char16_t, char16_t>> JisPair(char16_t c) {
    if (const char16_t cp932 = UnifyJisVariant(c); cp932 != c) return std::pair(c, cp932);
    for (const char16_t jis : u"\u301C\u2016\u2212\u00A2\u00A3\u00AC\u2014") {
        if (jis != 0 && UnifyJisVariant(jis) == c) return std::pair(jis, c);
    }
    return std::nullopt;
}

// A Japanese multi-byte encoding through the platform, kept only where it reads back as the same
// text: the system's tables also give near forms ("¥" as the backslash's byte) that would change
// the character. A character of JisPair is written under the encoding's own code point for it
// (the JIS tables' for EUC-JP, `jisFirst`; CP932's), or the other where the system has only that:
// the two compare as one character.
std::optional<std::string> ToJapanese(std::u16string_view text, std::size_t* bad,
                                      bool (*encode)(std::u16string_view, std::string*),
                                      bool (*decode)(std::string_view, std::u16string*),
                                      bool jisFirst) {
    const auto writes = [&](std::u16string_view one) {
        std::string bytes;
        std::u16string read;
        return encode(one, &bytes) && decode(bytes, &read) && read == one;
    };
    std::u16string own(text);
    for (char16_t& c : own) {
        const auto pair = JisPair(c);
        if (!pair) continue;
        const char16_t first = jisFirst ? pair->first : pair->second;
        const char16_t second = jisFirst ? pair->second : pair->first;
        if (writes(std::u16string_view(&first, 1))) {
            c = first;
        } else if (writes(std::u16string_view(&second, 1))) {
            c = second;
        }
    }
    std::string out;
    std::u16string back;
    if (encode(own, &out) && decode(out, &back) && back == own) return out;
    // Which character it was, one at a time.
    for (std::size_t i = 0; i < own.size(); i += CharLength(own, i)) {
        if (!writes(std::u16string_view(own).substr(i, CharLength(own, i)))) {
            *bad = i;
            return std::nullopt;
        }
    }
    *bad = 0;
    return std::nullopt;
}

// Where each character of `bytes` (valid in `encoding`) starts, by the UTF-16 offset of its
// text: `starts[k]` is the byte where the text's unit k starts (the size at the end), npos
// inside a surrogate pair.
std::vector<std::size_t> CharacterStarts(std::string_view bytes, Encoding encoding) {
    std::vector<std::size_t> starts;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t length = 1;
        std::optional<std::u16string> one;
        for (; length <= 4 && at + length <= bytes.size(); ++length) {
            one = DecodeExactly(bytes.substr(at, length), encoding);
            if (one && !one->empty()) break;
        }
        if (!one || one->empty()) return {};
        starts.push_back(at);
        for (std::size_t unit = 1; unit < one->size(); ++unit)
            starts.push_back(std::string_view::npos);
        at += length;
    }
    starts.push_back(bytes.size());
    return starts;
}

}  // namespace

bool SameByteForm(Encoding a, Encoding b) {
    auto form = [](Encoding e) { return e == Encoding::Utf8Bom ? Encoding::Utf8 : e; };
    return form(a) == form(b);
}

std::optional<std::string> Encode(std::u16string_view text, Encoding encoding,
                                  std::u16string* unwritable) {
    std::size_t bad = 0;
    std::optional<std::string> bytes;
    switch (encoding) {
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            bytes = ToUtf8(text, &bad);
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            // A surrogate without its partner is written as it was read: UTF-16 holds it.
            return ToUtf16(text, encoding == Encoding::Utf16Be);
        case Encoding::Cp932:
            bytes = ToJapanese(text, &bad, EncodeCp932, DecodeCp932, false);
            break;
        case Encoding::EucJp:
            bytes = ToJapanese(text, &bad, EncodeEucJp, DecodeEucJp, true);
            break;
        case Encoding::Iso2022Jp:
            // Shifts run across lines: such files are not edited (see WhyNotEditable).
            return std::nullopt;
        case Encoding::Windows1252:
            bytes = ToWindows1252(text, &bad);
            break;
    }
    if (!bytes && unwritable != nullptr && bad < text.size()) {
        *unwritable = std::u16string(text.substr(bad, CharLength(text, bad)));
    }
    return bytes;
}

std::optional<std::string> EncodeKeeping(std::u16string_view text, Encoding encoding,
                                         std::string_view before, std::u16string* unwritable) {
    const std::optional<std::u16string> old = DecodeExactly(before, encoding);
    // Where the old line writes back to its own bytes, every character has one code here.
    if (!old || Encode(*old, encoding) == before) return Encode(text, encoding, unwritable);
    const std::vector<std::size_t> starts = CharacterStarts(before, encoding);
    if (starts.size() != old->size() + 1) return Encode(text, encoding, unwritable);
    // The characters the two share at the start and at the end, whole.
    std::size_t head = 0;
    while (head < text.size() && head < old->size() && text[head] == (*old)[head]) ++head;
    while (head > 0 && starts[head] == std::string_view::npos) --head;
    std::size_t tail = 0;
    while (tail < text.size() - head && tail < old->size() - head &&
           text[text.size() - 1 - tail] == (*old)[old->size() - 1 - tail]) {
        ++tail;
    }
    while (tail > 0 && starts[old->size() - tail] == std::string_view::npos) --tail;
    std::optional<std::string> middle =
        Encode(text.substr(head, text.size() - head - tail), encoding, unwritable);
    if (!middle) return std::nullopt;
    return std::string(before.substr(0, starts[head])) + *middle +
           std::string(before.substr(starts[old->size() - tail]));
}

std::optional<std::u16string> DecodeExactly(std::string_view bytes, Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            if (!IsUtf8(bytes)) return std::nullopt;
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            // Whole units, each pair a pair: then the text writes back to the same bytes.
            if (bytes.size() % 2 != 0) return std::nullopt;
            std::u16string text = Decode(bytes, encoding);
            if (ToUtf16(text, encoding == Encoding::Utf16Be) != bytes) return std::nullopt;
            return text;
        }
        case Encoding::Cp932:
        case Encoding::EucJp: {
            std::u16string text;
            const bool ok =
                encoding == Encoding::Cp932 ? DecodeCp932(bytes, &text) : DecodeEucJp(bytes, &text);
            if (!ok) return std::nullopt;
            return text;
        }
        case Encoding::Iso2022Jp:
            return std::nullopt;
        case Encoding::Windows1252:
            break;
    }
    return Decode(bytes, encoding);
}

std::string EndingBytes(LineEnding ending, Encoding encoding) {
    if (ending == LineEnding::None) return {};
    const std::u16string_view text = ending == LineEnding::CrLf ? u"\r\n" : u"\n";
    if (UnitBytes(encoding) == 1) return std::string(text.begin(), text.end());
    return ToUtf16(text, encoding == Encoding::Utf16Be);
}

}  // namespace viewer
