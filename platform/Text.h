// The only place where the program's wide strings change encoding.
// "Ansi" is the system ANSI code page on Windows and UTF-8 everywhere else.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

// UTF-8 on every platform: for file names off Windows and for messages in logs.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace platform
