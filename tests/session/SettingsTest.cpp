// The remembered view and options: kept in a section of their own of the settings file, read
// back, never touching the front end's keys; a damaged value reads as its default.
#include <gtest/gtest.h>

#include "Session.h"
#include "Settings.h"
#include "support/SessionViews.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::QuietView;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

TEST(SettingsTest, ChoicesSurviveARunBesideTheFrontEndsOwnSettings) {
    TempDir dir;
    const std::filesystem::path ini = dir / "Zarvo.ini";
    WriteBytes(ini, "[WINDIFF]\nWINDIFF=C:\\tools\\WinMerge.exe\n[DiffPath]\nDiffPath1=a.txt\n");
    EXPECT_EQ(LoadChoices(ini), ViewerChoices{});

    WriteBytes(dir / "a.txt", "A\n");
    WriteBytes(dir / "b.txt", "a\n");
    QuietView window;
    {
        Session session(Compare(dir / "a.txt", dir / "b.txt"), window, ini);
        session.Open();
        session.Run(Command::IgnoreCase);
        session.Run(Command::IgnoreTrailingBlanks);
        session.Run(Command::SideBySide);
        session.Run(Command::IgnoreLineEnds);
    }
    ViewerChoices expected;
    expected.options.lineEnds = false;
    expected.options.letterCase = true;
    expected.options.trailingBlanks = true;
    expected.view = View::SideBySide;
    EXPECT_EQ(LoadChoices(ini), expected);
    const std::string text = ReadBytes(ini);
    EXPECT_NE(text.find("WINDIFF=C:\\tools\\WinMerge.exe"), std::string::npos);
    EXPECT_NE(text.find("DiffPath1=a.txt"), std::string::npos);
    EXPECT_NE(text.find("[Viewer]"), std::string::npos);
    EXPECT_NE(text.find("IgnoreCase=1"), std::string::npos);
    EXPECT_NE(text.find("IgnoreLineEnds=0"), std::string::npos);

    // The next window opens side by side.
    Session again(Compare(dir / "a.txt", dir / "b.txt", kTextLimitBytes, expected.options), window,
                  ini);
    EXPECT_EQ(again.view(), View::SideBySide);
    EXPECT_TRUE(again.Checked(Command::IgnoreCase));
    EXPECT_FALSE(again.Checked(Command::IgnoreLineEnds));

    // Damaged values read as their defaults; a missing file as all defaults.
    WriteBytes(ini, "[Viewer]\nIgnoreCase=yes\nSideBySide=2\nIgnoreAllBlanks=1\nIgnoreLineEnds=\n");
    ViewerChoices damaged;
    damaged.options.allBlanks = true;
    EXPECT_TRUE(damaged.options.lineEnds);
    EXPECT_EQ(LoadChoices(ini), damaged);
    EXPECT_EQ(LoadChoices(dir / "none" / "Zarvo.ini"), ViewerChoices{});
    // A missing folder is made on the first save (the user's own settings folder); a file where
    // the folder should be takes nothing.
    EXPECT_TRUE(SaveChoices(dir / "none" / "Zarvo.ini", expected));
    EXPECT_EQ(LoadChoices(dir / "none" / "Zarvo.ini"), expected);
    WriteBytes(dir / "file", "x");
    EXPECT_FALSE(SaveChoices(dir / "file" / "Zarvo.ini", expected));
    EXPECT_EQ(ReadBytes(dir / "file"), "x");
}

}  // namespace
}  // namespace viewer
