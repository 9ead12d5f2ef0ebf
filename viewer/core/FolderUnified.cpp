// The folder walk turned into diff's output, entry by entry as the walk tells them: nothing is
// kept but the file pair being written.
#include "FolderUnified.h"

#include <algorithm>
#include <string_view>

#include "FileRead.h"
#include "FolderCompare.h"
#include "TextDecode.h"

namespace viewer {

namespace {

namespace fs = std::filesystem;

// A path as printed, with "/" between its parts whatever the system's separator: no UTF-8
// sequence holds a backslash byte, so Windows' separators can be replaced in the printed bytes.
std::string Printed(const fs::path& path) {
    std::string printed = PrintedName(path);
#ifdef _WIN32
    std::replace(printed.begin(), printed.end(), '\\', '/');
#endif
    return printed;
}

// The name a folder's paths start with: its own last part ("a" for "/tmp/a/").
std::string Base(const fs::path& folder) {
    fs::path name = folder.filename();
    if (name.empty()) name = folder.parent_path().filename();
    if (name.empty() || name == "." || name == "..") return Printed(folder.lexically_normal());
    return Printed(name);
}

// A name as diff prints it: as it is, or, when it holds a control character, a backslash or a
// double quote, in double quotes with C's escapes ("p1/new\nline.txt"), which patch reads back.
// So a name can neither break a line nor end a header's name early; UTF-8 stays as it is.
std::string Quoted(const std::string& name) {
    const auto special = [](unsigned char c) {
        return c < 0x20 || c == 0x7F || c == '\\' || c == '"';
    };
    if (std::none_of(name.begin(), name.end(), special)) return name;
    // The characters C writes with a letter, and their letters.
    constexpr std::string_view kEscaped = "\\\"\n\t\r\a\b\f\v";
    constexpr std::string_view kLetters = "\\\"ntrabfv";
    std::string quoted = "\"";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (const std::size_t at = kEscaped.find(c); at != std::string_view::npos) {
            quoted += '\\';
            quoted += kLetters[at];
        } else if (special(byte)) {
            quoted += '\\';
            quoted += static_cast<char>('0' + (byte >> 6));
            quoted += static_cast<char>('0' + ((byte >> 3) & 7));
            quoted += static_cast<char>('0' + (byte & 7));
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

// A header's name and time; a file that is not there has the epoch's, as `diff -N` gives it.
std::string Header(const std::string& label, const fs::path* path) {
    const std::string time =
        path != nullptr ? HeaderTime(*path) : "1970-01-01 00:00:00.000000000 +0000";
    return time.empty() ? Quoted(label) : Quoted(label) + '\t' + time;
}

// diff's words for a kind of entry.
const char* KindWords(EntryKind kind) {
    switch (kind) {
        case EntryKind::File:
            return "regular file";
        case EntryKind::Folder:
            return "directory";
        case EntryKind::Link:
            return "symbolic link";
        case EntryKind::Fifo:
            return "fifo";
        case EntryKind::Device:
            return "special file";
        case EntryKind::Socket:
            return "socket";
        default:
            return "file";
    }
}

class Writer : public FolderSink {
public:
    Writer(const fs::path& first, const fs::path& second, const UnifiedStreams& output)
        : first_(first),
          second_(second),
          base1_(Base(first)),
          base2_(Base(second)),
          output_(output) {}

    int code = 0;

    void Added(const FolderEntry& entry) override {
        const std::string label1 = base1_ + '/' + Printed(entry.relative);
        const std::string label2 =
            base2_ + '/' +
            Printed(entry.kind2 != EntryKind::None ? entry.relative2 : entry.relative);
        switch (entry.state) {
            case FolderState::Same:
            case FolderState::Different:
                if (entry.kind1 == EntryKind::File && entry.state == FolderState::Different) {
                    Files(entry, label1, label2);
                } else if (entry.state == FolderState::Different &&
                           entry.kind1 != EntryKind::Folder) {
                    Differs(entry.kind1 == EntryKind::Link ? "Symbolic links " : "Files ", label1,
                            label2);
                }
                return;
            case FolderState::OnlyFirst:
            case FolderState::OnlySecond:
                Alone(entry, label1, label2);
                return;
            case FolderState::KindsDiffer:
                output_.out("File " + Quoted(label1) + " is a " + KindWords(entry.kind1) +
                            " while file " + Quoted(label2) + " is a " + KindWords(entry.kind2) +
                            '\n');
                code = std::max(code, 1);
                return;
            case FolderState::Unreadable:
                output_.Trouble(label1, output_.whySides(entry.errors));
                code = 2;
                return;
        }
    }
    void Changed(std::int32_t, FolderState) override {}
    void Progress(const FolderProgress&) override {}

private:
    void Differs(const char* what, const std::string& label1, const std::string& label2) {
        output_.out(what + Quoted(label1) + " and " + Quoted(label2) + " differ\n");
        code = std::max(code, 1);
    }

    bool Read(const fs::path& path, const std::string& label, std::string& bytes) {
        InputFile file(path);
        if (file.ok() && file.ReadAll(bytes)) return true;
        output_.Trouble(label, output_.why(file.error()));
        code = 2;
        return false;
    }

    // A pair of files, either of which may be absent (`path` null) and read as empty.
    void Texts(const std::string& bytes1, const std::string& bytes2, const std::string& label1,
               const std::string& label2, const fs::path* path1, const fs::path* path2) {
        if (bytes1 == bytes2) return;  // changed back since the walk compared them
        if (LooksBinary(bytes1) || LooksBinary(bytes2)) {
            Differs("Binary files ", label1, label2);
            return;
        }
        output_.out("--- " + Header(label1, path1) + "\n+++ " + Header(label2, path2) + '\n' +
                    UnifiedHunks(bytes1, bytes2));
        code = std::max(code, 1);
    }

    void Files(const FolderEntry& entry, const std::string& label1, const std::string& label2) {
        const fs::path path1 = first_ / entry.relative;
        const fs::path path2 = second_ / entry.relative2;
        std::string bytes1, bytes2;
        if (!Read(path1, label1, bytes1) || !Read(path2, label2, bytes2)) return;
        Texts(bytes1, bytes2, label1, label2, &path1, &path2);
    }

    // An entry in one folder only: a file against an empty one, as -N does; a folder's files
    // come as entries of their own.
    void Alone(const FolderEntry& entry, const std::string& label1, const std::string& label2) {
        const bool inFirst = entry.state == FolderState::OnlyFirst;
        const EntryKind kind = inFirst ? entry.kind1 : entry.kind2;
        if (kind == EntryKind::Folder) return;
        if (kind != EntryKind::File) {
            const std::string& label = inFirst ? label1 : label2;
            output_.out("Only in " + Quoted(label.substr(0, label.rfind('/'))) + ": " +
                        Quoted(label.substr(label.rfind('/') + 1)) + '\n');
            code = std::max(code, 1);
            return;
        }
        const fs::path path = inFirst ? first_ / entry.relative : second_ / entry.relative2;
        std::string bytes;
        if (!Read(path, inFirst ? label1 : label2, bytes)) return;
        if (inFirst) {
            Texts(bytes, {}, label1, label2, &path, nullptr);
        } else {
            Texts({}, bytes, label1, label2, nullptr, &path);
        }
    }

    const fs::path& first_;
    const fs::path& second_;
    const std::string base1_;
    const std::string base2_;
    const UnifiedStreams& output_;
};

}  // namespace

int WriteFolderUnified(const fs::path& first, const fs::path& second,
                       const UnifiedStreams& output) {
    Writer writer(first, second, output);
    SideErrors error;
    if (CompareFolders(first, second, writer, {}, error) == FolderEnd::Unreadable) {
        output.err("diff-zarvo-view: " + output.whySides(error) + '\n');
        return 2;
    }
    return writer.code;
}

}  // namespace viewer
