// The recording stand-in tool on Windows: it lies beside the test program, and its records are
// awaited on the folder's change notifications.
#include "support/Launches.h"

#include <windows.h>

#include <algorithm>

#include "platform/Text.h"

namespace testsupport {

namespace {

std::filesystem::path BuiltRecordTool() {
    wchar_t self[32768];
    const DWORD length = GetModuleFileNameW(nullptr, self, 32768);
    return std::filesystem::path(std::wstring(self, length)).parent_path() /
           std::filesystem::path(ZARVO_RECORD_TOOL).filename();
}

}  // namespace

// A record as the tool left it. The tool may still hold the file open for its rename, which
// asks readers to share deletion.
std::string ReadRecord(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

std::filesystem::path InstallRecordTool(const std::filesystem::path& dir, const std::string& name) {
    const std::filesystem::path tool = dir / (name + ".exe");
    std::filesystem::copy_file(BuiltRecordTool(), tool,
                               std::filesystem::copy_options::overwrite_existing);
    return tool;
}

std::vector<std::vector<std::string>> WaitForLaunches(const std::filesystem::path& dir,
                                                      size_t count,
                                                      std::chrono::milliseconds timeout) {
    HANDLE change = FindFirstChangeNotificationW(dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto launches = RecordedLaunches(dir);
    while (launches.size() < count && change != INVALID_HANDLE_VALUE) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        if (WaitForSingleObject(change, static_cast<DWORD>(left.count())) == WAIT_OBJECT_0) {
            FindNextChangeNotification(change);
        }
        launches = RecordedLaunches(dir);
    }
    if (change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change);
    return launches;
}

}  // namespace testsupport
