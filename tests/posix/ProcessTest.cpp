// Process services off Windows, with real child processes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Error.h"
#include "platform/Process.h"
#include "platform/Testing.h"
#include "platform/Text.h"
#include "support/Launches.h"
#include "support/TempDir.h"

namespace {

using Args = std::vector<std::string>;

platform::CommandLine Command(const std::wstring& program, const std::wstring& first,
                              const std::wstring& second) {
    return {L"\"" + program + L"\" \"" + first + L"\" \"" + second + L"\"", program, first, second};
}

std::wstring StartError(const platform::CommandLine& command) {
    try {
        platform::StartProgram(command);
    } catch (const platform::Error& error) {
        return error.Message();
    }
    return L"";
}

TEST(Arguments, AreJoinedBySingleSpacesIntoOneText) {
    char program[] = "diff-zarvo", a[] = "/a b/x.txt", b[] = "-platform", c[] = "\"q\"", d[] = "";
    char* argv[] = {program, a, b, c, d, nullptr};
    platform::SetArguments(5, argv);
    EXPECT_EQ(platform::ArgumentText(), L"/a b/x.txt -platform \"q\" ");
    platform::SetArguments(1, argv);
    EXPECT_EQ(platform::ArgumentText(), L"");
}

TEST(ExecutableDirectory, IsTheFolderOfTheRunningFile) {
    platform::testing::OverrideExecutableDirectory(L"");
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(platform::ExecutableDirectory(), self.parent_path().wstring());
    EXPECT_EQ(platform::BundledComparisonTool(),
              (self.parent_path() / "diff-zarvo-view").wstring());
}

// Whatever a file is called, it reaches the tool as one argument, unchanged.
TEST(StartProgram, GivesTheToolExactlyThreeArgumentsUnchanged) {
    testsupport::TempDir dir;
    const std::wstring tool = testsupport::InstallRecordTool(dir.path()).wstring();
    const std::wstring first = L"a \"quoted\" name with  spaces\nand a newline";
    const std::wstring second = L"-rf ファイル $HOME `id` *.txt ;|&";
    platform::StartProgram(Command(tool, first, second));
    const auto launches = testsupport::WaitForLaunches(dir.path(), 1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], (Args{platform::ToUtf8(first), platform::ToUtf8(second)}));
}

TEST(StartProgram, FindsABareNameOnPath) {
    testsupport::TempDir dir;
    testsupport::InstallRecordTool(dir.path(), "zarvo-path-tool");
    const std::string oldPath = getenv("PATH");
    setenv("PATH", ("/nonexistent:" + dir.path().string() + ":" + oldPath).c_str(), 1);
    platform::StartProgram(Command(L"zarvo-path-tool", L"a", L"b"));
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(testsupport::WaitForLaunches(dir.path(), 1), (std::vector<Args>{{"a", "b"}}));
}

TEST(StartProgram, ReportsWhyAToolCannotStartBeforeReturning) {
    testsupport::TempDir dir;
    const auto plain = dir / "plain.txt";
    testsupport::WriteBytes(plain, "text");
    const auto script = dir / "no-interpreter";
    testsupport::WriteBytes(script, "#!/nonexistent/interpreter\n");
    chmod(script.c_str(), 0755);
    const auto garbage = dir / "garbage";
    testsupport::WriteBytes(garbage, std::string("\x7f"
                                                 "ELF garbage",
                                                 12));
    chmod(garbage.c_str(), 0755);

    EXPECT_EQ(StartError(Command((dir / "missing").wstring(), L"a", L"b")),
              L"ファイルが見つかりません");
    EXPECT_EQ(StartError(Command(L"", L"a", L"b")), L"ファイルが見つかりません");
    EXPECT_EQ(StartError(Command(L"no-such-tool-anywhere", L"a", L"b")),
              L"ファイルが見つかりません");
    EXPECT_EQ(StartError(Command(dir.path().wstring(), L"a", L"b")),
              L"ファイルではなくフォルダーです");
    EXPECT_NE(StartError(Command(plain.wstring(), L"a", L"b")), L"");
    // These pass every check up front and fail only in exec itself.
    EXPECT_EQ(StartError(Command(script.wstring(), L"a", L"b")), L"ファイルが見つかりません");
    EXPECT_EQ(StartError(Command(garbage.wstring(), L"a", L"b")),
              L"実行できる形式のファイルではありません");
}

TEST(StartProgram, ToolIsDetachedAndGetsNoDescriptorsOfOurs) {
    testsupport::TempDir dir;
    const std::wstring tool = testsupport::InstallRecordTool(dir.path()).wstring();
    // A descriptor without close-on-exec, as a library might leave one.
    const int leaky = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    const long pid = platform::StartProgram(Command(tool, L"--sleep", L"x"));
    const auto launches = testsupport::WaitForLaunches(dir.path(), 1);
    close(leaky);
    ASSERT_EQ(launches.size(), 1u);
    ASSERT_GT(pid, 0);
    // Not our child: nothing to reap, so it can never become our zombie.
    EXPECT_EQ(waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_NE(getsid(static_cast<pid_t>(pid)), getsid(0));
    const std::string fds =
        testsupport::ReadBytes(dir / ("record-args." + std::to_string(pid) + ".fds"));
    EXPECT_EQ(fds, "0 1 2 ");
    kill(static_cast<pid_t>(pid), SIGTERM);
}

}  // namespace
