// The only place where the program's wide strings change encoding.
// "Ansi" is the system ANSI code page on Windows and UTF-8 everywhere else.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

// UTF-8 on every platform: for file names off Windows and for messages in logs. Lossless: a byte
// that is not part of valid UTF-8 becomes U+DC80..U+DCFF and turns back into the same byte.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// UTF-16, for toolkits that hold it; an escaped byte (a lone U+DC80..U+DCFF) passes unchanged.
std::u16string ToUtf16(std::wstring_view text);
std::wstring FromUtf16(std::u16string_view text);

// The text as the ANSI code page holds it: on Windows each character the code page lacks becomes
// '?' (never a look-alike); elsewhere the text itself.
std::wstring ThroughAnsi(std::wstring_view text);

}  // namespace platform
