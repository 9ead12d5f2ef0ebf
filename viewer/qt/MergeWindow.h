// The three-way merge window on Qt: the four names, one grid of MINE, BASE, THEIRS and the result
// side by side beside an overview strip of the changes, and the status bar with the conflicts
// left. What it does is the merge session's (MergeSession.h); this front lays it out, paints what
// the session says and turns Qt's events into session calls.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <vector>

#include "MergeSession.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;

namespace viewer {

class FileWatch;

class ElidedLabel;
class LineEditor;
class MergeModel;
class MergeStrip;
class RowsView;

class MergeWindow : public QMainWindow, public SessionView {
    Q_OBJECT
public:
    // The ignore options are kept in `settingsFile` (MergeSession).
    explicit MergeWindow(std::unique_ptr<MergedFiles> merged,
                         std::filesystem::path settingsFile = {}, QWidget* parent = nullptr);
    // The same, merged here.
    explicit MergeWindow(MergeSources sources, std::filesystem::path settingsFile = {},
                         QWidget* parent = nullptr);
    ~MergeWindow() override;

    MergeSession& session() { return *session_; }
    QWidget* changeNotice() const { return notice_; }
    RowsView* rowsView() const { return view_; }
    QLabel* statusLabel() const { return status_; }
    QLabel* countLabel() const { return count_; }
    ElidedLabel* nameLabel(MergeColumn file) const;
    QAction* action(MergeCommand command) const { return actions_.at(command); }
    // The entries of a command's submenu of choices (MergeCommandInfo::choices).
    const std::vector<QAction*>& choices(MergeCommand command) const {
        return choices_.at(command);
    }
    QLineEdit* lineEditor() const;
    QLineEdit* findBox() const { return findText_; }
    QLineEdit* lineBox() const { return lineText_; }
    QComboBox* lineFileBox() const { return lineFile_; }

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void MakeCommands();
    void UpdateCommands();
    void SizeColumns();
    ListMetrics Metrics() const;
    void PlaceEditor();
    QWidget* MakeFindBar();
    QWidget* MakeLineBar();

    std::unique_ptr<MergeSession> session_;
    std::unique_ptr<MergeModel> model_;
    ElidedLabel* names_[4] = {};  // MINE, BASE, THEIRS, the result
    RowsView* view_ = nullptr;
    QWidget* notice_ = nullptr;  // a file changed on disk, and the button that reads it again
    FileWatch* watch_ = nullptr;
    MergeStrip* strip_ = nullptr;
    LineEditor* editor_ = nullptr;
    std::size_t editorRow_ = 0;
    QWidget* findBar_ = nullptr;
    QLineEdit* findText_ = nullptr;
    QWidget* lineBar_ = nullptr;
    QComboBox* lineFile_ = nullptr;
    QLineEdit* lineText_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* count_ = nullptr;
    std::map<MergeCommand, QAction*> actions_;
    std::map<MergeCommand, std::vector<QAction*>> choices_;
    bool moving_ = false;  // the session moves the current row: no echo back to it
    bool shown_ = false;
};

}  // namespace viewer
