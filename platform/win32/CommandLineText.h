// How the argument text is cut from a Windows command line.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// Everything after the program's name: a quoted name ends at its closing quote, an unquoted one
// at the first blank. Leading blanks are removed; quotes, inner and trailing blanks are kept.
std::wstring ArgumentsAfterProgramName(std::wstring_view commandLine);

}  // namespace platform::win32
