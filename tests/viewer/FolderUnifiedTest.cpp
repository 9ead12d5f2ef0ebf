// Two folders written as `diff -ruN` writes them, checked by `patch`: applied to a copy of the
// first folder, the output must give the second folder's text files back byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FolderUnified.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

// Every line of the first removed and every line of the second added: the plainest hunk there
// is, enough for patch.
std::string WholeHunk(std::string_view first, std::string_view second) {
    const auto lines = [](std::string_view text) {
        std::vector<std::string_view> cut;
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
            cut.push_back(text.substr(0, end));
            text.remove_prefix(end);
        }
        return cut;
    };
    const auto range = [](std::size_t count) {
        return count == 0 ? std::string("0,0") : "1," + std::to_string(count);
    };
    const auto lines1 = lines(first), lines2 = lines(second);
    std::string out = "@@ -" + range(lines1.size()) + " +" + range(lines2.size()) + " @@\n";
    for (const auto& [sign, side] : {std::pair{'-', &lines1}, std::pair{'+', &lines2}}) {
        for (std::string_view line : *side) {
            out += sign;
            out += line;
            if (line.back() != '\n') out += "\n\\ No newline at end of file\n";
        }
    }
    return out;
}

struct Written {
    int code = -1;
    std::string out, err;
};

Written Write(const fs::path& first, const fs::path& second) {
    Written written;
    FolderUnifiedOutput output{[&](std::string_view text) { written.out += text; },
                               [&](std::string_view text) { written.err += text; }};
    written.code = WriteFolderUnified(first, second, output, WholeHunk);
    return written;
}

TEST(FolderUnified, PatchRebuildsTheSecondFoldersTextFiles) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b";
    fs::create_directories(a / "sub");
    fs::create_directories(b / "sub");
    fs::create_directories(b / "fresh" / "deep");
    WriteBytes(a / "keep.txt", "same\n");
    WriteBytes(b / "keep.txt", "same\n");
    WriteBytes(a / "sub" / "edit.txt", "1\n2\n3\n");
    WriteBytes(b / "sub" / "edit.txt", "1\nX\n3");  // and loses its last newline
    WriteBytes(a / "gone.txt", "old\nlines\n");
    WriteBytes(b / "fresh" / "deep" / "new.txt", "new\n");
    WriteBytes(a / "bin.dat", std::string("\0\1", 2));
    WriteBytes(b / "bin.dat", std::string("\0\2", 2));
    WriteBytes(a / "kind", "file\n");
    fs::create_directory(b / "kind");
    fs::create_symlink("keep.txt", b / "link");

    const Written written = Write(a, b);
    EXPECT_EQ(written.code, 1);
    EXPECT_EQ(written.err, "");
    EXPECT_EQ(written.out,
              "Binary files a/bin.dat and b/bin.dat differ\n"
              "--- a/fresh/deep/new.txt\n"
              "+++ b/fresh/deep/new.txt\n"
              "@@ -0,0 +1,1 @@\n"
              "+new\n"
              "--- a/gone.txt\n"
              "+++ b/gone.txt\n"
              "@@ -1,2 +0,0 @@\n"
              "-old\n"
              "-lines\n"
              "File a/kind is a regular file while file b/kind is a directory\n"
              "Only in b: link\n"
              "--- a/sub/edit.txt\n"
              "+++ b/sub/edit.txt\n"
              "@@ -1,3 +1,3 @@\n"
              "-1\n"
              "-2\n"
              "-3\n"
              "+1\n"
              "+X\n"
              "+3\n"
              "\\ No newline at end of file\n");

    // patch, run in a copy of the first folder, gives the second's text files.
    fs::copy(a, dir / "c", fs::copy_options::recursive);
    WriteBytes(dir / "diff", written.out);
    const std::string command =
        "cd '" + (dir / "c").string() + "' && patch -p1 -E -s -f < ../diff >/dev/null 2>&1";
    std::system(command.c_str());
    EXPECT_EQ(ReadBytes(dir / "c" / "sub" / "edit.txt"), "1\nX\n3");
    EXPECT_EQ(ReadBytes(dir / "c" / "fresh" / "deep" / "new.txt"), "new\n");
    EXPECT_FALSE(fs::exists(dir / "c" / "gone.txt"));
    EXPECT_EQ(ReadBytes(dir / "c" / "keep.txt"), "same\n");

    // The same folders: nothing written, 0. A folder that is not there: 2, and why.
    const Written same = Write(a, a);
    EXPECT_EQ(same.code, 0);
    EXPECT_EQ(same.out, "");
    const Written missing = Write(a, dir / "none");
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.err, "diff-zarvo-view: 第二: 見つかりません\n");
}

}  // namespace
}  // namespace viewer
