// A folder's entries through POSIX calls: readdir, and fstatat without following links. Off
// Windows a name is bytes, compared as bytes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "FolderList.h"
#include "TextDecode.h"

namespace viewer {

namespace {

FileError ListError(int error, const std::filesystem::path& path) {
    const auto code = static_cast<std::uint32_t>(error);
    switch (error) {
        case ENOENT:
            return {FileProblem::EntryNotFound, code, path};
        case EACCES:
        case EPERM:
            return {FileProblem::NoReadPermission, code, path};
        case ENOTDIR:
            return {FileProblem::NotFolder, code, path};
        case ELOOP:
            return {FileProblem::TooManyLinks, code, path};
        default:
            return {FileProblem::System, code, path};
    }
}

EntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Folder;
    if (S_ISLNK(mode)) return EntryKind::Link;
    if (S_ISFIFO(mode)) return EntryKind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return EntryKind::Device;
    if (S_ISSOCK(mode)) return EntryKind::Socket;
    return EntryKind::Other;
}

}  // namespace

bool ListFolder(const std::filesystem::path& folder, std::vector<FolderItem>& items,
                FileError& error) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = ListError(errno, folder);
        return false;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        error = ListError(errno, folder);
        ::close(fd);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* found = ::readdir(dir);
        if (found == nullptr) break;
        const char* name = found->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        struct stat info {};
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) continue;  // gone since it was listed
            // Listed but not described: shown, and its reading will say why.
            items.push_back({name, EntryKind::Other, 0, 0, 0, 0, ListError(errno, folder / name)});
            continue;
        }
        items.push_back({name,
                         KindOf(info.st_mode),
                         static_cast<std::int64_t>(info.st_size),
                         static_cast<std::uint64_t>(info.st_dev),
                         static_cast<std::uint64_t>(info.st_ino),
                         static_cast<std::uint64_t>(info.st_rdev),
                         {}});
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        error = ListError(readError, folder);
        return false;
    }
    return true;
}

bool ReadLink(const std::filesystem::path& link, std::string& target, FileError& error) {
    target.resize(256);
    for (;;) {
        const ssize_t got = ::readlink(link.c_str(), target.data(), target.size());
        if (got < 0) {
            error = ListError(errno, link);
            return false;
        }
        if (static_cast<std::size_t>(got) < target.size()) {
            target.resize(static_cast<std::size_t>(got));
            return true;
        }
        target.resize(target.size() * 2);
    }
}

bool SameFile(const std::filesystem::path&, const FolderItem& item1, const std::filesystem::path&,
              const FolderItem& item2) {
    return item1.inode != 0 && item1.device == item2.device && item1.inode == item2.inode;
}

int CompareNames(const std::string& a, const std::string& b) { return a.compare(b); }

std::u16string DisplayName(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if (IsUtf8(name)) return FromUtf8Lossy(name);
    std::u16string shown;
    std::size_t at = 0;
    while (at < name.size()) {
        // The longest valid UTF-8 sequence starting here, if any.
        std::size_t length = 0;
        for (std::size_t tried = 1; tried <= 4 && at + tried <= name.size(); ++tried) {
            if (IsUtf8(std::string_view(name).substr(at, tried))) {
                length = tried;
                break;
            }
        }
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(name[at]);
            shown += u'<';
            shown += static_cast<char16_t>(kHex[byte >> 4]);
            shown += static_cast<char16_t>(kHex[byte & 15]);
            shown += u'>';
            ++at;
            continue;
        }
        shown += FromUtf8Lossy(std::string_view(name).substr(at, length));
        at += length;
    }
    return shown;
}

}  // namespace viewer
