// The viewer's one window on Qt: the two files named, a legend, the rows of the comparison beside
// an overview strip, the find and go-to-line bars, and the status bar. What the window does is
// the session's (viewer/session); this front lays it out, paints what the session says and turns
// Qt's events into session calls.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "Session.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;

namespace viewer {

class DiffModel;
class ElidedLabel;
class FileWatch;
class LineEditor;
class OverviewStrip;
class RowsView;

class ViewerWindow : public QMainWindow, public SessionView {
    Q_OBJECT
public:
    // `settingsFile` keeps the view and the options between runs (Settings.h); empty: none.
    explicit ViewerWindow(Comparison comparison, std::filesystem::path settingsFile = {},
                          QWidget* parent = nullptr);
    ~ViewerWindow() override;
    // Loads and measures the list's font before any window needs it: the program calls it while
    // its comparison runs, so that the window, made once the comparison is known, finds it ready.
    static void PrepareListFont();

    Session& session() { return *session_; }
    RowsView* rowsView() const { return view_; }
    ElidedLabel* nameLabel(bool first) const { return first ? firstName_ : secondName_; }
    QLabel* messageLabel() const { return message_; }
    QLabel* statusLabel() const { return status_; }
    QLabel* countLabel() const { return count_; }
    QLabel* hiddenLabel() const { return hidden_; }
    OverviewStrip* overview() const { return overview_; }
    QWidget* changeNotice() const { return notice_; }
    QLineEdit* findBox() const { return findText_; }
    QLineEdit* lineBox() const { return lineText_; }
    QComboBox* lineFileBox() const { return lineFile_; }
    QLineEdit* lineEditor() const;  // the editor of a line in place, shown while one is edited
    QAction* action(Command command) const { return actions_.at(command); }
    // The entries of a command's submenu of choices (CommandInfo::choices).
    const std::vector<QAction*>& choices(Command command) const { return choices_.at(command); }

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* MakeHeader();
    QWidget* MakeFindBar();
    QWidget* MakeLineBar();
    void MakeRowsView();
    void MakeCommands();
    void UpdateCommands();
    void MakeChoices(const CommandInfo& info, QMenu* menu);
    void SizeColumns();
    void UpdateVisibleRows();
    void CurrentChanged();
    void DoubleClicked(const QModelIndex& index);
    void PlaceEditor();
    void SelectionChanged();
    void GoToLine();

    std::unique_ptr<Session> session_;
    std::unique_ptr<DiffModel> model_;
    ElidedLabel* firstName_ = nullptr;
    ElidedLabel* secondName_ = nullptr;
    QWidget* legend_ = nullptr;
    QLabel* message_ = nullptr;
    QWidget* notice_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* hidden_ = nullptr;
    RowsView* view_ = nullptr;
    LineEditor* editor_ = nullptr;
    std::size_t editorRow_ = 0;  // the cell the editor lies over
    std::size_t editorColumn_ = 0;
    OverviewStrip* overview_ = nullptr;
    QWidget* rowsArea_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* findText_ = nullptr;
    QWidget* lineBar_ = nullptr;
    QLineEdit* lineText_ = nullptr;
    QComboBox* lineFile_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    FileWatch* watch_ = nullptr;
    std::map<Command, QAction*> actions_;
    std::map<Command, std::vector<QAction*>> choices_;  // the entries of each submenu of choices
    std::size_t lastColumn_ = 0;                        // the content cell the last ScrollTo showed
    bool moving_ = false;  // the session moves the current row: no echo back to it
    bool shown_ = false;
};

}  // namespace viewer
