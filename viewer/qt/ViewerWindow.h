// The viewer's one window: the two files named, a legend, the rows of the comparison beside an
// overview strip, and the count of differences in the status bar and the title. F8 and Shift+F8
// (or F7) move between differences, Ctrl+Home / Ctrl+End to the first and last; Ctrl+F finds,
// Ctrl+G goes to a line, Ctrl+C copies rows, F5 reloads; the 表示 menu holds the ignore options
// and the side-by-side view. The comparison's rules are all in the core; this is its Qt face.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

#include "Comparison.h"

class QAction;
class QComboBox;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QTableView;
class QToolBar;

namespace viewer {

class DiffModel;
class OverviewStrip;

class ViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ViewerWindow(Comparison comparison, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    const Comparison& comparison() const { return comparison_; }
    QTableView* rowsView() const { return view_; }
    QLabel* messageLabel() const { return message_; }
    QLabel* countLabel() const { return count_; }
    QLabel* hiddenLabel() const { return hidden_; }
    OverviewStrip* overview() const { return overview_; }
    QWidget* changeNotice() const { return notice_; }
    QLineEdit* findBox() const { return findText_; }
    QLineEdit* lineBox() const { return lineText_; }
    QComboBox* lineFileBox() const { return lineFile_; }
    QString HeaderText() const;
    // The comparison's row of the current row, if there is one.
    std::optional<std::size_t> CurrentRow() const;

public slots:
    void NextDifference();
    void PreviousDifference();
    void FirstDifference();
    void LastDifference();
    void Reload();
    void SetSideBySide(bool on);
    // Compares again under other options; false when the user stopped it (nothing changed).
    bool SetOptions(const IgnoreOptions& options);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakeHeader();
    QWidget* MakeNotice();
    QWidget* MakeFindBar();
    QWidget* MakeLineBar();
    void MakeRowsView();
    void MakeActions();
    QAction* AddAction(const QString& text, const QList<QKeySequence>& keys,
                       std::function<void()> slot = {});
    void ShowComparison();
    void SizeColumns();
    void UpdateOverview();
    void UpdateVisibleRows();
    void GoToRow(std::size_t row);
    void GoToViewRow(int viewRow);
    void UpdateCount();
    void Find(bool forward);
    void GoToLine();
    void CopyRows();
    void StripClicked(int viewRow);
    void WatchFiles();

    Comparison comparison_;
    std::unique_ptr<DiffModel> model_;
    QLabel* names_ = nullptr;
    QWidget* legend_ = nullptr;
    QLabel* message_ = nullptr;
    QWidget* notice_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* hidden_ = nullptr;
    QTableView* view_ = nullptr;
    OverviewStrip* overview_ = nullptr;
    QWidget* rowsArea_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* findText_ = nullptr;
    QWidget* lineBar_ = nullptr;
    QLineEdit* lineText_ = nullptr;
    QComboBox* lineFile_ = nullptr;
    QToolBar* navigation_ = nullptr;
    QList<QAction*> textActions_;  // the actions that need rows to act on
    QAction* sideBySide_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    bool shown_ = false;
};

}  // namespace viewer
