// btnGo_Click from the click to its return, with a comparison tool that runs for seconds: the
// click must return at once, without waiting for the tool. Measured against its two parts
// (starting the tool, saving the history) and against a bare posix_spawn of the same tool.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../../app/Form1.h"
#include "../../platform/Application.h"
#include "../../platform/Process.h"
#include "../../platform/Testing.h"
#include "../../platform/Text.h"
#include "BenchSupport.h"

namespace {

constexpr int kClicks = 30;

// A folder for the run, with a settings file holding a full history and a slow tool that tells
// its process id through a FIFO the benchmark holds open.
struct Workspace {
    std::filesystem::path dir;
    std::string tool, fifo;
    int fifoFd = -1;
    explicit Workspace(const std::string& base) {
        std::string name = base + "/zarvo-bench-XXXXXX";
        dir = mkdtemp(name.data());
        tool = (dir / "slow-tool").string();
        fifo = (dir / "started").string();
        mkfifo(fifo.c_str(), 0600);
        fifoFd = open(fifo.c_str(), O_RDWR | O_CLOEXEC);
        std::ofstream(tool) << "#!/bin/sh\necho $$ > '" << fifo << "'\nexec sleep 30\n";
        chmod(tool.c_str(), 0755);
        std::ofstream ini(dir / "Zarvo.ini", std::ios::binary);
        ini << "[DiffPath]\r\n";
        for (int i = 1; i <= 8; ++i) ini << "LIST" << i << "=/home/user/file" << i << ".txt\r\n";
    }
    ~Workspace() {
        close(fifoFd);
        std::filesystem::remove_all(dir);
    }
    // Reads the process ids of `count` started tools, waiting on the FIFO as each reports.
    std::vector<pid_t> StartedTools(int count) const {
        std::vector<pid_t> pids;
        std::string text;
        char buffer[256];
        while (static_cast<int>(pids.size()) < count) {
            const ssize_t n = read(fifoFd, buffer, sizeof buffer);
            if (n <= 0) break;
            text.append(buffer, static_cast<size_t>(n));
            size_t newline;
            while ((newline = text.find('\n')) != std::string::npos) {
                pids.push_back(std::atoi(text.substr(0, newline).c_str()));
                text.erase(0, newline + 1);
            }
        }
        return pids;
    }
};

// One pass with the settings file and the tool in a folder under base; false when any tool had
// ended or failed to report by the time the clicks were done.
bool Pass(const std::string& base, const char* label) {
    Workspace space(base);
    platform::testing::OverrideExecutableDirectory(space.dir.wstring());
    Form1 form;
    form.window.Show();
    form.ExePath.SetText(platform::FromUtf8(space.tool));
    form.AcceptFile(L"/home/user/first.txt");

    // The click as a whole; a new file before each keeps every history key changing.
    std::vector<double> clickMs;
    for (int i = 0; i < kClicks; ++i) {
        form.AcceptFile(L"/home/user/new" + std::to_wstring(i) + L".txt");
        const double start = bench::NowMs();
        form.btnGo_Click();
        clickMs.push_back(bench::NowMs() - start);
    }
    // Its two parts, alone.
    std::vector<double> startMs, saveMs, spawnMs;
    platform::CommandLine command{L"", form.ExePath.Text(), form.path1.Text(), form.path2.Text()};
    for (int i = 0; i < kClicks; ++i) {
        double start = bench::NowMs();
        platform::StartProgram(command);
        startMs.push_back(bench::NowMs() - start);
        form.AcceptFile(L"/home/user/again" + std::to_wstring(i) + L".txt");
        start = bench::NowMs();
        form.SaveHistory();
        saveMs.push_back(bench::NowMs() - start);
    }
    // The baseline: the plainest start of the same tool the C library offers.
    std::vector<pid_t> children;
    for (int i = 0; i < kClicks; ++i) {
        char* const args[] = {space.tool.data(), nullptr};
        pid_t pid;
        const double start = bench::NowMs();
        if (posix_spawn(&pid, space.tool.c_str(), nullptr, nullptr, args, environ) == 0) {
            spawnMs.push_back(bench::NowMs() - start);
            children.push_back(pid);
        }
    }

    // Every tool must still be running: the click did not wait for any of them.
    const std::vector<pid_t> tools =
        space.StartedTools(2 * kClicks + static_cast<int>(children.size()));
    int running = 0;
    for (const pid_t pid : tools) running += kill(pid, 0) == 0 ? 1 : 0;
    for (const pid_t pid : tools) kill(pid, SIGTERM);
    for (const pid_t pid : children) waitpid(pid, nullptr, 0);

    const double click = bench::Median(clickMs);
    std::printf("\nLaunch, %d clicks with a tool that runs for 30 s; settings file on %s\n",
                kClicks, label);
    std::printf("btnGo_Click, click to return: median %.2f ms, max %.2f ms (goal < 5 ms) %s\n",
                click, bench::Max(clickMs), bench::Max(clickMs) < 5 ? "met" : "MISSED");
    std::printf("  starting the tool alone:    median %.2f ms\n", bench::Median(startMs));
    std::printf("  saving the history alone:   median %.2f ms (8 keys)\n", bench::Median(saveMs));
    std::printf("  bare posix_spawn baseline:  median %.2f ms; click / baseline ratio %.1f\n",
                bench::Median(spawnMs), click / bench::Median(spawnMs));
    std::printf("  tools still running when the clicks were done: %d of %zu\n", running,
                tools.size());
    return running == static_cast<int>(tools.size()) && !tools.empty();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application application(argc, argv);
    // A real disk, where each write's fsync waits for the device; then memory, where it does
    // not, which leaves the program's own share of the time.
    bool ok = Pass("/tmp", "/tmp (a disk: every write waits for fsync)");
    if (access("/dev/shm", W_OK) == 0)
        ok = Pass("/dev/shm", "/dev/shm (tmpfs: fsync costs nothing)") && ok;
    return ok ? 0 : 1;
}
