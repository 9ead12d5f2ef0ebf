// The files to compare, read through POSIX calls: open read-only and non-blocking, fstat, read.
// Off Windows a path is the name's bytes, passed to open() unchanged.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "FileRead.h"
#include "TextDecode.h"

namespace viewer {

namespace {

FileProblem ProblemOf(int error) {
    switch (error) {
        case ENOENT:
            return FileProblem::NotFound;
        case EACCES:
        case EPERM:
            return FileProblem::NoReadPermission;
        case EISDIR:
            return FileProblem::IsFolder;
        case ENOTDIR:
            return FileProblem::PathNotFolder;
        default:
            return FileProblem::System;
    }
}

FileIdentity IdentityFrom(const struct stat& info) {
    return {static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace

void AdviseLargePages(char* start, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    // Only whole large pages inside the memory: the advice covers what it names, and the memory
    // around it may be another's.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(start) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(kLargePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)start;
    (void)bytes;
#endif
}

std::u16string SystemMessage(std::uint32_t code) {
    return FromUtf8Lossy(std::strerror(static_cast<int>(code)));
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return IdentityFrom(info);
}

void InputFile::Fail(std::uint32_t code) {
    error_ = {ProblemOf(static_cast<int>(code)), code, path_};
}

InputFile::InputFile(const std::filesystem::path& path, bool mayBeMissing) : path_(path) {
    if (path.empty()) {
        error_ = {FileProblem::EmptyPath, 0, path};
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        missing_ = mayBeMissing && errno == ENOENT;
        if (!missing_) Fail(static_cast<std::uint32_t>(errno));
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        Fail(static_cast<std::uint32_t>(errno));
    } else if (S_ISDIR(info.st_mode)) {
        Fail(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        error_ = {FileProblem::NotRegularFile, 0, path};
    }
    if (error_.failed()) {
        ::close(fd);
        return;
    }
    handle_ = fd;
    identity_ = IdentityFrom(info);
    permissions_ = static_cast<std::uint32_t>(info.st_mode & 07777);
}

InputFile::~InputFile() {
    if (handle_ != kNoHandle) ::close(static_cast<int>(handle_));
}

std::int64_t InputFile::Read(char* buffer, std::int64_t capacity) {
    if (missing_) return 0;
    for (;;) {
        const ssize_t got =
            ::read(static_cast<int>(handle_), buffer, static_cast<size_t>(capacity));
        if (got >= 0) return static_cast<std::int64_t>(got);
        if (errno == EINTR) continue;
        Fail(static_cast<std::uint32_t>(errno));
        return -1;
    }
}

}  // namespace viewer
