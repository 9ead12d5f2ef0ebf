// What a save must keep besides the bytes asked for: the file's mode, its ACL entries, its
// extended attributes and its other names; and who may save at all, decided as the system
// decides it. The viewer's saves and the settings file's writes share the code, so both are
// tried. Root may write anything, so an ordinary user's cases run in a child that became nobody.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <string>

#include "Children.h"
#include "Saves.h"
#include "platform/SettingsFile.h"
#include "platform/Text.h"
#include "support/TempDir.h"
#include "support/TwoFilesTest.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

// The file's ACL as getfacl lists it, one entry a line ("user::rw-\nuser:nobody:rw-\n...").
std::string AclText(const std::filesystem::path& file, acl_type_t type = ACL_TYPE_ACCESS) {
    acl_t acl = acl_get_file(file.c_str(), type);
    if (acl == nullptr) return "<none>";
    char* text = acl_to_text(acl, nullptr);
    std::string result = text != nullptr ? text : "<none>";
    acl_free(text);
    acl_free(acl);
    return result;
}

bool SetAcl(const std::filesystem::path& file, const char* text,
            acl_type_t type = ACL_TYPE_ACCESS) {
    acl_t acl = acl_from_text(text);
    const bool done = acl != nullptr && acl_set_file(file.c_str(), type, acl) == 0;
    acl_free(acl);
    return done;
}

std::string Attribute(const std::filesystem::path& file, const char* name) {
    char value[256];
    const ssize_t size = getxattr(file.c_str(), name, value, sizeof value);
    return size < 0 ? "<none>" : std::string(value, static_cast<size_t>(size));
}

struct stat Stat(const std::filesystem::path& file) {
    struct stat info {};
    stat(file.c_str(), &info);
    return info;
}

class SaveKeepsTest : public testsupport::TwoFilesTest {};

// 0600 with an entry for nobody: the owning group had nothing and must keep nothing; the entry,
// a user attribute and the mode stay, for a save and for a settings write alike.
TEST_F(SaveKeepsTest, ModeAclEntriesAndExtendedAttributesStay) {
    const std::string acl = "user::rw-\nuser:nobody:rw-\ngroup::---\nmask::rw-\nother::---\n";
    const std::filesystem::path settings = dir / "Zarvo.ini";
    WriteBytes(settings, "[WINDIFF]\r\nExePath=/old\r\n");
    for (const auto& file : {b, settings}) {
        SCOPED_TRACE(file.filename().string());
        viewer::EditedComparison editing = faults::TakenIntoSecond(a, b);
        chmod(file.c_str(), 0600);
        ASSERT_TRUE(SetAcl(file, "u::rw,u:nobody:rw,g::-,m::rw,o::-"));
        ASSERT_EQ(setxattr(file.c_str(), "user.origin", "kept", 4, 0), 0);
        ASSERT_EQ(AclText(file), acl);
        const mode_t before = Stat(file).st_mode & 07777;
        ASSERT_EQ(before, 0660u);  // the group bits show the mask

        if (file == b) {
            ASSERT_EQ(faults::SaveOutcome(editing), faults::kSaved);
            EXPECT_EQ(ReadBytes(b), faults::kAfter);
        } else {
            ASSERT_EQ(faults::WriteResult("WINDIFF", "ExePath", "/new", file.string()),
                      faults::kWriteSucceeded);
            EXPECT_EQ(ReadBytes(file), "[WINDIFF]\r\nExePath=/new\r\n");
        }
        EXPECT_EQ(AclText(file), acl);
        EXPECT_EQ(Stat(file).st_mode & 07777, 0660u);
        EXPECT_EQ(Attribute(file, "user.origin"), "kept");
    }
    // No temporary file left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

// A file with a second name: both names see the new contents, as one file still.
TEST_F(SaveKeepsTest, HardLinkedFileIsWrittenInPlace) {
    viewer::EditedComparison editing = faults::TakenIntoSecond(a, b);
    const std::filesystem::path other = dir / "other-name.txt";
    std::filesystem::create_hard_link(b, other);
    const ino_t inode = Stat(b).st_ino;
    ASSERT_EQ(faults::SaveOutcome(editing), faults::kSaved);
    EXPECT_EQ(ReadBytes(b), faults::kAfter);
    EXPECT_EQ(ReadBytes(other), faults::kAfter);
    EXPECT_EQ(Stat(b).st_ino, inode);
    EXPECT_EQ(Stat(other).st_nlink, 2u);
}

// A name of 255 bytes, the most a name may have (85 kana of three bytes each): its temporary
// file must fit too, for a save and for a settings write.
TEST_F(SaveKeepsTest, FileWithTheLongestNameIsSavedOverItself) {
    std::string name;
    for (int i = 0; i < 85; ++i) name += "\xE3\x81\x82";  // あ
    const std::filesystem::path longest = dir / name;
    viewer::EditedComparison editing = faults::TakenIntoSecond(a, longest);
    ASSERT_EQ(faults::SaveOutcome(editing), faults::kSaved);
    EXPECT_EQ(ReadBytes(longest), faults::kAfter);
    ASSERT_TRUE(
        platform::WriteSetting(platform::FromUtf8(longest.native()), L"Viewer", L"View", L"1"));
    EXPECT_EQ(platform::ReadSetting(platform::FromUtf8(longest.native()), L"Viewer", L"View", L""),
              L"1");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);  // a.txt and the long one: no temporary file left
}

// Deleted by another program before the save, then overwritten: made again with the mode it had
// when read, whatever the umask.
TEST_F(SaveKeepsTest, DeletedFileIsMadeAgainWithTheModeItHad) {
    WriteBytes(b, faults::kBefore);
    chmod(b.c_str(), 0600);
    viewer::EditedComparison editing = faults::TakenIntoSecond(a, b);
    std::filesystem::remove(b);
    const auto ending = faults::RunInChild([&] {
        umask(022);
        const viewer::SaveResult asked = editing.Save(viewer::Side::Second);
        if (asked.status != viewer::SaveStatus::ChangedOnDisk) return 3;
        return editing.Save(viewer::Side::Second, true).status == viewer::SaveStatus::Saved ? 0 : 4;
    });
    ASSERT_TRUE(ending.ExitedWith(0)) << ending.code;
    EXPECT_EQ(ReadBytes(b), faults::kAfter);
    EXPECT_EQ(Stat(b).st_mode & 07777, 0600u);
}

// A file of one folder only, made by the save in the other: the folder's default ACL applies to
// it as to any new file there.
TEST_F(SaveKeepsTest, FileMadeInAFolderWithADefaultAclInheritsIt) {
    const std::filesystem::path folder = dir / "r2";
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(SetAcl(folder, "u::rwx,u:nobody:rw,g::r-x,m::rwx,o::-", ACL_TYPE_DEFAULT));
    WriteBytes(a, "only\nin one\n");
    const std::filesystem::path made = folder / "a.txt";
    viewer::EditedComparison editing(
        viewer::Compare(a, made, viewer::kTextLimitBytes, {}, nullptr, {}, {false, true}));
    ASSERT_TRUE(editing.Take(viewer::Side::First, 0, 1).done);
    ASSERT_EQ(faults::SaveOutcome(editing), faults::kSaved);
    EXPECT_EQ(ReadBytes(made), "only\nin one\n");
    EXPECT_EQ(AclText(made),
              "user::rw-\nuser:nobody:rw-\ngroup::r-x\t#effective:r--\nmask::rw-\nother::---\n");

    // A file there without an ACL of its own stays without one: the new file does not keep what
    // it inherited.
    const std::filesystem::path plain = folder / "b.txt";
    viewer::EditedComparison editing2 = faults::TakenIntoSecond(a, plain);
    ASSERT_EQ(removexattr(plain.c_str(), "system.posix_acl_access"), 0);
    chmod(plain.c_str(), 0640);
    ASSERT_EQ(faults::SaveOutcome(editing2), faults::kSaved);
    EXPECT_EQ(ReadBytes(plain), faults::kAfter);
    EXPECT_EQ(AclText(plain), "user::rw-\ngroup::r--\nother::---\n");
    EXPECT_EQ(Stat(plain).st_mode & 07777, 0640u);
}

// Who may save is what the system says: another user's file this user may write (everyone may,
// or a group of theirs may) is written in place, staying the other user's, with its mode; and so
// is a writable file in a folder this user may not write. The edit is offered, and the save
// goes through.
TEST_F(SaveKeepsTest, FileTheUserMayWriteIsSavedWhoeverOwnsItAndTheFolder) {
    constexpr gid_t kUsers = 100;
    struct Case {
        mode_t file;
        gid_t group;
        mode_t folder;
    };
    for (const Case c : {Case{0666, 0, 0777}, Case{0664, kUsers, 0777}, Case{0666, 0, 0555}}) {
        SCOPED_TRACE(std::to_string(c.file) + " " + std::to_string(c.folder));
        chmod(dir.path().c_str(), 0777);
        viewer::EditedComparison editing = faults::TakenIntoSecond(a, b);
        chown(b.c_str(), 0, c.group);
        chmod(b.c_str(), c.file);
        chmod(dir.path().c_str(), c.folder);
        const ino_t inode = Stat(b).st_ino;
        const auto ending = faults::RunInChild([&] {
            const gid_t groups[] = {kUsers};
            if (setgroups(1, groups) != 0 || setgid(faults::kNoGroup) != 0 ||
                setuid(faults::kNobody) != 0) {
                return faults::kChildSetUpFailed;
            }
            viewer::EditedComparison mine(viewer::Compare(a, b));
            if (!mine.WhyReadOnly(viewer::Side::Second).editable()) return 3;
            if (!mine.Take(viewer::Side::First, 1, 1).done) return 4;
            return faults::SaveOutcome(mine);
        });
        EXPECT_TRUE(ending.ExitedWith(faults::kSaved)) << ending.code;
        EXPECT_EQ(ReadBytes(b), faults::kAfter);
        EXPECT_EQ(Stat(b).st_ino, inode);
        EXPECT_EQ(Stat(b).st_uid, 0u);
        EXPECT_EQ(Stat(b).st_gid, c.group);
        EXPECT_EQ(Stat(b).st_mode & 07777, c.file);
        chmod(dir.path().c_str(), 0777);
        std::filesystem::remove(b);
    }
}

}  // namespace
