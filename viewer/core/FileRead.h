// Opens the files to compare read-only, refusing what is not a regular file, and reads them
// whole or compares them in blocks. Declared here, implemented once per platform
// (FileReadPosix.cpp; a Windows build adds its own with the wide file APIs).
//
// Paths are std::filesystem::path: on Windows it holds the wide name as the system gives it, so
// any file name opens; elsewhere it holds the name's bytes unchanged, valid UTF-8 or not.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "FileError.h"

namespace viewer {

// Which state of a file was read: its size and when it was last written (in the system's own
// units), as the open file said. A file whose identity differs was written since.
struct FileIdentity {
    std::int64_t size = 0;
    std::int64_t written = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file `path` names now, links followed; none when it is not there or
// cannot be asked.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);

class InputFile {
public:
    // Never blocks on a FIFO or a device and never writes: the file is opened read-only, and
    // anything but a regular file is refused before a byte is read. With `mayBeMissing`, a file
    // that is not there reads as an empty one (missing()).
    explicit InputFile(const std::filesystem::path& path, bool mayBeMissing = false);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return handle_ != kNoHandle || missing_; }
    bool missing() const { return missing_; }
    const FileError& error() const { return error_; }     // why it cannot be read
    std::int64_t size() const { return identity_.size; }  // as it was when opened
    // The state of the file opened, taken from the open file itself: what is read is this state
    // or a later one, never an earlier. None when it is missing or could not be opened.
    std::optional<FileIdentity> identity() const {
        return handle_ != kNoHandle ? std::optional(identity_) : std::nullopt;
    }
    // Its POSIX permission bits as it was when opened (07777); 0 on Windows.
    std::uint32_t permissions() const { return permissions_; }

    // Reads the rest of the file; false (with error() set) on a read error.
    bool ReadAll(std::string& out);
    // Reads up to `capacity` bytes; 0 at the end, -1 (with error() set) on a read error.
    std::int64_t Read(char* buffer, std::int64_t capacity);

private:
    // Sets error_ from the system's error code.
    void Fail(std::uint32_t code);

    // A file descriptor or a Windows HANDLE, whichever the platform's file has.
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle;
    std::filesystem::path path_;
    FileIdentity identity_;
    std::uint32_t permissions_ = 0;
    bool missing_ = false;
    FileError error_;
};

// Makes room in `bytes` for `size` bytes of a file about to be read into it. A large buffer is
// backed by large pages where the system has them (transparent huge pages on Linux): reading a
// file of 44 MB then takes a page fault every 2 MiB, not every 4 KiB, which is a third of the
// time its reading took.
void ReserveForFile(std::string& bytes, std::size_t size);

struct StreamComparison {
    bool ok = false;
    SideErrors errors;                  // why a file could not be read, when !ok
    std::int64_t firstDifference = -1;  // -1 when the files are the same
    std::int64_t size1 = 0;
    std::int64_t size2 = 0;
};

// Compares two open files block by block, holding only two blocks in memory.
StreamComparison CompareInBlocks(InputFile& first, InputFile& second);

// Asks for large pages behind the memory [start, start + bytes) not yet written; a hint, which
// a system without them ignores.
void AdviseLargePages(char* start, std::size_t bytes);

#ifdef _WIN32
// The name the wide file calls are given for a path: a name of MAX_PATH characters or more is
// made full and put in the extended form ("\\?\C:\...", "\\?\UNC\server\share\..."), the
// only form in which the system opens it; a shorter name is left as it is.
std::wstring OpenableName(const std::wstring& name);
// The long form of a name, whatever its length: past MAX_PATH only this form opens, and a name
// just short of it needs it for a temporary name beside it. A device ("NUL" is "\\.\NUL") has
// none, and a name the system cannot make full stays as given.
std::wstring LongName(const std::wstring& name);
#endif

}  // namespace viewer
