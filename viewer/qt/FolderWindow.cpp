#include "FolderWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "FolderModel.h"
#include "Progress.h"
#include "QtText.h"
#include "Settings.h"
#include "ViewerWindow.h"
#include "WorkArea.h"

namespace viewer {

FolderWindow::FolderWindow(std::filesystem::path first, std::filesystem::path second,
                           std::filesystem::path settingsFile, QWidget* parent)
    : QMainWindow(parent), settingsFile_(std::move(settingsFile)) {
    // News comes on the comparison's thread: the window polls on its own. A call still queued
    // when the window goes is dropped with it.
    session_ = std::make_unique<FolderSession>(
        std::move(first), std::move(second), LoadFolderFilters(settingsFile_),
        [this] { QMetaObject::invokeMethod(this, &FolderWindow::Poll, Qt::QueuedConnection); });
    model_ = std::make_unique<FolderModel>(*session_);
    pages_ = new QStackedWidget(this);
    listPage_ = MakeListPage();
    pages_->addWidget(listPage_);
    setCentralWidget(pages_);
    count_ = new QLabel(this);
    hidden_ = new QLabel(this);
    statusBar()->addWidget(count_);
    statusBar()->addPermanentWidget(hidden_);

    // Backspace goes back to the list. Alt+Left stays the file view's own key (taking a change
    // into the first file), as in a file view opened on its own.
    auto* back = new QShortcut(QKeySequence(Qt::Key_Backspace), this);
    connect(back, &QShortcut::activated, this, &FolderWindow::Back);
    ResizeWithinWorkArea(this, QSize(900, 600));
    Refresh();
    // Arrows and Enter work at once: the focus on the list, which goes to its first row.
    list_->setFocus();
}

FolderWindow::~FolderWindow() {
    // The comparison's thread ends before the window it wakes.
    session_.reset();
}

QWidget* FolderWindow::MakeListPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    firstName_ = new QLabel(page);
    secondName_ = new QLabel(page);
    firstName_->setText(ToQString(session_->HeaderLine(Side::First)));
    secondName_->setText(ToQString(session_->HeaderLine(Side::Second)));
    layout->addWidget(firstName_);
    layout->addWidget(secondName_);

    auto* filters = new QHBoxLayout;
    hideSame_ = new QCheckBox(ToQString(kHideSameLabel), page);
    hideSame_->setChecked(session_->filters().hideSame);
    pattern_ = new QLineEdit(ToQString(session_->filters().namePattern), page);
    pattern_->setPlaceholderText(ToQString(kNamePatternPlaceholder));
    auto* patternLabel = new QLabel(ToQString(kNamePatternLabel), page);
    patternLabel->setBuddy(pattern_);
    filters->addWidget(hideSame_);
    filters->addWidget(patternLabel);
    filters->addWidget(pattern_, 1);
    layout->addLayout(filters);
    connect(hideSame_, &QCheckBox::toggled, this, &FolderWindow::FiltersChanged);
    connect(pattern_, &QLineEdit::textEdited, this, &FolderWindow::FiltersChanged);

    list_ = new QTableView(page);
    list_->setModel(model_.get());
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    // One line of text a row, as the file view has it; the name and the state take the room.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    QHeaderView* columns = list_->horizontalHeader();
    for (int column : {0, 3, 4})
        columns->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    columns->setSectionResizeMode(1, QHeaderView::Stretch);
    columns->setSectionResizeMode(2, QHeaderView::Stretch);
    for (QWidget* control : std::initializer_list<QWidget*>{list_, pattern_, hideSame_}) {
        control->installEventFilter(this);
    }
    connect(list_, &QTableView::activated, this,
            [this](const QModelIndex& index) { Activate(index.row()); });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) session_->SetCurrent(static_cast<std::size_t>(index.row()));
            });
    layout->addWidget(list_, 1);

    progress_ = new QLabel(page);
    layout->addWidget(progress_);
    return page;
}

void FolderWindow::Poll() {
    const bool running = session_->Running();
    if (!session_->Poll()) return;
    Refresh();
    if (running && !session_->Running()) emit ComparisonEnded();
}

void FolderWindow::Refresh() {
    // The rows are laid out anew; the current row and the scroll stay where they were.
    const int scroll = list_->verticalScrollBar()->value();
    model_->Reset();
    if (const std::optional<std::size_t> row = session_->CurrentRow()) {
        list_->setCurrentIndex(model_->index(static_cast<int>(*row), 1));
    }
    list_->verticalScrollBar()->setValue(scroll);
    progress_->setText(ToQString(session_->ProgressText()));
    count_->setText(ToQString(session_->CountText()));
    hidden_->setText(ToQString(session_->HiddenNote()));
    if (file_ == nullptr) setWindowTitle(ToQString(session_->Title()));
}

void FolderWindow::FiltersChanged() {
    session_->ChangeFilters({hideSame_->isChecked(), pattern_->text().toStdU16String()},
                            settingsFile_);
    Refresh();
}

void FolderWindow::Activate(int row) {
    if (file_ != nullptr || row < 0) return;
    Act(session_->Activate(static_cast<std::size_t>(row), settingsFile_));
}

void FolderWindow::Act(const RowAction& action) {
    if (action.kind == RowAction::Kind::Redraw) return Refresh();
    if (action.kind != RowAction::Kind::Compare) return;
    std::optional<Comparison> comparison = RunWithProgress(this, action.compare);
    if (!comparison) return;  // stopped: the list stays
    listScroll_ = list_->verticalScrollBar()->value();
    file_ = new ViewerWindow(std::move(*comparison), settingsFile_);
    file_->setWindowFlags(Qt::Widget);
    file_->installEventFilter(this);
    connect(file_, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    pages_->addWidget(file_);
    pages_->setCurrentWidget(file_);
    statusBar()->hide();  // the pair has its own
    setWindowTitle(file_->windowTitle());
    file_->setFocus();
}

void FolderWindow::Back() {
    if (file_ == nullptr) return;
    // Changes taken across in the pair are saved, dropped or kept open as the user says.
    if (!file_->session().MayClose()) return;
    statusBar()->show();
    pages_->setCurrentWidget(listPage_);
    // The list is its own height again before it goes back to where it was.
    layout()->activate();
    list_->verticalScrollBar()->setValue(listScroll_);
    file_->removeEventFilter(this);
    file_->deleteLater();
    file_ = nullptr;
    // A save there may have changed the pair: its row and the counts follow.
    if (session_->PairClosed()) Refresh();
    setWindowTitle(ToQString(session_->Title()));
    list_->setFocus();
}

void FolderWindow::closeEvent(QCloseEvent* event) {
    // The pair open in the window is closed with it: its unsaved changes are asked about first.
    if (file_ != nullptr && !file_->session().MayClose()) return event->ignore();
    session_->Stop();
    QMainWindow::closeEvent(event);
}

bool FolderWindow::eventFilter(QObject* watched, QEvent* event) {
    // The file view's 閉じる (Esc, Ctrl+W) comes back to the list, once its event is done.
    if (watched == file_ && event->type() == QEvent::Close) {
        QMetaObject::invokeMethod(this, &FolderWindow::Back, Qt::QueuedConnection);
        return true;
    }
    if (event->type() != QEvent::KeyPress || watched == file_) {
        return QMainWindow::eventFilter(watched, event);
    }
    // The page's keys, as the session says: Esc and F5 anywhere on it, the others in the list.
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier) {
        return QMainWindow::eventFilter(watched, event);
    }
    std::optional<FolderKey> pressed;
    if (key->key() == Qt::Key_Escape) pressed = FolderKey::Escape;
    if (key->key() == Qt::Key_F5) pressed = FolderKey::F5;
    if (watched == list_) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) pressed = FolderKey::Enter;
        if (key->key() == Qt::Key_Left) pressed = FolderKey::Left;
        if (key->key() == Qt::Key_Right) pressed = FolderKey::Right;
    }
    if (!pressed) return QMainWindow::eventFilter(watched, event);
    const RowAction action = session_->Key(*pressed, settingsFile_);
    if (action.kind == RowAction::Kind::PassOn) return QMainWindow::eventFilter(watched, event);
    Act(action);
    return true;
}

}  // namespace viewer
