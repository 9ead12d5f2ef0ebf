// Reading and editing profile-file text, following the documented behaviour of
// GetPrivateProfileStringA and WritePrivateProfileStringA.
#include "ProfileText.h"

#include <vector>

namespace platform::posix {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

enum class LineKind { Other, Section, Entry };

// One line of the file: where it starts, where its text ends and where its line break ends.
struct Line {
    size_t begin, textEnd, end;
    LineKind kind;
    std::string_view name;   // section name or key name, blanks trimmed
    std::string_view value;  // entries only: blanks trimmed, quotes kept
};

Line ParseLine(std::string_view content, size_t begin) {
    size_t textEnd = begin;
    while (textEnd < content.size() && content[textEnd] != '\r' && content[textEnd] != '\n') {
        ++textEnd;
    }
    size_t end = textEnd;
    if (end < content.size() && content[end] == '\r') ++end;
    if (end < content.size() && content[end] == '\n' &&
        (end == textEnd || content[end - 1] == '\r')) {
        ++end;
    }
    Line line{begin, textEnd, end, LineKind::Other, {}, {}};
    const std::string_view text = TrimBlanks(content.substr(begin, textEnd - begin));
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        const size_t close = text.find(']');
        line.kind = LineKind::Section;
        line.name = TrimBlanks(text.substr(1, close == std::string_view::npos ? close : close - 1));
        return line;
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) return line;
    line.kind = LineKind::Entry;
    line.name = TrimBlanks(text.substr(0, equals));
    line.value = TrimBlanks(text.substr(equals + 1));
    return line;
}

std::vector<Line> ParseLines(std::string_view content) {
    std::vector<Line> lines;
    size_t pos = content.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (pos < content.size()) {
        lines.push_back(ParseLine(content, pos));
        pos = lines.back().end;
    }
    return lines;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The lines of the first section of that name: [first, last) indices, header excluded.
struct SectionRange {
    size_t header, first, last;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Section || !SameName(lines[i].name, section)) continue;
        size_t last = i + 1;
        while (last < lines.size() && lines[last].kind != LineKind::Section) ++last;
        return SectionRange{i, i + 1, last};
    }
    return std::nullopt;
}

std::optional<size_t> FindEntry(const std::vector<Line>& lines, const SectionRange& range,
                                std::string_view key) {
    for (size_t i = range.first; i < range.last; ++i) {
        if (lines[i].kind == LineKind::Entry && SameName(lines[i].name, key)) return i;
    }
    return std::nullopt;
}

// Text to insert after the line ending at `at`, making sure it starts on a line of its own.
std::string AfterLine(std::string_view content, size_t at, std::string_view text) {
    std::string out;
    if (at > 0 && content[at - 1] != '\n' && content[at - 1] != '\r') out += kNewLine;
    out += text;
    return out;
}

std::string Splice(std::string_view content, size_t begin, size_t end, std::string_view text) {
    std::string out;
    out.reserve(content.size() + text.size());
    out.append(content.substr(0, begin));
    out.append(text);
    out.append(content.substr(end));
    return out;
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// One pass that stops at the answer, without a table of every line: the program reads nine
// values at start-up, and a large file would otherwise be parsed and stored nine times over.
std::optional<std::string_view> FindValue(std::string_view content, std::string_view section,
                                          std::string_view key) {
    size_t pos = content.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    bool inSection = false;
    while (pos < content.size()) {
        const Line line = ParseLine(content, pos);
        pos = line.end;
        if (line.kind == LineKind::Section) {
            // Only the first section of that name is searched.
            if (inSection) return std::nullopt;
            inSection = SameName(line.name, section);
            continue;
        }
        if (inSection && line.kind == LineKind::Entry && SameName(line.name, key)) {
            return Unquote(line.value);
        }
    }
    return std::nullopt;
}

std::string ListNames(std::string_view content, std::optional<std::string_view> section) {
    const std::vector<Line> lines = ParseLines(content);
    std::string names;
    size_t first = 0, last = lines.size();
    LineKind wanted = LineKind::Section;
    if (section) {
        const auto range = FindSection(lines, *section);
        if (!range) return names;
        first = range->first, last = range->last, wanted = LineKind::Entry;
    }
    for (size_t i = first; i < last; ++i) {
        if (lines[i].kind != wanted) continue;
        names.append(lines[i].name);
        names += '\0';
    }
    return names;
}

std::string ApplyWrite(std::string_view content, std::string_view section,
                       std::optional<std::string_view> key, std::optional<std::string_view> value) {
    const std::vector<Line> lines = ParseLines(content);
    const auto range = FindSection(lines, section);
    if (!range) {
        if (!key || !value) return std::string(content);
        // Built by appends: GCC 12 at -O3 takes the chain of operator+ for an overlapping copy
        // (a false -Wrestrict) and the release build stops.
        std::string added = "[";
        added.append(section).append("]\r\n").append(*key).append("=").append(*value);
        added.append(kNewLine);
        std::string out(content);
        out.append(AfterLine(content, content.size(), added));
        return out;
    }
    if (!key) {
        const size_t end = range->last < lines.size() ? lines[range->last].begin : content.size();
        return Splice(content, lines[range->header].begin, end, "");
    }
    const auto entry = FindEntry(lines, *range, *key);
    if (entry) {
        const Line& line = lines[*entry];
        if (!value) return Splice(content, line.begin, line.end, "");
        std::string text = std::string(line.name) + "=" + std::string(*value);
        // The file's last line gets the line break that Windows writes after every entry.
        if (line.end == line.textEnd) text += kNewLine;
        return Splice(content, line.begin, line.textEnd, text);
    }
    if (!value) return std::string(content);
    size_t after = range->header;
    for (size_t i = range->first; i < range->last; ++i) {
        if (lines[i].kind == LineKind::Entry) after = i;
    }
    const size_t at = lines[after].end;
    const std::string text = std::string(*key) + "=" + std::string(*value) + "\r\n";
    return Splice(content, at, at, AfterLine(content, at, text));
}

}  // namespace platform::posix
