// Strict CP932 (Windows' Shift_JIS) decoding and encoding. Declared here, implemented once per
// platform: through iconv off Windows (Cp932Iconv.cpp), through the system's code page 932 on
// Windows.
#pragma once

#include <string>
#include <string_view>

namespace viewer {

// True when `bytes` are valid CP932; the text goes to `out` when it is given. A sequence that is
// not CP932, or a lead byte cut off at the end, gives false.
bool DecodeCp932(std::string_view bytes, std::u16string* out);

// True when every character of `text` has a CP932 form, which goes to `out`. The system's table
// may give a near form for some characters: TextEncode.cpp checks that the bytes read back.
bool EncodeCp932(std::u16string_view text, std::string* out);

}  // namespace viewer
