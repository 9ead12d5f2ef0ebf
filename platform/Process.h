// What the program needs to know about its own process, and how it starts another one.
#pragma once

#include <string>
#include <vector>

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

// The files the argument text hands over, in order. On Windows a text made of two or more names,
// each in its own pair of double quotes (how Explorer and Send To pass a selection), gives each of
// them; any other text is one file. Elsewhere the arguments come split already and a name may
// hold quotes, so the text is always one file. Empty when the text is.
std::vector<std::wstring> ArgumentFiles();

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

// One argument in double quotes, as the tool's own start-up code splits it again: backslashes
// right before the closing quote are doubled, or the last of them would escape the quote ("C:\"
// would arrive as C:" and swallow the next argument).
std::wstring QuotedArgument(const std::wstring& text);

// A path box's text as a path to hand to the tool. On Windows, where no name holds a double
// quote, one pair around the whole text (a path copied from Explorer with "パスのコピー") is
// removed; any other text, and every text elsewhere, stays as it is.
std::wstring PathForTool(const std::wstring& text);

// Starts the program, window shown normally and activated, without waiting for it. Returns the
// new process's identifier. Throws platform::Error when the program cannot be started. On Windows
// a shortcut (.lnk) is started as the program it points to, resolved now, with its own arguments
// before the two paths; a batch file (.bat, .cmd) through the command processor, its paths taken
// literally (blanks, &, ^ and % included).
long StartProgram(const CommandLine& command);

}  // namespace platform
