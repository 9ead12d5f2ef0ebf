// Form_Load on settings files of different sizes and shapes, each against a clean 200-byte file
// measured in the same run: what a large or damaged settings file costs the start.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../../app/Form1.h"
#include "../../platform/Application.h"
#include "../../platform/Testing.h"
#include "BenchSupport.h"
#include "faults/DamagedFiles.h"

namespace {

// About 200 bytes: a tool and a few history entries.
const std::string kSmall =
    "[WINDIFF]\r\nExePath=/usr/bin/diff-zarvo-view\r\n[DiffPath]\r\n"
    "LIST1=/home/user/doc/report-v2.txt\r\nLIST2=/home/user/doc/report-v1.txt\r\n"
    "LIST3=/home/user/src/main.c\r\nLIST4=/home/user/src/main.c.orig\r\n";

// About 1 MB: the same keys after a megabyte of other sections, so every read crosses all of it.
std::string OneMegabyte() {
    std::string text;
    for (int section = 0; text.size() < (1 << 20); ++section) {
        text += "[Other" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 100; ++key) {
            text += "key" + std::to_string(key) + "=some value that another program left here\r\n";
        }
    }
    return text + kSmall;
}

// Median time of Form_Load alone (the window is built before the clock starts).
double FormLoadMs(const std::filesystem::path& dir, int runs) {
    platform::testing::OverrideExecutableDirectory(dir.wstring());
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        Form1 form;
        const double start = bench::NowMs();
        form.Form_Load();
        times.push_back(bench::NowMs() - start);
    }
    return bench::Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Application application(argc, argv);
    testsupport::TempDir small, large;
    testsupport::WriteBytes(small / "Zarvo.ini", kSmall);
    testsupport::WriteBytes(large / "Zarvo.ini", OneMegabyte());
    FormLoadMs(small.path(), 5);  // warm-up

    const double smallMs = FormLoadMs(small.path(), 31);
    const double largeMs = FormLoadMs(large.path(), 31);
    std::printf("Form_Load, median of 31 runs\n");
    std::printf(
        "200-byte settings file: %.3f ms; 1 MB settings file: %.3f ms; ratio %.1f;"
        " extra cost %.2f ms (goal < 50 ms) %s\n",
        smallMs, largeMs, largeMs / smallMs, largeMs - smallMs,
        largeMs - smallMs < 50 ? "met" : "MISSED");

    std::printf(
        "\nForm_Load on damaged settings files, against the clean 200-byte file (%.3f ms)\n",
        smallMs);
    for (const damaged::Case& c : damaged::Cases()) {
        if (c.unreadable) continue;  // as root it reads like any file; the tests cover it
        testsupport::TempDir dir;
        c.make(dir / "Zarvo.ini");
        const bool big = std::filesystem::is_regular_file(dir / "Zarvo.ini") &&
                         std::filesystem::file_size(dir / "Zarvo.ini") > (1 << 20);
        const double ms = FormLoadMs(dir.path(), big ? 5 : 31);
        const auto size = std::filesystem::is_regular_file(dir / "Zarvo.ini")
                              ? std::filesystem::file_size(dir / "Zarvo.ini")
                              : 0;
        std::printf("  %-22s %9ju bytes  %8.3f ms  ratio %6.2f\n", c.name.c_str(),
                    static_cast<uintmax_t>(size), ms, ms / smallMs);
    }
    return 0;
}
