// What a folder comparison asks of the system: a folder's entries without following links, a
// link's target, whether two names are one file, how the system compares names, and a name as
// text to show. Declared here, implemented once per platform (FolderListPosix.cpp and its
// Windows twin).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FileError.h"

namespace viewer {

enum class EntryKind : std::uint8_t {
    None,  // not there
    File,
    Folder,
    Link,    // a symbolic link (on Windows any reparse point): compared by its target
    Fifo,    // listed, never opened
    Device,  // a character or block device: listed, never opened
    Socket,  // listed, never opened
    Other,
};

struct FolderItem {
    std::filesystem::path::string_type name;  // the name's bytes (wide on Windows) as listed
    EntryKind kind = EntryKind::None;
    std::int64_t size = 0;
    std::uint64_t device = 0;  // with `inode`, the file's identity where the listing gives it
    std::uint64_t inode = 0;
    std::uint64_t special = 0;  // a device's number: two devices are the same when it is
    FileError error;            // why the entry could not be described, when it could not
};

// The entries of `folder` but "." and "..", unsorted; false with `error` when the folder cannot
// be read. An entry that vanishes while it is listed is left out.
bool ListFolder(const std::filesystem::path& folder, std::vector<FolderItem>& items,
                FileError& error);

// What a link holds, as the bytes the system keeps; false with `error` when it cannot be read.
bool ReadLink(const std::filesystem::path& link, std::string& target, FileError& error);

// Whether two listed files are one file on disk (a hard link, or one folder given twice).
bool SameFile(const std::filesystem::path& first, const FolderItem& item1,
              const std::filesystem::path& second, const FolderItem& item2);

// Orders names as the system matches them: by their bytes off Windows; on Windows as the file
// system does, case aside. Names that compare 0 are one entry.
int CompareNames(const std::filesystem::path::string_type& a,
                 const std::filesystem::path::string_type& b);

// A name to show: valid text as it is, each byte that is not (off Windows) as "<E9>", and each
// lone surrogate (on Windows) as "<DC80>", so that a name never shows what it is not.
std::u16string DisplayName(const std::filesystem::path::string_type& name);

}  // namespace viewer
