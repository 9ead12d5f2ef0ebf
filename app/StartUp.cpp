// Start-up and the pairing of each new file with the one before it.
#include "../platform/Process.h"
#include "../platform/Profile.h"
#include "../platform/SettingsFile.h"
#include "Form1.h"
#include "texts.h"

namespace {

// Our own viewer where the platform ships one beside the program, otherwise WinDiff.
std::wstring DefaultToolPath() {
    const std::wstring bundled = platform::BundledComparisonTool();
    return bundled.empty() ? texts::kWinDiff : bundled;
}

}  // namespace

void Form1::Form_Load() {
    // Beside the program, or in the user's own folder where the program's is not theirs to write.
    // A program that cannot tell where it lies keeps no settings: an empty IniPath reads the
    // defaults and writes nothing.
    IniPath = platform::SettingsFileFor(platform::ExecutableDirectory());
    ExePath.SetText(
        platform::PathFromStore(ReadIni(texts::kToolSection, texts::kToolKey, DefaultToolPath()),
                                platform::StoredPath::Tool));
    LoadHistory();
    // Several files sent together are taken one after the other, as if dropped so.
    const std::vector<std::wstring> files = platform::ArgumentFiles();
    if (!files.empty()) {
        for (const std::wstring& file : files) AcceptFile(file);
        FirstPathReady = true;
        if (!SecondPathReady) Guide.SetCaption(texts::kGuideSecond);
    } else {
        FirstPathReady = false;
    }
}

void Form1::AcceptFile(const std::wstring& path) {
    const std::wstring previous = path1.Text();
    if (previous != texts::kPath1Placeholder && !previous.empty()) PushHistory(previous);
    path1.SetText(path);
    FirstPathReady = true;
    if (SecondPathReady) Guide.SetCaption(texts::kGuideReady);
}
