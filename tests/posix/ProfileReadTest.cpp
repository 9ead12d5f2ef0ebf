// Reading profile files off Windows: the rules of the Windows functions, on real files.
#include <gtest/gtest.h>

#include <string>

#include "platform/Profile.h"
#include "support/TempDir.h"

namespace {

class ProfileRead : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string file = (dir / "Zarvo.ini").string();

    void Store(const std::string& bytes) { testsupport::WriteBytes(file, bytes); }

    std::string Get(const char* section, const char* key, const char* fallback = "<default>",
                    DWORD size = 1024) {
        std::string buffer(size + 8, '#');
        const DWORD count =
            GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file.c_str());
        lastCount = count;
        return buffer.substr(0, buffer.find('\0'));
    }

    DWORD lastCount = 0;
};

TEST_F(ProfileRead, NamesMatchWithoutCaseAndBlanksAroundNamesAndValuesAreIgnored) {
    Store("[ WinDiff ]\r\n\t ExePath \t=  C:\\tool.exe \t\r\n");
    EXPECT_EQ(Get("WINDIFF", "exepath"), "C:\\tool.exe");
    EXPECT_EQ(Get("  windiff  ", "  EXEPATH  "), "C:\\tool.exe");
    // Only spaces are trimmed from the caller's names, not tabs.
    EXPECT_EQ(Get("\tWINDIFF", "ExePath"), "<default>");
}

TEST_F(ProfileRead, OneOuterPairOfMatchingQuotesIsRemoved) {
    Store(
        "[S]\na=\"quoted value\"\nb='single'\nc=\"unmatched'\nd=\" inner \"\ne=\"\"x\"\"\n"
        "f=\"\n");
    EXPECT_EQ(Get("S", "a"), "quoted value");
    EXPECT_EQ(Get("S", "b"), "single");
    EXPECT_EQ(Get("S", "c"), "\"unmatched'");
    EXPECT_EQ(Get("S", "d"), " inner ");
    EXPECT_EQ(Get("S", "e"), "\"x\"");
    EXPECT_EQ(Get("S", "f"), "\"");
}

TEST_F(ProfileRead, CommentsLinesWithoutEqualsAndKeysBeforeAnySection) {
    Store("orphan=1\n[S]\n;a=commented\n  ; b=also\nnot a key\nc=x;y #z\n[T] trailing text\nd=4\n");
    EXPECT_EQ(Get("S", "orphan"), "<default>");
    EXPECT_EQ(Get("S", "a"), "<default>");
    EXPECT_EQ(Get("S", "; b"), "<default>");
    EXPECT_EQ(Get("S", "not a key"), "<default>");
    EXPECT_EQ(Get("S", "c"), "x;y #z");
    EXPECT_EQ(Get("T", "d"), "4");
}

TEST_F(ProfileRead, FirstSectionOfANameAndFirstKeyInItWin) {
    Store("[S]\nk=first\nk=second\n[s]\nk=third\nonly=later\n");
    EXPECT_EQ(Get("S", "k"), "first");
    EXPECT_EQ(Get("S", "only"), "<default>");
}

TEST_F(ProfileRead, DefaultsLoseTrailingSpacesButEmptyValuesStayEmpty) {
    Store("[S]\nempty=\nblank=   \n");
    EXPECT_EQ(Get("S", "empty"), "");
    EXPECT_EQ(Get("S", "blank"), "");
    EXPECT_EQ(Get("S", "missing", "  fallback  "), "  fallback");
    EXPECT_EQ(Get("Missing", "k", nullptr), "");
    std::filesystem::remove(file);
    EXPECT_EQ(Get("S", "empty", "gone"), "gone");
}

TEST_F(ProfileRead, LongValuesAreCutToSizeMinusOne) {
    Store("[S]\nk=" + std::string(100, 'v') + "\nshort=abc\n");
    EXPECT_EQ(Get("S", "k", "", 10), std::string(9, 'v'));
    EXPECT_EQ(lastCount, 9u);
    EXPECT_EQ(Get("S", "short", "", 4), "abc");
    EXPECT_EQ(lastCount, 3u);
    EXPECT_EQ(Get("S", "short", "", 3), "ab");
    EXPECT_EQ(Get("S", "nothing", "long default", 5), "long");
}

TEST_F(ProfileRead, AnyLineEndingWorks) {
    for (const char* newline : {"\r\n", "\n", "\r"}) {
        Store(std::string("[S]") + newline + "a=1" + newline + "b=2" + newline + "[T]" + newline +
              "a=3");
        EXPECT_EQ(Get("S", "a"), "1");
        EXPECT_EQ(Get("S", "b"), "2");
        EXPECT_EQ(Get("T", "a"), "3");
    }
}

TEST_F(ProfileRead, ByteOrderMarkAndDamageAreSurvived) {
    Store("\xEF\xBB\xBF[S]\nk=v\n");
    EXPECT_EQ(Get("S", "k"), "v");
    Store(std::string("[S]\nk=a\0b\n\xff\xfe\x01=\x02\n", 16));
    EXPECT_EQ(Get("S", "k"), "a");
    Store(std::string(4 * 1024 * 1024, '[') + "\n[S]\nk=after\n");
    EXPECT_EQ(Get("S", "k"), "after");
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_EQ(Get("S", "k"), "<default>");
}

TEST_F(ProfileRead, SectionAndKeyNamesCanBeListed) {
    Store("[A]\nx=1\ny=2\n[B]\n");
    char buffer[64];
    DWORD count =
        GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(std::string(buffer, count + 1), std::string("A\0B\0\0", 5));
    count = GetPrivateProfileStringA("a", nullptr, "", buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(std::string(buffer, count + 1), std::string("x\0y\0\0", 5));
}

}  // namespace
