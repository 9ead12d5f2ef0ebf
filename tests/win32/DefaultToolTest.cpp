// The tool a fresh program starts when the settings name none: WinDiff where Windows has it, else
// the viewer that came beside the program, else WinDiff's path as before.
#include "behaviour/FormFixture.h"

namespace {

const std::filesystem::path kWinDiff =
    L"C:\\Program Files\\Microsoft Visual Studio\\Common\\Tools\\WINDIFF.EXE";

// Puts a WinDiff at its usual place for the life of the object (the Wine prefix has none).
class InstalledWinDiff {
public:
    InstalledWinDiff() {
        std::filesystem::create_directories(kWinDiff.parent_path());
        testsupport::WriteBytes(kWinDiff, "MZ");
    }
    ~InstalledWinDiff() {
        std::error_code ignored;
        std::filesystem::remove_all(L"C:\\Program Files\\Microsoft Visual Studio", ignored);
    }
};

TEST_F(FormTest, DefaultToolIsWinDiffWhenPresentElseTheViewerBesideTheProgram) {
    // Nothing beside the program, no WinDiff: WinDiff's path, as ever.
    EXPECT_EQ(Start()->ExePath.Text(), kWinDiff.wstring());

    // A folder of that name is no viewer.
    std::filesystem::create_directory(dir / "diff-zarvo-view.exe");
    EXPECT_EQ(Start()->ExePath.Text(), kWinDiff.wstring());
    std::filesystem::remove(dir / "diff-zarvo-view.exe");

    testsupport::WriteBytes(dir / "diff-zarvo-view.exe", "MZ");
    EXPECT_EQ(Start()->ExePath.Text(), (dir / "diff-zarvo-view.exe").wstring());

    // A tool in the settings file wins over both, even an empty one.
    WriteIni("[WINDIFF]\nExePath=\n");
    EXPECT_EQ(Start()->ExePath.Text(), L"");
    std::filesystem::remove(IniFile());

    {
        InstalledWinDiff windiff;
        EXPECT_EQ(Start()->ExePath.Text(), kWinDiff.wstring());
    }
    EXPECT_EQ(Start()->ExePath.Text(), (dir / "diff-zarvo-view.exe").wstring());
}

TEST_F(FormTest, ViewerBesideAProgramInADrivesRootIsFound) {
    // "C:\" ends in its separator already; the default must not double it.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::filesystem::path root = std::filesystem::path(windows).root_path();
    const std::filesystem::path viewer = root / "diff-zarvo-view.exe";
    if (std::filesystem::exists(viewer)) GTEST_SKIP() << "a viewer lies in the root already";
    testsupport::WriteBytes(viewer, "MZ");
    platform::testing::OverrideExecutableDirectory(root.wstring());
    const std::wstring shown = Start()->ExePath.Text();
    std::filesystem::remove(viewer);
    EXPECT_EQ(shown, root.wstring() + L"diff-zarvo-view.exe");
}

}  // namespace
