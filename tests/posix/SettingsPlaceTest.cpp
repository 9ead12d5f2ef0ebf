// Where the settings file lies off Windows, with real folders and permissions: beside a program
// its user can write, else in the user's configuration folder, made on the first write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/SettingsFile.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

// What the body prints, run in a child that is an ordinary user (nobody, when the tests run as
// root, for whom every folder is writable).
template <typename Body>
std::string AsOrdinaryUser(const std::filesystem::path& dir, Body body) {
    int out[2];
    if (pipe(out) != 0) return "<no pipe>";
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        if (chdir(dir.c_str()) != 0) _exit(98);
        const std::string text = body();
        _exit(write(out[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0
                                                                                           : 97);
    }
    close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "<child failed>";
}

std::string Place(const std::string& programFolder) {
    return platform::ToUtf8(platform::SettingsFileFor(platform::FromUtf8(programFolder)));
}

bool Write(const std::string& file, const wchar_t* value) {
    return platform::WriteSetting(platform::FromUtf8(file), L"WINDIFF", L"ExePath", value);
}

class SettingsPlace : public ::testing::Test {
protected:
    void SetUp() override {
        // Everything here is the ordinary user's, as a home folder is.
        for (const char* folder : {"app", "readonly", "portable", "home", "locked"}) {
            std::filesystem::create_directory(dir / folder);
        }
        WriteBytes(dir / "portable" / "Zarvo.ini", "[WINDIFF]\r\nExePath=/opt/portable\r\n");
        if (geteuid() == 0) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
                ASSERT_EQ(chown(entry.path().c_str(), 65534, 65534), 0);
            }
            ASSERT_EQ(chown(dir.path().c_str(), 65534, 65534), 0);
        }
        for (const char* folder : {"readonly", "portable", "locked"}) {
            chmod((dir / folder).c_str(), 0555);
        }
    }
    testsupport::TempDir dir;
};

TEST_F(SettingsPlace, BesideAProgramItsUserCanWriteElseInTheirConfigFolder) {
    const std::string root = dir.path().string();
    const std::string seen = AsOrdinaryUser(dir.path(), [&] {
        setenv("HOME", (root + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        std::string out;
        // A copy where its user can write: beside it, as ever.
        out += Place(root + "/app") + "\n";
        // An existing file beside a program in a read-only folder: still that file (a portable
        // copy on read-only media), which then cannot be written.
        out += Place(root + "/portable") + "\n";
        out += std::to_string(Write(Place(root + "/portable"), L"/opt/other")) + "\n";
        // A read-only folder with no settings file: $XDG_CONFIG_HOME, made on the first write,
        // for the user alone.
        const std::string own = Place(root + "/readonly");
        out += own + "\n";
        out += std::to_string(std::filesystem::exists(root + "/config")) + "\n";
        out += std::to_string(Write(own, L" /opt/tool ")) + "\n";
        struct stat folder {};
        stat((root + "/config/diff-zarvo").c_str(), &folder);
        out += std::to_string(folder.st_mode & 07777) + "\n";
        out += platform::ToUtf8(
                   platform::ReadSetting(platform::FromUtf8(own), L"WINDIFF", L"ExePath", L"")) +
               "|\n";
        // Slashes at its end are dropped. Without $XDG_CONFIG_HOME, or with a relative one (which
        // XDG says to ignore): ~/.config.
        setenv("XDG_CONFIG_HOME", (root + "/config//").c_str(), 1);
        out += Place(root + "/readonly") + "\n";
        setenv("XDG_CONFIG_HOME", "config", 1);
        out += Place(root + "/readonly") + "\n";
        unsetenv("XDG_CONFIG_HOME");
        out += Place(root + "/readonly") + "\n";
        // A configuration folder the user cannot write: nothing is written, nothing made.
        setenv("XDG_CONFIG_HOME", (root + "/locked").c_str(), 1);
        out += std::to_string(Write(Place(root + "/readonly"), L"/opt/tool")) + "\n";
        out += std::to_string(std::filesystem::is_empty(root + "/locked")) + "\n";
        return out;
    });
    EXPECT_EQ(seen, root + "/app/Zarvo.ini\n" +              // writable folder
                        root + "/portable/Zarvo.ini\n0\n" +  // existing file, read-only
                        root +
                        "/config/diff-zarvo/Zarvo.ini\n"  // the user's folder
                        "0\n1\n448\n /opt/tool |\n" +     // made 0700 on write
                        root +
                        "/config/diff-zarvo/Zarvo.ini\n" +               // end slashes dropped
                        root + "/home/.config/diff-zarvo/Zarvo.ini\n" +  // relative: ignored
                        root + "/home/.config/diff-zarvo/Zarvo.ini\n" +  // not set
                        "0\n1\n");                                       // locked config folder
    EXPECT_EQ(ReadBytes(dir / "portable" / "Zarvo.ini"), "[WINDIFF]\r\nExePath=/opt/portable\r\n");
    EXPECT_EQ(ReadBytes(dir / "config" / "diff-zarvo" / "Zarvo.ini"),
              "[WINDIFF]\r\nExePath=\" /opt/tool \"\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "readonly" / "Zarvo.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir / "app" / "Zarvo.ini"));
    // No folder, no place: the program keeps no settings.
    EXPECT_EQ(platform::SettingsFileFor(L""), L"");
}

}  // namespace
