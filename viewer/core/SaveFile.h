// Writing an edited file back: declared here, implemented once per platform (SavePosix.cpp,
// through the settings file's own atomic replacement; SaveWin32.cpp with ReplaceFileW).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "FileError.h"

namespace viewer {

enum class WriteStatus {
    Written,
    ChangedOnDisk,  // the file is not what the caller read: nothing was written
    DiskFull,       // nothing was written; the old file is whole
    Refused,        // the system refused the write (permissions, a read-only medium)
    Failed,         // any other error
    NotRestored,    // failed halfway, and the old bytes could not be put back: neither may be whole
};

struct WriteResult {
    WriteStatus status = WriteStatus::Failed;
    FileError error;  // why, for DiskFull, Refused and Failed
};

// What the file must hold for the write to go ahead: its present bytes, or nullptr when it is
// gone.
using StillAsRead = std::function<bool(const std::string* present)>;

// Puts `content` in place of the file `path` names, whole or not at all: through a symbolic link
// to its target, keeping the file's owner, group and permissions (on Windows its attributes and
// security). Reads the file first, under the same lock as the write, and writes nothing unless
// `stillAsRead` accepts it. A file that is not there is made, with `permissions` (POSIX mode
// bits: those it had when read, before another program deleted it) or, given 0, as a new file
// in its folder is; Windows gives a new file its folder's.
WriteResult ReplaceContent(const std::filesystem::path& path, const std::string& content,
                           const StillAsRead& stillAsRead, std::uint32_t permissions = 0);

// Why the file cannot be written (FileProblem::ReadOnlyFile, ...); none when it can be, as far as
// can be told without writing.
FileError WhyNotWritable(const std::filesystem::path& path);

}  // namespace viewer
