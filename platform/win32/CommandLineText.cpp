// Win32 backend: the argument text as the program sees it, cut from the command line exactly as
// the system's own start-up code finds the end of the program's name.
#include "CommandLineText.h"

namespace platform::win32 {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring ArgumentsAfterProgramName(std::wstring_view commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t closing = commandLine.find(L'"', 1);
        // An unclosed quote runs to the end: the whole line is the program's name.
        if (closing == std::wstring_view::npos) return {};
        i = closing + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return std::wstring(commandLine.substr(i));
}

}  // namespace platform::win32
