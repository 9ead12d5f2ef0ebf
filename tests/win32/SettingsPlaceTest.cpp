// Where the settings file lies on Windows: beside a program its user can write, else in the
// user's %APPDATA%\Diff-Zarvo, made on the first write. The front end and the viewer agree.
#include <shlobj.h>

#include "behaviour/FormFixture.h"
#include "viewer/session/Settings.h"

namespace {

std::filesystem::path RoamingAppData() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

TEST_F(FormTest, SettingsLieBesideAWritableProgramElseInAppData) {
    // A folder the user may write: beside the program, for the front end and the viewer alike.
    EXPECT_EQ(Start()->IniPath, dir.path().wstring() + L"\\Zarvo.ini");
    EXPECT_EQ(viewer::SettingsFileFor(dir.path()), dir.path() / L"Zarvo.ini");
    EXPECT_FALSE(std::filesystem::exists(IniFile()));

    // A folder no one may write (Wine's view of Linux's /proc, also for root): %APPDATA%.
    const std::filesystem::path appData = RoamingAppData();
    ASSERT_FALSE(appData.empty());
    const std::filesystem::path own = appData / L"Diff-Zarvo";
    if (std::filesystem::exists(own)) GTEST_SKIP() << "settings of another run are in " << own;
    platform::testing::OverrideExecutableDirectory(L"Z:\\proc");
    auto form = Start(L"C:\\b.txt");
    EXPECT_EQ(form->IniPath, own.wstring() + L"\\Zarvo.ini");
    EXPECT_EQ(viewer::SettingsFileFor(L"Z:\\proc"), own / L"Zarvo.ini");
    EXPECT_FALSE(std::filesystem::exists(own));
    // The first write makes the folder; the viewer's section joins the same file.
    form->AcceptFile(L"C:\\c.txt");
    form->SaveHistory();
    EXPECT_TRUE(viewer::SaveChoices(own / L"Zarvo.ini", {{}, viewer::View::SideBySide}));
    EXPECT_EQ(testsupport::ReadBytes(own / L"Zarvo.ini"),
              "[DiffPath]\r\nLIST1=C:\\b.txt\r\n[Viewer]\r\nIgnoreTrailingBlanks=0\r\n"
              "IgnoreAllBlanks=0\r\nIgnoreBlankLines=0\r\nIgnoreCase=0\r\nIgnoreLineEnds=1\r\n"
              "SideBySide=1\r\n");
    EXPECT_EQ(History(*Start()), std::vector<std::wstring>{L"C:\\b.txt"});
    // A per-machine install under Program Files never keeps settings beside itself, though an
    // administrator (as Wine's user always is) may write there.
    wchar_t programFiles[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
    const std::filesystem::path installed = std::filesystem::path(programFiles) / L"Zarvo-place";
    std::filesystem::create_directory(installed);
    EXPECT_EQ(viewer::SettingsFileFor(installed), own / L"Zarvo.ini");
    std::filesystem::remove(installed);
    // A folder merely named alike is no such install.
    const std::wstring alike = std::wstring(programFiles) + L" Tools";
    std::filesystem::create_directory(alike);
    EXPECT_EQ(viewer::SettingsFileFor(alike), std::filesystem::path(alike + L"\\Zarvo.ini"));
    std::filesystem::remove(alike);
    std::filesystem::remove_all(own);
}

}  // namespace
