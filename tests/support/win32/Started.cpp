// Linked into every Windows test program: as the program starts, it makes the file named by
// ZARVO_STARTED_FILE, when that is set. scripts/wine-run sets it, to tell a program that ran (and
// perhaps failed) from one that Wine could not start at all.
#include <windows.h>

#include <string>

namespace {

bool MarkStarted() {
    const DWORD length = GetEnvironmentVariableW(L"ZARVO_STARTED_FILE", nullptr, 0);
    if (length == 0) return false;
    std::wstring path(length, L'\0');
    path.resize(GetEnvironmentVariableW(L"ZARVO_STARTED_FILE", path.data(), length));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

const bool started = MarkStarted();

}  // namespace
