// Saves off Windows: the same atomic replacement as the settings file's write (FileReplace.cpp).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Comparison.h"
#include "SaveFile.h"
#include "platform/posix/FileReplace.h"

namespace viewer {

namespace {

FileError WriteError(int error, const std::filesystem::path& path) {
    switch (error) {
        case EACCES:
        case EPERM:
            return {FileProblem::NoWritePermission, static_cast<std::uint32_t>(error), path};
        case EROFS:
            return {FileProblem::ReadOnlyMedium, static_cast<std::uint32_t>(error), path};
        case ENOSPC:
        case EDQUOT:
            return {FileProblem::DiskFull, static_cast<std::uint32_t>(error), path};
        default:
            return {FileProblem::System, static_cast<std::uint32_t>(error), path};
    }
}

}  // namespace

WriteResult ReplaceContent(const std::filesystem::path& path, const std::string& content,
                           const StillAsRead& stillAsRead, std::uint32_t permissions) {
    bool changed = false;
    bool notRestored = false;
    const bool done = platform::posix::ReplaceFileContent(
        path.native(), kTextLimitBytes,
        [&](const std::string* present) -> std::optional<std::string> {
            if (!stillAsRead(present)) {
                changed = true;
                return std::nullopt;
            }
            return content;
        },
        permissions != 0 ? std::optional<mode_t>(permissions & 07777) : std::nullopt, &notRestored);
    if (done) return {changed ? WriteStatus::ChangedOnDisk : WriteStatus::Written, {}};
    const FileError error = WriteError(errno, path);
    if (notRestored) return {WriteStatus::NotRestored, error};
    switch (error.problem) {
        case FileProblem::DiskFull:
            return {WriteStatus::DiskFull, error};
        case FileProblem::NoWritePermission:
        case FileProblem::ReadOnlyMedium:
            return {WriteStatus::Refused, error};
        default:
            return {WriteStatus::Failed, error};
    }
}

FileError WhyNotWritable(const std::filesystem::path& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) return WriteError(errno, path);
        // A file yet to be made: its folder takes it.
        const std::filesystem::path folder =
            path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
        if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return {};
        const auto code = static_cast<std::uint32_t>(errno);
        if (code == ENOENT) return {FileProblem::NoFolder, code, folder};
        if (code == EROFS) return WriteError(EROFS, folder);
        return {FileProblem::FolderNotWritable, code, folder};
    }
    // Read-only for everyone is read-only for root too, as the settings file's write has it.
    if ((info.st_mode & 0222) == 0) return {FileProblem::ReadOnlyFile, 0, path};
    // As the system decides, with the ids the program runs as: where the file may be written but
    // not replaced (its folder is not ours), the save writes it over.
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return WriteError(errno, path);
    return {};
}

}  // namespace viewer
