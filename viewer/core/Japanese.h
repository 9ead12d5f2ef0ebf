// Strict decoding of the Japanese multi-byte encodings the platform knows. Declared here,
// implemented once per platform: through iconv off Windows (JapaneseIconv.cpp), through the
// system's code pages on Windows (JapaneseWin32.cpp).
#pragma once

#include <string>
#include <string_view>

namespace viewer {

// True when `bytes` are valid CP932 (Windows' Shift_JIS); the text goes to `out` when it is given.
// A sequence that is not CP932, or a lead byte cut off at the end, gives false.
bool DecodeCp932(std::string_view bytes, std::u16string* out);

// The same for EUC-JP: ASCII, JIS X 0208 in two bytes, half-width katakana after 0x8E and, where
// the platform has the table (not on Windows), JIS X 0212 in three bytes after 0x8F.
bool DecodeEucJp(std::string_view bytes, std::u16string* out);

}  // namespace viewer
