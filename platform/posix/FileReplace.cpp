#include "FileReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

namespace platform::posix {

namespace {

// A file descriptor closed on scope exit.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    void reset(int fd) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Failed };

// Reads the whole file (name in the folder dir) and gives its status. A missing file reads as
// empty; a folder, an unreadable file or one larger than `largest` fails. Opened without
// blocking: a FIFO in the file's place would otherwise wait for a writer forever. Extra flags:
// O_NOFOLLOW where the links have been followed already. `kept`, when given, holds the file open.
ReadResult ReadWhole(int dir, const char* name, int flags, off_t largest, std::string& content,
                     struct stat* status = nullptr, Fd* kept = nullptr) {
    content.clear();
    Fd own(-1);
    Fd& fd = kept != nullptr ? *kept : own;
    fd.reset(openat(dir, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | flags));
    if (!fd.ok()) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return ReadResult::Failed;
    if (status != nullptr) *status = info;
    if (info.st_size > largest) {
        errno = EFBIG;
        return ReadResult::Failed;
    }
    content.reserve(static_cast<size_t>(info.st_size));
    char block[65536];
    for (;;) {
        const ssize_t n = read(fd.get(), block, sizeof block);
        if (n == 0) return ReadResult::Ok;
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadResult::Failed;
        }
        content.append(block, static_cast<size_t>(n));
        // A file that grows while we read it is no more ours than a large one.
        if (content.size() > static_cast<size_t>(largest)) {
            std::string().swap(content);
            errno = EFBIG;
            return ReadResult::Failed;
        }
    }
}

// The folder holding path, and the file's own name in it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The file that path names, symbolic links followed one by one. A last link that names no file
// yet still leads to its target: the write creates that file and the link stays a link.
// A link leads only to a file of its own owner (or, for a file yet to come, into a folder of
// theirs); root's links lead anywhere. So a link that another user made cannot turn a write by
// root (a `sudo diff-zarvo` in their install) into a write to one of root's files.
bool FollowLinks(std::string& path) {
    std::vector<uid_t> linkOwners;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) {
            if (errno != ENOENT) return false;
            if (linkOwners.empty()) return true;
            if (stat(SplitPath(path).first.c_str(), &info) != 0) return false;
        } else if (S_ISLNK(info.st_mode)) {
            if (info.st_uid != 0) linkOwners.push_back(info.st_uid);
            char buffer[PATH_MAX];
            const ssize_t length = readlink(path.c_str(), buffer, sizeof buffer);
            if (length <= 0 || length == static_cast<ssize_t>(sizeof buffer)) {
                if (length >= 0) errno = ENAMETOOLONG;
                return false;
            }
            const std::string target(buffer, static_cast<size_t>(length));
            const std::string folder = SplitPath(path).first;
            if (target.front() == '/') {
                path = target;
            } else {
                path = (folder == "/" ? "" : folder) + "/" + target;
            }
            continue;
        }
        const uid_t owner = info.st_uid;
        if (std::any_of(linkOwners.begin(), linkOwners.end(),
                        [owner](uid_t linkOwner) { return linkOwner != owner; })) {
            errno = EACCES;
            return false;
        }
        return true;
    }
    errno = ELOOP;
    return false;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The owner and group a new file gets from the system (its group may be the folder's).
constexpr uid_t kAsCreatedOwner = static_cast<uid_t>(-1);
constexpr gid_t kAsCreatedGroup = static_cast<gid_t>(-1);

// What the new file must be once written: the old file's owner, group, permissions and extended
// attributes (its ACL among them); or, for a file not there yet, an owner and permissions of
// its own.
struct Shape {
    uid_t owner = kAsCreatedOwner;
    gid_t group = kAsCreatedGroup;
    std::optional<mode_t> mode;  // none: as the system creates it (umask, or the folder's ACL)
    int oldFd = -1;              // the old file, read through it
};

// A new file: as the system creates it, or with the permissions given (a file deleted since
// it was read keeps those it had); owned by whoever writes it, except that root writing into
// another user's folder (a `sudo diff-zarvo` in their own install) hands the file to that
// folder's owner and group, who must go on writing it.
bool NewFileShape(int dir, std::optional<mode_t> mode, Shape& shape) {
    shape = {kAsCreatedOwner, kAsCreatedGroup, mode, -1};
    if (geteuid() != 0) return true;
    struct stat folder {};
    if (fstat(dir, &folder) != 0) return false;
    if (folder.st_uid != 0) shape.owner = folder.st_uid, shape.group = folder.st_gid;
    return true;
}

Shape OldFileShape(const struct stat& info, int fd) {
    return {info.st_uid, info.st_gid, static_cast<mode_t>(info.st_mode & 07777), fd};
}

enum class Outcome {
    Done,
    Failed,       // errno says why
    Unsupported,  // no unnamed files here
    CannotKeep,   // a new file could not be what the old one is: the old one is written over
};

// The errors of a system that will not give a new file what the old one has (another user's
// owner, a group this user is not in, a security label), as against a failing disk.
bool IsRefusal(int error) {
    return error == EPERM || error == EACCES || error == ENOTSUP || error == EOPNOTSUPP;
}

// The names of a file's extended attributes.
bool AttributeNames(int fd, std::vector<std::string>& names) {
    names.clear();
    std::vector<char> list;
    for (;;) {
        const ssize_t size = flistxattr(fd, nullptr, 0);
        if (size < 0) return errno == ENOTSUP || errno == EOPNOTSUPP;
        list.resize(static_cast<size_t>(size));
        const ssize_t got = size == 0 ? 0 : flistxattr(fd, list.data(), list.size());
        if (got < 0 && errno == ERANGE) continue;  // grown in between
        if (got < 0) return false;
        for (size_t at = 0; at < static_cast<size_t>(got); at += names.back().size() + 1) {
            names.emplace_back(list.data() + at);
        }
        return true;
    }
}

// An extended attribute's value; nothing when the file has none of that name.
std::optional<std::string> AttributeValue(int fd, const std::string& name, bool& failed) {
    for (;;) {
        const ssize_t size = fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) {
            failed = errno != ENODATA;
            return std::nullopt;
        }
        std::string value(static_cast<size_t>(size), '\0');
        const ssize_t got = size == 0 ? 0 : fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) {
            failed = true;
            return std::nullopt;
        }
        value.resize(static_cast<size_t>(got));
        return value;
    }
}

// Gives `to` the extended attributes of `from`, and only those: the access ACL is one
// ("system.posix_acl_access"), so a new file that inherited the folder's default ACL loses
// what the old file did not have.
Outcome CopyAttributes(int from, int to) {
    std::vector<std::string> names, present;
    if (!AttributeNames(from, names) || !AttributeNames(to, present)) return Outcome::Failed;
    bool failed = false;
    for (const std::string& name : names) {
        const std::optional<std::string> value = AttributeValue(from, name, failed);
        if (failed) return Outcome::Failed;
        if (!value || *value == AttributeValue(to, name, failed)) continue;
        if (failed) return Outcome::Failed;
        if (fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) {
            return IsRefusal(errno) ? Outcome::CannotKeep : Outcome::Failed;
        }
    }
    for (const std::string& name : present) {
        if (std::find(names.begin(), names.end(), name) != names.end()) continue;
        if (fremovexattr(to, name.c_str()) != 0 && errno != ENODATA) {
            return IsRefusal(errno) ? Outcome::CannotKeep : Outcome::Failed;
        }
    }
    return Outcome::Done;
}

// Writes content into the new file fd, gives it its shape (owner first: a change of owner
// clears set-id bits; then permissions; then the old file's attributes, whose ACL sets the
// permissions' group part to what it was) and flushes it to the disk.
Outcome Fill(int fd, std::string_view content, const Shape& shape) {
    struct stat info {};
    if (!WriteAll(fd, content) || fstat(fd, &info) != 0) return Outcome::Failed;
    if (shape.owner != kAsCreatedOwner &&
        (info.st_uid != shape.owner || info.st_gid != shape.group) &&
        fchown(fd, shape.owner, shape.group) != 0) {
        return IsRefusal(errno) ? Outcome::CannotKeep : Outcome::Failed;
    }
    if (shape.mode && fchmod(fd, *shape.mode) != 0) return Outcome::Failed;
    if (shape.oldFd >= 0) {
        const Outcome copied = CopyAttributes(shape.oldFd, fd);
        if (copied != Outcome::Done) return copied;
        // Whatever the system did on the way (a set-group-id bit dropped), the new file is the
        // old one's double or it does not take its place.
        if (fstat(fd, &info) != 0) return Outcome::Failed;
        if (info.st_uid != shape.owner || info.st_gid != shape.group ||
            (info.st_mode & 07777) != *shape.mode) {
            return Outcome::CannotKeep;
        }
    }
    return fsync(fd) == 0 ? Outcome::Done : Outcome::Failed;
}

// Our temporary files are hidden and named after the file they replace: ".Zarvo.ini.new-<pid>".
// A long name is cut so that the temporary one still fits the 255 bytes a name may have: a file
// with the longest name must save as any other.
std::string TemporaryPrefix(const std::string& name) {
    constexpr std::size_t kLongestName = 255;
    constexpr std::size_t kAround = sizeof ".new-" + 10;  // the dot before, ".new-", the pid
    std::string prefix = ".";
    prefix.append(name, 0, kLongestName - kAround);
    return prefix + ".new-";
}

bool IsTemporaryName(std::string_view entry, const std::string& prefix) {
    if (entry.size() <= prefix.size() || entry.substr(0, prefix.size()) != prefix) return false;
    entry.remove_prefix(prefix.size());
    return entry.find_first_not_of("0123456789") == std::string_view::npos;
}

// A writer killed between naming its new file and renaming it leaves that file behind. Every
// writer holds the folder's lock while its temporary file exists, so any one found by a writer
// that holds the lock belongs to a dead writer.
void RemoveStaleTemporaries(int dir, const std::string& name) {
    const int listing = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = fdopendir(listing);
    if (entries == nullptr) {
        close(listing);
        return;
    }
    const std::string prefix = TemporaryPrefix(name);
    while (const dirent* entry = readdir(entries)) {
        struct stat info {};
        if (IsTemporaryName(entry->d_name, prefix) &&
            fstatat(dir, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)) {
            unlinkat(dir, entry->d_name, 0);
        }
    }
    closedir(entries);
}

// Gives the unnamed file fd the name `name` in dir. Linking by descriptor needs a privilege
// (CAP_DAC_READ_SEARCH); otherwise the descriptor's entry in /proc serves.
bool LinkUnnamed(int fd, int dir, const char* name) {
    if (linkat(fd, "", dir, name, AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, self.c_str(), dir, name, AT_SYMLINK_FOLLOW) == 0;
}

bool RenameOrRemove(int dir, const std::string& temporary, const std::string& name) {
    if (renameat(dir, temporary.c_str(), dir, name.c_str()) == 0) return true;
    const int saved = errno;
    unlinkat(dir, temporary.c_str(), 0);
    errno = saved;
    return false;
}

// The permissions a new file is opened with: private while it is filled, or as the system
// gives a new file (umask, the folder's default ACL) when it keeps those.
mode_t CreationMode(const Shape& shape) { return shape.mode ? 0600 : 0666; }

// The new contents go into an unnamed file (O_TMPFILE), so a writer killed while it writes leaves
// nothing behind. A new file is linked in under its name at once; an existing one is
// replaced by rename, for which the new file needs a name for the two calls in between.
Outcome ReplaceUnnamed(int dir, const std::string& name, bool exists, std::string_view content,
                       const Shape& shape) {
    Fd fd(openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, CreationMode(shape)));
    if (!fd.ok()) {
        // EISDIR: a kernel without O_TMPFILE; EOPNOTSUPP: a file system without it.
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? Outcome::Unsupported
                                                                         : Outcome::Failed;
    }
    if (const Outcome filled = Fill(fd.get(), content, shape); filled != Outcome::Done) {
        return filled;
    }
    const std::string temporary = TemporaryPrefix(name) + std::to_string(getpid());
    const std::string& linkName = exists ? temporary : name;
    if (!LinkUnnamed(fd.get(), dir, linkName.c_str())) {
        return errno == ENOENT ? Outcome::Unsupported : Outcome::Failed;
    }
    if (!exists) return Outcome::Done;
    return RenameOrRemove(dir, temporary, name) ? Outcome::Done : Outcome::Failed;
}

// Where the file system has no unnamed files: a named temporary file, renamed over the old one.
Outcome ReplaceNamed(int dir, const std::string& name, std::string_view content,
                     const Shape& shape) {
    const std::string temporary = TemporaryPrefix(name) + std::to_string(getpid());
    Fd fd(openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                 CreationMode(shape)));
    if (!fd.ok()) return Outcome::Failed;
    if (const Outcome filled = Fill(fd.get(), content, shape); filled != Outcome::Done) {
        const int saved = errno;
        unlinkat(dir, temporary.c_str(), 0);
        errno = saved;
        return filled;
    }
    return RenameOrRemove(dir, temporary, name) ? Outcome::Done : Outcome::Failed;
}

// Puts content in place of dir/name whole, or leaves the old file as it was. The folder is not
// flushed: a crash before the system writes it back keeps the old file, still whole (and the
// settings file is written eight times a launch, which would pay the flush eight times).
Outcome ReplaceFile(int dir, const std::string& name, bool exists, std::string_view content,
                    const Shape& shape) {
    const Outcome outcome = ReplaceUnnamed(dir, name, exists, content, shape);
    if (outcome != Outcome::Unsupported) return outcome;
    return ReplaceNamed(dir, name, content, shape);
}

// `touched` is set once the file may have changed: from the first write on.
bool WriteFromStart(int fd, std::string_view content, bool& touched) {
    if (lseek(fd, 0, SEEK_SET) != 0) return false;
    touched = true;
    return WriteAll(fd, content) && ftruncate(fd, static_cast<off_t>(content.size())) == 0 &&
           fsync(fd) == 0;
}

// Writes content over the file itself, where a new file in its place would not be the same
// file: one with other names (hard links) that must see the new contents, another user's file
// this user may write, one whose attributes a new file cannot be given, or one in a folder
// this user may not write. Not atomic as a rename is: the room is taken first, so that a full
// disk fails before a byte changes, and a write that fails halfway puts the old bytes back;
// `notRestored` says when that failed too.
bool WriteInPlace(int dir, const std::string& name, const struct stat& old,
                  std::string_view content, std::string_view before, bool& notRestored) {
    Fd fd(openat(dir, name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!fd.ok() || fstat(fd.get(), &info) != 0) return false;
    if (info.st_dev != old.st_dev || info.st_ino != old.st_ino) {
        errno = EAGAIN;  // another program put a file in its place since it was read
        return false;
    }
    if (content.size() > before.size() &&
        fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(content.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        return false;
    }
    bool touched = false;
    if (WriteFromStart(fd.get(), content, touched)) return true;
    const int saved = errno;
    if (touched) {
        bool again = false;
        notRestored = !WriteFromStart(fd.get(), before, again);
    }
    errno = saved;
    return false;
}

}  // namespace

bool ReadFileWhole(const char* path, off_t largest, std::string& content) {
    return ReadWhole(AT_FDCWD, path, 0, largest, content) == ReadResult::Ok;
}

bool ReplaceFileContent(const std::string& original, off_t largest, const ContentUpdate& update,
                        std::optional<mode_t> newFileMode, bool* notRestored) {
    std::string path = original;
    if (!FollowLinks(path)) return false;
    const auto [folder, name] = SplitPath(path);
    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok()) return false;
    while (flock(dir.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    RemoveStaleTemporaries(dir.get(), name);

    std::string content;
    struct stat info {};
    Fd old;
    // From here on the file is taken by its name in the locked folder, and no link is followed:
    // one put in its place after the links were checked is refused.
    const ReadResult read =
        ReadWhole(dir.get(), name.c_str(), O_NOFOLLOW, largest, content, &info, &old);
    if (read == ReadResult::Failed) return false;
    if (read == ReadResult::Missing) {
        Shape shape;
        if (!NewFileShape(dir.get(), newFileMode, shape)) return false;
        const std::optional<std::string> created = update(nullptr);
        if (!created) return true;
        return ReplaceFile(dir.get(), name, false, *created, shape) == Outcome::Done;
    }
    // A file nobody may write is read-only, as Windows' read-only attribute, even for root.
    if ((info.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    // A file this user may not write stays as it is: the rename below needs only the folder's
    // permission and would hand another user's file over to us. EROFS on a read-only medium.
    if (faccessat(dir.get(), name.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    const std::optional<std::string> updated = update(&content);
    if (!updated) return true;
    const bool sameFileNeeded = info.st_nlink > 1 || (geteuid() != 0 && info.st_uid != geteuid()) ||
                                faccessat(dir.get(), ".", W_OK | X_OK, AT_EACCESS) != 0;
    const Outcome outcome = sameFileNeeded ? Outcome::CannotKeep
                                           : ReplaceFile(dir.get(), name, true, *updated,
                                                         OldFileShape(info, old.get()));
    if (outcome == Outcome::CannotKeep) {
        bool failedBack = false;
        const bool written = WriteInPlace(dir.get(), name, info, *updated, content, failedBack);
        if (notRestored != nullptr) *notRestored = failedBack;
        return written;
    }
    return outcome == Outcome::Done;
}

}  // namespace platform::posix
