// What went wrong with a file, as facts: what kind of trouble, the system's own code for it and
// the file. The core says no more; the session words it for the user (Wording.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace viewer {

enum class FileProblem : std::uint8_t {
    None,
    EmptyPath,
    NotFound,          // the file to read is not there
    EntryNotFound,     // a folder, or an entry of one, is not there
    NoReadPermission,  // (or another program holds it locked)
    IsFolder,          // a file was wanted
    PathNotFolder,     // a name on the way to the file is not a folder
    NotFolder,         // a folder was wanted
    NotRegularFile,    // a FIFO, a device, a socket: never opened
    TooManyLinks,
    UnknownKind,  // an entry listed whose kind the system would not tell
    NoWritePermission,
    ReadOnlyMedium,
    ReadOnlyFile,
    NoFolder,           // the folder a new file would go in is not there
    FolderNotWritable,  // a new file cannot be made in its folder
    DiskFull,
    NotWritten,            // a write that did not happen, the system giving no reason
    ChangedSinceCompared,  // the file is not as it was when compared
    System,                // any other: `code` says what
};

struct FileError {
    FileProblem problem = FileProblem::None;
    std::uint32_t code = 0;  // errno, or a Win32 error code (GetLastError); 0 when none
    std::filesystem::path path;
    bool failed() const { return problem != FileProblem::None; }
    bool operator==(const FileError&) const = default;
};

// The errors of the two files of a pair; either or both may be none.
struct SideErrors {
    FileError first;
    FileError second;
    bool any() const { return first.failed() || second.failed(); }
    bool operator==(const SideErrors&) const = default;
};

// The system's own words for an error code (strerror, FormatMessage); empty when it has none.
std::u16string SystemMessage(std::uint32_t code);

}  // namespace viewer
