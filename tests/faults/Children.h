// Real child processes for the fault tests: run a piece of the program's code in a child, wait
// for it without sleeping, and drop a child's privileges so that permissions bite even for root.
#pragma once

#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "platform/Profile.h"

namespace faults {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// How a child ended: its exit code, or the signal that killed it.
struct Ending {
    bool exited = false;
    int code = -1;
    int signal = 0;
    bool ExitedWith(int expected) const { return exited && code == expected; }
};

inline Ending Decode(int status) {
    Ending ending;
    if (WIFEXITED(status)) ending.exited = true, ending.code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) ending.signal = WTERMSIG(status);
    return ending;
}

inline Ending Wait(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return {};
    }
    return Decode(status);
}

// Forks a child that runs body and exits with its result; nothing of the test runs in it after.
inline pid_t Spawn(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
}

inline Ending RunInChild(const std::function<int()>& body) { return Wait(Spawn(body)); }

// Waits for the child at most timeoutMs through its pidfd; a child still running then is killed
// and reported as killed by SIGKILL, so a hang shows as a failure instead of a stuck suite.
inline Ending WaitWithin(pid_t pid, int timeoutMs) {
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd ready{pidfd, POLLIN, 0};
        while (poll(&ready, 1, timeoutMs) < 0 && errno == EINTR) {
        }
        if (ready.revents == 0) kill(pid, SIGKILL);
        close(pidfd);
    }
    return Wait(pid);
}

// In a child only: become nobody, so that file permissions apply as to an ordinary user.
inline bool BecomeNobody() {
    return setgroups(0, nullptr) == 0 && setgid(kNoGroup) == 0 && setuid(kNobody) == 0;
}

// Exit codes that carry a write's result out of a child.
constexpr int kWriteSucceeded = 0;
constexpr int kWriteFailed = 1;
constexpr int kChildSetUpFailed = 2;

inline int WriteResult(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& file) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str())
               ? kWriteSucceeded
               : kWriteFailed;
}

// The value a profile read gives, with a marker default that no test stores.
inline std::string ReadValue(const std::string& section, const std::string& key,
                             const std::string& file) {
    std::string buffer(1 << 16, '\0');
    const DWORD count =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file.c_str());
    buffer.resize(count);
    return buffer;
}

}  // namespace faults
