// The "実行" button: start the comparison tool on the two paths, then save the history.
#include "../platform/Error.h"
#include "../platform/MessageBox.h"
#include "../platform/Process.h"
#include "Form1.h"
#include "texts.h"

namespace {

// One text in double quotes. Backslashes right before the closing quote are doubled, or the
// tool's own argument parsing would take the last of them as escaping the quote ("C:\" would
// reach it as C:" and swallow the next argument); doubled they stand for themselves.
std::wstring Quoted(const std::wstring& text) {
    const size_t kept = text.find_last_not_of(L'\\');
    const size_t trailing = kept == std::wstring::npos ? text.size() : text.size() - kept - 1;
    return L"\"" + text + std::wstring(trailing, L'\\') + L"\"";
}

}  // namespace

void Form1::btnGo_Click() {
    if (!FirstPathReady) return;
    platform::CommandLine command;
    command.program = ExePath.Text();
    command.first = path1.Text();
    command.second = path2.Text();
    command.text =
        L"\"" + command.program + L"\" " + Quoted(command.first) + L" " + Quoted(command.second);
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
