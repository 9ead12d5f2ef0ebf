// The window's commands: moving between differences, find, go to line, copy, reload, the view
// and the ignore options; each asks the core and shows its answer.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <limits>

#include "DiffModel.h"
#include "OverviewStrip.h"
#include "Progress.h"
#include "QtText.h"
#include "ViewerWindow.h"

namespace viewer {

namespace {

constexpr int kStatusMillis = 4000;

// A small bar under the list with a close button; Esc in it closes it too.
QWidget* MakeBar(QWidget* parent, QHBoxLayout*& layout) {
    auto* bar = new QWidget(parent);
    layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    bar->hide();
    return bar;
}

void AddCloseButton(QWidget* bar, QHBoxLayout* layout) {
    auto* close = new QPushButton(QStringLiteral("閉じる"), bar);
    QObject::connect(close, &QPushButton::clicked, bar, &QWidget::hide);
    layout->addWidget(close);
    auto* escape = new QAction(bar);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QAction::triggered, bar, &QWidget::hide);
    bar->addAction(escape);
}

}  // namespace

QAction* ViewerWindow::AddAction(const QString& text, const QList<QKeySequence>& keys,
                                 std::function<void()> slot) {
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    if (slot) connect(action, &QAction::triggered, this, std::move(slot));
    // The actions are the window's, so their keys work wherever the focus is in it.
    addAction(action);
    textActions_ << action;
    return action;
}

void ViewerWindow::MakeActions() {
    QAction* next =
        AddAction(QStringLiteral("次の相違 (F8)"), {Qt::Key_F8}, [this] { NextDifference(); });
    QAction* previous = AddAction(QStringLiteral("前の相違 (Shift+F8)"),
                                  {QKeySequence(Qt::SHIFT | Qt::Key_F8), QKeySequence(Qt::Key_F7)},
                                  [this] { PreviousDifference(); });
    QAction* first =
        AddAction(QStringLiteral("最初の相違 (Ctrl+Home)"), {QKeySequence(Qt::CTRL | Qt::Key_Home)},
                  [this] { FirstDifference(); });
    QAction* last = AddAction(QStringLiteral("最後の相違 (Ctrl+End)"),
                              {QKeySequence(Qt::CTRL | Qt::Key_End)}, [this] { LastDifference(); });
    QAction* find = AddAction(QStringLiteral("検索... (Ctrl+F)"), {QKeySequence::Find}, [this] {
        lineBar_->hide();
        findBar_->show();
        findText_->setFocus();
        findText_->selectAll();
    });
    QAction* findNext =
        AddAction(QStringLiteral("次を検索 (F3)"), {Qt::Key_F3}, [this] { Find(true); });
    QAction* findPrevious =
        AddAction(QStringLiteral("前を検索 (Shift+F3)"), {QKeySequence(Qt::SHIFT | Qt::Key_F3)},
                  [this] { Find(false); });
    QAction* goTo = AddAction(QStringLiteral("行へ移動... (Ctrl+G)"),
                              {QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] {
                                  findBar_->hide();
                                  lineBar_->show();
                                  lineText_->setFocus();
                                  lineText_->selectAll();
                              });
    QAction* copy = AddAction(QStringLiteral("選択した行をコピー (Ctrl+C)"), {QKeySequence::Copy},
                              [this] { CopyRows(); });
    auto* reload = new QAction(QStringLiteral("再読み込み (F5)"), this);
    reload->setShortcut(Qt::Key_F5);
    connect(reload, &QAction::triggered, this, &ViewerWindow::Reload);
    addAction(reload);

    sideBySide_ = AddAction(QStringLiteral("左右に並べて表示 (Ctrl+T)"),
                            {QKeySequence(Qt::CTRL | Qt::Key_T)});
    sideBySide_->setCheckable(true);
    connect(sideBySide_, &QAction::toggled, this, &ViewerWindow::SetSideBySide);

    QMenu* move = menuBar()->addMenu(QStringLiteral("移動(&G)"));
    move->addActions({next, previous, first, last});
    move->addSeparator();
    move->addActions({find, findNext, findPrevious, goTo});
    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->addActions({copy, reload});
    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->addAction(sideBySide_);
    view->addSeparator();
    // The options stay as chosen while the window is open, through every reload.
    struct Option {
        const char16_t* text;
        bool IgnoreOptions::*flag;
    };
    for (const Option& option :
         {Option{u"行末の空白を無視", &IgnoreOptions::trailingBlanks},
          Option{u"すべての空白を無視", &IgnoreOptions::allBlanks},
          Option{u"空行を無視", &IgnoreOptions::blankLines},
          Option{u"大文字と小文字を区別しない", &IgnoreOptions::letterCase}}) {
        QAction* action = view->addAction(QString::fromUtf16(option.text));
        action->setCheckable(true);
        action->setChecked(comparison_.options.*option.flag);
        textActions_ << action;
        connect(action, &QAction::toggled, this, [this, action, flag = option.flag](bool on) {
            IgnoreOptions options = comparison_.options;
            options.*flag = on;
            if (SetOptions(options)) return;
            const QSignalBlocker quiet(action);  // stopped: the option is as it was
            action->setChecked(!on);
        });
    }

    navigation_ = addToolBar(QStringLiteral("相違"));
    navigation_->setMovable(false);
    navigation_->addActions({first, previous, next, last});
    navigation_->addSeparator();
    navigation_->addAction(sideBySide_);
}

QWidget* ViewerWindow::MakeFindBar() {
    QHBoxLayout* layout = nullptr;
    findBar_ = MakeBar(this, layout);
    layout->addWidget(new QLabel(QStringLiteral("検索:"), findBar_));
    findText_ = new QLineEdit(findBar_);
    findText_->setPlaceholderText(QStringLiteral("探す文字列（大文字と小文字を区別しない）"));
    connect(findText_, &QLineEdit::returnPressed, this, [this] { Find(true); });
    layout->addWidget(findText_, 1);
    auto* previous = new QPushButton(QStringLiteral("前へ"), findBar_);
    connect(previous, &QPushButton::clicked, this, [this] { Find(false); });
    auto* next = new QPushButton(QStringLiteral("次へ"), findBar_);
    connect(next, &QPushButton::clicked, this, [this] { Find(true); });
    layout->addWidget(previous);
    layout->addWidget(next);
    AddCloseButton(findBar_, layout);
    return findBar_;
}

QWidget* ViewerWindow::MakeLineBar() {
    QHBoxLayout* layout = nullptr;
    lineBar_ = MakeBar(this, layout);
    layout->addWidget(new QLabel(QStringLiteral("行へ移動:"), lineBar_));
    lineFile_ = new QComboBox(lineBar_);
    lineFile_->addItems(
        {QStringLiteral("第一のファイルの行"), QStringLiteral("第二のファイルの行")});
    layout->addWidget(lineFile_);
    lineText_ = new QLineEdit(lineBar_);
    lineText_->setValidator(new QIntValidator(1, std::numeric_limits<int>::max(), lineText_));
    lineText_->setPlaceholderText(QStringLiteral("行番号"));
    connect(lineText_, &QLineEdit::returnPressed, this, &ViewerWindow::GoToLine);
    layout->addWidget(lineText_, 1);
    auto* go = new QPushButton(QStringLiteral("移動"), lineBar_);
    connect(go, &QPushButton::clicked, this, &ViewerWindow::GoToLine);
    layout->addWidget(go);
    AddCloseButton(lineBar_, layout);
    return lineBar_;
}

void ViewerWindow::NextDifference() {
    const std::optional<std::size_t> next = comparison_.NextDifference(CurrentRow());
    if (!next) {
        statusBar()->showMessage(QStringLiteral("これより後に相違はありません"), kStatusMillis);
        return;
    }
    GoToRow(*next);
}

void ViewerWindow::PreviousDifference() {
    const std::optional<std::size_t> previous = comparison_.PreviousDifference(CurrentRow());
    if (!previous) {
        statusBar()->showMessage(QStringLiteral("これより前に相違はありません"), kStatusMillis);
        return;
    }
    GoToRow(*previous);
}

void ViewerWindow::FirstDifference() {
    if (comparison_.differenceStarts.empty()) return;
    GoToRow(comparison_.differenceStarts.front());
}

void ViewerWindow::LastDifference() {
    if (comparison_.differenceStarts.empty()) return;
    GoToRow(comparison_.differenceStarts.back());
}

void ViewerWindow::Find(bool forward) {
    const QString needle = findText_->text();
    if (needle.isEmpty()) {
        findBar_->show();
        findText_->setFocus();
        return;
    }
    const std::optional<std::size_t> found =
        comparison_.Find(needle.toStdU16String(), CurrentRow(), forward);
    if (!found) {
        statusBar()->showMessage(QStringLiteral("「%1」は見つかりません").arg(needle),
                                 kStatusMillis);
        return;
    }
    GoToRow(*found);
}

void ViewerWindow::GoToLine() {
    bool ok = false;
    const qint64 number = lineText_->text().toLongLong(&ok);
    if (!ok) return;
    const bool inFirst = lineFile_->currentIndex() == 0;
    const std::optional<std::size_t> row = comparison_.RowOfLine(inFirst, number);
    if (!row) {
        statusBar()->showMessage(QStringLiteral("その行はありません"), kStatusMillis);
        return;
    }
    GoToRow(*row);
    view_->setFocus();
}

void ViewerWindow::CopyRows() {
    std::vector<std::size_t> rows;
    // Side by side, a row holds a line of each file: both are copied, in the list's order.
    for (const QModelIndex& index : view_->selectionModel()->selectedRows()) {
        for (const std::size_t row : model_->ListRows(index.row())) rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return;
    QApplication::clipboard()->setText(ToQString(comparison_.CopyText(rows)));
    statusBar()->showMessage(QStringLiteral("%1 行をコピーしました").arg(rows.size()),
                             kStatusMillis);
}

void ViewerWindow::StripClicked(int viewRow) {
    // A click near a difference goes to its start; elsewhere, to the row under the click.
    const int rowsPerPixel = std::max(1, model_->rowCount() / std::max(1, overview_->height()));
    const int near = 3 * rowsPerPixel;
    int best = -1;
    for (const std::size_t start : comparison_.differenceStarts) {
        const int at = model_->ViewRow(start);
        if (std::abs(at - viewRow) <= near &&
            (best < 0 || std::abs(at - viewRow) < std::abs(best - viewRow))) {
            best = at;
        }
    }
    GoToViewRow(best >= 0 ? best : viewRow);
    view_->setFocus();
}

void ViewerWindow::SetSideBySide(bool on) {
    if (sideBySide_->isChecked() != on) sideBySide_->setChecked(on);  // toggles back into here
    if (model_->sideBySide() == on) return;
    const std::optional<std::size_t> current = CurrentRow();
    model_->SetSideBySide(on);
    SizeColumns();
    UpdateOverview();
    if (current) GoToRow(*current);
}

bool ViewerWindow::SetOptions(const IgnoreOptions& options) {
    if (options == comparison_.options) return true;
    const std::optional<std::size_t> current = CurrentRow();
    const Row before = current ? comparison_.rows[*current] : Row{};
    std::optional<Comparison> redone =
        RunWithProgress(this, [earlier = comparison_, options](const CancelFlag* cancel) mutable {
            earlier.Rediff(options, cancel);
            return earlier;
        });
    if (!redone) return false;
    model_->BeginChange();
    comparison_ = std::move(*redone);
    model_->EndChange();
    ShowComparison();
    // Stay on the same line of the first file (or the second, for an added line).
    if (!current) return true;
    const bool inFirst = before.first >= 0;
    if (std::optional<std::size_t> row =
            comparison_.RowOfLine(inFirst, (inFirst ? before.first : before.second) + 1)) {
        GoToRow(*row);
    }
    return true;
}

void ViewerWindow::Reload() {
    const std::optional<std::size_t> current = CurrentRow();
    const std::optional<Row> before =
        current ? std::optional<Row>(comparison_.rows[*current]) : std::nullopt;
    std::optional<Comparison> again =
        RunWithProgress(this, [earlier = comparison_](const CancelFlag* cancel) {
            return CompareAgain(earlier, cancel);
        });
    if (!again) return;
    model_->BeginChange();
    comparison_ = std::move(*again);
    model_->EndChange();
    notice_->hide();
    WatchFiles();
    ShowComparison();
    statusBar()->showMessage(QStringLiteral("再読み込みしました"), kStatusMillis);
    if (const auto row = comparison_.RowToKeep(before)) GoToRow(*row);
}

void ViewerWindow::WatchFiles() {
    if (watcher_ == nullptr) {
        watcher_ = new QFileSystemWatcher(this);
        // An editor that saves by writing a new file and renaming it over the old one ends the
        // watch on the old one: the notice shows, and the reload watches the new file.
        connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { notice_->show(); });
    }
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    for (const FileSide* side : {&comparison_.first, &comparison_.second}) {
        if (side->error.empty()) watcher_->addPath(PathText(side->path));
    }
}

}  // namespace viewer
