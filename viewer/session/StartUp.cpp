#include "StartUp.h"

#include "CommandLine.h"
#include "FolderCompare.h"
#include "Settings.h"
#include "TextDecode.h"
#include "Unified.h"
#include "Wording.h"

namespace viewer {

namespace {

constexpr int kTroubleExitCode = 2;

StartPlan NothingOpens(std::u16string message, std::string errorOutput) {
    StartPlan plan;
    plan.exitCode = kTroubleExitCode;
    plan.message = std::move(message);
    plan.errorOutput = std::move(errorOutput);
    return plan;
}

}  // namespace

StartPlan PlanStart(const std::vector<std::filesystem::path>& arguments) {
    const std::optional<Arguments> parsed = ParseArguments(arguments);
    if (!parsed) return NothingOpens(Usage(), ToUtf8(Usage()));
    StartPlan plan;
    plan.arguments = *parsed;
    if (parsed->unified || parsed->merge) {
        plan.window = StartWindow::Output;
        return plan;
    }
    if (parsed->threeWay()) {
        std::u16string why;
        plan.merge = ReadMergeSources(*parsed, why);
        if (!plan.merge) return NothingOpens(why, "diff-zarvo-view: " + ToUtf8(why) + '\n');
        plan.window = StartWindow::Merge;
        return plan;
    }
    // Two folders, or a file and a folder (the file of the same name in it).
    const auto [first, second] = ResolveFileAndFolder(parsed->first, parsed->second);
    std::error_code error;
    if (std::filesystem::is_directory(first, error) &&
        std::filesystem::is_directory(second, error)) {
        plan.window = StartWindow::Folders;
        plan.first = first;
        plan.second = second;
        return plan;
    }
    plan.window = StartWindow::Files;
    return plan;
}

std::unique_ptr<RunningComparison> StartFilesComparison(const Arguments& arguments,
                                                        const std::filesystem::path& settingsFile) {
    return std::make_unique<RunningComparison>(
        [arguments, options = LoadChoices(settingsFile).options](const CancelFlag* cancel) {
            return CompareFiles(arguments, cancel, options);
        });
}

FilesStart FilesOpened(const Comparison& comparison) {
    FilesStart start;
    for (const FileSide* side : {&comparison.first(), &comparison.second()}) {
        if (!side->error.failed()) continue;
        start.errorOutput += "diff-zarvo-view: " + PrintedName(side->path) + ": " +
                             ToUtf8(Reason(side->error)) + '\n';
    }
    start.exitCode = comparison.outcome() == Outcome::Unreadable ? 1 : 0;
    return start;
}

}  // namespace viewer
