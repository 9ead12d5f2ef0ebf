// libFuzzer target for the viewer's comparison of two files, from reading them to the rows it
// shows. The first input byte chooses the second file: the bytes after a separator (or the second
// half), a copy of the first, or the first with one byte changed; and whether the files go over
// the text limit, so that the block-by-block comparison runs too. Both files are written to a
// memory file system and compared as the program compares them. Checks, beyond the sanitizers:
// - the first differing byte and the sizes are the files' own; identical bytes say so;
// - every line of both files appears exactly once in the rows, in order;
// - a common row pairs two lines with the same bytes, or, for files in two encodings, the same
//   text decoded without loss;
// - identical files have only common rows; files whose bytes differ show a difference or say
//   why their lines are the same; files in one encoding whose lines differ show a difference;
// - the common rows are as many as the longest common subsequence of the lines (small inputs);
// - the differences start where runs of changed rows start, and moving between them agrees.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "Comparison.h"
#include "ViewerCheck.h"

namespace {

using viewer::Comparison;
using viewer::Encoding;
using viewer::RowKind;
using viewercheck::RawLine;

[[noreturn]] void Fail(const char* rule) { viewercheck::Fail("viewer compare fuzzer", rule); }

// Seeds hold both files, the first then the second, with this between them.
constexpr std::string_view kSeparator = "\n--zarvo-second-file--\n";

// One folder per fuzzing process, on a memory file system where there is one; removed at exit.
const std::string& Folder() {
    static const std::string folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        static const std::string path =
            std::string(base) + "/zarvo-view-fuzz-" + std::to_string(getpid());
        mkdir(path.c_str(), 0700);
        std::atexit([] {
            unlink((path + "/first").c_str());
            unlink((path + "/second").c_str());
            rmdir(path.c_str());
        });
        return path;
    }();
    return folder;
}

void Store(const std::string& name, std::string_view bytes) {
    std::ofstream out(Folder() + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The lines of a file as the viewer should cut them, its byte order mark left out.
std::vector<RawLine> FileLines(std::string_view bytes, const viewer::FileSide& side) {
    const std::size_t mark =
        side.encoding == Encoding::Utf8Bom                                         ? 3
        : side.encoding == Encoding::Utf16Le || side.encoding == Encoding::Utf16Be ? 2
                                                                                   : 0;
    return viewercheck::SplitLines(bytes.substr(mark), viewer::UnitBytes(side.encoding),
                                   side.encoding == Encoding::Utf16Be);
}

// The length of a longest common subsequence of two lists of lines.
std::size_t CommonLength(const std::vector<RawLine>& a, const std::vector<RawLine>& b) {
    std::vector<std::size_t> row(b.size() + 1, 0);
    for (const RawLine& x : a) {
        std::size_t diagonal = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            const std::size_t above = row[j + 1];
            row[j + 1] = x.bytes == b[j].bytes ? diagonal + 1 : std::max(row[j], above);
            diagonal = above;
        }
    }
    return row[b.size()];
}

void CheckText(const Comparison& c, std::string_view bytes1, std::string_view bytes2) {
    const std::vector<RawLine> lines1 = FileLines(bytes1, c.first);
    const std::vector<RawLine> lines2 = FileLines(bytes2, c.second);
    const viewer::TextFile& text1 = *c.first.text;
    const viewer::TextFile& text2 = *c.second.text;
    if (text1.LineCount() != static_cast<std::int32_t>(lines1.size()) ||
        text2.LineCount() != static_cast<std::int32_t>(lines2.size())) {
        Fail("a file has the wrong number of lines");
    }
    // Files in one encoding (a byte order mark aside) write the same text in the same bytes.
    auto form = [](Encoding e) { return e == Encoding::Utf8Bom ? Encoding::Utf8 : e; };
    const bool oneEncoding = form(c.first.encoding) == form(c.second.encoding);

    // Every line once, in order; common rows pair equal lines.
    std::int32_t next1 = 0, next2 = 0;
    std::size_t common = 0;
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
        const viewer::Row row = c.rows[r];
        const bool has1 = row.kind != RowKind::Added, has2 = row.kind != RowKind::Removed;
        if (has1 != (row.first >= 0) || has2 != (row.second >= 0))
            Fail("a row's lines do not match its kind");
        if (has1 && row.first != next1++) Fail("the first file's lines are not shown in order");
        if (has2 && row.second != next2++) Fail("the second file's lines are not shown in order");
        if (row.kind == RowKind::Common) {
            ++common;
            const RawLine& a = lines1[static_cast<std::size_t>(row.first)];
            const RawLine& b = lines2[static_cast<std::size_t>(row.second)];
            if (a.bytes != b.bytes) {
                const bool sameText = !oneEncoding && !c.first.lossy && !c.second.lossy &&
                                      viewer::Decode(a.bytes, c.first.encoding) ==
                                          viewer::Decode(b.bytes, c.second.encoding);
                if (!sameText) Fail("a common row pairs lines that differ");
            }
        }
        c.LineText(r);
        c.LineBytes(r);
    }
    if (next1 != text1.LineCount() || next2 != text2.LineCount())
        Fail("a line is missing from the rows");

    // Where the differences start, and moving between them.
    std::vector<std::size_t> starts;
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
        if (c.rows[r].kind != RowKind::Common && (r == 0 || c.rows[r - 1].kind == RowKind::Common))
            starts.push_back(r);
    }
    if (starts != c.differenceStarts) Fail("differences do not start where changed rows start");
    std::optional<std::size_t> at;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        at = c.NextDifference(at);
        if (at != starts[k] || c.DifferenceNumber(starts[k]) != k + 1)
            Fail("moving between differences skips one");
    }
    if (c.NextDifference(at)) Fail("a difference after the last one");

    std::vector<std::string_view> bare1, bare2;
    std::vector<std::u16string> shown1, shown2;
    for (const RawLine& l : lines1) {
        bare1.push_back(l.bytes);
        shown1.push_back(viewer::Decode(l.bytes, c.first.encoding));
    }
    for (const RawLine& l : lines2) {
        bare2.push_back(l.bytes);
        shown2.push_back(viewer::Decode(l.bytes, c.second.encoding));
    }
    if (c.identicalBytes && (common != c.rows.size() || !starts.empty()))
        Fail("identical files show a difference");
    if (!c.identicalBytes && starts.empty() && c.SameLinesNote().empty())
        Fail("files whose bytes differ show no difference and say nothing");
    const bool byText = !oneEncoding && !c.first.lossy && !c.second.lossy;
    if (starts.empty() && (oneEncoding ? bare1 != bare2 : byText && shown1 != shown2))
        Fail("files with different lines show no difference");
    if (oneEncoding && lines1.size() * lines2.size() <= 40000 &&
        common != CommonLength(lines1, lines2)) {
        Fail("the common lines are not a longest common subsequence");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::uint8_t control = data[0];
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string first, second;
    switch (control & 3) {
        case 0:
        case 1: {
            const std::size_t separator = input.find(kSeparator);
            const std::size_t cut =
                separator == std::string_view::npos ? input.size() / 2 : separator;
            first = input.substr(0, cut);
            second = input.substr(std::min(
                input.size(), cut + (separator == std::string_view::npos ? 0 : kSeparator.size())));
            break;
        }
        case 2:
            first = second = input;
            break;
        case 3:
            // One byte changed, at a place and to a value taken from the control byte and the
            // input itself.
            first = second = input;
            if (!second.empty()) {
                const std::size_t at = (control >> 2) * 2654435761u % second.size();
                second[at] = static_cast<char>(second[at] ^ (1 + (control >> 2) % 255));
            }
            break;
    }
    // Over the text limit for one file or both: compared in blocks.
    const std::int64_t limit =
        (control & 0x80) != 0 ? static_cast<std::int64_t>(std::min(first.size(), second.size()))
                              : viewer::kTextLimitBytes;
    Store("first", first);
    Store("second", second);
    const Comparison c = viewer::Compare(Folder() + "/first", Folder() + "/second", limit);

    if (c.outcome == viewer::Outcome::Unreadable) Fail("a written file could not be read");
    if (c.first.size != static_cast<std::int64_t>(first.size()) ||
        c.second.size != static_cast<std::int64_t>(second.size())) {
        Fail("a file's size is wrong");
    }
    const std::size_t shorter = std::min(first.size(), second.size());
    const auto mismatch = std::mismatch(
        first.begin(), first.begin() + static_cast<std::ptrdiff_t>(shorter), second.begin());
    const std::int64_t firstDifference = first == second ? -1 : mismatch.first - first.begin();
    if (c.firstDifferentByte != firstDifference || c.identicalBytes != (first == second))
        Fail("the first differing byte is wrong");
    const bool tooLarge = static_cast<std::int64_t>(std::max(first.size(), second.size())) > limit;
    if ((c.outcome == viewer::Outcome::TooLarge) != tooLarge) Fail("the text limit was not kept");
    if (tooLarge) return 0;
    if ((c.outcome == viewer::Outcome::Binary) !=
        (viewer::LooksBinary(first) || viewer::LooksBinary(second))) {
        Fail("binary detection differs from the files'");
    }
    if (c.outcome == viewer::Outcome::Text) CheckText(c, first, second);
    return 0;
}
