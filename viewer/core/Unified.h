// The comparison as a unified diff, as `diff -u` writes it: the viewer's answer for scripts and
// version control, exact to the byte, so that `patch` applied to the first file gives the second.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Cancel.h"
#include "FileError.h"

namespace viewer {

// The lines of `bytes` as diff cuts them: each ends after its LF; the last may have none.
std::vector<std::string_view> RawLines(std::string_view bytes);

// The hunks of a unified diff of `first` against `second`, with `context` common lines around
// each change; empty when the two are equal. A line without a final LF is followed by
// "\ No newline at end of file".
std::string UnifiedHunks(std::string_view first, std::string_view second, int context = 3,
                         const CancelFlag* cancel = nullptr);

struct UnifiedOutput {
    int exitCode = 2;   // as diff: 0 the same, 1 different, 2 trouble
    std::string out;    // for standard output
    SideErrors errors;  // the files that could not be read (exit code 2)
};

// Where a diff that may be long goes as it is written.
struct UnifiedStreams {
    std::function<void(std::string_view)> out;  // the diff, for standard output
    std::function<void(std::string_view)> err;  // what could not be read, UTF-8
    // Why a file could not be read or written, in the words the user reads (UTF-8), and the
    // same for the two files of a pair, each named by its side.
    std::function<std::string(const FileError&)> why = {};
    std::function<std::string(const SideErrors&)> whySides = {};
    // "diff-zarvo-view: NAME: WHY" on standard error.
    void Trouble(const std::string& name, const std::string& reason) const;
};

// `diff -u FIRST SECOND`, the files compared as bytes. A label, when not empty, names its file
// in the header instead of its path (and its time). Binary files that differ give "Binary files
// A and B differ", as diff says it.
UnifiedOutput UnifiedDiff(const std::filesystem::path& first, const std::filesystem::path& second,
                          const std::string& firstLabel = {}, const std::string& secondLabel = {});

// A path or a label as the bytes to print: a POSIX name as it is, a Windows name in UTF-8.
std::string PrintedName(const std::filesystem::path& path);

// A file's time as a header prints it after its name, "2026-12-08 06:00:00.000000000 +0000", in
// UTC; empty when the system cannot say.
std::string HeaderTime(const std::filesystem::path& path);

}  // namespace viewer
