#include "ViewerWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "DiffModel.h"
#include "ElidedLabel.h"
#include "FileWatch.h"
#include "ListLayout.h"
#include "LineEditor.h"
#include "NoticeBar.h"
#include "OverviewStrip.h"
#include "Progress.h"
#include "QtCommands.h"
#include "QtText.h"
#include "RowDelegate.h"
#include "RowsView.h"
#include "Texts.h"
#include "WorkArea.h"

namespace viewer {

namespace {

QLabel* LegendChip(RowKind kind, QWidget* parent) {
    auto* chip = new QLabel(ToQString(KindLegend(kind)), parent);
    chip->setAutoFillBackground(true);
    QPalette palette = chip->palette();
    palette.setColor(QPalette::Window, ToQColor(RowColour(kind)));
    palette.setColor(QPalette::WindowText, ToQColor(ColourRole::Text));
    chip->setPalette(palette);
    return chip;
}

// A row of the session as the list counts them, in an int: the rows past that are out of its
// reach, and stand for the last it has.
int ListRow(std::size_t viewRow) {
    return static_cast<int>(std::min<std::size_t>(viewRow, std::numeric_limits<int>::max() - 1));
}

}  // namespace

ViewerWindow::ViewerWindow(Comparison comparison, std::filesystem::path settingsFile,
                           QWidget* parent)
    : QMainWindow(parent),
      session_(std::make_unique<Session>(std::move(comparison), *this, std::move(settingsFile))) {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(MakeHeader());
    message_ = new QLabel(central);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path in a message wraps or is cut; it never widens the window.
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(message_);
    notice_ = MakeNoticeBar(central, [this] { session_->Run(Command::Reload); });
    layout->addWidget(notice_);

    rowsArea_ = new QWidget(central);
    auto* rows = new QHBoxLayout(rowsArea_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    MakeRowsView();
    rows->addWidget(view_, 1);
    overview_ = new OverviewStrip(*session_, rowsArea_);
    connect(overview_, &OverviewStrip::clicked, view_, qOverload<>(&QWidget::setFocus));
    rows->addWidget(overview_);
    layout->addWidget(rowsArea_, 1);
    layout->addWidget(MakeFindBar());
    layout->addWidget(MakeLineBar());
    // Without rows, what is left stays at the top instead of spreading down the window.
    layout->addStretch(0);
    setCentralWidget(central);

    // The message of the last command takes the room; the note and the count keep their size.
    status_ = new QLabel(this);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(status_, 1);
    hidden_ = new QLabel(this);
    statusBar()->addWidget(hidden_);
    count_ = new QLabel(this);
    statusBar()->addPermanentWidget(count_);
    watch_ = new FileWatch(this);
    connect(watch_, &FileWatch::changed, this, [this] { session_->FilesChanged(); });
    MakeCommands();
    ResizeWithinWorkArea(this, session_->ShowsRows() ? QSize(1000, 700) : QSize(680, 260));
    session_->Open();
}

ViewerWindow::~ViewerWindow() {
    // The window's parts outlive this part of it, and tell of their last changes as they are
    // hidden and deleted: not to a window half gone.
    for (QObject* part : std::initializer_list<QObject*>{
             view_, view_->selectionModel(), view_->horizontalHeader(),
             view_->horizontalScrollBar(), view_->verticalScrollBar(), editor_}) {
        part->disconnect(this);
    }
}

QWidget* ViewerWindow::MakeHeader() {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    firstName_ = new ElidedLabel(header);
    secondName_ = new ElidedLabel(header);
    layout->addWidget(firstName_);
    layout->addWidget(secondName_);
    legend_ = new QWidget(header);
    auto* legend = new QHBoxLayout(legend_);
    legend->setContentsMargins(0, 0, 0, 0);
    legend->addWidget(LegendChip(RowKind::Removed, legend_));
    legend->addWidget(LegendChip(RowKind::Added, legend_));
    legend->addStretch(1);
    layout->addWidget(legend_);
    return header;
}

void ViewerWindow::PrepareListFont() {
    RowDelegate::MeasureAmbiguous(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void ViewerWindow::MakeRowsView() {
    view_ = new RowsView(this);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    RowDelegate::MeasureAmbiguous(view_->font());
    view_->SetRowHeight(QFontMetrics(view_->font()).height() + 2);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->horizontalHeader()->setStretchLastSection(true);

    model_ = std::make_unique<DiffModel>(*session_);
    view_->setModel(model_.get());
    view_->setItemDelegate(new RowDelegate(*session_, view_));
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ViewerWindow::CurrentChanged);
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ViewerWindow::SelectionChanged);
    connect(view_, &QAbstractItemView::doubleClicked, this, &ViewerWindow::DoubleClicked);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ViewerWindow::UpdateVisibleRows);

    // The view's own editors stay off (NoEditTriggers): they would not survive the list being
    // drawn again at each key, so the line's editor is the window's, laid over the cell.
    editor_ = new LineEditor(view_->viewport());
    editor_->setFont(view_->font());
    connect(editor_, &QLineEdit::textEdited, this,
            [this](const QString& text) { session_->Typed(text.toStdU16String()); });
    connect(editor_, &LineEditor::finished, this,
            [this](bool keep) { session_->FinishEdit(keep); });
    // Connected after the view's own scrolling, so the editor is placed where its cell went.
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ViewerWindow::PlaceEditor);
    connect(view_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &ViewerWindow::PlaceEditor);
    connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this,
            &ViewerWindow::PlaceEditor);
    connect(view_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &ViewerWindow::UpdateVisibleRows);
}

void ViewerWindow::CurrentChanged() {
    view_->viewport()->update();  // the whole row shows it is current, not one cell
    const QModelIndex current = view_->currentIndex();
    if (moving_ || !current.isValid()) return;
    session_->SetCurrent(static_cast<std::size_t>(current.row()),
                         PaneOf(*session_, static_cast<std::size_t>(current.column())));
}

void ViewerWindow::DoubleClicked(const QModelIndex& index) {
    const auto column = static_cast<std::size_t>(index.column());
    if (session_->Columns()[column].content)
        session_->EditAt(static_cast<std::size_t>(index.row()), PaneOf(*session_, column));
}

void ViewerWindow::SelectionChanged() {
    // The selection model's ranges, as runs of rows: all of millions of rows is one run.
    std::vector<RowSpan> spans;
    for (const QItemSelectionRange& range : view_->selectionModel()->selection()) {
        spans.push_back(
            {static_cast<std::size_t>(range.top()), static_cast<std::size_t>(range.bottom())});
    }
    std::sort(spans.begin(), spans.end(),
              [](const RowSpan& a, const RowSpan& b) { return a.first < b.first; });
    std::vector<RowSpan> merged;
    for (const RowSpan& span : spans) {
        if (!merged.empty() && span.first <= merged.back().last + 1) {
            merged.back().last = std::max(merged.back().last, span.last);
        } else {
            merged.push_back(span);
        }
    }
    session_->SetSelection(std::move(merged));
}

void ViewerWindow::SizeColumns() {
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const std::vector<int> widths =
        FitColumns(*session_, RowDelegate::Metrics(view_->font(), view_->viewport()->width()));
    for (std::size_t at = 0; at < widths.size(); ++at) {
        view_->setColumnWidth(static_cast<int>(at), widths[at]);
    }
}

void ViewerWindow::Redraw() {
    const bool text = session_->ShowsRows();
    firstName_->SetText(ToQString(session_->HeaderLine(Side::First)));
    secondName_->SetText(ToQString(session_->HeaderLine(Side::Second)));
    legend_->setVisible(text);
    rowsArea_->setVisible(text);
    toolbar_->setVisible(text);
    const QString message = ToQString(session_->Message());
    message_->setText(message);
    message_->setStyleSheet(
        session_->MessageIsError()
            ? QStringLiteral("color: %1;").arg(ToQColor(ColourRole::Error).name())
            : QString());
    message_->setVisible(!message.isEmpty());
    moving_ = true;
    model_->Reset();
    // The rows are new (an edit, another view): none selected, in the list and in the session.
    view_->selectionModel()->clearSelection();
    SelectionChanged();
    // The keys go on from the session's row, wherever the list is scrolled.
    if (const auto row = session_->CurrentViewRow()) {
        view_->selectionModel()->setCurrentIndex(model_->index(ListRow(*row), 0),
                                                 QItemSelectionModel::NoUpdate);
    }
    moving_ = false;
    if (text) SizeColumns();
    PlaceEditor();
    overview_->update();
    UpdateVisibleRows();
    UpdateCommands();
    ShowStatus(session_->status());
}

void ViewerWindow::ScrollTo(std::size_t viewRow, std::size_t column) {
    lastColumn_ = column;
    const int row = ListRow(viewRow);
    int contentColumn = 0;
    const std::vector<Column>& columns = session_->Columns();
    while (contentColumn + 1 < static_cast<int>(columns.size()) &&
           !columns[static_cast<std::size_t>(contentColumn)].content) {
        ++contentColumn;
    }
    moving_ = true;
    view_->selectionModel()->setCurrentIndex(
        model_->index(row, contentColumn),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    moving_ = false;
    // Up and down: the row in the middle of the list.
    view_->verticalScrollBar()->setValue(std::max(0, row - view_->PageRows() / 2));
    // Sideways: only when the cell is off screen.
    QScrollBar* sideways = view_->horizontalScrollBar();
    sideways->setValue(SidewaysScroll(
        view_->horizontalHeader()->sectionPosition(contentColumn), column,
        RowDelegate::Metrics(view_->font(), view_->viewport()->width()), sideways->value()));
}

void ViewerWindow::ShowStatus(const StatusMessage& message) {
    status_->setText(ToQString(message.text));
    status_->setStyleSheet(
        message.kind == StatusKind::Warning
            ? QStringLiteral("color: %1;").arg(ToQColor(ColourRole::Error).name())
            : QString());
    hidden_->setText(ToQString(session_->HiddenNote()));
    hidden_->setVisible(!hidden_->text().isEmpty());
    count_->setText(ToQString(session_->CountText()));
    view_->viewport()->update();
}

void ViewerWindow::SetTitle(const std::u16string& title) { setWindowTitle(ToQString(title)); }

void ViewerWindow::CopyToClipboard(const std::u16string& text) {
    QApplication::clipboard()->setText(ToQString(text));
}

void ViewerWindow::ShowBar(Bar bar) {
    findBar_->setVisible(bar == Bar::Find);
    lineBar_->setVisible(bar == Bar::Line);
    QLineEdit* box = bar == Bar::Find ? findText_ : bar == Bar::Line ? lineText_ : nullptr;
    if (box == nullptr) {
        view_->setFocus();
        return;
    }
    box->setFocus();
    box->selectAll();
}

void ViewerWindow::ShowChangeNotice(bool shown) { notice_->setVisible(shown); }

void ViewerWindow::WatchFiles(const std::vector<std::filesystem::path>& files) {
    watch_->Watch(files);
}

void ViewerWindow::CloseWindow() { close(); }

void ViewerWindow::closeEvent(QCloseEvent* event) {
    if (!session_ || session_->MayClose()) return QMainWindow::closeEvent(event);
    event->ignore();
}

Answer ViewerWindow::Ask(const Question& question) { return AskInBox(this, question); }

void ViewerWindow::OpenEditor(std::size_t viewRow, std::size_t column, const std::u16string& text) {
    editorRow_ = viewRow;
    editorColumn_ = column;
    editor_->setText(ToQString(text));  // not the user's change: no textEdited
    view_->scrollTo(model_->index(ListRow(viewRow), static_cast<int>(column)));
    editor_->show();
    PlaceEditor();
    editor_->setFocus(Qt::OtherFocusReason);
}

void ViewerWindow::MoveEditor(std::size_t viewRow) {
    editorRow_ = viewRow;
    view_->scrollTo(model_->index(ListRow(viewRow), static_cast<int>(editorColumn_)));
    PlaceEditor();
}

void ViewerWindow::CloseEditor() {
    // Called from the session's FinishEdit: the focus leaving the editor must not end it again.
    const QSignalBlocker quiet(editor_);
    if (editor_->hasFocus()) view_->setFocus(Qt::OtherFocusReason);
    editor_->hide();
}

QLineEdit* ViewerWindow::lineEditor() const { return editor_; }

void ViewerWindow::PlaceEditor() {
    if (editor_ == nullptr || editor_->isHidden()) return;
    const QRect cell =
        view_->visualRect(model_->index(ListRow(editorRow_), static_cast<int>(editorColumn_)));
    // Over the part of the cell in view: a long line's cell may be far wider than the list.
    const int left = std::max(cell.left(), 0);
    const int right = std::min(cell.right(), view_->viewport()->width() - 1);
    editor_->setGeometry(left, cell.top(), std::max(right - left + 1, 40), cell.height());
}

std::optional<Comparison> ViewerWindow::RunLong(
    const std::function<Comparison(const CancelFlag*)>& work) {
    return RunWithProgress(this, work);
}

void ViewerWindow::MeasuredInBackground() {
    // An event of this window's thread, dropped with the window if it closes first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (session_->TakeMeasured()) SizeColumns();
        },
        Qt::QueuedConnection);
}

void ViewerWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The row chosen before the window had a size is centred now that it has one, and the list
    // starts at its left edge, moving sideways only if the change is off screen.
    if (session_->ShowsRows()) SizeColumns();
    view_->horizontalScrollBar()->setValue(0);
    if (const auto row = session_->CurrentViewRow()) ScrollTo(*row, lastColumn_);
}

void ViewerWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (session_->ShowsRows() && session_->view() == View::SideBySide) {
        SizeColumns();
        view_->viewport()->update();
    }
}

void ViewerWindow::UpdateVisibleRows() {
    overview_->SetVisibleRows(view_->FirstRow(), view_->PageRows());
}

}  // namespace viewer
