// Saves on Windows as its security and its names have them: a file whose rights deny this user
// writing, a folder that takes no new file, a 255-character name. Built with MinGW, run under
// Wine (which keeps a file's rights as its Unix mode: a right denied to the owner while others
// hold it is kept apart from the read-only attribute) and on Windows.
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "EditedComparison.h"
#include "Wording.h"
#include "support/EditWords.h"
#include "support/TempDir.h"
#include "support/TwoFilesTest.h"

namespace {

using testsupport::ReadBytes;
using testsupport::Said;
using testsupport::WhyReadOnly;
using testsupport::WriteBytes;
using viewer::EditedComparison;
using viewer::SaveStatus;
using viewer::Side;

// For its life, `path` (a file or a folder) grants everyone everything but denies the user this
// program runs as `denied`; then it has its own rights back.
class DeniedToMe {
public:
    DeniedToMe(const std::filesystem::path& path, DWORD denied) : path_(path.wstring()) {
        EXPECT_EQ(GetNamedSecurityInfoW(path_.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, &old_, nullptr, &security_),
                  static_cast<DWORD>(ERROR_SUCCESS));
        HANDLE token = nullptr;
        EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, user_, sizeof user_, &size);
        CloseHandle(token);
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        EXPECT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                             &everyone_));
        EXPLICIT_ACCESSW entries[2]{};
        entries[0].grfAccessPermissions = denied;
        entries[0].grfAccessMode = DENY_ACCESS;
        entries[0].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[0].Trustee.TrusteeType = TRUSTEE_IS_USER;
        entries[0].Trustee.ptstrName =
            static_cast<LPWSTR>(reinterpret_cast<TOKEN_USER*>(user_)->User.Sid);
        entries[1].grfAccessPermissions = GENERIC_ALL;
        entries[1].grfAccessMode = GRANT_ACCESS;
        entries[1].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[1].Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        entries[1].Trustee.ptstrName = static_cast<LPWSTR>(everyone_);
        PACL acl = nullptr;
        EXPECT_EQ(SetEntriesInAclW(2, entries, nullptr, &acl), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(Set(acl), static_cast<DWORD>(ERROR_SUCCESS));
        LocalFree(acl);
    }
    ~DeniedToMe() {
        Set(old_);
        LocalFree(security_);
        FreeSid(everyone_);
    }
    DeniedToMe(const DeniedToMe&) = delete;
    DeniedToMe& operator=(const DeniedToMe&) = delete;

private:
    DWORD Set(PACL acl) {
        return SetNamedSecurityInfoW(
            path_.data(), SE_FILE_OBJECT,
            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, acl,
            nullptr);
    }
    std::wstring path_;
    PACL old_ = nullptr;
    PSECURITY_DESCRIPTOR security_ = nullptr;
    alignas(TOKEN_USER) char user_[256]{};
    PSID everyone_ = nullptr;
};

// The file's identity on its volume: the same after a write over it, new after a replace.
ULONGLONG FileIndex(const std::filesystem::path& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(GetFileInformationByHandle(file, &info)) << GetLastError();
    CloseHandle(file);
    return (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

// The long form, "\\?\C:\...", in which the test reads a name past MAX_PATH.
std::filesystem::path LongForm(const std::filesystem::path& path) {
    return L"\\\\?\\" + std::filesystem::absolute(path).wstring();
}

std::set<std::filesystem::path> Entries(const std::filesystem::path& folder) {
    std::set<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename());
    }
    return names;
}

class SaveWin32Test : public testsupport::TwoFilesTest {};

TEST_F(SaveWin32Test, FileWhoseRightsDenyThisUserWritingIsNeitherEditedNorSaid) {
    WriteBytes(a, "one\ntwo\n");
    WriteBytes(b, "one\nthree\n");
    {
        const DeniedToMe denied(b, FILE_WRITE_DATA | FILE_APPEND_DATA);
        ASSERT_EQ(GetFileAttributesW(b.c_str()) & FILE_ATTRIBUTE_READONLY, 0u)
            << "a right denied must not show as the read-only attribute";
        EditedComparison e(viewer::Compare(a, b));
        EXPECT_EQ(WhyReadOnly(e, Side::Second), u"書き込む権限がありません");
        EXPECT_EQ(WhyReadOnly(e, Side::First), u"");
        EXPECT_EQ(Said(e, e.Take(Side::First, 1, 1)),
                  u"「b.txt」は編集できません（書き込む権限がありません）");
    }
    // Denied between the start of editing and the save: the save says so and writes nothing.
    EditedComparison e(viewer::Compare(a, b));
    ASSERT_TRUE(e.Take(Side::First, 1, 1).done);
    {
        const DeniedToMe denied(b, FILE_WRITE_DATA | FILE_APPEND_DATA);
        const auto saved = e.Save(Side::Second);
        EXPECT_EQ(saved.status, SaveStatus::Failed);
        EXPECT_EQ(Said(e, saved),
                  u"書き込みが拒否されたため、「b.txt」を保存できませんでした（書き込む権限が"
                  u"ありません）。ファイルは元のままです。");
    }
    EXPECT_EQ(ReadBytes(b), "one\nthree\n");
    EXPECT_TRUE(e.Changed(Side::Second));
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(b), "one\ntwo\n");
}

// A folder that takes no new file from this user: a file in it that the user may write is
// edited and written over (the same file, nothing left beside it); a file to be made in it is
// not edited.
TEST_F(SaveWin32Test, FolderThatTakesNoNewFileHasItsWritableFileWrittenOver) {
    const std::filesystem::path folder = dir / "locked";
    std::filesystem::create_directory(folder);
    const std::filesystem::path file = folder / "b.txt";
    WriteBytes(a, "one\ntwo\nthree\n");
    WriteBytes(file, "one\n");
    const ULONGLONG before = FileIndex(file);
    const DeniedToMe denied(folder, FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD);

    EditedComparison e(viewer::Compare(a, file));
    EXPECT_EQ(WhyReadOnly(e, Side::Second), u"");
    ASSERT_TRUE(e.Take(Side::First, 1, 2).done);
    EXPECT_EQ(Said(e, e.Save(Side::Second)), u"「b.txt」を保存しました");
    EXPECT_EQ(ReadBytes(file), "one\ntwo\nthree\n");
    EXPECT_EQ(FileIndex(file), before);
    // Shorter than it was: the end goes too.
    ASSERT_TRUE(e.Undo().done);
    ASSERT_TRUE(e.EditLine(0, Side::Second, u"1").done);
    ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(ReadBytes(file), "1\n");
    EXPECT_EQ(Entries(folder), std::set<std::filesystem::path>{"b.txt"});

    e = EditedComparison(viewer::Compare(a, folder / "new.txt", viewer::kTextLimitBytes, {},
                                         nullptr, {}, {false, true}));
    EXPECT_EQ(Said(e, e.Take(Side::First, 0, 2)),
              u"「new.txt」は編集できません（フォルダーに書き込む権限がありません）");
}

// Names that pass MAX_PATH only with the temporary name beside them, and a name of the longest
// length a name may have: made by the save, then saved again, nothing left beside them.
TEST_F(SaveWin32Test, LongestNamesAreMadeAndSaved) {
    WriteBytes(a, "first\nsecond\n");
    const std::filesystem::path longest = dir / (std::string(251, 'n') + ".txt");
    // A whole name of 256 characters: its temporary name passes MAX_PATH, the name does not.
    const std::filesystem::path sub = dir / "sub";
    std::filesystem::create_directory(sub);
    const std::size_t room = 256 - (sub / "f.txt").wstring().size();
    ASSERT_GT(room, 0u) << "the temporary folder's own name is too long for this test";
    const std::filesystem::path nearMax = sub / (std::string(room, 'f') + "f.txt");
    ASSERT_EQ(nearMax.wstring().size(), 256u);
    for (const std::filesystem::path& made : {longest, nearMax}) {
        SCOPED_TRACE(made.string());
        EditedComparison e(
            viewer::Compare(a, made, viewer::kTextLimitBytes, {}, nullptr, {}, {false, true}));
        ASSERT_EQ(WhyReadOnly(e, Side::Second), u"");
        ASSERT_TRUE(e.Take(Side::First, 0, 1).done);
        std::u16string said = u"「";  // appended: GCC 12 sees an overlap in `u"…" + s` (-Wrestrict)
        said += made.filename().u16string();
        said += u"」を保存しました";
        EXPECT_EQ(Said(e, e.Save(Side::Second)), said);
        EXPECT_EQ(ReadBytes(LongForm(made)), "first\nsecond\n");
        ASSERT_TRUE(e.EditLine(1, Side::Second, u"2nd").done);
        ASSERT_EQ(e.Save(Side::Second).status, SaveStatus::Saved);
        EXPECT_EQ(ReadBytes(LongForm(made)), "first\n2nd\n");
        EXPECT_EQ(Entries(made.parent_path()).count(made.filename()), 1u);
    }
    EXPECT_EQ(Entries(dir.path()),
              (std::set<std::filesystem::path>{"a.txt", "sub", longest.filename()}));
    EXPECT_EQ(Entries(sub), std::set<std::filesystem::path>{nearMax.filename()});
}

}  // namespace
