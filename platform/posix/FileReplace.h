// Replacing a file's contents whole or not at all, as the settings file and the viewer's saves
// both need: a temporary file in the same folder, flushed, then renamed over the old one, under
// an advisory lock on the folder so that two of our writers never undo each other's work.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

namespace platform::posix {

// Reads the file at `path` whole, without blocking on a FIFO. False when it is missing (errno
// ENOENT), not a regular file, unreadable, or larger than `largest` bytes (EFBIG).
bool ReadFileWhole(const char* path, off_t largest, std::string& content);

// What to put in place of the file's present contents (nullptr when there is no file yet);
// nothing leaves the file as it is.
using ContentUpdate = std::function<std::optional<std::string>(const std::string* present)>;

// Follows `path`'s symbolic links to the file they lead to (a link of another user leads only
// to that user's files), locks its folder, reads the file (at most `largest` bytes) and, when
// `update` gives new contents, replaces it atomically: the old file stays whole whatever fails
// and a killed writer leaves no temporary file for long. The file keeps its owner, group,
// permissions and extended attributes (its ACL among them). Where a new file cannot be all of
// that (another name for the same file, another user's file this user may write, a folder this
// user may not write), the file itself is written over instead; a full disk or a failed write
// still leaves it whole, unless putting the old bytes back fails too: then `notRestored`, when
// given, is set, as the file may hold neither. A new file gets `newFileMode` when given, else what
// the system gives one (the umask, or the folder's default ACL). A file nobody may write, or this
// user may not, is refused (EACCES), even for root. False, with errno set, when it could not be
// done.
bool ReplaceFileContent(const std::string& path, off_t largest, const ContentUpdate& update,
                        std::optional<mode_t> newFileMode = std::nullopt,
                        bool* notRestored = nullptr);

}  // namespace platform::posix
