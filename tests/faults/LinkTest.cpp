// A settings file reached through links: a symbolic link is written through to the file it names
// and stays a link, also when that file does not exist yet; a hard link cannot survive the atomic
// replace, and the other name keeps the old contents.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "Children.h"
#include "Saves.h"
#include "support/TempDir.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(app);
        std::filesystem::create_directory(store);
    }
    bool Write(const std::string& value) {
        return faults::WriteResult("WINDIFF", "ExePath", value, file.string()) ==
               faults::kWriteSucceeded;
    }
    // The folder's names, links shown with their targets.
    std::string Listing(const std::filesystem::path& folder) const {
        std::string listing;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            listing += entry.path().filename().string();
            if (entry.is_symlink()) listing += " -> " + read_symlink(entry.path()).string();
            listing += ";";
        }
        return listing;
    }
    testsupport::TempDir dir;
    std::filesystem::path app = dir / "app";
    std::filesystem::path store = dir / "store";
    std::filesystem::path file = app / "Zarvo.ini";
};

TEST_F(LinkTest, SymbolicLinkIsWrittenThroughAndStaysALink) {
    WriteBytes(store / "settings.ini", "[WINDIFF]\r\nExePath=/usr/bin/old\r\n");
    std::filesystem::create_symlink("../store/settings.ini", file);
    ASSERT_TRUE(Write("/usr/bin/new"));
    EXPECT_EQ(ReadBytes(store / "settings.ini"), "[WINDIFF]\r\nExePath=/usr/bin/new\r\n");
    EXPECT_EQ(Listing(app), "Zarvo.ini -> ../store/settings.ini;");
    EXPECT_EQ(Listing(store), "settings.ini;");
}

// The viewer's save goes the same way, and keeps the file's owner, group and permissions.
TEST_F(LinkTest, SaveWritesThroughASymbolicLinkAndKeepsOwnerAndMode) {
    const auto real = store / "real.txt";
    const auto link = app / "b.txt";
    std::filesystem::create_symlink("../store/real.txt", link);
    viewer::EditedComparison editing = faults::TakenIntoSecond(dir / "a.txt", link);
    chown(real.c_str(), faults::kNobody, faults::kNoGroup);
    chmod(real.c_str(), 02640);
    ASSERT_EQ(editing.Save(viewer::Side::Second).status, viewer::SaveStatus::Saved);
    EXPECT_TRUE(ReadBytes(real) == faults::kAfter);
    EXPECT_EQ(Listing(app), "b.txt -> ../store/real.txt;");
    EXPECT_EQ(Listing(store), "real.txt;");
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, faults::kNobody);
    EXPECT_EQ(info.st_gid, faults::kNoGroup);
    EXPECT_EQ(info.st_mode & 07777, 02640u);
}

// A dangling link, through a second link: the file it ends at is created, every link stays.
TEST_F(LinkTest, DanglingLinkCreatesItsTargetAndStaysALink) {
    std::filesystem::create_symlink(store / "middle.ini", file);
    std::filesystem::create_symlink("settings.ini", store / "middle.ini");
    EXPECT_EQ(faults::ReadValue("WINDIFF", "ExePath", file.string()), "<missing>");
    ASSERT_TRUE(Write("/usr/bin/new"));
    ASSERT_TRUE(Write("/usr/bin/newer"));
    EXPECT_EQ(ReadBytes(store / "settings.ini"), "[WINDIFF]\r\nExePath=/usr/bin/newer\r\n");
    EXPECT_EQ(Listing(app), "Zarvo.ini -> " + (store / "middle.ini").string() + ";");
    EXPECT_EQ(ReadBytes(file), "[WINDIFF]\r\nExePath=/usr/bin/newer\r\n");

    // A link into a folder that does not exist, or a loop, fails and creates nothing.
    std::filesystem::remove(store / "middle.ini");
    std::filesystem::create_symlink(dir / "gone" / "settings.ini", store / "middle.ini");
    EXPECT_FALSE(Write("/usr/bin/x"));
    std::filesystem::remove(store / "middle.ini");
    std::filesystem::create_symlink(file, store / "middle.ini");
    EXPECT_FALSE(Write("/usr/bin/x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
    EXPECT_EQ(ReadBytes(store / "settings.ini"), "[WINDIFF]\r\nExePath=/usr/bin/newer\r\n");
}

// A link made by another user leads root only to that user's files: in their install, a link to
// a file of root's is refused, and so is one to a file yet to come in a folder of root's.
TEST_F(LinkTest, LinkOfAnotherUserLeadsRootOnlyToThatUsersFiles) {
    const std::string rootsBytes = "root:x:0:0:root:/root:/bin/bash\n";
    WriteBytes(store / "passwd", rootsBytes);
    std::filesystem::create_symlink(store / "passwd", file);
    ASSERT_EQ(lchown(file.c_str(), faults::kNobody, faults::kNoGroup), 0);
    EXPECT_FALSE(Write("/usr/bin/new"));
    EXPECT_EQ(ReadBytes(store / "passwd"), rootsBytes);

    std::filesystem::remove(file);
    std::filesystem::create_symlink(store / "new.conf", file);
    ASSERT_EQ(lchown(file.c_str(), faults::kNobody, faults::kNoGroup), 0);
    EXPECT_FALSE(Write("/usr/bin/new"));
    EXPECT_FALSE(std::filesystem::exists(store / "new.conf"));

    // Their link to their own file is theirs to write through, and it stays theirs.
    ASSERT_EQ(chown(store.c_str(), faults::kNobody, faults::kNoGroup), 0);
    EXPECT_TRUE(Write("/usr/bin/new"));
    struct stat info {};
    ASSERT_EQ(stat((store / "new.conf").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(ReadBytes(store / "new.conf"), "[WINDIFF]\r\nExePath=/usr/bin/new\r\n");
}

// A Zarvo.ini with a second name is written in place: both names are still one file, with the
// new contents.
TEST_F(LinkTest, HardLinkedFileIsWrittenInPlaceAndBothNamesSeeIt) {
    WriteBytes(file, "[WINDIFF]\r\nExePath=/usr/bin/old\r\n");
    std::filesystem::create_hard_link(file, store / "copy.ini");
    ASSERT_TRUE(Write("/usr/bin/new"));
    EXPECT_EQ(ReadBytes(file), "[WINDIFF]\r\nExePath=/usr/bin/new\r\n");
    EXPECT_EQ(ReadBytes(store / "copy.ini"), "[WINDIFF]\r\nExePath=/usr/bin/new\r\n");
    EXPECT_EQ(std::filesystem::hard_link_count(file), 2u);
    EXPECT_EQ(Listing(app), "Zarvo.ini;");
}

}  // namespace
