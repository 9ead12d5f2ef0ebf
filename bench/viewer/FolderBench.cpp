// Times the folder comparison to its complete list against `diff -rq` on the same two trees in
// the same run: 20,000 files in nested folders, the second tree with 100 files changed (half of
// them keeping their size, so that only their bytes tell), 50 added and 50 removed. Prints the
// median of the runs and the ratio. Not a test; run it by hand: viewer_folder_bench [FILES]
#include <sys/wait.h>
#include <spawn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "FolderCompare.h"
#include "FolderSession.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double TimeDiff(const fs::path& a, const fs::path& b) {
    const std::string program = "/usr/bin/diff";
    std::vector<std::string> command = {program, "-rq", a.string(), b.string()};
    std::vector<char*> argv;
    for (std::string& part : command) argv.push_back(part.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(2);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = Seconds(start);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 1) {
        std::fprintf(stderr, "diff -rq did not find the differences\n");
        std::exit(2);
    }
    return seconds;
}

class Count : public viewer::FolderSink {
public:
    void Added(const viewer::FolderEntry& entry) override {
        if (entry.state != viewer::FolderState::Same) ++differing;
        ++entries;
    }
    void Changed(std::int32_t, viewer::FolderState) override {}
    void Progress(const viewer::FolderProgress&) override {}
    long entries = 0;
    long differing = 0;
};

double TimeCore(const fs::path& a, const fs::path& b, long& entries) {
    const auto start = std::chrono::steady_clock::now();
    Count count;
    viewer::SideErrors error;
    viewer::CompareFolders(a, b, count, {}, error);
    const double seconds = Seconds(start);
    entries = count.entries;
    return seconds;
}

// The way a window runs it: on its own thread, the list taken from the queue.
double TimeThreaded(const fs::path& a, const fs::path& b) {
    const auto start = std::chrono::steady_clock::now();
    viewer::FolderComparison comparison(a, b);
    comparison.Wait();
    const std::size_t taken = comparison.Poll().added.size();
    const double seconds = Seconds(start);
    if (taken == 0) std::exit(2);
    return seconds;
}

// The way the folder window has it: the session's rows, the same hidden, laid out.
double TimeSession(const fs::path& a, const fs::path& b) {
    const auto start = std::chrono::steady_clock::now();
    viewer::FolderSession session(a, b);
    session.WaitAndPoll();
    if (session.RowCount() == 0) std::exit(2);
    return Seconds(start);
}

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Contents(std::mt19937& random, long number) {
    std::string text;
    const int lines = 20 + static_cast<int>(random() % 60);
    for (int line = 0; line < lines; ++line) {
        text += "line " + std::to_string(line) + " of file " + std::to_string(number) + ": " +
                std::to_string(random()) + '\n';
    }
    return text;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const long files = argc > 1 ? std::atol(argv[1]) : 20000;
    const fs::path root =
        fs::temp_directory_path() / ("zarvo-folder-bench-" + std::to_string(::getpid()));
    const fs::path a = root / "a", b = root / "b";
    std::mt19937 random(7);
    std::vector<fs::path> names;
    for (long i = 0; i < files; ++i) {
        // 20 folders of 20 folders of 50 files, for 20,000.
        const fs::path relative = fs::path("dir" + std::to_string(i / 1000)) /
                                  ("sub" + std::to_string(i / 50 % 20)) /
                                  ("file" + std::to_string(i) + ".txt");
        fs::create_directories(a / relative.parent_path());
        Write(a / relative, Contents(random, i));
        names.push_back(relative);
    }
    fs::copy(a, b, fs::copy_options::recursive);
    std::shuffle(names.begin(), names.end(), random);
    for (int i = 0; i < 100; ++i) {
        std::string bytes;
        {
            std::ifstream in(b / names[i], std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        if (i % 2 == 0) {
            bytes[bytes.size() / 2] ^= 1;  // same size: only the bytes tell
        } else {
            bytes += "one more line\n";
        }
        Write(b / names[i], bytes);
    }
    for (int i = 100; i < 150; ++i) fs::remove(b / names[i]);
    for (int i = 0; i < 50; ++i) {
        Write(b / names[static_cast<std::size_t>(150 + i)].parent_path() /
                  ("added" + std::to_string(i) + ".txt"),
              Contents(random, -i));
    }

    std::vector<double> diffTimes, coreTimes, threadedTimes, sessionTimes;
    long entries = 0;
    TimeDiff(a, b);  // the first run of each fills the file cache
    TimeCore(a, b, entries);
    for (int run = 0; run < 5; ++run) {
        diffTimes.push_back(TimeDiff(a, b));
        coreTimes.push_back(TimeCore(a, b, entries));
        threadedTimes.push_back(TimeThreaded(a, b));
        sessionTimes.push_back(TimeSession(a, b));
    }
    fs::remove_all(root);

    const double diff = Median(diffTimes), core = Median(coreTimes),
                 threaded = Median(threadedTimes), window = Median(sessionTimes);
    std::printf("%-52s %10s %10s %7s %10s %7s %10s %7s\n", "folders (median of 5 runs)", "diff -rq",
                "list", "ratio", "threaded", "ratio", "rows", "ratio");
    std::printf("%-52s %8.3f s %8.3f s %6.2fx %8.3f s %6.2fx %8.3f s %6.2fx\n",
                (std::to_string(files) + " files, 100 changed, 50 added, 50 removed").c_str(), diff,
                core, core / diff, threaded, threaded / diff, window, window / diff);
    std::printf("entries listed: %ld\n", entries);
    return 0;
}
