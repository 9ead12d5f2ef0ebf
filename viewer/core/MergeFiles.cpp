#include "MergeFiles.h"

#include <fstream>

#include "FileRead.h"
#include "Merge.h"
#include "SaveFile.h"
#include "TextDecode.h"

namespace viewer {

namespace {

// The name a conflict's markers give a file: its label, else its name as given.
std::string MarkerName(const std::filesystem::path& label, const std::filesystem::path& path) {
    return PrintedName(label.empty() ? path : label);
}

}  // namespace

WriteResult WriteMergeResult(const std::filesystem::path& path, const std::string& content,
                             const StillAsRead& stillAsRead) {
    std::error_code error;
    // Only a file is replaced (a link's target): never a folder, a device or a pipe.
    const std::filesystem::file_status target = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(target)) {
        return {WriteStatus::Refused, {FileProblem::IsFolder, 0, path}};
    }
    if (std::filesystem::exists(target) && !std::filesystem::is_regular_file(target)) {
        return {WriteStatus::Refused, {FileProblem::NotRegularFile, 0, path}};
    }
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return ReplaceContent(path, content, stillAsRead);
    }
    // The replacement needs a file to replace (Windows' does): an empty one made for it, taken
    // away again when the write does not happen.
    bool made = false;
    {
        std::ofstream create(path, std::ios::binary | std::ios::app);
        made = create.is_open();
    }
    const WriteResult written = ReplaceContent(path, content, [&](const std::string* present) {
        if (!made) return stillAsRead(present);
        return present != nullptr && present->empty() && stillAsRead(nullptr);
    });
    if (made && written.status != WriteStatus::Written) std::filesystem::remove(path, error);
    return written;
}

int WriteMerge(const Arguments& arguments, const UnifiedStreams& streams) {
    const std::filesystem::path* paths[3] = {&arguments.first, &arguments.base, &arguments.second};
    std::string bytes[3];
    for (int i = 0; i < 3; ++i) {
        InputFile file(*paths[i]);
        if (!file.ok() || !file.ReadAll(bytes[i])) {
            streams.Trouble(PrintedName(*paths[i]), streams.why(file.error()));
            return 2;
        }
    }
    const MergedText merged = MergeText(bytes[0], bytes[1], bytes[2],
                                        {MarkerName(arguments.firstLabel, arguments.first),
                                         MarkerName(arguments.baseLabel, arguments.base),
                                         MarkerName(arguments.secondLabel, arguments.second)});
    const int code = merged.conflicts == 0 ? 0 : 1;
    if (arguments.output.empty()) {
        streams.out(merged.text);
        return code;
    }
    const WriteResult written =
        WriteMergeResult(arguments.output, merged.text, [](const std::string*) { return true; });
    if (written.status == WriteStatus::Written) return code;
    const FileError error = written.error.failed()
                                ? written.error
                                : FileError{FileProblem::NotWritten, 0, arguments.output};
    streams.Trouble(PrintedName(arguments.output), streams.why(error));
    return 2;
}

}  // namespace viewer
