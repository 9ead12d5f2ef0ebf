// Process services off Windows: the argument text, the executable's folder, and starting the
// comparison tool as a detached process with exactly three arguments.
#include "../Process.h"

#include <fcntl.h>
#include <link.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/auxv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../Error.h"
#include "../Testing.h"
#include "../Text.h"
#include "SystemMessage.h"

namespace platform {

namespace {

std::wstring& StoredArguments() {
    static std::wstring text;
    return text;
}

std::wstring& DirectoryOverride() {
    static std::wstring dir;
    return dir;
}

[[noreturn]] void Fail(int error) { throw Error(posix::SystemMessage(error)); }

// The file that execvp would run for name, found the same way; throws when there is none.
std::string ResolveProgram(const std::string& name) {
    const auto check = [](const std::string& path) -> int {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) return errno;
        if (S_ISDIR(info.st_mode)) return EISDIR;
        if (!S_ISREG(info.st_mode) || access(path.c_str(), X_OK) != 0) return EACCES;
        return 0;
    };
    if (name.empty()) Fail(ENOENT);
    if (name.find('/') != std::string::npos) {
        if (const int error = check(name)) Fail(error);
        return name;
    }
    const char* pathVariable = std::getenv("PATH");
    const std::string searchPath = pathVariable != nullptr ? pathVariable : "/usr/bin:/bin";
    int firstError = ENOENT;
    for (size_t begin = 0;;) {
        const size_t end = std::min(searchPath.find(':', begin), searchPath.size());
        const std::string dir = end == begin ? "." : searchPath.substr(begin, end - begin);
        const std::string candidate = dir + "/" + name;
        const int error = check(candidate);
        if (error == 0) return candidate;
        if (error != ENOENT && error != ENOTDIR && firstError == ENOENT) firstError = error;
        if (end == searchPath.size()) break;
        begin = end + 1;
    }
    Fail(firstError);
}

// Messages on the pipe from the children: a tag and a value.
constexpr int kStarted = 0;     // value: the tool's process id
constexpr int kExecFailed = 1;  // value: errno

// In the grandchild: only async-signal-safe calls from here to exec. It shares our memory until
// exec, so it writes nothing but its own stack. Signals stay blocked until their handlers are
// back to the defaults, so none of ours runs in it.
[[noreturn]] void ExecChild(const char* path, char* const argv[], int errorPipe, long maxFd) {
    for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // One call marks every descriptor; the loop, a system call per possible descriptor (tens of
    // milliseconds with a high limit), is only for kernels older than 5.11. The error pipe is
    // close-on-exec already.
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (long fd = 3; fd < maxFd; ++fd) {
            if (fd != errorPipe) fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        }
    }
    execv(path, argv);
    const int message[2] = {kExecFailed, errno};
    [[maybe_unused]] const ssize_t written = write(errorPipe, message, sizeof message);
    _exit(127);
}

// What the two children need, prepared before either exists: they may not allocate.
struct Launch {
    const char* path;
    char* const* argv;
    int errorPipe;
    long maxFd;
    char* grandchildStackTop;
};

constexpr size_t kChildStack = 128 * 1024;

int Grandchild(void* launch) {
    const auto* l = static_cast<const Launch*>(launch);
    ExecChild(l->path, l->argv, l->errorPipe, l->maxFd);
}

// The intermediate child starts the tool in a session of its own and exits at once, so the tool
// is never our child and never a zombie. Both children share our memory and we stay suspended
// until each has exec'd or exited (CLONE_VFORK), as posix_spawn does: no copy of the address
// space, which for a Qt program costs more than the rest of the launch.
int Intermediate(void* launch) {
    const auto* l = static_cast<const Launch*>(launch);
    setsid();
    const pid_t grandchild = clone(Grandchild, l->grandchildStackTop,
                                   CLONE_VM | CLONE_VFORK | SIGCHLD, const_cast<Launch*>(l));
    const int message[2] = {grandchild < 0 ? kExecFailed : kStarted,
                            grandchild < 0 ? errno : static_cast<int>(grandchild)};
    [[maybe_unused]] const ssize_t written = write(l->errorPipe, message, sizeof message);
    _exit(grandchild < 0 ? 127 : 0);
}

// Two child stacks, unmapped on scope exit.
class ChildStacks {
public:
    ChildStacks() {
        void* memory = mmap(nullptr, 2 * kChildStack, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        base_ = memory == MAP_FAILED ? nullptr : static_cast<char*>(memory);
    }
    ~ChildStacks() {
        if (base_ != nullptr) munmap(base_, 2 * kChildStack);
    }
    ChildStacks(const ChildStacks&) = delete;
    ChildStacks& operator=(const ChildStacks&) = delete;
    bool ok() const { return base_ != nullptr; }
    char* FirstTop() const { return base_ + kChildStack; }  // stacks grow down
    char* SecondTop() const { return base_ + 2 * kChildStack; }

private:
    char* base_ = nullptr;
};

// A relative path is made absolute against the current folder when it is taken, so the
// history names the same file in a later session.
std::wstring TakeArgumentText(const std::wstring& text) {
    if (text.empty() || text.front() == L'/') return text;
    std::string folder(PATH_MAX, '\0');
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return text;
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    if (folder.back() != '/') folder += '/';
    return FromUtf8(folder) + text;
}

}  // namespace

void SetArguments(int argc, char** argv) {
    std::wstring text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += L' ';
        text += FromUtf8(argv[i]);
    }
    StoredArguments() = TakeArgumentText(text);
}

std::wstring ArgumentText() { return StoredArguments(); }

std::vector<std::wstring> ArgumentFiles() {
    if (StoredArguments().empty()) return {};
    return {StoredArguments()};
}

namespace {

// Where the program lies. /proc/self/exe names the running file, except when the program was
// started through the dynamic loader (ld.so PROGRAM), where it names the loader; AT_EXECFN names
// the file given to exec (the loader rewrites it to the program's path) and needs no /proc.
// Neither may name the loader: its folder is no place for our settings. Empty when neither tells.
std::string FindExecutable() {
    std::string loader;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type == PT_INTERP) {
                    *static_cast<std::string*>(found) =
                        reinterpret_cast<const char*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                }
            }
            return 1;  // the first object is the program itself
        },
        &loader);
    struct stat loaderFile {};
    const bool haveLoader = !loader.empty() && stat(loader.c_str(), &loaderFile) == 0;
    const auto usable = [&](const char* path) {
        struct stat file {};
        return path != nullptr && stat(path, &file) == 0 && S_ISREG(file.st_mode) &&
               !(haveLoader && file.st_dev == loaderFile.st_dev &&
                 file.st_ino == loaderFile.st_ino);
    };
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        buffer[length] = '\0';
        if (usable(buffer)) return buffer;
    }
    const auto* execFn = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    if (usable(execFn) && realpath(execFn, buffer) != nullptr) return buffer;
    return {};
}

}  // namespace

std::wstring ExecutableDirectory() {
    if (!DirectoryOverride().empty()) return DirectoryOverride();
    static const std::wstring folder = [] {
        const std::string path = FindExecutable();
        if (path.empty()) {
            std::fputs(
                "diff-zarvo: cannot tell which folder this program lies in, so its "
                "settings (Zarvo.ini) are neither read nor saved\n",
                stderr);
            return std::wstring();
        }
        const size_t slash = path.find_last_of('/');
        return FromUtf8(slash == 0 ? "/" : path.substr(0, slash));
    }();
    return folder;
}

// Bare when our folder is unknown: looked up on PATH.
std::wstring BundledComparisonTool() {
    const std::wstring folder = ExecutableDirectory();
    return folder.empty() ? L"diff-zarvo-view" : folder + L"/diff-zarvo-view";
}

long StartProgram(const CommandLine& command) {
    const std::string program = ToUtf8(command.program);
    const std::string resolved = ResolveProgram(program);
    std::string first = ToUtf8(command.first);
    std::string second = ToUtf8(command.second);
    std::string argv0 = program;
    char* const argv[] = {argv0.data(), first.data(), second.data(), nullptr};
    const long maxFd = std::max(sysconf(_SC_OPEN_MAX), 1024L);

    ChildStacks stacks;
    if (!stacks.ok()) Fail(errno);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) Fail(errno);
    Launch launch{resolved.c_str(), argv, pipeFds[1], maxFd, stacks.SecondTop()};
    // No handler of ours may run in a child that shares our memory; the grandchild unblocks
    // signals once their handlers are back to the defaults.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t child =
        clone(Intermediate, stacks.FirstTop(), CLONE_VM | CLONE_VFORK | SIGCHLD, &launch);
    const int cloneError = errno;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        Fail(cloneError);
    }
    close(pipeFds[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    long pid = 0;
    int failure = 0;
    for (;;) {
        int message[2];
        const ssize_t n = read(pipeFds[0], message, sizeof message);
        if (n < 0 && errno == EINTR) continue;
        if (n != static_cast<ssize_t>(sizeof message)) break;
        if (message[0] == kStarted) pid = message[1];
        if (message[0] == kExecFailed) failure = message[1];
    }
    close(pipeFds[0]);
    if (failure != 0) Fail(failure);
    if (pid == 0) Fail(EAGAIN);  // the children died without a word
    return pid;
}

namespace testing {

void OverrideExecutableDirectory(const std::wstring& dir) { DirectoryOverride() = dir; }
void OverrideArgumentText(const std::wstring& text) { StoredArguments() = text; }
void OverrideCommandLine(const std::wstring& text) { StoredArguments() = TakeArgumentText(text); }

}  // namespace testing

}  // namespace platform
