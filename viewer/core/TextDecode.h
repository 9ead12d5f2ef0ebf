// Tells binary from text, finds a text file's encoding, and turns its bytes into text to show.
// Text for display is UTF-16 (std::u16string) throughout the core: both fronts draw UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MarkSpan.h"

namespace viewer {

enum class Encoding : std::uint8_t {
    Utf8,
    Utf8Bom,
    Utf16Le,  // with its byte order mark
    Utf16Be,  // with its byte order mark
    Cp932,
    EucJp,
    Iso2022Jp,    // JIS, as mail and old Unix tools write Japanese
    Windows1252,  // the single-byte fallback for files in no encoding above
};

// Bytes per code unit: where a line ends, and what a line ending looks like, depend on it.
inline std::size_t UnitBytes(Encoding encoding) {
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be ? 2 : 1;
}

// A NUL byte in the first block marks a binary file, as diff and git decide; a UTF-16 byte order
// mark makes a file text whatever follows, since UTF-16 text is full of NUL bytes, and so does
// UTF-16 without the mark: NUL bytes only as the high half of a unit of text, and lines ended by
// the unit LF throughout (see DetectEncoding).
bool LooksBinary(std::string_view bytes);

struct DetectedEncoding {
    Encoding encoding = Encoding::Utf8;
    std::size_t markBytes = 0;  // the byte order mark's length, not part of the first line
    bool lossy = false;         // some bytes are not valid in the encoding
    std::size_t badBytes = 0;   // how many; each shows as its value, "<E9>"
};

// How many cores a scan of a whole file may take: both where one file alone is read (a file
// compared with itself, or a copy of it), one where each file of two has a core of its own.
enum class Cores : std::uint8_t { One, Both };

// Tries, in order: a byte order mark (UTF-8, UTF-16 LE or BE), UTF-16 without one, ISO-2022-JP
// (7-bit bytes with its escape sequences), strict UTF-8 (unless it reads better as half-width
// katakana in Shift_JIS), then EUC-JP where the bytes read as Japanese and CP932 (Windows'
// Shift_JIS, which Japanese files written on Windows use). A file that is in one of these but
// for a few stray bytes stays in that encoding, `lossy`, its stray bytes counted: a stray byte
// changes one line, never the whole file's character set. When none fits, the file is shown as
// Windows-1252 (Latin-1), where every byte is a character of its own.
DetectedEncoding DetectEncoding(std::string_view bytes, Cores cores = Cores::One);

// The same for a file whose encoding the user chose: its byte order mark, when it has the one
// of `encoding`, and its stray bytes in it. (UTF-8 with a mark is UTF-8 (BOM付き).)
DetectedEncoding ReadAs(std::string_view bytes, Encoding encoding);

// The text of `bytes` (without the byte order mark) in `encoding`. A byte that does not decode
// shows as its value, "<E9>", whose runs go to `byteMarks` when given; a broken UTF-16 unit shows
// as U+FFFD. For display only: lines are compared by their bytes.
std::u16string Decode(std::string_view bytes, Encoding encoding,
                      std::vector<MarkSpan>* byteMarks = nullptr);

// Characters that Shift_JIS (CP932) and the JIS tables (EUC-JP, ISO-2022-JP, and UTF-8 written
// from them) map to different code points for the same JIS character: 〜 and ～, ‖ and ∥, − and
// －, ¢ and ￠, £ and ￡, ¬ and ￢, — and ―. Each pair is made one, the CP932 one, so that the same
// text in two encodings compares equal.
char16_t UnifyJisVariant(char16_t c);

// Control characters (but the tab) made visible, so that no character is drawn as nothing:
// U+0000..U+001F as their Control Pictures ("␀", "␍"), DEL as "␡", and the characters that show
// nothing (C1 controls, zero-width and direction marks, the soft hyphen) as their code,
// "<U+200B>". `marks` in the text are moved to where their characters are shown.
std::u16string ShowControls(std::u16string text, std::vector<MarkSpan>* marks = nullptr);

// The text beside the file's encoding in the header, for a file with stray bytes:

// Whether `bytes` are strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool IsUtf8(std::string_view bytes);

// Lenient UTF-8 for the system's own texts (an error message): bad bytes become U+FFFD.
std::u16string FromUtf8Lossy(std::string_view bytes);
// And back, for standard output and error: a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

}  // namespace viewer
