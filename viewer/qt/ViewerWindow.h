// The viewer's one window: the two files named, a legend, the rows of the comparison, and the
// count of differences in the status bar; F8 and Shift+F8 (or F7) move between differences.
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "Comparison.h"

class QLabel;
class QTableView;
class QToolBar;

namespace viewer {

class DiffModel;

class ViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ViewerWindow(Comparison comparison, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    const Comparison& comparison() const { return comparison_; }
    QTableView* rowsView() const { return view_; }
    QLabel* messageLabel() const { return message_; }
    QLabel* countLabel() const { return count_; }
    QString HeaderText() const;

public slots:
    void NextDifference();
    void PreviousDifference();

private:
    QWidget* MakeHeader();
    void MakeRowsView();
    void MakeActions();
    void ShowOutcome();
    std::optional<std::size_t> CurrentRow() const;
    void GoToRow(std::size_t row);
    void UpdateCount();

    Comparison comparison_;
    std::unique_ptr<DiffModel> model_;
    QLabel* names_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* count_ = nullptr;
    QTableView* view_ = nullptr;
    QToolBar* navigation_ = nullptr;
};

}  // namespace viewer
