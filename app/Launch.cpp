// The "実行" button: start the comparison tool on the two paths, then save the history.
#include "../platform/Error.h"
#include "../platform/MessageBox.h"
#include "../platform/Process.h"
#include "Form1.h"
#include "texts.h"

void Form1::btnGo_Click() {
    if (!FirstPathReady) return;
    platform::CommandLine command;
    command.program = platform::PathForTool(ExePath.Text());
    command.first = platform::PathForTool(path1.Text());
    command.second = platform::PathForTool(path2.Text());
    command.text = L"\"" + command.program + L"\" " + platform::QuotedArgument(command.first) +
                   L" " + platform::QuotedArgument(command.second);
    try {
        platform::StartProgram(command);
    } catch (const platform::Error& error) {
        // Nothing was compared, so nothing is remembered; offer to pick a tool that works.
        const std::wstring message =
            std::wstring(texts::kStartFailedLead) + texts::kStartFailedTool + command.program +
            texts::kStartFailedReason + error.Message() + texts::kStartFailedQuestion;
        if (platform::AskYesNo(window, texts::kStartFailedTitle, message)) btnReffer_Click();
        return;
    }
    SaveHistory();
}
