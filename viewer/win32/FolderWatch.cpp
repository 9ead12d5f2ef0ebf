#include "FolderWatch.h"

#include <algorithm>
#include <string>
#include <thread>

#include "FileRead.h"

namespace viewer {

namespace {

constexpr DWORD kWhatChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

bool SameName(const wchar_t* a, std::size_t aLength, const std::wstring& b) {
    return CompareStringOrdinal(a, static_cast<int>(aLength), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

// One folder, read on a thread of its own until the watch ends.
struct FolderWatch::Folder {
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::wstring> names;  // of the watched files in it
    std::thread reader;
    alignas(DWORD) BYTE buffer[32 * 1024];

    ~Folder() {
        SetEvent(stop);
        if (reader.joinable()) reader.join();
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        CloseHandle(stop);
    }

    bool Concerns(const FILE_NOTIFY_INFORMATION& change) const {
        const std::size_t length = change.FileNameLength / sizeof(wchar_t);
        return std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
            return SameName(change.FileName, length, name);
        });
    }

    void Read(HWND window, UINT message, WPARAM tag) {
        HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        for (;;) {
            OVERLAPPED overlapped{};
            overlapped.hEvent = done;
            ResetEvent(done);
            if (!ReadDirectoryChangesW(handle, buffer, sizeof buffer, FALSE, kWhatChanges, nullptr,
                                       &overlapped, nullptr)) {
                break;
            }
            const HANDLE waits[] = {stop, done};
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
                CancelIoEx(handle, &overlapped);
                DWORD ignored = 0;
                GetOverlappedResult(handle, &overlapped, &ignored, TRUE);
                break;
            }
            DWORD bytes = 0;
            if (!GetOverlappedResult(handle, &overlapped, &bytes, FALSE)) break;
            // No record: more changed than the buffer holds, ours perhaps among them.
            bool ours = bytes == 0;
            for (DWORD at = 0; !ours && at < bytes;) {
                const auto& change = *reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
                ours = Concerns(change);
                if (change.NextEntryOffset == 0) break;
                at += change.NextEntryOffset;
            }
            if (ours) PostMessageW(window, message, tag, 0);
        }
        CloseHandle(done);
    }
};

FolderWatch::FolderWatch(HWND window, UINT message, WPARAM tag,
                         const std::vector<std::filesystem::path>& files) {
    // The files by folder: two files in one folder share its watch.
    std::vector<std::pair<std::wstring, std::vector<std::wstring>>> byFolder;
    for (const std::filesystem::path& file : files) {
        std::error_code error;
        const std::filesystem::path whole = std::filesystem::absolute(file, error);
        if (error) continue;
        const std::wstring folder = whole.parent_path().wstring();
        auto same = std::find_if(byFolder.begin(), byFolder.end(), [&](const auto& entry) {
            return SameName(entry.first.c_str(), entry.first.size(), folder);
        });
        if (same == byFolder.end()) same = byFolder.insert(byFolder.end(), {folder, {}});
        same->second.push_back(whole.filename().wstring());
    }
    for (auto& [path, names] : byFolder) {
        auto folder = std::make_unique<Folder>();
        folder->handle =
            CreateFileW(OpenableName(path).c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (folder->handle == INVALID_HANDLE_VALUE || folder->stop == nullptr) continue;
        folder->names = std::move(names);
        Folder* reading = folder.get();
        folder->reader =
            std::thread([reading, window, message, tag] { reading->Read(window, message, tag); });
        folders_.push_back(std::move(folder));
    }
}

FolderWatch::~FolderWatch() = default;

}  // namespace viewer
