#include "FileReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

private:
    int fd_;
};

enum class ReadResult { Ok, Missing, Failed };

// Reads the whole file (name in the folder dir) and gives its status. A missing file reads as
// empty; a folder, an unreadable file or one larger than `largest` fails. Opened without
// blocking: a FIFO in the file's place would otherwise wait for a writer forever. Extra flags:
// O_NOFOLLOW where the links have been followed already.
ReadResult ReadWhole(int dir, const char* name, int flags, off_t largest, std::string& content,
                     struct stat* status = nullptr) {
    content.clear();
    Fd fd(openat(dir, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | flags));
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

// Who owns the written file, and its permissions.
struct Attributes {
    uid_t owner;
    gid_t group;
    mode_t mode;
};

// The owner and group a new file gets from the system (its group may be the folder's).
constexpr uid_t kAsCreatedOwner = static_cast<uid_t>(-1);
constexpr gid_t kAsCreatedGroup = static_cast<gid_t>(-1);

// A new file: the permissions the umask allows; owned by whoever writes it, except that
// root writing into another user's folder (a `sudo diff-zarvo` in their own install) hands the
// file to that folder's owner and group, who must go on writing it.
bool NewFileAttributes(int dir, Attributes& attributes) {
    const mode_t mask = umask(0);
    umask(mask);
    attributes = {kAsCreatedOwner, kAsCreatedGroup, static_cast<mode_t>(0666 & ~mask)};
    if (geteuid() != 0) return true;
    struct stat folder {};
    if (fstat(dir, &folder) != 0) return false;
    if (folder.st_uid != 0) attributes.owner = folder.st_uid, attributes.group = folder.st_gid;
    return true;
}

// Writes content, gives the file its owner and permissions (in that order: a change of owner
// clears set-id bits), and flushes it to the disk.
bool Fill(int fd, std::string_view content, const Attributes& attributes) {
    struct stat info {};
    if (!WriteAll(fd, content) || fstat(fd, &info) != 0) return false;
    if (attributes.owner != kAsCreatedOwner &&
        (info.st_uid != attributes.owner || info.st_gid != attributes.group) &&
        fchown(fd, attributes.owner, attributes.group) != 0) {
        return false;
    }
    return fchmod(fd, attributes.mode) == 0 && fsync(fd) == 0;
}

// Our temporary files are hidden and named after the file they replace: ".Zarvo.ini.new-<pid>".
std::string TemporaryPrefix(const std::string& name) { return "." + name + ".new-"; }

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

enum class Outcome { Done, Failed, Unsupported };

// The new contents go into an unnamed file (O_TMPFILE), so a writer killed while it writes leaves
// nothing behind. A new file is linked in under its name at once; an existing one is
// replaced by rename, for which the new file needs a name for the two calls in between.
Outcome ReplaceUnnamed(int dir, const std::string& name, bool exists, std::string_view content,
                       const Attributes& attributes) {
    Fd fd(openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!fd.ok()) {
        // EISDIR: a kernel without O_TMPFILE; EOPNOTSUPP: a file system without it.
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? Outcome::Unsupported
                                                                         : Outcome::Failed;
    }
    if (!Fill(fd.get(), content, attributes)) return Outcome::Failed;
    const std::string temporary = TemporaryPrefix(name) + std::to_string(getpid());
    const std::string& linkName = exists ? temporary : name;
    if (!LinkUnnamed(fd.get(), dir, linkName.c_str())) {
        return errno == ENOENT ? Outcome::Unsupported : Outcome::Failed;
    }
    if (!exists) return Outcome::Done;
    return RenameOrRemove(dir, temporary, name) ? Outcome::Done : Outcome::Failed;
}

// Where the file system has no unnamed files: a named temporary file, renamed over the old one.
bool ReplaceNamed(int dir, const std::string& name, std::string_view content,
                  const Attributes& attributes) {
    const std::string temporary = TemporaryPrefix(name) + std::to_string(getpid());
    Fd fd(openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.ok()) return false;
    if (!Fill(fd.get(), content, attributes)) {
        const int saved = errno;
        unlinkat(dir, temporary.c_str(), 0);
        errno = saved;
        return false;
    }
    return RenameOrRemove(dir, temporary, name);
}

// Puts content in place of dir/name whole, or leaves the old file as it was. The folder is not
// flushed: a crash before the system writes it back keeps the old file, still whole (and the
// settings file is written eight times a launch, which would pay the flush eight times).
bool ReplaceFile(int dir, const std::string& name, bool exists, std::string_view content,
                 const Attributes& attributes) {
    const Outcome outcome = ReplaceUnnamed(dir, name, exists, content, attributes);
    if (outcome != Outcome::Unsupported) return outcome == Outcome::Done;
    return ReplaceNamed(dir, name, content, attributes);
}

}  // namespace

bool ReadFileWhole(const char* path, off_t largest, std::string& content) {
    return ReadWhole(AT_FDCWD, path, 0, largest, content) == ReadResult::Ok;
}

bool ReplaceFileContent(const std::string& original, off_t largest, const ContentUpdate& update) {
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
    // From here on the file is taken by its name in the locked folder, and no link is followed:
    // one put in its place after the links were checked is refused.
    const ReadResult read = ReadWhole(dir.get(), name.c_str(), O_NOFOLLOW, largest, content, &info);
    if (read == ReadResult::Failed) return false;
    Attributes attributes{};
    if (read == ReadResult::Ok) {
        attributes = {info.st_uid, info.st_gid, static_cast<mode_t>(info.st_mode & 07777)};
        // A file nobody may write is read-only, as Windows' read-only attribute, even for root.
        // A file this user may not write stays as it is too: the rename below needs only the
        // folder's permission and would hand another user's file over to us.
        if ((attributes.mode & 0222) == 0) {
            errno = EACCES;
            return false;
        }
        // EACCES, or EROFS on a read-only medium.
        if (faccessat(dir.get(), name.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
            return false;
        }
    } else if (!NewFileAttributes(dir.get(), attributes)) {
        return false;
    }

    const std::optional<std::string> updated = update(read == ReadResult::Ok ? &content : nullptr);
    if (!updated) return true;
    return ReplaceFile(dir.get(), name, read == ReadResult::Ok, *updated, attributes);
}

}  // namespace platform::posix
