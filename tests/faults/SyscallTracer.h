// Runs a piece of the program's code in a traced child and, at its n-th system call, either
// kills the child with SIGKILL or makes that one call fail with a chosen errno. The call is
// really skipped by the kernel, so the code sees exactly what a failing disk or a crash at that
// point would show it. x86-64 Linux only (the registers that carry the call and its result).
#pragma once

#if defined(__linux__) && defined(__x86_64__)
#define ZARVO_HAVE_SYSCALL_TRACER 1

#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "Children.h"

namespace faults {

// FailOnward: the at-th counted call and every one after it fail, as on a disk that went away.
enum class Fault { None, Kill, Fail, FailOnward };

struct TraceOutcome {
    Ending ending;
    int calls = 0;          // system calls the child entered (the chosen subset, see Counts)
    long faultedCall = -1;  // the number of the call that was killed at or failed, if any
};

// Kills may come at any call. Failures go only to the calls that touch files and folders: the
// allocator's and the runtime's own calls (sanitizers included) are not ours to test.
inline bool Counts(long call, Fault fault) {
    if (fault != Fault::Fail && fault != Fault::FailOnward) {
        return call != SYS_exit_group && call != SYS_exit;
    }
    switch (call) {
        case SYS_open:
        case SYS_openat:
        case SYS_close:
        case SYS_read:
        case SYS_pread64:
        case SYS_write:
        case SYS_pwrite64:
        case SYS_fstat:
        case SYS_stat:
        case SYS_lstat:
        case SYS_newfstatat:
        case SYS_statx:
        case SYS_flock:
        case SYS_fchmod:
        case SYS_fsync:
        case SYS_fdatasync:
        case SYS_fchown:
        case SYS_linkat:
        case SYS_rename:
        case SYS_renameat:
        case SYS_renameat2:
        case SYS_unlink:
        case SYS_unlinkat:
        case SYS_readlink:
        case SYS_readlinkat:
        case SYS_access:
        case SYS_faccessat:
        case SYS_faccessat2:
        case SYS_getrandom:
        case SYS_lseek:
        case SYS_fcntl:
            return true;
        default:
            return false;
    }
}

// An open of an unnamed file (O_TMPFILE), as the body's file system would refuse it if it had none.
inline bool OpensUnnamedFile(const __ptrace_syscall_info& info) {
    return info.entry.nr == SYS_openat && (info.entry.args[2] & O_TMPFILE) == O_TMPFILE;
}

// Runs body in a traced child; at the at-th counted call applies fault (Fail uses error). With
// noUnnamedFiles, every O_TMPFILE open fails with EOPNOTSUPP, as on a file system without them.
inline TraceOutcome Trace(const std::function<int()>& body, Fault fault, int at, int error = EIO,
                          bool noUnnamedFiles = false) {
    TraceOutcome outcome;
    const pid_t pid = fork();
    if (pid == 0) {
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        raise(SIGSTOP);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ptrace(PTRACE_SETOPTIONS, pid, nullptr,
           reinterpret_cast<void*>(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL));
    int pendingError = 0;  // the result to give the skipped call when it returns
    int signalToPass = 0;
    for (;;) {
        ptrace(PTRACE_SYSCALL, pid, nullptr,
               reinterpret_cast<void*>(static_cast<long>(signalToPass)));
        signalToPass = 0;
        if (waitpid(pid, &status, 0) < 0) return outcome;
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            outcome.ending = Decode(status);
            return outcome;
        }
        if (!WIFSTOPPED(status)) continue;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            signalToPass = WSTOPSIG(status) == SIGSTOP ? 0 : WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info{};
        ptrace(PTRACE_GET_SYSCALL_INFO, pid, reinterpret_cast<void*>(sizeof info), &info);
        if (info.op == PTRACE_SYSCALL_INFO_EXIT && pendingError != 0) {
            user_regs_struct regs{};
            ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
            regs.rax = static_cast<unsigned long long>(-static_cast<long long>(pendingError));
            ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
            pendingError = 0;
            continue;
        }
        if (info.op != PTRACE_SYSCALL_INFO_ENTRY) continue;
        const long call = static_cast<long>(info.entry.nr);
        // Skips the call: the kernel runs no call numbered -1, and its result is set on exit.
        const auto skip = [&](int result) {
            user_regs_struct regs{};
            ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
            regs.orig_rax = static_cast<unsigned long long>(-1);
            ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
            pendingError = result;
        };
        if (!Counts(call, fault)) continue;
        const int index = outcome.calls++;
        const bool failsNow = fault == Fault::FailOnward ? index >= at : index == at;
        if (!failsNow || fault == Fault::None) {
            if (noUnnamedFiles && OpensUnnamedFile(info)) skip(EOPNOTSUPP);
            continue;
        }
        if (outcome.faultedCall < 0) outcome.faultedCall = call;
        if (fault == Fault::Kill) {
            kill(pid, SIGKILL);
            outcome.ending = Wait(pid);
            return outcome;
        }
        skip(error);
    }
}

}  // namespace faults

#endif
