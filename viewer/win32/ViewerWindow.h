// The viewer's one window on Win32: the two files named, a legend, the rows of the comparison in
// an owner-data list view (painted by us: colours, marks and the runs that changed inside a
// line), and the count of differences in the status bar and the title. F8 and Shift+F8 (or F7)
// move between differences, Ctrl+Home / Ctrl+End to the first and the last; Ctrl+C copies the
// selected rows, F5 reads both files again. The comparison's rules are all in the core; this is
// its Win32 face.
#pragma once

#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <optional>
#include <string>

#include "Comparison.h"

namespace viewer {

class ViewerWindow {
public:
    explicit ViewerWindow(Comparison comparison);
    ~ViewerWindow();
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND list() const { return list_; }
    HWND status() const { return status_; }
    HWND message() const { return message_; }
    HWND names() const { return names_; }
    const Comparison& comparison() const { return comparison_; }

    // The window's keys, for the message loop: true when the message was one of them.
    bool TranslateKeys(MSG& msg);
    // The comparison's row that is current, if there is one.
    std::optional<std::size_t> CurrentRow() const;

    void NextDifference();
    void PreviousDifference();
    void FirstDifference();
    void LastDifference();
    // The selected rows as unified-diff lines (" ", "-", "+"), each ended by CR LF.
    void CopyRows();
    // Compares the files again, staying at the current line where it is still there.
    void Reload();

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void MakeFonts(UINT dpi);
    void SizeColumns();
    void Layout();
    void ShowComparison();
    void GoToRow(std::size_t row);
    void UpdateCount();
    LRESULT Notify(NMHDR* header);
    LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
    void DrawContent(HDC dc, std::size_t row, const RECT& cell, COLORREF background);
    RowKind KindOf(std::size_t row) const;

    Comparison comparison_;
    UINT dpi_ = 96;
    HWND hwnd_ = nullptr;
    HWND names_ = nullptr;
    HWND legendRemoved_ = nullptr;
    HWND legendAdded_ = nullptr;
    HWND message_ = nullptr;
    HWND list_ = nullptr;
    HWND status_ = nullptr;
    HFONT uiFont_ = nullptr;
    HFONT listFont_ = nullptr;
    HBRUSH removedBrush_ = nullptr;
    HBRUSH addedBrush_ = nullptr;
    HACCEL keys_ = nullptr;
    bool errorMessage_ = false;
    std::wstring buffer_;  // the text last handed to the list view
};

}  // namespace viewer
