// What the program needs to know about its own process, and how it starts another one.
#pragma once

#include <string>

namespace platform {

// The separator that joins a directory and a file name on this platform.
#ifdef _WIN32
constexpr wchar_t kPathSeparator = L'\\';
#else
constexpr wchar_t kPathSeparator = L'/';
#endif

// Records the command line before the toolkit sees it (Qt removes arguments it knows).
// On Windows the argument text comes from the process's own command line and argv is unused.
void SetArguments(int argc, char** argv);

// Everything after the program's name as one text; empty when there is none.
std::wstring ArgumentText();

// The folder of the running executable; ends in a separator only at the root. Empty when the
// system cannot tell (no /proc and no usable exec name): the program then keeps no settings.
std::wstring ExecutableDirectory();

// The comparison viewer installed beside this program, as an absolute path, when it is the
// default tool; empty where the platform's own tool (WinDiff) is the default. On Windows that is
// when WinDiff is present, or when no viewer came with the program.
std::wstring BundledComparisonTool();

// A program to start: the command-line text and the three texts it was made of. Windows starts
// the text itself; elsewhere program, first and second become exactly three arguments.
struct CommandLine {
    std::wstring text;
    std::wstring program;
    std::wstring first;
    std::wstring second;
};

// Starts the program, window shown normally and activated, without waiting for it. Returns the
// new process's identifier. Throws platform::Error when the program cannot be started.
long StartProgram(const CommandLine& command);

}  // namespace platform
