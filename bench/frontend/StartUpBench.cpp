// Start-up to the first shown window, and peak memory, of the front end against a bare Qt window
// with the same widgets. Each run is a fresh process; both are measured alternately in the same
// run, offscreen and, where Xvfb is installed, on a real X server.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

struct Run {
    double shownMs = -1;
    double peakKb = 0;
};

// Starts probe with the given Qt platform and display; times it to its first shown window and
// reads its peak resident size when it ends.
Run RunProbe(const std::string& probe, const std::string& platform, const std::string& display) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    const double start = bench::NowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        setenv("ZARVO_BENCH_FD", std::to_string(pipeFds[1]).c_str(), 1);
        setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
        if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
        execl(probe.c_str(), probe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    Run run;
    char shown;
    if (read(pipeFds[0], &shown, 1) == 1) run.shownMs = bench::NowMs() - start;
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) run.shownMs = -1;
    run.peakKb = static_cast<double>(usage.ru_maxrss);
    return run;
}

// An X server of our own on a free display; it names the display through a pipe when ready.
struct Xvfb {
    pid_t pid = -1;
    std::string display;
    Xvfb() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(pipeFds[0]);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDERR_FILENO);
            const std::string fd = std::to_string(pipeFds[1]);
            execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen",
                  "0", "1280x1024x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        char buffer[32];
        std::string number;
        ssize_t n;
        while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
            number.append(buffer, static_cast<size_t>(n));
            if (number.find('\n') != std::string::npos) break;
        }
        close(pipeFds[0]);
        if (!number.empty() && number.find('\n') != std::string::npos) {
            display.push_back(':');
            display.append(number, 0, number.find('\n'));
        }
    }
    ~Xvfb() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

bool Measure(const std::string& label, const std::string& platform, const std::string& display,
             int runs) {
    const std::string folder = bench::OwnFolder();
    const std::string frontEnd = folder + "/zarvo_bench_frontend_probe";
    const std::string bare = folder + "/zarvo_bench_bare_window_probe";
    // Warm the page cache and the font cache for both before counting.
    for (int i = 0; i < 2; ++i)
        RunProbe(frontEnd, platform, display), RunProbe(bare, platform, display);
    std::vector<double> frontMs, bareMs, frontKb, bareKb;
    for (int i = 0; i < runs; ++i) {
        const Run a = RunProbe(frontEnd, platform, display);
        const Run b = RunProbe(bare, platform, display);
        if (a.shownMs < 0 || b.shownMs < 0) {
            std::printf("%s: a probe failed to show its window\n", label.c_str());
            return false;
        }
        frontMs.push_back(a.shownMs), bareMs.push_back(b.shownMs);
        frontKb.push_back(a.peakKb), bareKb.push_back(b.peakKb);
    }
    const double timeRatio = bench::Median(frontMs) / bench::Median(bareMs);
    const double memoryRatio = bench::Median(frontKb) / bench::Median(bareKb);
    std::printf(
        "%-10s start-up to first shown window: front end %7.1f ms, bare Qt window %7.1f ms,"
        " ratio %.2f (goal <= 1.20) %s\n",
        label.c_str(), bench::Median(frontMs), bench::Median(bareMs), timeRatio,
        timeRatio <= 1.2 ? "met" : "MISSED");
    std::printf(
        "%-10s peak memory (ru_maxrss):        front end %7.1f MB, bare Qt window %7.1f MB,"
        " ratio %.2f (goal <= 1.10) %s\n",
        label.c_str(), bench::Median(frontKb) / 1024, bench::Median(bareKb) / 1024, memoryRatio,
        memoryRatio <= 1.1 ? "met" : "MISSED");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    std::printf("Start-up, median of %d alternating runs of each\n", runs);
    bool ok = Measure("offscreen", "offscreen", "", runs);
    Xvfb server;
    if (!server.display.empty()) {
        ok = Measure("xvfb", "xcb", server.display, runs) && ok;
    } else {
        std::printf("xvfb       not measured: Xvfb is not installed or did not start\n");
    }
    return ok ? 0 : 1;
}
