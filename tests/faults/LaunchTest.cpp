// Starting the comparison tool for real: exactly three arguments, its own session, none of our
// descriptors, not our child, and the call returns while the tool still runs. A tool that cannot
// start is reported before the call returns.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

// A tool that reports what it got through one FIFO, then waits on another until the test lets
// it go: proof that the launch did not wait for it.
class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        mkfifo(report.c_str(), 0600);
        mkfifo(gate.c_str(), 0600);
        std::ofstream(tool) << "#!/bin/sh\n"
                            << "stat=$(cat /proc/$$/stat)\n"
                            << "fds=$(ls -l /proc/$$/fd/ | tr '\\n' ' ')\n"
                            << "printf '%s\\n' \"$#\" \"$1\" \"$2\" \"$stat\" \"$fds\" > '"
                            << report.string() << "'\n"
                            << "read line < '" << gate.string() << "'\n";
        chmod(tool.c_str(), 0755);
    }
    std::vector<std::string> ReadReport() {
        std::ifstream in(report);  // blocks until the tool opens the FIFO to write
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    void LetGo() { std::ofstream(gate) << "go\n"; }

    testsupport::TempDir dir;
    std::filesystem::path tool = dir / "tool";
    std::filesystem::path report = dir / "report";
    std::filesystem::path gate = dir / "gate";
};

// Fields of /proc/<pid>/stat after the command name: state, ppid, pgrp, session, ...
std::vector<std::string> StatFields(const std::string& stat) {
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::vector<std::string> fields;
    for (std::string field; rest >> field;) fields.push_back(field);
    return fields;
}

TEST_F(LaunchTest, ToolGetsExactlyTwoArgumentsItsOwnSessionAndNoneOfOurFiles) {
    const std::string marker = (dir / "marker").string();
    const int inherited = open(marker.c_str(), O_CREAT | O_WRONLY, 0600);  // no O_CLOEXEC
    ASSERT_GE(inherited, 0);
    const std::wstring first = L"/tmp/a b/\"quoted\" 'x' $HOME;*.txt";
    const std::wstring second = L"-second --option=パス";
    const long pid =
        platform::StartProgram({L"", platform::FromUtf8(tool.string()), first, second});

    const std::vector<std::string> lines = ReadReport();
    close(inherited);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "2");
    EXPECT_EQ(lines[1], platform::ToUtf8(first));
    EXPECT_EQ(lines[2], platform::ToUtf8(second));
    const auto fields = StatFields(lines[3]);
    ASSERT_GE(fields.size(), 4u);
    EXPECT_NE(std::stol(fields[1]), static_cast<long>(getpid())) << "the tool is our child";
    EXPECT_NE(std::stol(fields[3]), static_cast<long>(getsid(0))) << "the tool shares our session";
    EXPECT_EQ(lines[4].find("marker"), std::string::npos) << lines[4];
    // Still running: the launch returned before the tool could end.
    EXPECT_EQ(kill(static_cast<pid_t>(pid), 0), 0);
    EXPECT_EQ(waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    LetGo();
}

TEST_F(LaunchTest, ToolThatCannotStartIsReportedBeforeTheCallReturns) {
    std::filesystem::create_directory(dir / "folder");
    std::ofstream(dir / "plain") << "not a program\n";
    std::ofstream(dir / "garbage") << std::string("\x01\x02\x03\x04garbage", 11);
    chmod((dir / "garbage").c_str(), 0755);
    for (const char* name : {"missing", "folder", "plain", "garbage"}) {
        const std::wstring program = platform::FromUtf8((dir / name).string());
        EXPECT_THROW(platform::StartProgram({L"", program, L"a", L"b"}), platform::Error) << name;
    }
    // No child of ours is left behind by the failed starts.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST_F(LaunchTest, ManyLaunchesInARowLeaveNoZombiesAndNoDescriptors) {
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto before = openFiles();
    std::vector<long> pids;
    for (int i = 0; i < 20; ++i) {
        pids.push_back(platform::StartProgram({L"", L"true", L"a", L"b"}));
    }
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a started program is our child";
}

}  // namespace
