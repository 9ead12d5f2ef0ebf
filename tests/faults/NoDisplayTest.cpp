// The front end and the viewer started where there is no display: one line on stderr that says
// what is missing and what to set, and exit status 1, instead of Qt's abort. The offscreen
// platform, asked for explicitly, still starts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Children.h"
#include "Programs.h"
#include "support/TempDir.h"

namespace {

class NoDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(dir.path().c_str(), 0700);
        testsupport::WriteBytes(dir / "a.txt", "a\n");
        testsupport::WriteBytes(dir / "b.txt", "b\n");
    }
    // Each program with the environment given, on top of a clean one.
    std::vector<faults::Run> RunBoth(const std::vector<std::string>& environment) {
        std::vector<std::string> clean = {"PATH=/usr/bin:/bin", "HOME=" + dir.path().string(),
                                          "XDG_RUNTIME_DIR=" + dir.path().string()};
        clean.insert(clean.end(), environment.begin(), environment.end());
        std::vector<faults::Run> runs;
        for (const char* program : {ZARVO_FRONT_END, ZARVO_VIEWER}) {
            faults::Start start{{program, (dir / "a.txt").string(), (dir / "b.txt").string()},
                                clean,
                                dir.path(),
                                false,
                                false};
            runs.push_back(faults::Watch(start, {}, [](const faults::Run&) { return false; }));
        }
        return runs;
    }
    testsupport::TempDir dir;
};

TEST_F(NoDisplayTest, WithoutADisplayBothProgramsSayWhatToSetAndExitWithOne) {
    const std::vector<std::string> programs = {"diff-zarvo", "diff-zarvo-view"};
    // No display at all.
    auto runs = RunBoth({});
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_TRUE(runs[i].ending.ExitedWith(1)) << programs[i] << ": exit " << runs[i].ending.code
                                                  << ", signal " << runs[i].ending.signal;
        EXPECT_EQ(runs[i].standardError,
                  programs[i] +
                      ": no display to open a window on: neither DISPLAY nor WAYLAND_DISPLAY is "
                      "set; start it in a desktop session, or set DISPLAY (X11) or "
                      "WAYLAND_DISPLAY (Wayland)\n");
    }
    // An X display that is not there, and a Wayland session that has gone.
    ASSERT_FALSE(std::filesystem::exists("/tmp/.X11-unix/X4242"));
    runs = RunBoth({"DISPLAY=:4242", "WAYLAND_DISPLAY=wayland-gone", "XDG_SESSION_TYPE=wayland"});
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_TRUE(runs[i].ending.ExitedWith(1)) << programs[i] << ": exit " << runs[i].ending.code
                                                  << ", signal " << runs[i].ending.signal;
        EXPECT_EQ(runs[i].standardError,
                  programs[i] +
                      ": cannot connect to the display (DISPLAY=:4242, "
                      "WAYLAND_DISPLAY=wayland-gone); set DISPLAY or WAYLAND_DISPLAY to a running "
                      "X11 or Wayland display\n");
    }
}

// The viewer's hidden benchmark option ends it once its window is painted; the front end's start
// on the offscreen platform is seen by the test of where the program lies.
TEST_F(NoDisplayTest, OffscreenPlatformStillStarts) {
    faults::Start start{
        {ZARVO_VIEWER, "--exit-when-shown", (dir / "a.txt").string(), (dir / "b.txt").string()},
        {"PATH=/usr/bin:/bin", "HOME=" + dir.path().string(),
         "XDG_RUNTIME_DIR=" + dir.path().string(), "QT_QPA_PLATFORM=offscreen"},
        dir.path(),
        false,
        false};
    const faults::Run run = faults::Watch(start, {}, [](const faults::Run&) { return false; });
    EXPECT_TRUE(run.ending.ExitedWith(0)) << "exit " << run.ending.code << ", signal "
                                          << run.ending.signal << ": " << run.standardError;
}

}  // namespace
