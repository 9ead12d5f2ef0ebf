// The real programs started as a user or a desktop would, with a chosen environment, folder and
// way of starting, and watched through their standard error and the files they open.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Children.h"

namespace faults {

// In a child only: a /proc of its own with nothing in it, as on a system without /proc.
inline bool HideProc() {
    return unshare(CLONE_NEWNS) == 0 &&
           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("tmpfs", "/proc", "tmpfs", 0, "size=4k") == 0;
}

struct Start {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
    std::filesystem::path folder;  // the current folder it starts in
    bool withoutProc = false;
    bool fromDescriptor = false;  // fexecve: the program knows no path of its own file
    bool asOrdinaryUser = false;  // nobody, when the tests run as root
};

struct Run {
    Ending ending;
    std::string standardError;
    std::vector<std::string> opened;  // watched files it opened, as folder/name
};

// Starts the program and watches it until it exits, or until done(run) says enough was seen; a
// program still running then is killed (its ending shows SIGKILL). Gives up after 30 s.
inline Run Watch(const Start& start, const std::vector<std::filesystem::path>& watchedFiles,
                 const std::function<bool(const Run&)>& done) {
    Run run;
    const int inotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    std::vector<std::pair<int, std::filesystem::path>> watches;
    for (const auto& file : watchedFiles) {
        watches.emplace_back(inotify_add_watch(inotify, file.parent_path().c_str(), IN_OPEN), file);
    }
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) return run;
    const int program = open(start.argv[0].c_str(), O_RDONLY | O_CLOEXEC);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(errorPipe[1], 2);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        if (chdir(start.folder.c_str()) != 0 || (start.withoutProc && !HideProc())) _exit(120);
        if (start.asOrdinaryUser && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(122);
        }
        std::vector<char*> argv, environment;
        for (const auto& a : start.argv) argv.push_back(const_cast<char*>(a.c_str()));
        for (const auto& e : start.environment) environment.push_back(const_cast<char*>(e.c_str()));
        argv.push_back(nullptr);
        environment.push_back(nullptr);
        if (start.fromDescriptor) {
            fexecve(program, argv.data(), environment.data());
        } else {
            execve(argv[0], argv.data(), environment.data());
        }
        _exit(121);
    }
    close(errorPipe[1]);
    close(program);
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool exited = false, errorOpen = true;
    while (!exited && !done(run) && std::chrono::steady_clock::now() < deadline) {
        pollfd ready[3] = {{pidfd, POLLIN, 0}, {errorPipe[0], POLLIN, 0}, {inotify, POLLIN, 0}};
        if (!errorOpen) ready[1].fd = -1;
        if (poll(ready, 3, 1000) < 0 && errno != EINTR) break;
        if (ready[1].revents != 0) {
            char buffer[4096];
            const ssize_t n = read(errorPipe[0], buffer, sizeof buffer);
            if (n > 0) run.standardError.append(buffer, static_cast<size_t>(n));
            if (n == 0) errorOpen = false;
        }
        if (ready[2].revents != 0) {
            alignas(inotify_event) char buffer[4096];
            const ssize_t n = read(inotify, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                for (const auto& [wd, file] : watches) {
                    if (wd == event->wd && event->len > 0 && file.filename() == event->name) {
                        run.opened.push_back(file.parent_path().filename().string() + "/" +
                                             event->name);
                    }
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        // Once it has exited, what it wrote is all there: read to the end.
        exited = ready[0].revents != 0 && !errorOpen;
    }
    kill(pid, SIGKILL);
    run.ending = Wait(pid);
    close(pidfd);
    close(errorPipe[0]);
    close(inotify);
    return run;
}

}  // namespace faults
