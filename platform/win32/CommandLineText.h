// How the argument text is cut from a Windows command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::win32 {

// Everything after the program's name: a quoted name ends at its closing quote, an unquoted one
// at the first blank. Leading blanks are removed; quotes, inner and trailing blanks are kept.
std::wstring ArgumentsAfterProgramName(std::wstring_view commandLine);

// The argument text as the program takes it: one path in one pair of double quotes (as Explorer
// passes a path with blanks) loses them; a relative path is made absolute against the current
// folder, so the history names the same file in a later session. Any other text stays.
std::wstring TakeArgumentText(std::wstring text);

// The names of a text made of two or more names, each in its own pair of double quotes and
// separated by blanks (as Explorer and Send To pass a selection), without their quotes; empty
// for any other text.
std::vector<std::wstring> QuotedNames(std::wstring_view text);

}  // namespace platform::win32
