// Tells binary from text, finds a text file's encoding, and turns its bytes into text to show.
// Text for display is UTF-16 (std::u16string) throughout the core: both fronts draw UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace viewer {

enum class Encoding : std::uint8_t {
    Utf8,
    Utf8Bom,
    Utf16Le,  // with its byte order mark
    Utf16Be,  // with its byte order mark
    Cp932,
    Windows1252,  // the single-byte fallback for files in no encoding above
};

// For the header: "UTF-8", "UTF-8 (BOM付き)", "Shift_JIS (CP932)", ...
std::u16string EncodingName(Encoding encoding);

// Bytes per code unit: where a line ends, and what a line ending looks like, depend on it.
inline std::size_t UnitBytes(Encoding encoding) {
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be ? 2 : 1;
}

// A NUL byte in the first block marks a binary file, as diff and git decide; a UTF-16 byte order
// mark makes a file text whatever follows, since UTF-16 text is full of NUL bytes, and so does
// UTF-16 without the mark whose every NUL byte is the high half of a unit of text.
bool LooksBinary(std::string_view bytes);

struct DetectedEncoding {
    Encoding encoding = Encoding::Utf8;
    std::size_t markBytes = 0;  // the byte order mark's length, not part of the first line
    bool lossy = false;         // some bytes are not valid in the encoding
    std::size_t badBytes = 0;   // how many; each shows as its value, "<E9>"
};

// Tries, in order: a byte order mark (UTF-8, UTF-16 LE or BE), UTF-16 without one, strict UTF-8,
// then CP932 (Windows' Shift_JIS, which Japanese files written on Windows use). A file that is
// UTF-8 or CP932 but for a few stray bytes stays in that encoding, `lossy`, its stray bytes
// counted: a stray byte changes one line, never the whole file's character set. When neither fits,
// the file is shown as Windows-1252 (Latin-1), where every byte is a character of its own.
DetectedEncoding DetectEncoding(std::string_view bytes);

// The text of `bytes` (without the byte order mark) in `encoding`. A byte that does not decode
// in UTF-8 or CP932 shows as its value, "<E9>"; a broken UTF-16 unit as U+FFFD. For display
// only: lines are compared by their bytes.
std::u16string Decode(std::string_view bytes, Encoding encoding);

// Control characters (but the tab) made visible, so that no character is drawn as nothing:
// U+0000..U+001F as their Control Pictures ("␀", "␍"), DEL as "␡".
std::u16string ShowControls(std::u16string text);

// The text beside the file's encoding in the header, for a file with stray bytes:
// "不正なバイト 3 個を含みます"; empty when there is none.
std::u16string BadBytesNote(std::size_t badBytes);

// Whether `bytes` are strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool IsUtf8(std::string_view bytes);

// Lenient UTF-8 for the system's own texts (an error message): bad bytes become U+FFFD.
std::u16string FromUtf8(std::string_view bytes);
// And back, for standard output and error: a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

}  // namespace viewer
