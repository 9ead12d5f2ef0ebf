// The viewer's one window on Win32: the toolbar and menus, the two files named, a legend, the
// rows of the comparison in an owner-data list view that we paint (either view: one list, or
// side by side), the overview strip beside it, the find and go-to-line bars, the notice that
// the files changed on disk, and the status bar. What the window does is the session's; this is
// its Win32 face: it lays out, paints and turns the platform's events into session calls.
#pragma once

#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ListLayout.h"
#include "ListView.h"
#include "RowPaint.h"
#include "Session.h"
#include "SessionView.h"
#include "WindowBase.h"
#include "platform/win32/GdiHandles.h"

namespace viewer {

class CommandBar;
class FolderWatch;
class InputBars;
class LineEditor;
class OverviewStrip;

class ViewerWindow final : public SessionView, public WindowBase {
public:
    // `settingsFile` keeps the view and the options between runs; empty: nothing is kept.
    explicit ViewerWindow(Comparison comparison, std::filesystem::path settingsFile = {});
    ~ViewerWindow() override;
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    HWND list() const { return list_; }
    HWND status() const { return status_; }
    HWND message() const { return message_; }
    HWND names() const { return firstName_; }
    HWND secondName() const { return secondName_; }
    HWND notice() const { return notice_; }
    HWND toolbar() const;
    HWND strip() const;
    HWND editor() const;
    const InputBars& bars() const { return *bars_; }
    Session& session() { return session_; }
    const Comparison& comparison() const { return session_.comparison(); }
    // The width of one display cell of the rows, in pixels, and the margin before a cell's text.
    int cellWidth() const { return cellWidth_; }
    int textMargin() const;

    // The window's keys, for the message loop: true when the message was one of them.
    bool TranslateKeys(MSG& msg);

    // SessionView
    void Redraw() override;
    void ScrollTo(std::size_t viewRow, std::size_t column) override;
    void ShowStatus(const StatusMessage& message) override;
    void SetTitle(const std::u16string& title) override;
    void CopyToClipboard(const std::u16string& text) override;
    void ShowBar(Bar bar) override;
    void ShowChangeNotice(bool shown) override;
    void WatchFiles(const std::vector<std::filesystem::path>& files) override;
    void CloseWindow() override;
    Answer Ask(const Question& question) override;
    void OpenEditor(std::size_t viewRow, std::size_t column, const std::u16string& text) override;
    void MoveEditor(std::size_t viewRow) override;
    void CloseEditor() override;
    std::optional<Comparison> RunLong(
        const std::function<Comparison(const CancelFlag*)>& work) override;
    void MeasuredInBackground() override;

private:
    static constexpr UINT kFilesChanged = WM_APP + 10;  // from the watch: wParam its generation
    // A double click on a line: edit it once the list is done with the click (wParam the view
    // row, lParam the Side).
    static constexpr UINT kEditAt = WM_APP + 11;
    static constexpr UINT kMeasured =
        WM_APP + 12;  // from the session's thread: MeasuredInBackground

    static LRESULT CALLBACK ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    void NameForScreenReaders();
    void MakeFonts(int dpi) override;
    void MakeColumns();
    // The list's font and width as the session's layout rules take them.
    ListMetrics Metrics() const;
    void SizeColumns();
    void Layout() override;
    void UpdateStrip();
    void RunCommand(Command command);
    void OnBarAction(WORD action);
    LRESULT Notify(NMHDR* header);
    void PaintRow(HDC dc, std::size_t viewRow);
    // A line's pieces from `area`'s left edge, those within `visible` pixels of the list.
    void PaintPieces(HDC dc, const std::vector<PaintPiece>& pieces, const RECT& area, int visible);
    // The status bar's parts for its width now: the count and the note whole (StatusLayout).
    void SizeStatusParts();
    // A control character or line end: its letters in a frame over its `cells` in `area`.
    void PaintControl(HDC dc, const PaintPiece& piece, const RECT& cells, const RECT& area);
    Side PaneAtMouse() const;
    // Where the editor goes: over its cell, clipped to the list, as high as a row and its frame.
    RECT EditorArea() const;

    Session session_;
    HWND firstName_ = nullptr;
    HWND secondName_ = nullptr;
    HWND legendRemoved_ = nullptr;
    HWND legendAdded_ = nullptr;
    HWND message_ = nullptr;
    HWND notice_ = nullptr;
    HWND noticeButton_ = nullptr;
    ListView list_;
    HWND status_ = nullptr;
    std::unique_ptr<CommandBar> commands_;
    std::unique_ptr<OverviewStrip> strip_;
    std::unique_ptr<InputBars> bars_;
    std::unique_ptr<FolderWatch> watch_;
    std::unique_ptr<LineEditor> editor_;
    std::size_t editRow_ = 0;  // the editor's view row and column while it is open
    std::size_t editColumn_ = 0;
    unsigned watchGeneration_ = 0;
    platform::win32::FontHandle uiFont_;
    platform::win32::FontHandle listFont_;
    platform::win32::FontHandle controlFont_;  // the letters of a control character ("CR"), small
    platform::win32::BrushHandle removedBrush_;
    platform::win32::BrushHandle addedBrush_;
    platform::win32::BrushHandle noticeBrush_;
    int cellWidth_ = 8;
    std::size_t columnCount_ = 0;  // the list view's columns now
    bool moving_ = false;          // the list's row or scroll is being set for the session
};

}  // namespace viewer
