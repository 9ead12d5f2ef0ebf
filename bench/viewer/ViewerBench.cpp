// Times diff-zarvo-view from start to its first painted window, and its peak memory, on
// generated files, against GNU diff on the same files in the same run. Prints ratios. A program
// still running after a minute is stopped and said to be so.
//
// Usage: viewer_bench [VIEWER [EARLIER_VIEWER]]
//        viewer_bench --keys (find, F8 and go to line on the 1,000,000-line pair only)
//   VIEWER defaults to the one built beside this benchmark. With EARLIER_VIEWER (say, main's
//   build), that one is timed too, its runs taking turns with VIEWER's, and the last column is
//   VIEWER's time over it: a change to the viewer is measured against what it changes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <spawn.h>
#include <fcntl.h>
#include <signal.h>
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

#include "Comparison.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Run {
    double seconds = 0;
    long peakKib = 0;
    int status = 0;
    bool timedOut = false;
};

// A program that runs longer than this is stopped: an earlier viewer may never finish.
constexpr int kMostSeconds = 60;

// Takes a pending SIGCHLD of a child already reaped, so that waiting for the next one waits.
void ForgetEndedChildren() {
    sigset_t child;
    sigemptyset(&child);
    sigaddset(&child, SIGCHLD);
    const timespec now{0, 0};
    while (sigtimedwait(&child, nullptr, &now) > 0) {
    }
}

// Starts the program with stdout and stderr sent to /dev/null and waits for it, at most
// kMostSeconds; wait4 gives the child's own peak resident size.
Run Measure(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    // The program gets the usual signal mask, not this one's.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

    ForgetEndedChildren();
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(2);
    }
    // SIGCHLD is blocked (main), so it waits here until the child ends or the time is up.
    sigset_t child;
    sigemptyset(&child);
    sigaddset(&child, SIGCHLD);
    const timespec most{kMostSeconds, 0};
    if (sigtimedwait(&child, nullptr, &most) < 0) {
        run.timedOut = true;
        kill(pid, SIGKILL);
    }
    struct rusage usage {};
    wait4(pid, &run.status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKib = usage.ru_maxrss;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return run;
}

std::string MakeLine(std::mt19937& random, long number) {
    static const char* const kWords[] = {"value",  "count", "buffer",   "index", "path",
                                         "result", "比較",  "ファイル", "行",    "差分"};
    std::uniform_int_distribution<int> word(0, 9);
    std::uniform_int_distribution<int> indent(0, 3);
    char line[160];
    std::snprintf(line, sizeof line, "%*s%s_%ld = %s(%u, \"%s\");", indent(random) * 4, "",
                  kWords[word(random)], number, kWords[word(random)],
                  static_cast<unsigned>(random() % 1000), kWords[word(random)]);
    return line;
}

// A line of `kWords` without indent, as MakeLine makes one.
std::string MakeLineOf(const char* const (&words)[10], std::mt19937& random, long number) {
    std::uniform_int_distribution<int> word(0, 9);
    char line[160];
    std::snprintf(line, sizeof line, "%s_%ld = %s(%u, \"%s\");", words[word(random)], number,
                  words[word(random)], static_cast<unsigned>(random() % 1000), words[word(random)]);
    return line;
}

// A line in Latin-1 (ISO 8859-1) bytes: neither UTF-8 nor CP932, so the viewer shows it in its
// single-byte fallback.
std::string MakeLatin1Line(std::mt19937& random, long number) {
    // Octal escapes: a hex escape would run on into the letters after it.
    static const char* const kWords[] = {"caf\351",   "na\357ve", "r\351sum\351", "\351t\351",
                                         "gar\347on", "pi\361a",  "stra\337e",    "\374ber",
                                         "ni\361o",   "fa\347ade"};
    return MakeLineOf(kWords, random, number);
}

// A line in Shift_JIS (CP932) bytes, as Japanese Windows writes it.
std::string MakeCp932Line(std::mt19937& random, long number) {
    // 比較, ファイル, 行, 差分 in CP932.
    static const char* const kWords[] = {
        "value",    "count",           "buffer",           "index",
        "path",     "result",          "\x94\xe4\x8a\x72", "\x83\x74\x83\x40\x83\x43\x83\x8b",
        "\x8d\x73", "\x8d\xb7\x95\xaa"};
    return MakeLineOf(kWords, random, number);
}

// A line of about 10 KB: minified code, data on one line.
std::string MakeLongLine(std::mt19937& random, long number) {
    std::string line = "row" + std::to_string(number) + ":";
    while (line.size() < 10'000) line += MakeLine(random, number) + ' ';
    return line;
}

using LineMaker = std::string (*)(std::mt19937&, long);

// A source file of `lines` lines, with the braces, blank lines and returns a real one repeats,
// and the same lines in another order: shuffled, or sorted.
void MakeReordered(const fs::path& first, const fs::path& second, long lines, bool sorted) {
    static const char* const kRepeated[] = {"}", "", "    return 0;", "{", "};", "public:"};
    std::mt19937 random(static_cast<unsigned>(lines));
    std::vector<std::string> text;
    for (long i = 0; i < lines; ++i) {
        text.push_back(random() % 3 == 0 ? kRepeated[random() % 6] : MakeLine(random, i));
    }
    {
        std::ofstream out(first, std::ios::binary);
        for (const std::string& line : text) out << line << '\n';
    }
    if (sorted) {
        std::sort(text.begin(), text.end());
    } else {
        for (size_t i = text.size(); i > 1; --i) std::swap(text[i - 1], text[random() % i]);
    }
    std::ofstream out(second, std::ios::binary);
    for (const std::string& line : text) out << line << '\n';
}

// Writes a file of `lines` lines and a copy with `changes` scattered edits: a third replaced
// lines (an edit at the line's end), a third removed, a third added.
void MakePair(const fs::path& first, const fs::path& second, long lines, long changes,
              LineMaker makeLine = MakeLine, const char* end = "\n") {
    std::mt19937 random(static_cast<unsigned>(lines));
    std::vector<std::string> text;
    text.reserve(static_cast<size_t>(lines));
    for (long i = 0; i < lines; ++i) text.push_back(makeLine(random, i));
    {
        std::ofstream out(first, std::ios::binary);
        for (const std::string& line : text) out << line << end;
    }
    std::vector<int> edit(static_cast<size_t>(lines), 0);
    std::uniform_int_distribution<long> where(0, lines - 1);
    for (long i = 0; i < changes; ++i) edit[static_cast<size_t>(where(random))] = 1 + i % 3;
    std::ofstream out(second, std::ios::binary);
    for (long i = 0; i < lines; ++i) {
        const std::string& line = text[static_cast<size_t>(i)];
        switch (edit[static_cast<size_t>(i)]) {
            case 1:
                out << line << " // changed" << end;
                break;
            case 2:
                break;
            case 3:
                out << "inserted_" << i << "();" << end << line << end;
                break;
            default:
                out << line << end;
        }
    }
}

// Writes a copy of `from` with `changes` scattered edits as MakePair makes them, placed by `seed`:
// two copies with two seeds are two sides of a merge, their changes mostly apart.
void EditCopy(const fs::path& from, const fs::path& to, long changes, unsigned seed) {
    std::vector<std::string> text;
    {
        std::ifstream in(from, std::ios::binary);
        for (std::string line; std::getline(in, line);) text.push_back(line);
    }
    std::mt19937 random(seed);
    std::vector<int> edit(text.size(), 0);
    std::uniform_int_distribution<size_t> where(0, text.size() - 1);
    for (long i = 0; i < changes; ++i) edit[where(random)] = 1 + static_cast<int>(i % 3);
    std::ofstream out(to, std::ios::binary);
    for (size_t i = 0; i < text.size(); ++i) {
        if (edit[i] == 1) out << text[i] << " // changed " << seed << '\n';
        if (edit[i] == 3) out << "inserted_" << seed << '_' << i << "();\n" << text[i] << '\n';
        if (edit[i] == 0) out << text[i] << '\n';
    }
}

// The median of each command's runs, the commands taking turns, so that a change in the
// machine's load falls on all of them alike.
std::vector<Run> Medians(const std::vector<std::vector<std::string>>& commands, int runs) {
    std::vector<std::vector<Run>> all(commands.size());
    for (int i = 0; i < runs; ++i) {
        for (size_t c = 0; c < commands.size(); ++c) {
            // A program that ran out of time once is not run again.
            if (i == 0 || !all[c].front().timedOut) all[c].push_back(Measure(commands[c]));
        }
    }
    std::vector<Run> medians;
    for (std::vector<Run>& runsOfOne : all) {
        std::sort(runsOfOne.begin(), runsOfOne.end(),
                  [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
        Run median = runsOfOne[runsOfOne.size() / 2];
        for (const Run& run : runsOfOne) median.peakKib = std::max(median.peakKib, run.peakKib);
        medians.push_back(median);
    }
    return medians;
}

void Compare(const char* title, const std::string& viewer, const std::string& earlier,
             const fs::path& a, const fs::path& b) {
    const int runs = 5;
    std::vector<std::vector<std::string>> commands = {
        {"/usr/bin/diff", a.string(), b.string()},
        {viewer, "--exit-when-shown", a.string(), b.string()}};
    if (!earlier.empty())
        commands.push_back({earlier, "--exit-when-shown", a.string(), b.string()});
    const std::vector<Run> medians = Medians(commands, runs);
    const Run& diff = medians[0];
    const Run& view = medians[1];
    if (view.timedOut || !WIFEXITED(view.status) || WEXITSTATUS(view.status) != 0) {
        std::fprintf(stderr, "the viewer failed on %s\n", title);
        std::exit(1);
    }
    std::printf("%-44s %9.3f s %9.3f s %7.1fx %9ld KiB %9ld KiB %7.1fx", title, diff.seconds,
                view.seconds, view.seconds / diff.seconds, diff.peakKib, view.peakKib,
                static_cast<double>(view.peakKib) / static_cast<double>(diff.peakKib));
    if (!earlier.empty()) {
        const Run& before = medians[2];
        if (before.timedOut) {
            std::printf("  > %d s (stopped)", kMostSeconds);
        } else {
            std::printf(" %9.3f s %7.2fx %9ld KiB", before.seconds, view.seconds / before.seconds,
                        before.peakKib);
        }
    }
    std::printf("\n");
}

// `--merge` against `diff3 -m` on the same three files; conflicts (exit 1) are expected.
void CompareMerge(const char* title, const std::string& viewer, const fs::path& mine,
                  const fs::path& base, const fs::path& theirs) {
    const std::vector<Run> medians =
        Medians({{"/usr/bin/diff3", "-m", mine.string(), base.string(), theirs.string()},
                 {viewer, "--merge", mine.string(), base.string(), theirs.string()}},
                5);
    const Run& diff3 = medians[0];
    const Run& view = medians[1];
    if (view.timedOut || !WIFEXITED(view.status) || WEXITSTATUS(view.status) > 1) {
        std::fprintf(stderr, "the viewer failed on %s\n", title);
        std::exit(1);
    }
    std::printf("%-44s %9.3f s %9.3f s %7.1fx %9ld KiB %9ld KiB %7.1fx  (against diff3 -m)\n",
                title, diff3.seconds, view.seconds, view.seconds / diff3.seconds, diff3.peakKib,
                view.peakKib,
                static_cast<double>(view.peakKib) / static_cast<double>(diff3.peakKib));
}

// The merge window's start-up against the two-way window's on one pair of the same files (MINE
// against BASE): both to their first painted window. An unsaved merge exits 1. With an earlier
// viewer, its merge window is timed too, and the last column is this one's time over it.
void CompareMergeWindow(const char* title, const std::string& viewer, const std::string& earlier,
                        const fs::path& mine, const fs::path& base, const fs::path& theirs) {
    std::vector<std::vector<std::string>> commands = {
        {viewer, "--exit-when-shown", mine.string(), base.string()},
        {viewer, "--exit-when-shown", mine.string(), base.string(), theirs.string()}};
    if (!earlier.empty()) {
        commands.push_back(
            {earlier, "--exit-when-shown", mine.string(), base.string(), theirs.string()});
    }
    const std::vector<Run> medians = Medians(commands, 5);
    const Run& pair = medians[0];
    const Run& merge = medians[1];
    if (merge.timedOut || !WIFEXITED(merge.status) || WEXITSTATUS(merge.status) > 1) {
        std::fprintf(stderr, "the viewer failed on %s\n", title);
        std::exit(1);
    }
    std::printf("%-44s %9.3f s %9.3f s %7.1fx %9ld KiB %9ld KiB %7.1fx", title, pair.seconds,
                merge.seconds, merge.seconds / pair.seconds, pair.peakKib, merge.peakKib,
                static_cast<double>(merge.peakKib) / static_cast<double>(pair.peakKib));
    if (!earlier.empty()) {
        const Run& before = medians[2];
        if (before.timedOut) {
            std::printf("  > %d s (stopped)", kMostSeconds);
        } else {
            std::printf(" %9.3f s %7.2fx %9ld KiB", before.seconds, merge.seconds / before.seconds,
                        before.peakKib);
        }
    }
    std::printf("  (against the two-way window)\n");
}

// The slowest of five runs of `key`, in milliseconds.
template <typename Key>
double SlowestMs(Key key) {
    double slowest = 0;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        key();
        slowest = std::max(slowest, std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
    }
    return slowest;
}

void TimeKeys(const fs::path& a, const fs::path& b) {
    const viewer::Comparison c = viewer::Compare(a, b);
    const std::size_t middle = c.rows().size() / 2;
    std::printf("\nkeys on 1,000,000 lines (slowest of 5, in this process):\n");
    std::printf("  F8 from the middle            %8.3f ms\n",
                SlowestMs([&] { (void)c.NextDifference(middle); }));
    std::printf("  go to line 765,432            %8.3f ms\n",
                SlowestMs([&] { (void)c.RowOfLine(viewer::Side::First, 765'432); }));
    // Not there at all: the whole file is looked through.
    std::printf("  find \"nowhere\" (not found)    %8.3f ms\n",
                SlowestMs([&] { (void)c.Find(u"nowhere", middle, true); }));
    std::printf("  find it backwards             %8.3f ms\n",
                SlowestMs([&] { (void)c.Find(u"nowhere", middle, false); }));
    // All of it hex digits, as a character's code ("<U+C0FF>") could be.
    std::printf("  find \"c0ffee\" (not found)     %8.3f ms\n",
                SlowestMs([&] { (void)c.Find(u"c0ffee", middle, true); }));
    // Not ASCII: every line is decoded.
    std::printf("  find \"差分です\" (not found)   %8.3f ms\n",
                SlowestMs([&] { (void)c.Find(u"差分です", middle, true); }));
    std::printf("  find \"changed\" from the top   %8.3f ms\n",
                SlowestMs([&] { (void)c.Find(u"Changed", std::nullopt, true); }));
    std::printf("  find \"比較\" (decodes lines)   %8.3f ms\n",
                SlowestMs([&] { (void)c.Find(u"比較(999", middle, true); }));
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each row as soon as it is measured
    const bool keysOnly = argc > 1 && std::string(argv[1]) == "--keys";
    const std::string viewer = argc > 1 && !keysOnly ? argv[1] : ZARVO_VIEWER_PROGRAM;
    const std::string earlier = argc > 2 ? argv[2] : "";
    // The viewer is timed to its first painted window; without a display, Qt paints offscreen.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    sigset_t child;
    sigemptyset(&child);
    sigaddset(&child, SIGCHLD);
    sigprocmask(SIG_BLOCK, &child, nullptr);
    const fs::path dir = fs::temp_directory_path() / ("zarvo-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);

    // The files are made in a child process: a child's peak resident size counts the memory it
    // shared with its parent before exec, so this process must stay small for honest figures.
    const pid_t maker = fork();
    if (maker == 0 && keysOnly) {
        MakePair(dir / "a1m.txt", dir / "b1m.txt", 1'000'000, 1'000);
        _exit(0);
    }
    if (maker == 0) {
        MakePair(dir / "a1.txt", dir / "b1.txt", 1, 1);
        MakePair(dir / "a100k.txt", dir / "b100k.txt", 100'000, 1'000);
        // A merge: two copies of a base, 1,000 changes each.
        EditCopy(dir / "a100k.txt", dir / "mine100k.txt", 1'000, 1);
        EditCopy(dir / "a100k.txt", dir / "theirs100k.txt", 1'000, 2);
        MakePair(dir / "a1m.txt", dir / "b1m.txt", 1'000'000, 1'000);
        EditCopy(dir / "a1m.txt", dir / "mine1m.txt", 1'000, 1);
        EditCopy(dir / "a1m.txt", dir / "theirs1m.txt", 1'000, 2);
        fs::copy_file(dir / "a1m.txt", dir / "copy1m.txt");
        // About 200 MB a file: more than the window once compared by lines.
        MakePair(dir / "a5m.txt", dir / "b5m.txt", 5'000'000, 1'000);
        MakePair(dir / "aLatin1.txt", dir / "bLatin1.txt", 100'000, 1'000, MakeLatin1Line);
        MakePair(dir / "aCp932.txt", dir / "bCp932.txt", 100'000, 1'000, MakeCp932Line, "\r\n");
        MakePair(dir / "aLong.txt", dir / "bLong.txt", 2'000, 100, MakeLongLine);
        MakeReordered(dir / "aSource.txt", dir / "bSorted.txt", 4'000, true);
        MakeReordered(dir / "a20k.txt", dir / "bShuffled.txt", 20'000, false);
        // Sixty million empty lines, one of them changed half way: the cost of a line alone.
        std::string empty(60'000'000, '\n');
        std::ofstream(dir / "aEmpty.txt", std::ios::binary) << empty;
        empty[30'000'000] = 'x';
        std::ofstream(dir / "bEmpty.txt", std::ios::binary) << empty;
        _exit(0);
    }
    int status = 0;
    waitpid(maker, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 2;
    ForgetEndedChildren();  // the maker's own end
    if (keysOnly) {
        TimeKeys(dir / "a1m.txt", dir / "b1m.txt");
        std::error_code ignored;
        fs::remove_all(dir, ignored);
        return 0;
    }

    std::printf("%-44s %11s %11s %8s %13s %13s %8s", "files (median of 5 runs)", "diff", "viewer",
                "ratio", "diff peak", "viewer peak", "ratio");
    if (!earlier.empty()) std::printf(" %11s %8s %13s", "earlier", "ratio", "earlier peak");
    std::printf("\n");
    // The floor: what starting Qt and painting a window costs, whatever the files.
    Compare("1 line each (start-up alone)", viewer, earlier, dir / "a1.txt", dir / "b1.txt");
    Compare("100,000 lines, 1,000 changes", viewer, earlier, dir / "a100k.txt", dir / "b100k.txt");
    Compare("100,000 lines, identical", viewer, earlier, dir / "a100k.txt", dir / "a100k.txt");
    Compare("1,000,000 lines, 1,000 changes", viewer, earlier, dir / "a1m.txt", dir / "b1m.txt");
    Compare("1,000,000 lines, identical", viewer, earlier, dir / "a1m.txt", dir / "a1m.txt");
    Compare("1,000,000 lines, an identical copy", viewer, earlier, dir / "a1m.txt",
            dir / "copy1m.txt");
    Compare("5,000,000 lines (200 MB), 1,000 changes", viewer, earlier, dir / "a5m.txt",
            dir / "b5m.txt");
    Compare("100,000 lines CP932 CR LF, 1,000 changes", viewer, earlier, dir / "aCp932.txt",
            dir / "bCp932.txt");
    Compare("100,000 Latin-1 lines, 1,000 changes", viewer, earlier, dir / "aLatin1.txt",
            dir / "bLatin1.txt");
    Compare("2,000 lines of 10 KB (20 MB), 100 changes", viewer, earlier, dir / "aLong.txt",
            dir / "bLong.txt");
    Compare("60,000,000 empty lines, 1 change", viewer, earlier, dir / "aEmpty.txt",
            dir / "bEmpty.txt");

    // Where a minimal diff is costly: the diff settles for a near-minimal one.
    Compare("4,000 source lines against themselves sorted", viewer, earlier, dir / "aSource.txt",
            dir / "bSorted.txt");
    Compare("20,000 lines against themselves shuffled", viewer, earlier, dir / "a20k.txt",
            dir / "bShuffled.txt");

    // The three-way merge written out, against diff3 -m.
    CompareMerge("merge: 100,000 lines, 1,000 changes a side", viewer, dir / "mine100k.txt",
                 dir / "a100k.txt", dir / "theirs100k.txt");
    CompareMergeWindow("merge window: the same three files", viewer, earlier, dir / "mine100k.txt",
                       dir / "a100k.txt", dir / "theirs100k.txt");
    CompareMergeWindow("merge window: 1,000,000 lines, 1,000 changes a side", viewer, earlier,
                       dir / "mine1m.txt", dir / "a1m.txt", dir / "theirs1m.txt");

    // The keys on the 1,000,000-line pair, on the comparison itself (the session asks the same).
    TimeKeys(dir / "a1m.txt", dir / "b1m.txt");

    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
