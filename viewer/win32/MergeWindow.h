// The three-way merge window on Win32: the four names, one owner-data list of MINE, BASE, THEIRS
// and the result side by side, an overview strip of the changes, and the status bar with the
// conflicts left. What the window does is the merge session's (MergeSession.h); this is its
// Win32 face: it lays out, paints and turns the platform's events into session calls.
#pragma once

#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <memory>
#include <string>

#include "FolderWatch.h"
#include "ListView.h"
#include "MergeSession.h"
#include "SessionView.h"
#include "WindowBase.h"
#include "platform/win32/GdiHandles.h"

namespace viewer {

class InputBars;
class LineEditor;

class MergeWindow final : public SessionView, public WindowBase {
public:
    // The ignore options are kept in `settingsFile` (MergeSession).
    explicit MergeWindow(std::unique_ptr<MergedFiles> merged,
                         std::filesystem::path settingsFile = {});
    // The same, merged here.
    explicit MergeWindow(MergeSources sources, std::filesystem::path settingsFile = {});
    ~MergeWindow() override;

    HWND list() const { return list_; }
    HWND status() const { return status_; }
    HWND strip() const { return strip_; }
    HWND editor() const;
    HMENU menu() const { return menu_; }
    const InputBars& bars() const { return *bars_; }
    MergeSession& session() { return session_; }
    HWND changeNotice() const { return notice_; }
    HWND reloadButton() const { return noticeButton_; }

    // The window's keys, for the message loop: true when the message was one of them.
    bool TranslateKeys(MSG& msg);

    // SessionView
    void Redraw() override;
    void ScrollTo(std::size_t row, std::size_t column) override;
    void ShowStatus(const StatusMessage& message) override;
    void SetTitle(const std::u16string& title) override;
    void CopyToClipboard(const std::u16string& text) override;
    void ShowBar(Bar bar) override;
    void ShowChangeNotice(bool shown) override;
    void WatchFiles(const std::vector<std::filesystem::path>& files) override;
    void CloseWindow() override;
    Answer Ask(const Question& question) override;
    void OpenEditor(std::size_t row, std::size_t column, const std::u16string& text) override;
    void MoveEditor(std::size_t) override {}
    void CloseEditor() override;
    std::optional<Comparison> RunLong(
        const std::function<Comparison(const CancelFlag*)>&) override {
        return std::nullopt;
    }
    void MeasuredInBackground() override;

private:
    static LRESULT CALLBACK StripProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT Notify(NMHDR* header);
    void MakeFonts(int dpi) override;
    void NameForScreenReaders();
    void MakeCommands();
    void UpdateCommands();
    void Layout() override;
    int TextWidthOf(HWND control) const;
    void SizeStatusParts();
    // The list's font and width as the session's layout rules take them.
    ListMetrics Metrics() const;
    void SizeColumns();
    void PaintStrip(HDC dc, const RECT& area);
    void OnBarAction(WORD action);

    MergeSession session_;
    HWND names_[4] = {};  // MINE, BASE, THEIRS, the result
    ListView list_;
    HWND notice_ = nullptr;  // a file changed on disk, and the button that reads it again
    HWND noticeButton_ = nullptr;
    platform::win32::BrushHandle noticeBrush_;
    std::unique_ptr<FolderWatch> watch_;
    WPARAM watchGeneration_ = 0;  // the watch whose messages count: older ones are dropped
    static constexpr UINT kFilesChanged = WM_APP + 10;  // from the watch: wParam its generation
    static constexpr UINT kMeasured =
        WM_APP + 12;  // from the session's thread: MeasuredInBackground
    HWND strip_ = nullptr;
    HWND status_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL keys_ = nullptr;
    platform::win32::FontHandle uiFont_;
    platform::win32::FontHandle listFont_;
    std::unique_ptr<LineEditor> editor_;
    std::unique_ptr<InputBars> bars_;
    std::size_t editRow_ = 0;
    bool moving_ = false;  // the list's row is being set for the session
};

}  // namespace viewer
