#include "Arguments.h"

#include "FileRead.h"
#include "FolderCompare.h"
#include "FolderUnified.h"
#include "TextDecode.h"

namespace viewer {

std::optional<Arguments> ParseArguments(const std::vector<std::filesystem::path>& arguments) {
    Arguments result;
    std::vector<std::filesystem::path> files;
    std::vector<std::filesystem::path> labels;
    bool hasOutput = false;
    if (arguments.size() == 2) {
        files = arguments;
    } else {
        bool options = true;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const auto& text = arguments[i].native();
            using Char = std::filesystem::path::value_type;
            auto is = [&](const char* option) {
                return text == std::basic_string<Char>(
                                   option, option + std::char_traits<char>::length(option));
            };
            // "--label=X", "--output=X": the value after the sign, if `text` is that option.
            auto joined = [&](const char* option) -> std::optional<std::filesystem::path> {
                const std::basic_string<Char> prefix(
                    option, option + std::char_traits<char>::length(option));
                if (text.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
                return std::filesystem::path(text.substr(prefix.size()));
            };
            // The argument after an option that takes one.
            auto value = [&]() -> std::optional<std::filesystem::path> {
                if (++i == arguments.size()) return std::nullopt;
                return arguments[i];
            };
            std::optional<std::filesystem::path> output;
            if (!options || text.size() < 2 || text[0] != '-') {
                files.push_back(arguments[i]);
            } else if (is("--")) {
                options = false;
            } else if (is("-u") || is("--unified")) {
                result.unified = true;
            } else if (is("--merge")) {
                result.merge = true;
            } else if (is("--exit-when-shown")) {
                result.exitWhenShown = true;
            } else if (is("-L") || is("--label")) {
                const auto label = value();
                if (!label) return std::nullopt;
                labels.push_back(*label);
            } else if (const auto label = joined("--label=")) {
                labels.push_back(*label);
            } else if ((output = is("-o") || is("--output") ? value() : joined("--output="))) {
                if (hasOutput || output->empty()) return std::nullopt;
                result.output = *output;
                hasOutput = true;
            } else {
                return std::nullopt;
            }
        }
    }
    if (files.size() == 3) {
        // MINE BASE THEIRS; nothing of the two-way comparison's own.
        if (result.unified || labels.size() > 3) return std::nullopt;
        result.first = files[0];
        result.base = files[1];
        result.second = files[2];
        if (labels.size() > 0) result.firstLabel = labels[0];
        if (labels.size() > 1) result.baseLabel = labels[1];
        if (labels.size() > 2) result.secondLabel = labels[2];
        return result;
    }
    if (files.size() != 2 || labels.size() > 2 || result.merge || hasOutput) return std::nullopt;
    result.first = files[0];
    result.second = files[1];
    if (labels.size() > 0) result.firstLabel = labels[0];
    if (labels.size() > 1) result.secondLabel = labels[1];
    return result;
}

Comparison CompareFiles(const Arguments& arguments, const CancelFlag* cancel,
                        const IgnoreOptions& options) {
    const auto [first, second] = ResolveFileAndFolder(arguments.first, arguments.second);
    Comparison comparison = Compare(first, second, kTextLimitBytes, options, cancel);
    comparison.SetLabels(arguments.firstLabel, arguments.secondLabel);
    return comparison;
}

int WriteUnified(const Arguments& arguments, const UnifiedStreams& streams) {
    const auto [first, second] = ResolveFileAndFolder(arguments.first, arguments.second);
    std::error_code error;
    const bool folder1 = std::filesystem::is_directory(first, error);
    const bool folder2 = std::filesystem::is_directory(second, error);
    if (folder1 && folder2) {
        return WriteFolderUnified(first, second, streams);
    }
    if (folder1 || folder2) {
        // A folder against a name that is not there (a file would have been looked for in it).
        const std::filesystem::path& missing = folder1 ? second : first;
        streams.Trouble(PrintedName(missing), streams.why(InputFile(missing).error()));
        return 2;
    }
    const UnifiedOutput result = UnifiedDiff(first, second, PrintedName(arguments.firstLabel),
                                             PrintedName(arguments.secondLabel));
    streams.out(result.out);
    if (result.errors.first.failed())
        streams.Trouble(PrintedName(first), streams.why(result.errors.first));
    if (result.errors.second.failed()) {
        streams.Trouble(PrintedName(second), streams.why(result.errors.second));
    }
    return result.exitCode;
}

}  // namespace viewer
