// Whether bytes are CP932, checked against a table: the whole of a file that is not UTF-8 is
// checked before it is shown, and the platform's decoder takes 2.7 ms a megabyte for it.
#pragma once

#include <string_view>

namespace viewer {

// True when DecodeCp932 would take `bytes`. The table holds the decoder's own answer for every
// byte and every pair of bytes, asked once, at the first call: CP932 is read a byte or a pair at
// a time, with no state between characters, so those answers are the answer for any bytes.
bool IsCp932(std::string_view bytes);

}  // namespace viewer
