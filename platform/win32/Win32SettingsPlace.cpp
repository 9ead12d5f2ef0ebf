// Where the settings file lies on Windows: beside the program for a copy its user can write,
// otherwise in the user's roaming application data (%APPDATA%\Diff-Zarvo).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first.
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "../SettingsFile.h"

namespace platform {

namespace {

// Whether the user may make a file in folder. Windows' access rules (ACLs, inherited rights, a
// folder redirected or on a read-only share) are told only by trying: a hidden file that goes
// when its handle closes, also when the process is killed.
bool CanWriteIn(const std::wstring& folder) {
    const std::wstring probe =
        folder + L"\\~Zarvo-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const HANDLE handle = CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

// Whether folder lies in Program Files (either of them): a per-machine install, where an
// administrator's elevated run could write beside the program, and every user would then read
// the administrator's history and be unable to write it.
bool InProgramFiles(const std::wstring& folder) {
    for (const std::wstring& top :
         {KnownFolder(FOLDERID_ProgramFiles), KnownFolder(FOLDERID_ProgramFilesX86)}) {
        if (top.empty() || folder.size() < top.size()) continue;
        if (folder.size() > top.size() && folder[top.size()] != L'\\') continue;
        if (CompareStringOrdinal(folder.c_str(), static_cast<int>(top.size()), top.c_str(),
                                 static_cast<int>(top.size()), TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::wstring SettingsFileFor(const std::wstring& programFolder) {
    if (programFolder.empty()) return {};
    const std::wstring beside = programFolder + L'\\' + kSettingsFileName;
    if (GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
    if (!InProgramFiles(programFolder) && CanWriteIn(programFolder)) return beside;
    const std::wstring appData = KnownFolder(FOLDERID_RoamingAppData);
    // Nowhere else to go: the write fails there, and the user is told.
    if (appData.empty()) return beside;
    return appData + L"\\Diff-Zarvo\\" + kSettingsFileName;
}

bool MakeSettingsFolder(const std::wstring& file) {
    const size_t slash = file.find_last_of(L'\\');
    if (slash == std::wstring::npos) return true;
    const std::wstring folder = file.substr(0, slash);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // The folders above it too; each new one with the rights its parent hands down (in the
    // user's profile, the user's alone).
    const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS;
}

}  // namespace platform
