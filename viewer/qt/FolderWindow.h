// Two folders compared on Qt: the list of the folder session, filled as the comparison finds
// entries, with its filters, its progress line and the counts. Enter or a double click opens a
// file pair's comparison in the same window; Backspace, or the pair's 閉じる (Esc, Ctrl+W), comes
// back to the list where it was. What to show is the session's; this front lays it out and turns
// Qt's events into session calls.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <memory>

#include "FolderSession.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTableView;

namespace viewer {

class FolderModel;
class ViewerWindow;

class FolderWindow : public QMainWindow {
    Q_OBJECT
public:
    // `settingsFile` keeps the filters and the file view's choices; empty: nothing is kept.
    FolderWindow(std::filesystem::path first, std::filesystem::path second,
                 std::filesystem::path settingsFile = {}, QWidget* parent = nullptr);
    ~FolderWindow() override;

    FolderSession& session() { return *session_; }
    QTableView* listView() const { return list_; }
    QLabel* progressLabel() const { return progress_; }
    QCheckBox* hideSameBox() const { return hideSame_; }
    QLineEdit* patternBox() const { return pattern_; }
    // The file pair open in the window; null while the list is shown.
    ViewerWindow* fileView() const { return file_; }

    // Opens the row's file pair, or opens or closes the row's folder.
    void Activate(int row);
    // Back from a file pair to the list.
    void Back();

signals:
    // The comparison ended (done, stopped, or the folders could not be read).
    void ComparisonEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeListPage();
    void Poll();
    void Refresh();
    void FiltersChanged();
    // Carries out what the session says a row or a key does.
    void Act(const RowAction& action);

    std::filesystem::path settingsFile_;
    std::unique_ptr<FolderSession> session_;
    std::unique_ptr<FolderModel> model_;
    QStackedWidget* pages_ = nullptr;
    QWidget* listPage_ = nullptr;
    QLabel* firstName_ = nullptr;
    QLabel* secondName_ = nullptr;
    QCheckBox* hideSame_ = nullptr;
    QLineEdit* pattern_ = nullptr;
    QTableView* list_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* hidden_ = nullptr;
    ViewerWindow* file_ = nullptr;
    int listScroll_ = 0;  // where the list was when the pair opened
};

}  // namespace viewer
