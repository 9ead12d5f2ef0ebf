#include "ViewerWindow.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "DiffModel.h"
#include "Look.h"
#include "OverviewStrip.h"
#include "QtText.h"
#include "RowDelegate.h"

namespace viewer {

namespace {

QString SideText(const QString& title, const FileSide& side, Outcome outcome) {
    QString text = QStringLiteral("%1: %2").arg(title, PathText(side.Name(true)).toHtmlEscaped());
    if (outcome == Outcome::Text) {
        text += QStringLiteral("　(%1)").arg(ToQString(EncodingText(side)));
    }
    return text;
}

QLabel* LegendChip(RowKind kind) {
    auto* chip = new QLabel(KindLegend(kind));
    chip->setAutoFillBackground(true);
    QPalette palette = chip->palette();
    palette.setColor(QPalette::Window, KindColour(kind));
    palette.setColor(QPalette::WindowText, Qt::black);
    chip->setPalette(palette);
    return chip;
}

}  // namespace

ViewerWindow::ViewerWindow(Comparison comparison, QWidget* parent)
    : QMainWindow(parent), comparison_(std::move(comparison)) {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(MakeHeader());
    message_ = new QLabel(central);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(message_);
    layout->addWidget(MakeNotice());

    rowsArea_ = new QWidget(central);
    auto* rows = new QHBoxLayout(rowsArea_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    MakeRowsView();
    rows->addWidget(view_, 1);
    overview_ = new OverviewStrip(rowsArea_);
    rows->addWidget(overview_);
    connect(overview_, &OverviewStrip::clicked, this, &ViewerWindow::StripClicked);
    layout->addWidget(rowsArea_, 1);
    layout->addWidget(MakeFindBar());
    layout->addWidget(MakeLineBar());
    setCentralWidget(central);

    hidden_ = new QLabel(this);
    statusBar()->addWidget(hidden_);
    count_ = new QLabel(this);
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->addPermanentWidget(count_, 1);
    MakeActions();
    WatchFiles();
    ShowComparison();
    if (comparison_.outcome == Outcome::Text) {
        resize(1000, 700);
        // Open where the files part, as every comparison tool does.
        if (!comparison_.differenceStarts.empty()) GoToRow(comparison_.differenceStarts.front());
    } else {
        resize(680, 260);
    }
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The first difference, chosen before the window had a size, is centred now that it has one.
    if (view_->currentIndex().isValid()) {
        view_->scrollTo(view_->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
}

QString ViewerWindow::HeaderText() const { return names_->text(); }

QWidget* ViewerWindow::MakeHeader() {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    names_ = new QLabel(header);
    names_->setTextFormat(Qt::RichText);
    names_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(names_);

    legend_ = new QWidget(header);
    auto* legend = new QHBoxLayout(legend_);
    legend->setContentsMargins(0, 0, 0, 0);
    legend->addWidget(LegendChip(RowKind::Removed));
    legend->addWidget(LegendChip(RowKind::Added));
    legend->addStretch(1);
    layout->addWidget(legend_);
    return header;
}

QWidget* ViewerWindow::MakeNotice() {
    notice_ = new QWidget(this);
    notice_->setAutoFillBackground(true);
    QPalette palette = notice_->palette();
    palette.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xc0));
    palette.setColor(QPalette::WindowText, Qt::black);
    notice_->setPalette(palette);
    auto* layout = new QHBoxLayout(notice_);
    layout->addWidget(new QLabel(QStringLiteral("ファイルがディスク上で変更されました。"), notice_),
                      1);
    auto* reload = new QPushButton(QStringLiteral("再読み込み (F5)"), notice_);
    connect(reload, &QPushButton::clicked, this, &ViewerWindow::Reload);
    layout->addWidget(reload);
    notice_->hide();
    return notice_;
}

void ViewerWindow::MakeRowsView() {
    view_ = new QTableView(this);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(view_->font());
    // Fixed row heights and column widths keep a million rows cheap: nothing is measured per row.
    // The row height is set before the rows exist: set after, it is a signal for every row.
    QHeaderView* rows = view_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(metrics.height() + 2);
    rows->hide();
    view_->setShowGrid(false);
    view_->setWordWrap(false);
    view_->setTextElideMode(Qt::ElideNone);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_->horizontalHeader()->setStretchLastSection(true);

    model_ = std::make_unique<DiffModel>(comparison_);
    view_->setModel(model_.get());
    view_->setItemDelegate(new RowDelegate(view_));
    // A click moves the current row as F8 does, and the status bar follows either way.
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        view_->viewport()->update();  // the whole row shows it is current, not one cell
        UpdateCount();
    });
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ViewerWindow::UpdateVisibleRows);
    connect(view_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &ViewerWindow::UpdateVisibleRows);
}

void ViewerWindow::SizeColumns() {
    const QFontMetrics metrics(view_->font());
    QHeaderView* columns = view_->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    const std::int32_t lines =
        std::max(comparison_.first.text->LineCount(), comparison_.second.text->LineCount());
    const int numberWidth = std::max(
        metrics.horizontalAdvance(QString(QString::number(lines).size() + 1, u'0')) + 8, 40);
    if (model_->sideBySide()) {
        view_->setColumnWidth(DiffModel::LeftNumber, numberWidth);
        view_->setColumnWidth(DiffModel::RightNumber, numberWidth);
        view_->setColumnWidth(DiffModel::Band,
                              metrics.horizontalAdvance(QStringLiteral("<!!>")) + 12);
        // Two panes of equal width, each one wide enough to drag wider.
        const int pane = std::max(240, (view_->viewport()->width() - 2 * numberWidth -
                                        view_->columnWidth(DiffModel::Band)) /
                                           2);
        columns->setSectionResizeMode(DiffModel::LeftContent, QHeaderView::Interactive);
        view_->setColumnWidth(DiffModel::LeftContent, pane);
        view_->setColumnWidth(DiffModel::RightContent, pane);
        // A pane shows what fits of a long line, around the line's first difference.
        const int digit = std::max(1, metrics.horizontalAdvance(u'0'));
        model_->SetLongestShown(static_cast<std::size_t>(std::max(40, pane / digit - 2)));
        return;
    }
    model_->SetLongestShown(kLongestShown);
    view_->setColumnWidth(DiffModel::FirstNumber, numberWidth);
    view_->setColumnWidth(DiffModel::SecondNumber, numberWidth);
    view_->setColumnWidth(DiffModel::Mark, metrics.horizontalAdvance(QStringLiteral("<!")) + 12);
    // Wide enough for the longest line of either file, so long lines scroll instead of being cut.
    int contentWidth = 400;
    for (const FileSide* side : {&comparison_.first, &comparison_.second}) {
        const TextFile& text = *side->text;
        if (text.longestLine() < 0) continue;
        QString longest = ToQString(text.Display(text.longestLine()));
        longest.truncate(static_cast<qsizetype>(kLongestShown) + 40);
        contentWidth = std::max(contentWidth, metrics.horizontalAdvance(longest) + 24);
    }
    view_->setColumnWidth(DiffModel::Content, contentWidth);
}

void ViewerWindow::ShowComparison() {
    const bool text = comparison_.outcome == Outcome::Text;
    setWindowTitle(
        ToQString(comparison_.Title(PathText(comparison_.first.Name(false)).toStdU16String(),
                                    PathText(comparison_.second.Name(false)).toStdU16String())));
    names_->setText(SideText(QStringLiteral("第一"), comparison_.first, comparison_.outcome) +
                    QStringLiteral("<br>") +
                    SideText(QStringLiteral("第二"), comparison_.second, comparison_.outcome));
    legend_->setVisible(text);
    // Only a message to show: keep it under the header, and drop the list and its keys.
    rowsArea_->setVisible(text);
    navigation_->setVisible(text);
    for (QAction* action : textActions_) action->setEnabled(text);
    message_->setStyleSheet(QString());
    message_->show();
    hidden_->setText(ToQString(comparison_.HiddenNote()));
    count_->setText(ToQString(comparison_.CountText(std::nullopt)));
    if (comparison_.outcome == Outcome::Unreadable) {
        message_->setText(QStringLiteral("ファイルを読み込めません。\n") +
                          ErrorLines(comparison_).join(u'\n'));
        message_->setStyleSheet(QStringLiteral("color: #b00000;"));
        return;
    }
    const QString message = ToQString(comparison_.Message());
    message_->setText(message);
    message_->setVisible(!message.isEmpty());
    if (!text) return;
    SizeColumns();
    UpdateOverview();
    UpdateCount();
}

void ViewerWindow::UpdateOverview() {
    std::vector<OverviewStrip::Mark> marks;
    for (const Block& block : comparison_.rows.blocks()) {
        if (block.kind == RowKind::Common || comparison_.Overlooked(block.row)) continue;
        marks.push_back({model_->ViewRow(block.row), block.count, block.kind});
    }
    overview_->SetMarks(std::move(marks), model_->rowCount());
    UpdateVisibleRows();
}

void ViewerWindow::UpdateVisibleRows() {
    const int first = view_->rowAt(0);
    const int rowHeight = std::max(1, view_->verticalHeader()->defaultSectionSize());
    overview_->SetVisibleRows(std::max(first, 0), view_->viewport()->height() / rowHeight);
}

std::optional<std::size_t> ViewerWindow::CurrentRow() const {
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return model_->ListRow(current.row());
}

void ViewerWindow::GoToRow(std::size_t row) { GoToViewRow(model_->ViewRow(row)); }

void ViewerWindow::GoToViewRow(int viewRow) {
    const int column = model_->sideBySide() ? int{DiffModel::LeftContent} : int{DiffModel::Content};
    const QModelIndex index = model_->index(viewRow, column);
    view_->setCurrentIndex(index);
    view_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void ViewerWindow::UpdateCount() {
    if (comparison_.outcome != Outcome::Text) return;
    count_->setText(ToQString(comparison_.CountText(CurrentRow())));
}

}  // namespace viewer
