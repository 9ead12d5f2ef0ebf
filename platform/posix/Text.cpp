// Off Windows the "ANSI code page" of the profile file is UTF-8, whatever the locale.
#include "../Text.h"

namespace platform {

std::string ToAnsi(std::wstring_view text) { return ToUtf8(text); }
std::wstring FromAnsi(std::string_view text) { return FromUtf8(text); }

}  // namespace platform
