// Damaged and unusual settings files, made on demand in a folder: what each holds and what the
// program should read from it. Shared by the damaged-file tests and the start-up benchmark.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace damaged {

struct Case {
    std::string name;
    std::function<void(const std::filesystem::path&)> make;
    // What a reader should find; empty tool means the default, and no history means none.
    std::string tool;
    std::vector<std::string> history;
    bool unreadable = false;  // only an ordinary user is refused; root reads anything
};

// Test output names a case by its name (its raw bytes would include padding nobody set).
inline void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

inline void Bytes(const std::filesystem::path& file, const std::string& bytes) {
    testsupport::WriteBytes(file, bytes);
}

inline std::string Random(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

inline std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += c, out += '\0';
    return out;
}

inline const std::string kValid =
    "[WINDIFF]\r\nExePath=/opt/tool\r\n[DiffPath]\r\nLIST1=/a\r\nLIST2=/b\r\n";

inline std::vector<Case> Cases() {
    return {
        {"binary", [](auto& f) { Bytes(f, Random(64 * 1024, 7)); }, "", {}},
        {"nuls", [](auto& f) { Bytes(f, std::string(4096, '\0')); }, "", {}},
        {"nul_inside_value",
         [](auto& f) { Bytes(f, std::string("[WINDIFF]\r\nExePath=/opt/to\0ol\r\n", 31)); },
         "/opt/to",
         {}},
        {"nul_before_keys",
         [](auto& f) { Bytes(f, std::string("\0\0\0\r\n", 5).append(kValid)); },
         "/opt/tool",
         {"/a", "/b"}},
        {"one_10mb_line", [](auto& f) { Bytes(f, std::string(10 << 20, 'x')); }, "", {}},
        {"10mb_line_then_keys",
         [](auto& f) {
             Bytes(f, std::string(";").append(10 << 20, 'x').append("\r\n").append(kValid));
         },
         "/opt/tool",
         {"/a", "/b"}},
        {"10mb_value",
         [](auto& f) {
             Bytes(f, std::string("[WINDIFF]\r\nExePath=/").append(10 << 20, 'v').append("\r\n"));
         },
         std::string("/").append(32766, 'v'),
         {}},
        {"no_final_newline",
         [](auto& f) { Bytes(f, "[DiffPath]\r\nLIST1=/a\r\nLIST2=/b"); },
         "",
         {"/a", "/b"}},
        {"utf8_bom",
         [](auto& f) { Bytes(f, std::string("\xEF\xBB\xBF").append(kValid)); },
         "/opt/tool",
         {"/a", "/b"}},
        {"utf16", [](auto& f) { Bytes(f, Utf16(kValid)); }, "", {}},
        {"cr_only",
         [](auto& f) {
             Bytes(f, "[WINDIFF]\rExePath=/opt/tool\r[DiffPath]\rLIST1=/a\rLIST2=/b\r");
         },
         "/opt/tool",
         {"/a", "/b"}},
        {"lf_only",
         [](auto& f) {
             Bytes(f, "[WINDIFF]\nExePath=/opt/tool\n[DiffPath]\nLIST1=/a\nLIST2=/b\n");
         },
         "/opt/tool",
         {"/a", "/b"}},
        {"empty", [](auto& f) { Bytes(f, ""); }, "", {}},
        // Good keys at its start, then a gigabyte that takes no room on the disk: too large for
        // a settings file, so it is damaged as a whole.
        {"sparse_1gib",
         [](auto& f) {
             Bytes(f, kValid);
             std::filesystem::resize_file(f, 1 << 30);
         },
         "",
         {}},
        {"folder", [](auto& f) { std::filesystem::create_directory(f); }, "", {}},
        {"fifo", [](auto& f) { mkfifo(f.c_str(), 0644); }, "", {}},
        {"no_read_permission",
         [](auto& f) {
             Bytes(f, kValid);
             chmod(f.c_str(), 0200);
         },
         "",
         {},
         true},
    };
}

}  // namespace damaged
