// libFuzzer target for the profile functions. The input is a settings file's bytes; its last
// bytes choose the section, key and value to read and write (taken from the file's own text, or
// from the names the program uses) and the buffer size. Checks, beyond the sanitizers:
// - a read never writes past the buffer and always ends it with a NUL;
// - a write with a line break in any text is refused and leaves the file's bytes alone;
// - any refused write leaves the file's bytes alone;
// - a value written then read comes back trimmed of blanks with one pair of outer quotes removed,
//   and every other known value of the file reads as before;
// - a value written as the program writes it (quoted when it has blanks or quotes at its ends,
//   through the wide functions and the lossless conversion) reads back as exactly its bytes.
#include <fuzzer/FuzzedDataProvider.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Profile.h"
#include "platform/Text.h"

namespace {

constexpr std::array<const char*, 11> kNames = {"WINDIFF", "ExePath", "DiffPath", "LIST1",
                                                "LIST2",   "LIST3",   "LIST8",    "list1",
                                                "windiff", " LIST1 ", "LIST9"};

// One file per fuzzing process, on a memory file system where there is one; removed at exit.
const std::string& FilePath() {
    static const std::string path = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        static const std::string folder =
            std::string(base) + "/zarvo-fuzz-" + std::to_string(getpid());
        mkdir(folder.c_str(), 0700);
        std::atexit([] {
            unlink((folder + "/Zarvo.ini").c_str());
            rmdir(folder.c_str());
        });
        return folder + "/Zarvo.ini";
    }();
    return path;
}

void Store(const std::string& bytes) {
    std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Load() {
    std::ifstream in(FilePath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "profile fuzzer: %s\n", what);
    std::abort();
}

// A text from the file's own bytes or one of the program's names; never holds a NUL, since the
// functions take C strings.
std::string PickText(FuzzedDataProvider& data, const std::string& content) {
    std::string text;
    const int kind = data.ConsumeIntegralInRange<int>(0, 2);
    if (kind == 0 || content.empty()) {
        text = kNames[data.ConsumeIntegralInRange<size_t>(0, kNames.size() - 1)];
    } else if (kind == 1) {
        const size_t begin = data.ConsumeIntegralInRange<size_t>(0, content.size() - 1);
        const size_t length = data.ConsumeIntegralInRange<size_t>(0, 64);
        text = content.substr(begin, length);
    } else {
        const size_t length = data.ConsumeIntegralInRange<size_t>(0, 16);
        for (size_t i = 0; i < length; ++i)
            text += static_cast<char>(data.ConsumeIntegral<uint8_t>());
    }
    return text.substr(0, text.find('\0'));
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What a read gives for a value as written: blanks trimmed, then one pair of outer quotes off.
std::string AsRead(std::string value) {
    while (!value.empty() && IsBlank(value.front())) value.erase(0, 1);
    while (!value.empty() && IsBlank(value.back())) value.pop_back();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// Names the program could write and find again: no blanks at their ends (the file's names are
// blank-trimmed, the caller's only space-trimmed), nothing the file's syntax gives a meaning.
bool IsPlainName(const std::string& name, bool key) {
    if (name.empty() || IsBlank(name.front()) || IsBlank(name.back())) return false;
    if (HasLineBreak(name)) return false;
    if (key) return name.find('=') == std::string::npos && name[0] != '[' && name[0] != ';';
    return name.find(']') == std::string::npos;
}

std::string Read(const char* section, const char* key, DWORD size) {
    // Guard bytes on both sides of the buffer show any write out of bounds, even without ASan.
    std::vector<char> buffer(size + 32, '\x5A');
    const DWORD count = GetPrivateProfileStringA(section, key, "<default>", buffer.data() + 16,
                                                 size, FilePath().c_str());
    for (size_t i = 0; i < 16; ++i) {
        if (buffer[i] != '\x5A' || buffer[16 + size + i] != '\x5A')
            Fail("read wrote out of bounds");
    }
    if (size > 0) {
        if (count >= size) Fail("read returned a count beyond the buffer");
        if (section != nullptr && key != nullptr && buffer[16 + count] != '\0')
            Fail("read left no NUL");
    }
    return std::string(buffer.data() + 16, count);
}

}  // namespace

std::string Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

// The n-th (section, key) pair the file already holds, roughly as a reader sees it, so that
// writes often replace an existing value rather than always adding one.
bool ExistingPair(const std::string& content, size_t n, std::string& section, std::string& key) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string current;
    size_t begin = 0;
    while (begin < content.size()) {
        size_t end = content.find_first_of("\r\n", begin);
        if (end == std::string::npos) end = content.size();
        const std::string line = Trimmed(std::string_view(content).substr(begin, end - begin));
        begin = end + 1;
        if (line.empty()) continue;
        if (line[0] == '[') {
            current = Trimmed(line.substr(
                1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1));
        } else if (line.find('=') != std::string::npos && line[0] != ';' && !current.empty()) {
            pairs.emplace_back(current, Trimmed(line.substr(0, line.find('='))));
        }
    }
    if (pairs.empty()) return false;
    // The functions take C strings: a name holding a NUL reaches them cut there.
    const auto& [foundSection, foundKey] = pairs[n % pairs.size()];
    section = foundSection.substr(0, foundSection.find('\0'));
    key = foundKey.substr(0, foundKey.find('\0'));
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    // Choices come from the input's end, so the seed files stay files at its front.
    const DWORD bufferSize = data.ConsumeIntegralInRange<DWORD>(0, 300);
    const std::string whole(reinterpret_cast<const char*>(bytes), size);
    const bool existing = data.ConsumeBool();
    const size_t pairIndex = data.ConsumeIntegral<uint8_t>();
    std::string section = PickText(data, whole);
    std::string key = PickText(data, whole);
    std::string value = PickText(data, whole);
    if (data.ConsumeBool()) value = " \"" + value + "\"\t";
    const std::string content = data.ConsumeRemainingBytesAsString();
    Store(content);
    if (existing) ExistingPair(content, pairIndex, section, key);

    // Reads of every shape, into buffers of every size.
    Read(section.c_str(), key.c_str(), bufferSize);
    Read(section.c_str(), nullptr, bufferSize);
    Read(nullptr, nullptr, bufferSize);
    for (const char* name : kNames) Read(name, key.c_str(), bufferSize);

    // The program's own values before the write, to compare with after it.
    std::vector<std::pair<std::string, std::string>> others;
    for (const char* s : {"WINDIFF", "DiffPath"}) {
        for (const char* k : {"ExePath", "LIST1", "LIST2", "LIST8"}) {
            if (strcasecmp(s, section.c_str()) == 0 && strcasecmp(k, key.c_str()) == 0) continue;
            others.emplace_back(s, k);
        }
    }
    std::vector<std::string> before;
    for (const auto& [s, k] : others) before.push_back(Read(s.c_str(), k.c_str(), 4096));

    const BOOL written =
        WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FilePath().c_str());
    const bool lineBreak = HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value);
    if (lineBreak && written) Fail("a write with a line break was accepted");
    if (!written) {
        if (Load() != content) Fail("a refused write changed the file");
        return 0;
    }
    if (!IsPlainName(section, false) || !IsPlainName(key, true)) return 0;
    // Only the first of two sections or keys of the same name is read and written; below that
    // the expected value is well defined whatever the file held.
    const std::string got =
        Read(section.c_str(), key.c_str(), static_cast<DWORD>(value.size() + 2));
    if (got != AsRead(value)) Fail("a written value read back differently");
    for (size_t i = 0; i < others.size(); ++i) {
        if (Read(others[i].first.c_str(), others[i].second.c_str(), 4096) != before[i]) {
            Fail("a write changed another value");
        }
    }

    // As the program writes a path: whatever its ends hold, it reads back byte for byte.
    const std::wstring wideSection = platform::FromUtf8(section), wideKey = platform::FromUtf8(key);
    const std::wstring file = platform::FromUtf8(FilePath());
    const std::wstring path = platform::FromUtf8(value);
    if (!WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(),
                                    platform::ProfileValueToWrite(path).c_str(), file.c_str())) {
        Fail("a value as the program writes it was refused");
    }
    std::wstring back(path.size() + 2, L'\0');
    const DWORD count =
        GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), L"<default>", back.data(),
                                 static_cast<DWORD>(back.size()), file.c_str());
    if (platform::ToUtf8(std::wstring_view(back.data(), count)) != value) {
        Fail("a value as the program writes it read back differently");
    }
    return 0;
}
