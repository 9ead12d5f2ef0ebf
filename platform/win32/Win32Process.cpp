// Win32 backend: the argument text and folder of the running program, and starting the
// comparison tool from its command-line text with CreateProcessW.
#include "../Process.h"

#include "../Error.h"
#include "../Testing.h"
#include "CommandLineText.h"
#include "Win32Internal.h"

namespace platform {

namespace {

std::wstring& ArgumentOverride() {
    static std::wstring text;
    return text;
}

bool& ArgumentOverridden() {
    static bool overridden = false;
    return overridden;
}

std::wstring& DirectoryOverride() {
    static std::wstring dir;
    return dir;
}

// The running program's full path, however long.
std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        // A cut name fills the buffer exactly (older systems set no error for it).
        if (length < size) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768 * 2) return {};
        path.resize(path.size() * 2);
    }
}

// WinDiff's usual place (the front end's default tool, also in app/texts.h).
constexpr wchar_t kWinDiffPath[] =
    L"C:\\Program Files\\Microsoft Visual Studio\\Common\\Tools\\WINDIFF.EXE";

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// On Windows the process's own command line is the source; argv has already lost its quotes.
void SetArguments(int, char**) {}

std::wstring ArgumentText() {
    if (ArgumentOverridden()) return ArgumentOverride();
    return win32::TakeArgumentText(win32::ArgumentsAfterProgramName(GetCommandLineW()));
}

std::wstring ExecutableDirectory() {
    if (!DirectoryOverride().empty()) return DirectoryOverride();
    const std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return L".";
    std::wstring dir = path.substr(0, slash);
    // A drive's root keeps its backslash: "C:\", also in the long form "\\?\C:\".
    if (!dir.empty() && dir.back() == L':') dir += L'\\';
    return dir;
}

// WinDiff where a Windows still has it; otherwise our own viewer beside the program, when it came
// with it. Empty means the front end's usual default, WinDiff's path, which is then kept.
std::wstring BundledComparisonTool() {
    if (IsFile(kWinDiffPath)) return {};
    std::wstring viewer = ExecutableDirectory();
    if (viewer.back() != L'\\') viewer += L'\\';
    viewer += L"diff-zarvo-view.exe";
    return IsFile(viewer) ? viewer : std::wstring();
}

long StartProgram(const CommandLine& command) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring text = command.text;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD error = GetLastError();
        throw Error(win32::SystemMessage(error, command.program));
    }
    // Let the tool's window come to the front although our window has the focus.
    AllowSetForegroundWindow(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(process.dwProcessId);
}

namespace testing {

void OverrideExecutableDirectory(const std::wstring& dir) { DirectoryOverride() = dir; }

void OverrideArgumentText(const std::wstring& text) {
    ArgumentOverride() = text;
    ArgumentOverridden() = true;
}

void OverrideCommandLine(const std::wstring& text) {
    OverrideArgumentText(win32::TakeArgumentText(text));
}

}  // namespace testing

}  // namespace platform
