// Writing profile files off Windows: Windows' layout, every other byte kept, and a write that
// either happens whole or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/Profile.h"
#include "support/TempDir.h"

namespace {

class ProfileWrite : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string file = (dir / "Zarvo.ini").string();

    bool Put(const char* section, const char* key, const char* value) {
        return WritePrivateProfileStringA(section, key, value, file.c_str()) != 0;
    }
    std::string Bytes() { return testsupport::ReadBytes(file); }
    std::string Get(const char* section, const char* key) {
        char buffer[1024];
        GetPrivateProfileStringA(section, key, "<default>", buffer, sizeof buffer, file.c_str());
        return buffer;
    }
};

// Runs body in a child process that has dropped root's privileges, and returns its exit code.
template <typename Body>
int AsNobody(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ProfileWrite, NewFileGetsSectionAndKeyWithCrLf) {
    ASSERT_TRUE(Put("WINDIFF", "ExePath", "C:\\tools\\diff.exe"));
    EXPECT_EQ(Bytes(), "[WINDIFF]\r\nExePath=C:\\tools\\diff.exe\r\n");
    ASSERT_TRUE(Put(" DiffPath ", " LIST1 ", " spaced value "));
    EXPECT_EQ(Bytes(),
              "[WINDIFF]\r\nExePath=C:\\tools\\diff.exe\r\n[DiffPath]\r\nLIST1= spaced value \r\n");
}

TEST_F(ProfileWrite, EmptyFileIsTreatedAsNew) {
    testsupport::WriteBytes(file, "");
    ASSERT_TRUE(Put("S", "k", "v"));
    EXPECT_EQ(Bytes(), "[S]\r\nk=v\r\n");
}

TEST_F(ProfileWrite, ExistingKeyChangesInPlaceKeepingItsCasingAndEverythingElse) {
    testsupport::WriteBytes(file,
                            "; settings\n[diffpath]\n  List1 = old \n\nLIST2=keep\n[Other]\nx=1");
    ASSERT_TRUE(Put("DiffPath", "LIST1", "new"));
    EXPECT_EQ(Bytes(), "; settings\n[diffpath]\nList1=new\n\nLIST2=keep\n[Other]\nx=1");
}

TEST_F(ProfileWrite, MissingKeyGoesAfterTheLastEntryOfItsSection) {
    testsupport::WriteBytes(file, "[S]\r\na=1\r\n; note\r\n\r\n[T]\r\nb=2\r\n");
    ASSERT_TRUE(Put("s", "c", "3"));
    EXPECT_EQ(Bytes(), "[S]\r\na=1\r\nc=3\r\n; note\r\n\r\n[T]\r\nb=2\r\n");
    testsupport::WriteBytes(file, "[Empty]\n[T]\nb=2");
    ASSERT_TRUE(Put("Empty", "k", "v"));
    EXPECT_EQ(Bytes(), "[Empty]\nk=v\r\n[T]\nb=2");
    ASSERT_TRUE(Put("T", "c", "3"));
    EXPECT_EQ(Bytes(), "[Empty]\nk=v\r\n[T]\nb=2\r\nc=3\r\n");
}

TEST_F(ProfileWrite, MissingSectionGoesAtTheEndOnALineOfItsOwn) {
    testsupport::WriteBytes(file, "[A]\nx=1");
    ASSERT_TRUE(Put("B", "y", "2"));
    EXPECT_EQ(Bytes(), "[A]\nx=1\r\n[B]\r\ny=2\r\n");
}

TEST_F(ProfileWrite, WrittenValuesReadBack) {
    for (const char* value :
         {"plain", "", "with = sign", "C:\\a b\\x.txt", "ファイル.txt", "a;b#c"}) {
        ASSERT_TRUE(Put("S", "k", value));
        EXPECT_EQ(Get("S", "k"), value);
    }
}

TEST_F(ProfileWrite, NullValueRemovesKeyAndNullKeyRemovesSection) {
    testsupport::WriteBytes(file, "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(Put("A", "x", nullptr));
    EXPECT_EQ(Bytes(), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(Put("A", nullptr, nullptr));
    EXPECT_EQ(Bytes(), "[B]\r\nz=3\r\n");
}

TEST_F(ProfileWrite, TextsThatWouldDamageTheFileAreRefused) {
    testsupport::WriteBytes(file, "[S]\r\nk=v\r\n");
    EXPECT_FALSE(Put("S", "k", "two\nlines"));
    EXPECT_FALSE(Put("S", "k", "cr\rvalue"));
    EXPECT_FALSE(Put("S\n[T]", "k", "v"));
    EXPECT_FALSE(Put("S]", "k", "v"));
    EXPECT_FALSE(Put("S", "a=b", "v"));
    EXPECT_FALSE(Put("S", "", "v"));
    EXPECT_FALSE(Put(nullptr, "k", "v"));
    EXPECT_EQ(Bytes(), "[S]\r\nk=v\r\n");
}

TEST_F(ProfileWrite, ReadOnlyFileAndFolderFailAndChangeNothing) {
    testsupport::WriteBytes(file, "[S]\r\nk=old\r\n");
    chmod(file.c_str(), 0444);
    EXPECT_FALSE(Put("S", "k", "new"));
    EXPECT_EQ(Bytes(), "[S]\r\nk=old\r\n");
    chmod(file.c_str(), 0644);

    chmod(dir.path().c_str(), 0555);
    const std::string path = file;
    const int code = AsNobody(
        [&] { return WritePrivateProfileStringA("S", "k", "new", path.c_str()) == 0 ? 0 : 1; });
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Bytes(), "[S]\r\nk=old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ProfileWrite, UnreadableFileOrFolderInItsPlaceIsNotReplaced) {
    std::filesystem::create_directory(file);
    EXPECT_FALSE(Put("S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    std::filesystem::remove(file);

    testsupport::WriteBytes(file, "[S]\r\nk=secret\r\n");
    chmod(file.c_str(), 0200);
    chmod(dir.path().c_str(), 0777);
    const std::string path = file;
    EXPECT_EQ(AsNobody([&] {
                  return WritePrivateProfileStringA("S", "k", "v", path.c_str()) == 0 ? 0 : 1;
              }),
              0);
    chmod(file.c_str(), 0644);
    EXPECT_EQ(Bytes(), "[S]\r\nk=secret\r\n");
}

TEST_F(ProfileWrite, PermissionsAndSymbolicLinksAreKept) {
    testsupport::WriteBytes(file, "[S]\r\nk=v\r\n");
    chmod(file.c_str(), 0640);
    ASSERT_TRUE(Put("S", "k", "w"));
    struct stat info {};
    stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    const std::string link = (dir / "link.ini").string();
    symlink(file.c_str(), link.c_str());
    ASSERT_NE(WritePrivateProfileStringA("S", "k", "through link", link.c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Get("S", "k"), "through link");
}

// A reader running beside the writer only ever sees a whole old or a whole new file.
TEST_F(ProfileWrite, ReadersNeverSeeAPartialFile) {
    const std::string big(200000, 'x');
    const std::string a = "[S]\r\nk=" + big + "a\r\n";
    const std::string b = "[S]\r\nk=" + big + "b\r\n";
    testsupport::WriteBytes(file, a);
    std::atomic<bool> done{false};
    std::atomic<int> bad{0}, reads{0};
    std::thread reader([&] {
        while (!done) {
            const std::string seen = testsupport::ReadBytes(file);
            if (seen != a && seen != b) ++bad;
            ++reads;
        }
    });
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(Put("S", "k", (big + (i % 2 ? "a" : "b")).c_str()));
    }
    done = true;
    reader.join();
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
