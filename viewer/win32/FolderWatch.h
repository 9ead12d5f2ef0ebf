// Watches the folders of the compared files and tells the window when one of the files changes:
// written in place, replaced by a rename (as editors save), deleted or made again. A folder is
// watched rather than the file, so that a file replaced by another stays watched.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace viewer {

class FolderWatch {
public:
    // Posts `message` to `window`, with `tag` as its wParam, each time one of `files` may have
    // changed. Files whose folder cannot be watched are left out.
    FolderWatch(HWND window, UINT message, WPARAM tag,
                const std::vector<std::filesystem::path>& files);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // How many folders are watched.
    std::size_t size() const { return folders_.size(); }

private:
    struct Folder;
    std::vector<std::unique_ptr<Folder>> folders_;
};

}  // namespace viewer
