// What a front does for its session: each window implements it and draws what the session says.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Cancel.h"
#include "Comparison.h"
#include "Question.h"

namespace viewer {

enum class StatusKind : std::uint8_t { None, Info, Warning };
struct StatusMessage {
    std::u16string text;  // "「abc」は見つかりません"; empty: none
    StatusKind kind = StatusKind::None;
    bool operator==(const StatusMessage&) const = default;
};

// The bar under the list: none, find, or go to line.
enum class Bar : std::uint8_t { None, Find, Line };

class SessionView {
public:
    virtual ~SessionView() = default;
    // The comparison or the view changed: columns, rows, header, texts, strip, command states.
    virtual void Redraw() = 0;
    // Make `viewRow` the current row, centred up and down; sideways, show the cell `column` of
    // the content only when it is off screen (never centre sideways).
    virtual void ScrollTo(std::size_t viewRow, std::size_t column) = 0;
    // The status bar: the message, and the session's CountText and HiddenNote beside it.
    virtual void ShowStatus(const StatusMessage& message) = 0;
    virtual void SetTitle(const std::u16string& title) = 0;
    virtual void CopyToClipboard(const std::u16string& text) = 0;
    virtual void ShowBar(Bar bar) = 0;
    // The notice that the files changed on disk, with its reload button.
    virtual void ShowChangeNotice(bool shown) = 0;
    // Watch these files (a save by rename, a file deleted and created again included); call
    // Session::FilesChanged when one changes.
    virtual void WatchFiles(const std::vector<std::filesystem::path>& files) = 0;
    // Closes the window; the front's close event asks Session::MayClose first.
    virtual void CloseWindow() = 0;
    // Asks the user in a modal box over the window and waits for the answer: the question's
    // text and buttons as they are, Enter on its preferred button, Esc and the close box
    // answering as it says (Question.h).
    virtual Answer Ask(const Question& question) = 0;
    // The editor of one line in place, over the cell (viewRow, column) of a content column,
    // holding `text` with the keyboard focus in it: the front calls Session::Typed on each change
    // the user makes, and Session::FinishEdit when Enter, Esc or a click elsewhere ends it.
    virtual void OpenEditor(std::size_t viewRow, std::size_t column,
                            const std::u16string& text) = 0;
    // The rows changed under the line being typed: the editor goes to `viewRow`, scrolled into
    // view, its text and cursor as they are.
    virtual void MoveEditor(std::size_t viewRow) = 0;
    virtual void CloseEditor() = 0;
    // Long work (a reload, a comparison under other options) with the window's progress and its
    // cancel: nothing when the user stopped it.
    virtual std::optional<Comparison> RunLong(
        const std::function<Comparison(const CancelFlag*)>& work) = 0;
    // Called on a thread of the session's own, not the window's: what the session measures beside
    // the window (the widest line of a long file) is done. The front then calls
    // Session::TakeMeasured on its own thread, and sizes its columns again when it says so.
    virtual void MeasuredInBackground() = 0;
};

}  // namespace viewer
