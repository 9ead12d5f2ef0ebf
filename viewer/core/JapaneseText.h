// Shift_JIS (CP932), EUC-JP and ISO-2022-JP with stray bytes shown as their values, and the
// signs that tell the three apart.
#pragma once

#include <cstddef>
#include <string_view>

#include "MarkedText.h"

namespace viewer {

// The text of `bytes` (to `out` when given) and how well they fit. Each stops, with what it has,
// once more than `enough` bytes are stray and too many for the encoding to fit.
Fit DecodeCp932Marked(std::string_view bytes, MarkedText* out,
                      std::size_t enough = std::string_view::npos);
Fit DecodeEucJpMarked(std::string_view bytes, MarkedText* out,
                      std::size_t enough = std::string_view::npos);

// ISO-2022-JP (JIS): ASCII with escape sequences into JIS-Roman, JIS X 0208, JIS X 0212 and
// half-width katakana. Each line starts in ASCII, as the standard has lines end in it, so that a
// line reads the same on its own as within its file. An escape sequence it does not know, and
// every byte over 0x7F, is stray.
Fit DecodeIso2022JpMarked(std::string_view bytes, MarkedText* out);

// Whether the bytes hold an escape into one of ISO-2022-JP's Japanese character sets; whether
// they are ISO-2022-JP is for DecodeIso2022JpMarked's fit to tell (its bytes are 7-bit).
bool HasIso2022JpEscape(std::string_view bytes);

// Whether EUC-JP is worth trying: bytes 0x80..0xA0 other than its two prefixes are never part of
// EUC-JP text, and are everywhere in Shift_JIS text (its hiragana, katakana, most kanji).
bool MayBeEucJp(std::string_view bytes);

// Whether bytes read as EUC-JP look like Japanese: one character in four or more is kana or
// Japanese punctuation. Shift_JIS half-width katakana also pair up as EUC-JP, into kanji.
bool EucJpReadsAsJapanese(std::string_view bytes);

// Whether valid UTF-8 is rather Shift_JIS half-width katakana: every character outside ASCII is
// two bytes that are also two half-width katakana, and most of them come in runs, as words of
// katakana do, not alone between ASCII letters, as the accented letters of a European language.
bool Utf8IsHalfWidthKatakana(std::string_view bytes);

}  // namespace viewer
