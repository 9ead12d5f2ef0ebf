// Win32 backend: the argument text and folder of the running program, and starting the
// comparison tool from its command-line text with CreateProcessW.
#include "../Process.h"

#include "../Error.h"
#include "../Testing.h"
#include "CommandLineText.h"
#include "Win32Internal.h"

#include <cwchar>

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

std::vector<std::wstring> ArgumentFiles() {
    const std::wstring text = ArgumentText();
    if (text.empty()) return {};
    std::vector<std::wstring> names = win32::QuotedNames(text);
    if (names.empty()) return {text};
    for (std::wstring& name : names) name = win32::TakeArgumentText(name);
    return names;
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

namespace {

bool HasExtension(const std::wstring& path, const wchar_t* extension) {
    const size_t length = wcslen(extension);
    return path.size() > length &&
           CompareStringOrdinal(path.c_str() + path.size() - length, static_cast<int>(length),
                                extension, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

bool IsBatchFile(const std::wstring& path) {
    return HasExtension(path, L".bat") || HasExtension(path, L".cmd");
}

// Starts the command line, window shown normally and activated; program names the file to run
// where the line's first word must not be searched for it.
long Create(std::wstring text, const std::wstring& program, const std::wstring& folder,
            const std::wstring& shown) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it has a copy of its own.
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), text.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                        &process)) {
        const DWORD error = GetLastError();
        throw Error(win32::SystemMessage(error, shown));
    }
    // Let the tool's window come to the front although our window has the focus.
    AllowSetForegroundWindow(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(process.dwProcessId);
}

// An environment variable set for the life of the object, then as it was before.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
        const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
        if (length > 0) {
            old_.assign(length, L'\0');
            old_.resize(GetEnvironmentVariableW(name, old_.data(), length));
            hadOld_ = true;
        }
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, hadOld_ ? old_.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    std::wstring old_;
    bool hadOld_ = false;
};

// A batch file runs in the command processor, which reads its command line as commands: & | < >
// ^ would act, and % expands variables even inside quotes. So each path reaches it in a variable
// of the child's environment, expanded inside quotes by the one expansion cmd does on its
// command line; nothing that comes out of an expansion is parsed for % again, and inside quotes
// the other characters are text. /s keeps the quotes of the line as they are, /d skips AutoRun
// commands, /v:off keeps ! literal. A quote cannot stand inside a quoted argument at all: such
// a path cannot be passed.
long StartBatchFile(const std::wstring& batch, const std::wstring& extra, const std::wstring& first,
                    const std::wstring& second, const std::wstring& folder) {
    for (const std::wstring* text : {&batch, &first, &second}) {
        if (text->find(L'"') != std::wstring::npos) {
            throw Error(L"パスに二重引用符 (\") があるため、バッチ ファイルに渡せません。");
        }
    }
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) throw Error(win32::SystemMessage(GetLastError()));
    const std::wstring processor = std::wstring(system, length) + L"\\cmd.exe";
    // Backslashes before a closing quote doubled, as for any program (a batch file that hands
    // its arguments on to one passes them as they stand).
    const auto inner = [](const std::wstring& text) {
        const std::wstring quoted = QuotedArgument(text);
        return quoted.substr(1, quoted.size() - 2);
    };
    const ScopedVariable tool(L"DIFF_ZARVO_TOOL", batch);
    const ScopedVariable one(L"DIFF_ZARVO_FIRST", inner(first));
    const ScopedVariable two(L"DIFF_ZARVO_SECOND", inner(second));
    // An empty variable counts as undefined and would stay as its name: "" stands for it.
    const auto argument = [](const std::wstring& value, const wchar_t* name) {
        return value.empty() ? std::wstring(L"\"\"") : L"\"%" + std::wstring(name) + L"%\"";
    };
    std::wstring line = L"\"" + processor + L"\" /d /v:off /s /c \"\"%DIFF_ZARVO_TOOL%\" ";
    if (!extra.empty()) line += extra + L" ";
    line += argument(first, L"DIFF_ZARVO_FIRST") + L" " + argument(second, L"DIFF_ZARVO_SECOND") +
            L"\"";
    return Create(line, processor, folder, batch);
}

}  // namespace

long StartProgram(const CommandLine& command) {
    if (HasExtension(command.program, L".lnk")) {
        const win32::ShortcutTarget target = win32::ResolveShortcut(command.program);
        if (IsBatchFile(target.path)) {
            return StartBatchFile(target.path, target.arguments, command.first, command.second,
                                  target.folder);
        }
        std::wstring line = QuotedArgument(target.path) + L" ";
        if (!target.arguments.empty()) line += target.arguments + L" ";
        line += QuotedArgument(command.first) + L" " + QuotedArgument(command.second);
        return Create(line, target.path, target.folder, target.path);
    }
    if (IsBatchFile(command.program)) {
        if (GetFileAttributesW(command.program.c_str()) == INVALID_FILE_ATTRIBUTES) {
            throw Error(win32::SystemMessage(GetLastError(), command.program));
        }
        return StartBatchFile(command.program, {}, command.first, command.second, {});
    }
    return Create(command.text, {}, {}, command.program);
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
