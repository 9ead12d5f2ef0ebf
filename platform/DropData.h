// What a drop hands to the application: whether it offers a list of files, and that list.
#pragma once

#include <string>
#include <vector>

#include "Error.h"

namespace platform {

// The file-list clipboard format (CF_HDROP).
constexpr int kFileListFormat = 15;

class DropData {
public:
    DropData() = default;  // a drop that carries no files
    // An empty name names no file: a drop of nothing else carries no files.
    explicit DropData(std::vector<std::wstring> files) : files_(std::move(files)) {
        std::erase(files_, std::wstring());
    }

    bool GetFormat(int format) const { return format == kFileListFormat && !files_.empty(); }
    // The dropped files, numbered from 1.
    std::wstring Files(int number) const {
        if (number < 1 || number > FileCount())
            throw Error(L"ドロップされたファイルの番号が範囲外です");
        return files_[number - 1];
    }
    int FileCount() const { return static_cast<int>(files_.size()); }

private:
    std::vector<std::wstring> files_;
};

}  // namespace platform
