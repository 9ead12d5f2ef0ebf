// libFuzzer target for how the viewer reads a file's bytes: binary detection, the byte order
// mark, the encoding, decoding for display and the cutting into lines. The first input byte
// chooses how often the rest is repeated (so that short inputs also reach the decoders' piece
// boundaries) and how far apart the starts of the line-start check lie; the rest is the file.
// Checks, beyond the sanitizers:
// - the detected byte order mark is the one the file starts with, and is left out of the text;
// - exactly the well-formed UTF-8 is taken for UTF-8, and has no stray bytes when read as UTF-8;
// - decoding never merges two byte sequences into one text: bytes valid in an encoding encode
//   back from their text to themselves (CP932 aside where the code page itself gives one
//   character two codes, the NEC and IBM duplicates, which are listed at start-up);
// - the CP932 check by table answers as the decoder does;
// - stray bytes are shown and marked, one mark "<E9>" each, as many as the detection counted;
// - the single-byte fallback gives every byte a character of its own;
// - a file detected without loss decodes without loss;
// - in every encoding, the lines cover the file exactly, in order, each followed by its LF or
//   CR LF, with the line ending, the final newline and the longest line as the file has them;
//   an offset inside a line finds that line;
// - the compact table of line starts gives back every start, near or far apart.
#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Cp932Check.h"
#include "Japanese.h"
#include "LineStarts.h"
#include "TextDecode.h"
#include "TextFile.h"
#include "ViewerCheck.h"

namespace {

using viewer::Encoding;
using viewercheck::RawLine;

constexpr std::array<Encoding, 8> kEncodings = {
    Encoding::Utf8,  Encoding::Utf8Bom, Encoding::Utf16Le,   Encoding::Utf16Be,
    Encoding::Cp932, Encoding::EucJp,   Encoding::Iso2022Jp, Encoding::Windows1252};

[[noreturn]] void Fail(const char* rule) { viewercheck::Fail("viewer decode fuzzer", rule); }

bool IsCp932Lead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Text back to `charset` (CP932, EUC-JP) through iconv; false when some character has no code
// in it.
bool EncodeIn(const char* charset, std::u16string_view text, std::string& out) {
    const char* utf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    iconv_t cd = iconv_open(charset, utf16);
    if (cd == reinterpret_cast<iconv_t>(-1)) Fail("iconv lacks a Japanese encoding");
    // Room for the longest form: EUC-JP writes a JIS X 0212 character, one UTF-16 unit, in
    // three bytes.
    out.assign(text.size() * 3 + 16, '\0');
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    size_t inLeft = text.size() * 2;
    char* at = out.data();
    size_t outLeft = out.size();
    const size_t done = iconv(cd, &in, &inLeft, &at, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return done != static_cast<size_t>(-1);
}

bool EncodeCp932(std::u16string_view text, std::string& out) {
    return EncodeIn("CP932", text, out);
}

// For each two-byte CP932 code (lead byte high) that the code page gives a character another
// code has too, the code that character encodes back to; 0 for the others. A property of CP932
// itself (NEC row 13, the NEC-selected and the IBM extensions), found by trying every code once.
const std::vector<std::uint16_t>& Cp932Duplicates() {
    static const std::vector<std::uint16_t> duplicates = [] {
        std::vector<std::uint16_t> found(0x10000, 0);
        std::size_t count = 0;
        for (unsigned code = 0; code < 0x10000; ++code) {
            const std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            if (!IsCp932Lead(static_cast<unsigned char>(bytes[0]))) continue;
            std::u16string text;
            std::string back;
            if (!viewer::DecodeCp932(bytes, &text)) continue;
            if (!EncodeCp932(text, back)) Fail("a CP932 character does not encode back");
            if (back == bytes) continue;
            if (back.size() != 2) Fail("a CP932 pair encodes back to a single byte");
            found[code] = static_cast<std::uint16_t>((static_cast<unsigned char>(back[0]) << 8) |
                                                     static_cast<unsigned char>(back[1]));
            ++count;
        }
        // Hundreds, not thousands: the known duplicates, and a sign that the table was built.
        if (count == 0 || count > 1000) Fail("unexpected CP932 duplicates");
        return found;
    }();
    return duplicates;
}

// Bytes valid in `encoding` come back from their text unchanged.
void CheckRoundTrip(std::string_view bytes, Encoding encoding) {
    const std::u16string text = viewer::Decode(bytes, encoding);
    std::string back;
    switch (encoding) {
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            if (!viewercheck::EncodeUtf8(text, back)) Fail("UTF-8 decoded to a lone surrogate");
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            back = viewercheck::EncodeUtf16(text, encoding == Encoding::Utf16Be);
            break;
        case Encoding::Cp932: {
            if (!EncodeCp932(text, back)) Fail("CP932 decoded to a character outside CP932");
            // What the bytes come back as: themselves, but for the code page's own duplicates.
            std::string expected(bytes);
            for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
                if (!IsCp932Lead(static_cast<unsigned char>(bytes[i]))) continue;
                const unsigned code = (static_cast<unsigned char>(bytes[i]) << 8) |
                                      static_cast<unsigned char>(bytes[i + 1]);
                if (const std::uint16_t canonical = Cp932Duplicates()[code]; canonical != 0) {
                    expected[i] = static_cast<char>(canonical >> 8);
                    expected[i + 1] = static_cast<char>(canonical & 0xFF);
                }
                ++i;
            }
            if (back != expected) Fail("CP932 decoding merged different bytes");
            return;
        }
        case Encoding::EucJp:
            // EUC-JP, unlike CP932, gives no character two codes.
            if (!EncodeIn("EUC-JP", text, back)) Fail("EUC-JP decoded to a character outside it");
            break;
        case Encoding::Iso2022Jp:
            // Its escape sequences may say one thing in several ways: checked by its marks only.
            return;
        case Encoding::Windows1252:
            // Checked byte by byte in CheckSingleByteFallback.
            return;
    }
    if (back != bytes) Fail("decoding merged different bytes into one text");
}

// Every byte is one character of its own, and a text is its bytes' characters in order.
void CheckSingleByteFallback(std::string_view bytes) {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> characters{};
        for (unsigned byte = 0; byte < 256; ++byte) {
            const std::u16string one =
                viewer::Decode(std::string(1, static_cast<char>(byte)), Encoding::Windows1252);
            if (one.size() != 1) Fail("the fallback gives a byte other than one character");
            characters[byte] = one[0];
        }
        std::array<char16_t, 256> sorted = characters;
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
            Fail("the fallback gives two bytes one character");
        return characters;
    }();
    const std::u16string text = viewer::Decode(bytes, Encoding::Windows1252);
    if (text.size() != bytes.size()) Fail("the fallback's text is not one character a byte");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (text[i] != table[static_cast<unsigned char>(bytes[i])])
            Fail("the fallback decodes a byte differently inside a text");
    }
}

void CheckDetection(std::string_view bytes) {
    const viewer::DetectedEncoding found = viewer::DetectEncoding(bytes);
    const std::string_view mark = bytes.substr(0, found.markBytes);
    switch (found.encoding) {
        case Encoding::Utf8Bom:
            if (mark != "\xEF\xBB\xBF") Fail("UTF-8 BOM detected without its mark");
            break;
        case Encoding::Utf16Le:
            if (!mark.empty() && mark != "\xFF\xFE") Fail("UTF-16 LE detected with another mark");
            if (mark.empty() &&
                (bytes.size() % 2 != 0 || bytes.find('\0') == std::string_view::npos))
                Fail("UTF-16 without a mark found in bytes that cannot be it");
            break;
        case Encoding::Utf16Be:
            if (!mark.empty() && mark != "\xFE\xFF") Fail("UTF-16 BE detected with another mark");
            if (mark.empty() &&
                (bytes.size() % 2 != 0 || bytes.find('\0') == std::string_view::npos))
                Fail("UTF-16 without a mark found in bytes that cannot be it");
            break;
        default:
            if (!mark.empty()) Fail("a mark left out of a file without one");
            if (bytes.substr(0, 3) == "\xEF\xBB\xBF" || bytes.substr(0, 2) == "\xFF\xFE" ||
                bytes.substr(0, 2) == "\xFE\xFF") {
                Fail("a byte order mark was not recognised");
            }
    }
    const std::string_view body = bytes.substr(found.markBytes);
    if (found.lossy != (found.badBytes > 0)) Fail("stray bytes found but not counted");
    if (!found.lossy) CheckRoundTrip(body, found.encoding);
    if (found.lossy && found.encoding != Encoding::Utf16Le && found.encoding != Encoding::Utf16Be) {
        // Every stray byte shows as a mark "<E9>" of its own, and the marks say where.
        std::vector<viewer::MarkSpan> marks;
        const std::u16string text = viewer::Decode(body, found.encoding, &marks);
        std::size_t shown = 0, end = 0;
        for (const viewer::MarkSpan& mark : marks) {
            if (mark.start < end || mark.length == 0 || mark.length % 4 != 0 ||
                mark.start + mark.length > text.size()) {
                Fail("the marks of stray bytes are out of place");
            }
            for (std::size_t at = mark.start; at < mark.start + mark.length; at += 4) {
                if (text[at] != u'<' || text[at + 3] != u'>') Fail("a mark is no stray byte");
            }
            shown += mark.length / 4;
            end = mark.start + mark.length;
        }
        if (shown != found.badBytes) Fail("a stray byte is not shown, or shown twice");
    }
    if (viewer::LooksBinary(bytes) !=
        (viewer::UnitBytes(found.encoding) == 1 &&
         bytes.substr(0, 8000).find('\0') != std::string_view::npos)) {
        Fail("binary detection disagrees with the NUL rule");
    }
}

void CheckLines(const std::string& bytes, Encoding encoding) {
    const viewer::TextFile file(bytes, encoding);
    const std::size_t unit = viewer::UnitBytes(encoding);
    const std::vector<RawLine> expected =
        viewercheck::SplitLines(file.bytes(), unit, encoding == Encoding::Utf16Be);
    if (file.LineCount() != static_cast<std::int32_t>(expected.size()))
        Fail("a file was cut into the wrong number of lines");
    bool sawLf = false, sawCrLf = false;
    for (std::int32_t i = 0; i < file.LineCount(); ++i) {
        const std::string_view line = file.Line(i);
        const RawLine& want = expected[static_cast<std::size_t>(i)];
        if (static_cast<std::size_t>(line.data() - file.bytes().data()) != want.begin ||
            line != want.bytes) {
            Fail("a line is not where its bytes are");
        }
        if (i < 256 && (file.LineAt(want.begin) != i || file.LineAt(want.begin + line.size()) != i))
            Fail("the line at an offset in it is another");
        const std::size_t next = i + 1 < file.LineCount()
                                     ? expected[static_cast<std::size_t>(i) + 1].begin
                                     : file.bytes().size();
        const std::size_t endingBytes = next - want.begin - want.bytes.size();
        if (endingBytes == 2 * unit) sawCrLf = true;
        if (endingBytes == unit) sawLf = true;
        if (i < 50) file.Display(i);
    }
    // A walk gives the same lines as the look-ups, and a walk that passes over short lines
    // stops at every longer one, from any line on.
    viewer::LineCursor walk(file, 0);
    for (std::int32_t i = 0; i < file.LineCount(); ++i, walk.Next()) {
        if (walk.index() != i || walk.Line() != file.Line(i) ||
            walk.LineWithEnding() != file.LineWithEnding(i) || walk.Ending() != file.EndingOf(i)) {
            Fail("a walk over the lines is not the lines");
        }
    }
    const std::size_t shortest = bytes.size() % 11;
    const std::int32_t from = file.LineCount() / 3;
    const std::int32_t end = file.LineCount() - file.LineCount() / 4;
    viewer::LineCursor skip(file, from);
    for (std::int32_t i = from; i < end; ++i) {
        if (expected[static_cast<std::size_t>(i)].bytes.size() <= shortest) continue;
        if (!skip.SkipShorter(shortest, end) || skip.index() != i) Fail("a long line was passed");
        skip.Next();
    }
    if (skip.SkipShorter(shortest, end) || skip.index() != end) Fail("a short line was not passed");
    const viewer::LineEnding ending = sawLf && sawCrLf ? viewer::LineEnding::Mixed
                                      : sawCrLf        ? viewer::LineEnding::CrLf
                                      : sawLf          ? viewer::LineEnding::Lf
                                                       : viewer::LineEnding::None;
    if (file.ending() != ending) Fail("the line ending is misnamed");
    const std::size_t size = bytes.size();
    const bool newlineAtEnd =
        size >= unit && size % unit == 0 &&
        (unit == 1                       ? bytes[size - 1] == '\n'
         : encoding == Encoding::Utf16Be ? bytes[size - 2] == 0 && bytes[size - 1] == '\n'
                                         : bytes[size - 2] == '\n' && bytes[size - 1] == 0);
    if (file.endsWithNewline() != newlineAtEnd) Fail("the final newline is misread");
}

// The line index on lines far apart as well as close: the input's bytes are the lengths of the
// lines, scaled by 2^`shift`, so that lines longer than the index's blocks, and runs of empty
// lines across them, are made from short inputs.
void CheckLineStarts(std::string_view input, unsigned shift) {
    std::string text;
    for (const char c : input) {
        const std::size_t length = static_cast<std::size_t>(static_cast<unsigned char>(c)) << shift;
        if (text.size() + length > (std::size_t{1} << 20)) break;
        text.append(length, c == '\r' ? '\r' : 'x');
        text += '\n';
    }
    CheckLines(text, Encoding::Utf8);
    // The same lines in UTF-16, whose newlines are counted four units at a step; up to 64 KiB,
    // enough for the index's blocks, so that long texts do not halve the runs.
    if (text.size() > (std::size_t{64} << 10)) return;
    std::string wide;
    for (const char c : text) {
        wide += c;
        wide += '\0';
    }
    CheckLines(wide, Encoding::Utf16Le);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Repeats make inputs long enough to cross the decoders' pieces (16,384 units) cheaply; a
    // quarter of the inputs, up to 40 KB, so that most runs stay short.
    const std::size_t repeat =
        (data[0] & 0xC0) == 0xC0 ? std::min<std::size_t>(1 + (data[0] & 0x3F) * 2, 40000 / size + 1)
                                 : 1;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string bytes;
    for (std::size_t i = 0; i < repeat; ++i) bytes += input;

    CheckDetection(bytes);
    CheckSingleByteFallback(bytes);
    if (viewer::IsUtf8(bytes) != viewercheck::IsWellFormedUtf8(bytes))
        Fail("UTF-8 is told from other bytes wrongly");
    if ((viewer::ReadAs(bytes, Encoding::Utf8).badBytes == 0) != viewer::IsUtf8(bytes))
        Fail("UTF-8 read by hand finds stray bytes where there are none, or none where some are");
    if (viewer::IsUtf8(bytes)) CheckRoundTrip(bytes, Encoding::Utf8);
    for (const bool big : {false, true}) {
        if (viewercheck::IsWholeUtf16(bytes, big))
            CheckRoundTrip(bytes, big ? Encoding::Utf16Be : Encoding::Utf16Le);
    }
    const bool cp932 = viewer::DecodeCp932(bytes, nullptr);
    if (viewer::IsCp932(bytes) != cp932) Fail("the CP932 check and the decoder disagree");
    if (cp932) CheckRoundTrip(bytes, Encoding::Cp932);
    if (viewer::DecodeEucJp(bytes, nullptr)) CheckRoundTrip(bytes, Encoding::EucJp);
    CheckLineStarts(input, data[0] & 7);
    // Any bytes in any encoding: decoding and cutting into lines stay within the file.
    for (const Encoding encoding : kEncodings) {
        viewer::Decode(bytes, encoding);
        CheckLines(bytes, encoding);
    }
    return 0;
}
