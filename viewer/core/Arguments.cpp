#include "Arguments.h"

#include "FileRead.h"
#include "FolderCompare.h"
#include "FolderUnified.h"
#include "TextDecode.h"

namespace viewer {

std::optional<Arguments> ParseArguments(const std::vector<std::filesystem::path>& arguments) {
    Arguments result;
    std::vector<std::filesystem::path> files;
    if (arguments.size() == 2) {
        files = arguments;
    } else {
        int labels = 0;
        bool options = true;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const auto& text = arguments[i].native();
            using Char = std::filesystem::path::value_type;
            auto is = [&](const char* option) {
                return text == std::basic_string<Char>(
                                   option, option + std::char_traits<char>::length(option));
            };
            const std::basic_string<Char> longLabel{'-', '-', 'l', 'a', 'b', 'e', 'l', '='};
            std::filesystem::path label;
            bool isLabel = false;
            if (!options || text.size() < 2 || text[0] != '-') {
                files.push_back(arguments[i]);
            } else if (is("--")) {
                options = false;
            } else if (is("-u") || is("--unified")) {
                result.unified = true;
            } else if (is("--exit-when-shown")) {
                result.exitWhenShown = true;
            } else if (is("-L") || is("--label")) {
                if (++i == arguments.size()) return std::nullopt;
                label = arguments[i];
                isLabel = true;
            } else if (text.compare(0, longLabel.size(), longLabel) == 0) {
                label = text.substr(longLabel.size());
                isLabel = true;
            } else {
                return std::nullopt;
            }
            if (!isLabel) continue;
            if (++labels > 2) return std::nullopt;
            (labels == 1 ? result.firstLabel : result.secondLabel) = label;
        }
    }
    if (files.size() != 2) return std::nullopt;
    result.first = files[0];
    result.second = files[1];
    return result;
}

Comparison CompareFiles(const Arguments& arguments, const CancelFlag* cancel,
                        const IgnoreOptions& options) {
    const auto [first, second] = ResolveFileAndFolder(arguments.first, arguments.second);
    Comparison comparison = Compare(first, second, kTextLimitBytes, options, cancel);
    comparison.first.label = arguments.firstLabel;
    comparison.second.label = arguments.secondLabel;
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
        streams.err("diff-zarvo-view: " + PrintedName(missing) + ": " +
                    ToUtf8(InputFile(missing).error()) + '\n');
        return 2;
    }
    const UnifiedOutput result = UnifiedDiff(first, second, PrintedName(arguments.firstLabel),
                                             PrintedName(arguments.secondLabel));
    streams.out(result.out);
    streams.err(result.err);
    return result.exitCode;
}

std::u16string Usage() {
    return u"使い方: diff-zarvo-view [-L 第一の名前 [-L 第二の名前]] 第一のファイル "
           u"第二のファイル\n"
           u"　　　　diff-zarvo-view -u [-L 第一の名前 [-L 第二の名前]] 第一のファイル "
           u"第二のファイル\n"
           u"2つのファイルを比較し、相違を表示します。-u (--unified) は相違を unified 形式で"
           u"標準出力に書きます（終了コード: 同じ 0、相違あり 1、問題あり 2）。\n"
           u"ファイルの代わりにフォルダーも指定できます。2つのフォルダーはその中身を比較し、"
           u"ファイルとフォルダーはフォルダーの中の同じ名前のファイルと比較します。\n";
}

}  // namespace viewer
