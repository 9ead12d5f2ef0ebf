// The front end and the viewer keep their settings beside their own file however they were
// started: through the dynamic loader (whose folder /proc/self/exe then names), without /proc,
// or both. Where nothing tells the front end its folder, it keeps no settings at all, never any in
// the folder it was started from.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Children.h"
#include "Programs.h"
#include "support/TempDir.h"

namespace {

using testsupport::WriteBytes;

// The files opened, each once: which files were read, not how often (the program may open one
// several times as it starts, and the watch may or may not fold those opens into one event).
std::vector<std::string> Distinct(std::vector<std::string> opened) {
    std::sort(opened.begin(), opened.end());
    opened.erase(std::unique(opened.begin(), opened.end()), opened.end());
    return opened;
}

class WhereTheProgramLiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(dir.path().c_str(), 0700);
        std::filesystem::create_directory(app);
        std::filesystem::create_directory(work);
        std::filesystem::copy_file(ZARVO_FRONT_END, app / "diff-zarvo");
        std::filesystem::copy_file(ZARVO_VIEWER, app / "diff-zarvo-view");
        WriteBytes(dir / "a.txt", "a\n");
        WriteBytes(app / "Zarvo.ini", "[WINDIFF]\r\nExePath=/opt/beside-the-program\r\n");
        WriteBytes(work / "Zarvo.ini", "[WINDIFF]\r\nExePath=/opt/in-the-current-folder\r\n");
    }
    // Runs the program with the offscreen platform until it opens a settings file, or exits.
    faults::Run StartUntilSettingsRead(faults::Start start) {
        start.folder = work;
        start.environment = {"QT_QPA_PLATFORM=offscreen", "HOME=" + dir.path().string(),
                             "XDG_RUNTIME_DIR=" + dir.path().string(), "PATH=/usr/bin:/bin"};
        return faults::Watch(
            start, {app / "Zarvo.ini", work / "Zarvo.ini"}, [](const faults::Run& run) {
                return !run.opened.empty() || run.standardError.find('\n') != std::string::npos;
            });
    }
    testsupport::TempDir dir;
    std::filesystem::path app = dir / "app";
    std::filesystem::path work = dir / "work";
};

TEST_F(WhereTheProgramLiesTest, ThroughTheLoaderOrWithoutProcItReadsTheFileBesideItself) {
#if defined(__SANITIZE_ADDRESS__)
    const bool sanitized = true;  // AddressSanitizer cannot run without /proc
#else
    const bool sanitized = false;
#endif
    struct Case {
        const char* name;
        std::vector<std::string> argv;
        bool withoutProc;
    };
    const std::string loader = "/lib64/ld-linux-x86-64.so.2";
    const std::vector<Case> cases = {
        {"through ld.so", {loader, "../app/diff-zarvo"}, false},
        {"without /proc", {(app / "diff-zarvo").string()}, true},
        {"through ld.so without /proc", {loader, "../app/diff-zarvo"}, true},
        // The viewer, which reads them before its comparison and Qt start.
        {"the viewer through ld.so",
         {loader, "../app/diff-zarvo-view", "../a.txt", "../a.txt"},
         false},
        {"the viewer without /proc",
         {(app / "diff-zarvo-view").string(), "../a.txt", "../a.txt"},
         true},
    };
    for (const Case& c : cases) {
        if (c.withoutProc && sanitized) continue;
        const faults::Run run = StartUntilSettingsRead({c.argv, {}, {}, c.withoutProc, false});
        EXPECT_EQ(Distinct(run.opened), std::vector<std::string>{"app/Zarvo.ini"}) << c.name;
        EXPECT_EQ(run.standardError, "") << c.name;
        EXPECT_EQ(run.ending.signal, SIGKILL) << c.name << ": it ended by itself";
    }
    EXPECT_FALSE(std::filesystem::exists("/usr/lib/x86_64-linux-gnu/Zarvo.ini"));
    EXPECT_FALSE(std::filesystem::exists("/lib64/Zarvo.ini"));
}

// Started from a descriptor (fexecve) with no /proc: no path leads back to its file.
TEST_F(WhereTheProgramLiesTest, WhenNothingTellsItsFolderItKeepsNoSettings) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot run without /proc";
#endif
    const faults::Run run =
        StartUntilSettingsRead({{(app / "diff-zarvo").string()}, {}, {}, true, true});
    EXPECT_EQ(run.standardError,
              "diff-zarvo: cannot tell which folder this program lies in, so its settings "
              "(Zarvo.ini) are neither read nor saved\n");
    EXPECT_EQ(run.opened, std::vector<std::string>{});

    // What it then asks of the profile functions, an empty file name, reads the defaults and
    // writes nothing, least of all into the current folder.
    const auto ending = faults::RunInChild([this] {
        if (chdir(work.c_str()) != 0) return faults::kChildSetUpFailed;
        std::filesystem::remove("Zarvo.ini");
        if (faults::ReadValue("WINDIFF", "ExePath", "") != "<missing>") return 3;
        return faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/tool", "");
    });
    EXPECT_TRUE(ending.ExitedWith(faults::kWriteFailed));
    EXPECT_TRUE(std::filesystem::is_empty(work));
}

// Installed where its user cannot write (as a package's /usr/lib/diff-zarvo) and started through
// a link from elsewhere (as /usr/bin/diff-zarvo): it reads the user's own settings, never a file
// beside the link nor in the current folder.
TEST_F(WhereTheProgramLiesTest, InAFolderItsUserCannotWriteItReadsTheUsersOwnSettings) {
    const std::filesystem::path installed = dir / "installed";
    const std::filesystem::path config = dir / "config" / "diff-zarvo";
    std::filesystem::create_directory(installed);
    std::filesystem::create_directories(config);
    std::filesystem::copy_file(ZARVO_FRONT_END, installed / "diff-zarvo");
    std::filesystem::create_symlink("../installed/diff-zarvo", app / "link");
    WriteBytes(config / "Zarvo.ini", "[WINDIFF]\r\nExePath=/opt/the-users-own\r\n");
    if (geteuid() == 0) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
            ASSERT_EQ(lchown(entry.path().c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(chown(dir.path().c_str(), 65534, 65534), 0);
    }
    chmod(installed.c_str(), 0555);
    faults::Start start{{(app / "link").string()}, {}, work, false, false, true};
    start.environment = {"QT_QPA_PLATFORM=offscreen", "HOME=" + dir.path().string(),
                         "XDG_CONFIG_HOME=" + (dir / "config").string(),
                         "XDG_RUNTIME_DIR=" + dir.path().string(), "PATH=/usr/bin:/bin"};
    const faults::Run run = faults::Watch(
        start,
        {installed / "Zarvo.ini", app / "Zarvo.ini", work / "Zarvo.ini", config / "Zarvo.ini"},
        [](const faults::Run& run) {
            return !run.opened.empty() || run.standardError.find('\n') != std::string::npos;
        });
    EXPECT_EQ(Distinct(run.opened), std::vector<std::string>{"diff-zarvo/Zarvo.ini"});
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(run.ending.signal, SIGKILL) << "it ended by itself";
    EXPECT_FALSE(std::filesystem::exists(installed / "Zarvo.ini"));
}

}  // namespace
