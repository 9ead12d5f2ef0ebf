// A stand-in comparison tool for the tests: writes the command line it was started with, its
// argument text as cut from it (before the program takes it as a path) and its folder to <its own
// name>.txt beside it, then signals the test that waits on the event named after it.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Process.h"
#include "platform/Text.h"
#include "platform/win32/CommandLineText.h"

int main() {
    wchar_t path[4096] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, 4096);
    if (length == 0 || length >= 4096) return 1;
    std::wstring base(path, length);
    base.erase(base.size() - 4);  // ".exe"
    const std::wstring name = base.substr(base.find_last_of(L'\\') + 1);

    std::ofstream out(std::filesystem::path(base + L".txt"), std::ios::binary);
    out << platform::ToUtf8(GetCommandLineW()) << '\n'
        << platform::ToUtf8(platform::win32::ArgumentsAfterProgramName(GetCommandLineW())) << '\n'
        << platform::ToUtf8(platform::ExecutableDirectory()) << '\n';
    out.close();

    HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"Local\\" + name).c_str());
    if (done == nullptr) return 2;
    SetEvent(done);
    CloseHandle(done);
    return 0;
}
