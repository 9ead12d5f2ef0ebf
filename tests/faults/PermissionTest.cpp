// Settings files and folders the user may not write: the write reports failure and nothing
// changes. Root may write anything, so each case runs in a child that has become nobody.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "Children.h"
#include "Saves.h"
#include "support/TempDir.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

const std::string kOld = "[WINDIFF]\r\nExePath=/usr/bin/old-tool\r\n";

class PermissionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(folder);
        WriteBytes(file, kOld);
    }
    // The write's result as nobody sees it.
    faults::Ending WriteAsNobody() {
        return faults::RunInChild([this] {
            if (!faults::BecomeNobody()) return faults::kChildSetUpFailed;
            return faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/new-tool", file.string());
        });
    }
    struct stat Stat() const {
        struct stat info {};
        stat(file.c_str(), &info);
        return info;
    }
    testsupport::TempDir dir;
    std::filesystem::path folder = dir / "app";
    std::filesystem::path file = folder / "Zarvo.ini";
};

// A folder the user may not write holds no new file; a file in it they may write is written
// over in place, as the system lets them.
TEST_F(PermissionTest, ReadOnlyFolderTakesNoNewFileButItsWritableFileIsWrittenInPlace) {
    chmod(file.c_str(), 0666);
    chmod(folder.c_str(), 0555);
    const ino_t inode = Stat().st_ino;
    EXPECT_TRUE(WriteAsNobody().ExitedWith(faults::kWriteSucceeded));
    EXPECT_EQ(ReadBytes(file), "[WINDIFF]\r\nExePath=/usr/bin/new-tool\r\n");
    EXPECT_EQ(Stat().st_ino, inode);
    EXPECT_EQ(Stat().st_mode & 07777, 0666u);
    // Nothing new in the folder either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    const auto made = faults::RunInChild([this] {
        if (!faults::BecomeNobody()) return faults::kChildSetUpFailed;
        return faults::WriteResult("WINDIFF", "ExePath", "/x", (folder / "new.ini").string());
    });
    EXPECT_TRUE(made.ExitedWith(faults::kWriteFailed));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST_F(PermissionTest, ReadOnlyFileRefusesTheWriteEvenForRootAndItsOwner) {
    chmod(folder.c_str(), 0777);
    chown(file.c_str(), faults::kNobody, faults::kNoGroup);
    chmod(file.c_str(), 0444);
    const auto before = Stat();
    EXPECT_TRUE(WriteAsNobody().ExitedWith(faults::kWriteFailed));
    EXPECT_EQ(faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/new-tool", file.string()),
              faults::kWriteFailed);
    EXPECT_EQ(ReadBytes(file), kOld);
    const auto after = Stat();
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
}

// A file someone else owns and only they may write stays theirs, even in a folder the user may
// write: replacing it by rename would take it over behind its owner's back. One they let
// everyone write is written in place: it stays theirs, the same file, with its mode.
TEST_F(PermissionTest, FileOfAnotherUserInAWritableFolderIsNotReplaced) {
    chmod(folder.c_str(), 0777);
    for (const mode_t mode : {0644, 0666}) {
        WriteBytes(file, kOld);
        chmod(file.c_str(), mode);
        const auto before = Stat();
        EXPECT_TRUE(WriteAsNobody().ExitedWith(mode == 0666 ? faults::kWriteSucceeded
                                                            : faults::kWriteFailed))
            << std::oct << mode;
        EXPECT_EQ(ReadBytes(file),
                  mode == 0666 ? "[WINDIFF]\r\nExePath=/usr/bin/new-tool\r\n" : kOld);
        EXPECT_EQ(Stat().st_ino, before.st_ino);
        EXPECT_EQ(Stat().st_uid, 0u);
        EXPECT_EQ(Stat().st_mode & 07777, mode);
    }
}

// A user who once ran the program with sudo in their own install: root's write keeps the file
// theirs, with its group and permissions, and a file root creates in their folder is theirs too.
TEST_F(PermissionTest, RootWritesKeepTheUsersOwnershipAndMode) {
    chown(folder.c_str(), faults::kNobody, faults::kNoGroup);
    chown(file.c_str(), faults::kNobody, faults::kNoGroup);
    chmod(file.c_str(), 02640);  // set-group-id too, which a change of owner would clear
    ASSERT_EQ(faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/new-tool", file.string()),
              faults::kWriteSucceeded);
    EXPECT_EQ(ReadBytes(file), "[WINDIFF]\r\nExePath=/usr/bin/new-tool\r\n");
    EXPECT_EQ(Stat().st_uid, 65534u);
    EXPECT_EQ(Stat().st_gid, 65534u);
    EXPECT_EQ(Stat().st_mode & 07777, 02640u);

    std::filesystem::remove(file);
    const auto ending = faults::RunInChild([this] {
        umask(022);
        return faults::WriteResult("DiffPath", "LIST1", "/home/a", file.string());
    });
    ASSERT_TRUE(ending.ExitedWith(faults::kWriteSucceeded));
    EXPECT_EQ(ReadBytes(file), "[DiffPath]\r\nLIST1=/home/a\r\n");
    EXPECT_EQ(Stat().st_uid, 65534u);
    EXPECT_EQ(Stat().st_gid, 65534u);
    EXPECT_EQ(Stat().st_mode & 07777, 0644u);
    // ... and the user can go on writing it.
    EXPECT_TRUE(WriteAsNobody().ExitedWith(faults::kWriteSucceeded));
    EXPECT_EQ(faults::ReadValue("WINDIFF", "ExePath", file.string()), "/usr/bin/new-tool");

    // In root's own folder, root's new file stays root's.
    const auto own = (dir / "Zarvo.ini").string();
    ASSERT_EQ(faults::WriteResult("DiffPath", "LIST1", "/home/a", own), faults::kWriteSucceeded);
    struct stat info {};
    stat(own.c_str(), &info);
    EXPECT_EQ(info.st_uid, 0u);
}

TEST_F(PermissionTest, WritableFileInWritableFolderIsWrittenAndKeepsItsMode) {
    chmod(folder.c_str(), 0777);
    chown(file.c_str(), faults::kNobody, faults::kNoGroup);
    chmod(file.c_str(), 0640);
    EXPECT_TRUE(WriteAsNobody().ExitedWith(faults::kWriteSucceeded));
    EXPECT_EQ(faults::ReadValue("WINDIFF", "ExePath", file.string()), "/usr/bin/new-tool");
    EXPECT_EQ(Stat().st_mode & 07777, 0640u);
    EXPECT_EQ(Stat().st_uid, faults::kNobody);
}

TEST_F(PermissionTest, UnreadableFileReadsAsDefaultsAndIsNotOverwritten) {
    chmod(folder.c_str(), 0777);
    chmod(file.c_str(), 0600);
    const auto ending = faults::RunInChild([this] {
        if (!faults::BecomeNobody()) return faults::kChildSetUpFailed;
        if (faults::ReadValue("WINDIFF", "ExePath", file.string()) != "<missing>") return 3;
        return faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/new-tool", file.string());
    });
    EXPECT_TRUE(ending.ExitedWith(faults::kWriteFailed));
    EXPECT_EQ(ReadBytes(file), kOld);
}

// The viewer's save into a folder the user may not write, of a file they may not write either:
// refused, saying why, the file whole; and a file compared there offers no edit.
TEST_F(PermissionTest, SaveIntoAReadOnlyFolderIsRefusedAndSaysWhy) {
    const auto second = folder / "b.txt";
    viewer::EditedComparison editing = faults::TakenIntoSecond(dir / "a.txt", second);
    chmod(second.c_str(), 0644);
    chmod(folder.c_str(), 0555);
    const auto ending = faults::RunInChild([&] {
        if (!faults::BecomeNobody()) return faults::kChildSetUpFailed;
        const viewer::SaveResult result = editing.Save(viewer::Side::Second);
        if (viewer::SaveText(result, editing, viewer::Side::Second) !=
            u"書き込みが拒否されたため、「b.txt」を保存できませんでした"
            u"（書き込む権限がありません）。ファイルは元のままです。") {
            return 3;
        }
        const viewer::EditedComparison again(viewer::Compare(dir / "a.txt", second));
        if (viewer::ReadOnlyText(again.WhyReadOnly(viewer::Side::Second)) !=
            u"書き込む権限がありません")
            return 4;
        // Nor can a file be made there.
        const viewer::EditedComparison made(viewer::Compare(dir / "a.txt", folder / "new.txt",
                                                            viewer::kTextLimitBytes, {}, nullptr,
                                                            {}, {false, true}));
        if (viewer::ReadOnlyText(made.WhyReadOnly(viewer::Side::Second)) !=
            u"フォルダーに書き込む権限がありません") {
            return 5;
        }
        return 0;
    });
    EXPECT_TRUE(ending.ExitedWith(0)) << ending.code;
    EXPECT_EQ(ReadBytes(second), faults::kBefore);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
}

TEST_F(PermissionTest, MissingFolderRefusesTheWrite) {
    const auto missing = (dir / "gone" / "Zarvo.ini").string();
    EXPECT_EQ(faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/new-tool", missing),
              faults::kWriteFailed);
    EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
}

}  // namespace
