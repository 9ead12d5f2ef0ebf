// Two folders compared on Win32: the folder session's list in an owner-data list view, filled
// as the comparison finds entries, with its filters, its progress line and the counts in the
// status bar. Enter or a double click opens a file pair in the file viewer's window, standing
// where the list stood; closing it, Backspace or Alt+Left comes back to the list where it was.
// What to show is the session's; this front lays it out and turns events into session calls.
#pragma once

#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "FolderSession.h"
#include "ListView.h"
#include "WindowBase.h"
#include "platform/win32/GdiHandles.h"

namespace viewer {

class ViewerWindow;

// The class of the folder window, for tests to find it.
inline constexpr wchar_t kFolderWindowClass[] = L"DiffZarvoFolders";

class FolderWindow final : public WindowBase {
public:
    // `settingsFile` keeps the filters and the file view's choices; empty: nothing is kept.
    FolderWindow(std::filesystem::path first, std::filesystem::path second,
                 std::filesystem::path settingsFile = {});
    ~FolderWindow() override;

    HWND list() const { return list_; }
    HWND progress() const { return progress_; }
    HWND status() const { return status_; }
    HWND hideSame() const { return hideSame_; }
    HWND pattern() const { return pattern_; }
    FolderSession& session() { return *session_; }
    // The file pair open; null while the list is shown.
    ViewerWindow* fileView() const { return file_.get(); }

    // The window's keys (and the open file view's), for the message loop: true when the message
    // was one of them.
    bool TranslateKeys(MSG& msg);
    // Opens the row's file pair, or opens or closes the row's folder.
    void Activate(int row);
    // Back from a file pair to the list.
    void Back();

private:
    static LRESULT CALLBACK FileProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT Notify(NMHDR* header);
    void CreateControls();
    void NameForScreenReaders();
    void MakeFonts(int dpi) override;
    void Layout() override;
    void Refresh();
    void FiltersChanged();
    // Carries out what the session says a row or a key does.
    void Act(const RowAction& action);

    std::filesystem::path settingsFile_;
    std::unique_ptr<FolderSession> session_;
    std::atomic<bool> woken_{false};  // a poll is posted and not yet run
    HWND firstName_ = nullptr;
    HWND secondName_ = nullptr;
    HWND hideSame_ = nullptr;
    HWND patternLabel_ = nullptr;
    HWND pattern_ = nullptr;
    ListView list_;
    HWND progress_ = nullptr;
    HWND status_ = nullptr;
    platform::win32::FontHandle font_;
    bool refreshing_ = false;  // the filter controls are being set, not edited
    std::wstring buffer_;      // the text last handed to the list view
    std::unique_ptr<ViewerWindow> file_;
};

}  // namespace viewer
