#include "MergeWindow.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "ElidedLabel.h"
#include "FileWatch.h"
#include "LineEditor.h"
#include "NoticeBar.h"
#include "OverviewStrip.h"
#include "QtCommands.h"
#include "QtText.h"
#include "RowsView.h"
#include "StripBands.h"
#include "Texts.h"

namespace viewer {

// The grid of the merge session's cells.
class MergeModel : public QAbstractTableModel {
public:
    explicit MergeModel(const MergeSession& session) : session_(session) {}
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(session_.RowCount());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(kMergeColumns);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const auto column = static_cast<MergeColumn>(index.column());
        switch (role) {
            case Qt::DisplayRole:
            case Qt::AccessibleTextRole:
                return ToQString(
                    session_.CellAt(static_cast<std::size_t>(index.row()), column).text);
            case Qt::BackgroundRole:
                return ToQColor(
                    session_.CellAt(static_cast<std::size_t>(index.row()), column).background);
            case Qt::ForegroundRole:
                return ToQColor(ColourRole::Text);
            case Qt::TextAlignmentRole:
                return IsNumber(column) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                        : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
            default:
                return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return ToQString(session_.ColumnTitle(static_cast<MergeColumn>(section)));
    }
    static bool IsNumber(MergeColumn column) {
        return column == MergeColumn::MineNumber || column == MergeColumn::BaseNumber ||
               column == MergeColumn::TheirsNumber || column == MergeColumn::ResultNumber;
    }

private:
    const MergeSession& session_;
};

// The overview strip: every change in its row's colour; a click goes there.
class MergeStrip : public QWidget {
public:
    explicit MergeStrip(MergeSession& session, QWidget* parent)
        : QWidget(parent), session_(session) {
        setFixedWidth(16);
        setToolTip(ToQString(texts::kStripTip));
        setAccessibleName(ToQString(texts::kStripTip));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        OverviewStrip::PaintBands(painter, rect(), StripBands(session_, height()));
    }
    void mousePressEvent(QMouseEvent* event) override {
        session_.ClickStrip(static_cast<int>(event->position().y()), height());
    }

private:
    MergeSession& session_;
};

MergeWindow::MergeWindow(MergeSources sources, std::filesystem::path settingsFile, QWidget* parent)
    : MergeWindow(Merged(std::move(sources)), std::move(settingsFile), parent) {}

MergeWindow::MergeWindow(std::unique_ptr<MergedFiles> merged, std::filesystem::path settingsFile,
                         QWidget* parent)
    : QMainWindow(parent) {
    session_ = std::make_unique<MergeSession>(std::move(merged), *this, std::move(settingsFile));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* header = new QGridLayout();
    for (int i = 0; i < 4; ++i) {
        names_[i] = new ElidedLabel(central);
        header->addWidget(names_[i], i / 2, i % 2);
    }
    layout->addLayout(header);
    notice_ = MakeNoticeBar(central, [this] {
        session_->Run(MergeCommand::Reload);
        UpdateCommands();
    });
    layout->addWidget(notice_);

    auto* rows = new QHBoxLayout();
    view_ = new RowsView(central);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->SetRowHeight(QFontMetrics(view_->font()).height() + 2);
    view_->setTextElideMode(Qt::ElideNone);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setAccessibleName(QStringLiteral("マージ"));
    model_ = std::make_unique<MergeModel>(*session_);
    view_->setModel(model_.get());
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!moving_ && index.isValid()) {
                    session_->SetCurrent(static_cast<std::size_t>(index.row()));
                    UpdateCommands();
                }
            });
    connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (static_cast<MergeColumn>(index.column()) != MergeColumn::Result) return;
        session_->SetCurrent(static_cast<std::size_t>(index.row()));
        session_->Run(MergeCommand::EditLine);
    });
    rows->addWidget(view_, 1);
    strip_ = new MergeStrip(*session_, central);
    rows->addWidget(strip_);
    layout->addLayout(rows, 1);
    layout->addWidget(MakeFindBar());
    layout->addWidget(MakeLineBar());
    setCentralWidget(central);

    editor_ = new LineEditor(view_->viewport());
    editor_->setFont(view_->font());
    connect(editor_, &QLineEdit::textEdited, this,
            [this](const QString& text) { session_->Typed(text.toStdU16String()); });
    connect(editor_, &LineEditor::finished, this, [this](bool keep) {
        session_->FinishEdit(keep);
        UpdateCommands();
    });
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &MergeWindow::PlaceEditor);
    connect(view_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &MergeWindow::PlaceEditor);

    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);
    count_ = new QLabel(this);
    statusBar()->addPermanentWidget(count_);
    watch_ = new FileWatch(this);
    connect(watch_, &FileWatch::changed, this, [this] { session_->FilesChanged(); });
    MakeCommands();
    resize(1200, 760);
    session_->Open();
}

MergeWindow::~MergeWindow() {
    // The window's parts tell of their last changes as they go: not to a window half gone.
    for (QObject* part : std::initializer_list<QObject*>{view_, view_->selectionModel(),
                                                         view_->horizontalScrollBar(),
                                                         view_->verticalScrollBar(), editor_}) {
        part->disconnect(this);
    }
}

QWidget* MergeWindow::MakeFindBar() {
    findBar_ = new QWidget(this);
    auto* layout = new QHBoxLayout(findBar_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(ToQString(texts::kFindLabel), findBar_));
    findText_ = new QLineEdit(findBar_);
    findText_->setPlaceholderText(ToQString(texts::kFindPlaceholder));
    findText_->setAccessibleName(QStringLiteral("検索"));
    layout->addWidget(findText_, 1);
    auto find = [this](bool forward) {
        session_->SetFindText(findText_->text().toStdU16String());
        session_->Find(forward);
    };
    connect(findText_, &QLineEdit::returnPressed, this, [find] { find(true); });
    for (const bool forward : {false, true}) {
        auto* button =
            new QPushButton(ToQString(forward ? texts::kFindNext : texts::kFindPrevious), findBar_);
        connect(button, &QPushButton::clicked, this, [find, forward] { find(forward); });
        layout->addWidget(button);
    }
    auto* close = new QPushButton(ToQString(texts::kCloseBar), findBar_);
    connect(close, &QPushButton::clicked, this, [this] { session_->CloseBar(); });
    layout->addWidget(close);
    findBar_->hide();
    return findBar_;
}

QWidget* MergeWindow::MakeLineBar() {
    lineBar_ = new QWidget(this);
    auto* layout = new QHBoxLayout(lineBar_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(ToQString(texts::kLineLabel), lineBar_));
    lineFile_ = new QComboBox(lineBar_);
    for (const MergeLineFile& file : MergeLineFiles()) lineFile_->addItem(ToQString(file.label));
    lineFile_->setAccessibleName(QStringLiteral("行へ移動"));
    layout->addWidget(lineFile_);
    lineText_ = new QLineEdit(lineBar_);
    lineText_->setPlaceholderText(ToQString(texts::kLinePlaceholder));
    lineText_->setAccessibleName(ToQString(texts::kLinePlaceholder));
    layout->addWidget(lineText_, 1);
    auto go = [this] {
        session_->GoToLine(
            MergeLineFiles()[static_cast<std::size_t>(lineFile_->currentIndex())].file,
            lineText_->text().toStdU16String());
        if (session_->status().kind != StatusKind::Warning) view_->setFocus();
    };
    connect(lineText_, &QLineEdit::returnPressed, this, go);
    auto* button = new QPushButton(ToQString(texts::kLineGo), lineBar_);
    connect(button, &QPushButton::clicked, this, go);
    layout->addWidget(button);
    auto* close = new QPushButton(ToQString(texts::kCloseBar), lineBar_);
    connect(close, &QPushButton::clicked, this, [this] { session_->CloseBar(); });
    layout->addWidget(close);
    lineBar_->hide();
    return lineBar_;
}

void MergeWindow::ShowBar(Bar bar) {
    findBar_->setVisible(bar == Bar::Find);
    lineBar_->setVisible(bar == Bar::Line);
    QLineEdit* box = bar == Bar::Find ? findText_ : bar == Bar::Line ? lineText_ : nullptr;
    if (box == nullptr) return view_->setFocus();
    box->setFocus();
    box->selectAll();
}

void MergeWindow::ShowChangeNotice(bool shown) { notice_->setVisible(shown); }

void MergeWindow::WatchFiles(const std::vector<std::filesystem::path>& files) {
    watch_->Watch(files);
}

void MergeWindow::MakeCommands() {
    std::map<Menu, QMenu*> menus;
    for (const MergeCommandInfo& info : MergeCommandTable()) {
        QMenu* menu = MenuFor(menuBar(), menus, info.menu, info.separatorBefore);
        if (!info.choices.empty()) {
            // A submenu of radio items: the session's choice checked.
            QMenu* submenu = menu->addMenu(ToQString(info.label));
            auto* group = new QActionGroup(submenu);
            for (std::size_t i = 0; i < info.choices.size(); ++i) {
                QAction* entry = submenu->addAction(ToQString(info.choices[i]));
                entry->setCheckable(true);
                group->addAction(entry);
                connect(entry, &QAction::triggered, this, [this, command = info.command, i] {
                    session_->Choose(command, i);
                    UpdateCommands();
                });
                choices_[info.command].push_back(entry);
            }
            continue;
        }
        QAction* action = AddCommandAction(this, info.label, info.keys, info.checkable);
        connect(action, &QAction::triggered, this, [this, command = info.command] {
            // What the find bar holds now is what is found.
            if (findBar_->isVisible()) session_->SetFindText(findText_->text().toStdU16String());
            session_->Run(command);
            UpdateCommands();
        });
        menu->addAction(action);
        actions_[info.command] = action;
    }
    UpdateCommands();
}

void MergeWindow::UpdateCommands() {
    for (const auto& [command, action] : actions_) {
        action->setEnabled(session_->Enabled(command));
        if (action->isCheckable()) action->setChecked(session_->Checked(command));
    }
    for (const auto& [command, entries] : choices_) {
        entries[session_->Chosen(command)]->setChecked(true);
    }
}

void MergeWindow::SizeColumns() {
    // The four files share the width; a longer line widens its file, and the list scrolls.
    const std::array<int, kMergeColumns> widths = session_->ColumnWidths(Metrics());
    for (std::size_t c = 0; c < kMergeColumns; ++c) {
        view_->setColumnWidth(static_cast<int>(c), widths[c]);
    }
}

void MergeWindow::Redraw() {
    model_->Reset();
    // The rows are new: the session's current row is the view's again.
    if (const auto row = session_->CurrentRow(); row && *row < session_->RowCount()) {
        moving_ = true;
        view_->selectionModel()->setCurrentIndex(
            model_->index(static_cast<int>(*row), static_cast<int>(MergeColumn::Result)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        moving_ = false;
    }
    names_[0]->SetText(ToQString(session_->HeaderLine(MergeColumn::Mine)));
    names_[1]->SetText(ToQString(session_->HeaderLine(MergeColumn::Base)));
    names_[2]->SetText(ToQString(session_->HeaderLine(MergeColumn::Theirs)));
    names_[3]->SetText(ToQString(session_->HeaderLine(MergeColumn::Result)));
    SizeColumns();
    strip_->update();
    UpdateCommands();
}

void MergeWindow::ScrollTo(std::size_t row, std::size_t column) {
    moving_ = true;
    view_->selectionModel()->setCurrentIndex(
        model_->index(static_cast<int>(row), static_cast<int>(MergeColumn::Result)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    moving_ = false;
    view_->verticalScrollBar()->setValue(
        std::max(0, static_cast<int>(row) - view_->PageRows() / 2));
    // Sideways, to MINE's text when it is off screen.
    QScrollBar* sideways = view_->horizontalScrollBar();
    sideways->setValue(SidewaysScroll(
        view_->horizontalHeader()->sectionPosition(static_cast<int>(MergeColumn::Mine)), column,
        Metrics(), sideways->value()));
    UpdateCommands();
}

ListMetrics MergeWindow::Metrics() const {
    const QFontMetricsF metrics(view_->font());
    const qreal digit = metrics.horizontalAdvance(QLatin1Char('0'));
    return {digit, static_cast<int>(digit), view_->viewport()->width()};
}

void MergeWindow::ShowStatus(const StatusMessage& message) {
    status_->setText(ToQString(message.text));
    status_->setStyleSheet(
        message.kind == StatusKind::Warning
            ? QStringLiteral("color: %1;").arg(ToQColor(ColourRole::Error).name())
            : QString());
    count_->setText(ToQString(session_->CountText()));
    view_->viewport()->update();
}

void MergeWindow::MeasuredInBackground() {
    // An event of this window's thread, dropped with the window if it closes first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (session_->TakeMeasured()) SizeColumns();
        },
        Qt::QueuedConnection);
}

void MergeWindow::SetTitle(const std::u16string& title) { setWindowTitle(ToQString(title)); }

void MergeWindow::CopyToClipboard(const std::u16string& text) {
    QApplication::clipboard()->setText(ToQString(text));
}

void MergeWindow::CloseWindow() { close(); }

Answer MergeWindow::Ask(const Question& question) { return AskInBox(this, question); }

void MergeWindow::OpenEditor(std::size_t row, std::size_t column, const std::u16string& text) {
    editorRow_ = row;
    editor_->setText(ToQString(text));  // not the user's change: no textEdited
    view_->scrollTo(model_->index(static_cast<int>(row), static_cast<int>(column)));
    editor_->show();
    PlaceEditor();
    editor_->setFocus(Qt::OtherFocusReason);
}

void MergeWindow::CloseEditor() {
    // Called from the session's FinishEdit: the focus leaving the editor must not end it again.
    const QSignalBlocker quiet(editor_);
    if (editor_->hasFocus()) view_->setFocus(Qt::OtherFocusReason);
    editor_->hide();
}

QLineEdit* MergeWindow::lineEditor() const { return editor_; }

void MergeWindow::PlaceEditor() {
    if (editor_->isHidden()) return;
    const QRect cell = view_->visualRect(
        model_->index(static_cast<int>(editorRow_), static_cast<int>(MergeColumn::Result)));
    editor_->setGeometry(cell.left(), cell.top(), std::max(cell.width(), 40), cell.height());
}

void MergeWindow::closeEvent(QCloseEvent* event) {
    if (session_->MayClose()) return QMainWindow::closeEvent(event);
    event->ignore();
}

ElidedLabel* MergeWindow::nameLabel(MergeColumn file) const {
    switch (file) {
        case MergeColumn::Mine:
            return names_[0];
        case MergeColumn::Base:
            return names_[1];
        case MergeColumn::Theirs:
            return names_[2];
        default:
            return names_[3];
    }
}

void MergeWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The four files keep sharing the width.
    SizeColumns();
    PlaceEditor();
}

void MergeWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The row chosen before the window had a size is centred now that it has one.
    SizeColumns();
    if (const auto row = session_->CurrentRow()) ScrollTo(*row, 0);
}

}  // namespace viewer
