#include "ViewerWindow.h"

#include <QAction>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "DiffModel.h"
#include "Look.h"
#include "QtText.h"

namespace viewer {

namespace {

QString SideText(const QString& title, const FileSide& side, Outcome outcome) {
    QString text = QStringLiteral("%1: %2").arg(title, PathText(side.path).toHtmlEscaped());
    if (outcome == Outcome::Text) {
        text +=
            QStringLiteral("　(%1%2)")
                .arg(ToQString(EncodingName(side.encoding)),
                     side.lossy ? QStringLiteral("、読めないバイトを置き換えて表示") : QString());
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

QString BinaryMessage(const Comparison& c) {
    const QString kind =
        c.outcome == Outcome::TooLarge
            ? QStringLiteral(
                  "ファイルが大きいため（%1 MiB を超えます）、行ではなくバイト単位で比較しました。")
                  .arg(kTextLimitBytes >> 20)
            : QStringLiteral("バイナリファイルです。");
    if (c.identicalBytes) {
        return kind + QStringLiteral("\n2つのファイルは同一です（%1 バイト）。").arg(c.first.size);
    }
    return kind + QStringLiteral(
                      "\n2つのファイルは異なります。\n"
                      "最初に異なるバイトの位置: %1 (0x%2)\n"
                      "サイズ: 第一 %3 バイト、第二 %4 バイト")
                      .arg(c.firstDifferentByte)
                      .arg(QString::number(c.firstDifferentByte, 16).toUpper())
                      .arg(c.first.size)
                      .arg(c.second.size);
}

}  // namespace

ViewerWindow::ViewerWindow(Comparison comparison, QWidget* parent)
    : QMainWindow(parent), comparison_(std::move(comparison)) {
    setWindowTitle(QStringLiteral("Diff-Zarvo ビューアー"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(MakeHeader());
    message_ = new QLabel(central);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(message_);
    MakeRowsView();
    layout->addWidget(view_, 1);
    setCentralWidget(central);
    count_ = new QLabel(this);
    statusBar()->addPermanentWidget(count_, 1);
    MakeActions();
    ShowOutcome();
    if (comparison_.outcome == Outcome::Text) {
        resize(1000, 700);
    } else {
        resize(680, 260);
    }
}

ViewerWindow::~ViewerWindow() = default;

QString ViewerWindow::HeaderText() const { return names_->text(); }

QWidget* ViewerWindow::MakeHeader() {
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    names_ = new QLabel(header);
    names_->setTextFormat(Qt::RichText);
    names_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    names_->setText(SideText(QStringLiteral("第一"), comparison_.first, comparison_.outcome) +
                    QStringLiteral("<br>") +
                    SideText(QStringLiteral("第二"), comparison_.second, comparison_.outcome));
    layout->addWidget(names_);
    if (comparison_.outcome != Outcome::Text) return header;

    auto* legend = new QHBoxLayout();
    legend->addWidget(LegendChip(RowKind::Removed));
    legend->addWidget(LegendChip(RowKind::Added));
    legend->addStretch(1);
    layout->addLayout(legend);
    return header;
}

void ViewerWindow::MakeRowsView() {
    view_ = new QTableView(this);
    model_ = std::make_unique<DiffModel>(comparison_);
    view_->setModel(model_.get());
    // A click moves the current row as F8 does, and the status bar follows either way.
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { UpdateCount(); });
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    view_->setFont(font);
    const QFontMetrics metrics(font);

    // Fixed row heights and column widths keep a million rows cheap: nothing is measured per row.
    QHeaderView* rows = view_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(metrics.height() + 2);
    rows->hide();
    view_->setShowGrid(false);
    view_->setWordWrap(false);
    view_->setTextElideMode(Qt::ElideNone);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* columns = view_->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    const qsizetype lines =
        std::max(comparison_.first.text->LineCount(), comparison_.second.text->LineCount());
    const int numberWidth =
        metrics.horizontalAdvance(QString(QString::number(lines).size() + 1, u'0')) + 8;
    view_->setColumnWidth(DiffModel::FirstNumber, std::max(numberWidth, 40));
    view_->setColumnWidth(DiffModel::SecondNumber, std::max(numberWidth, 40));
    view_->setColumnWidth(DiffModel::Mark, metrics.horizontalAdvance(QStringLiteral("<!")) + 12);
    // Wide enough for the longest line of either file, so long lines scroll instead of being cut.
    int contentWidth = 400;
    for (const FileSide* side : {&comparison_.first, &comparison_.second}) {
        const TextFile& text = *side->text;
        if (text.longestLine() < 0) continue;
        const QString longest = DiffModel::ShownText(ToQString(text.Display(text.longestLine())));
        contentWidth = std::max(contentWidth, metrics.horizontalAdvance(longest) + 24);
    }
    view_->setColumnWidth(DiffModel::Content, contentWidth);
    columns->setStretchLastSection(true);
}

void ViewerWindow::MakeActions() {
    auto* next = new QAction(QStringLiteral("次の相違 (F8)"), this);
    next->setShortcut(Qt::Key_F8);
    connect(next, &QAction::triggered, this, &ViewerWindow::NextDifference);
    auto* previous = new QAction(QStringLiteral("前の相違 (Shift+F8)"), this);
    previous->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F8), QKeySequence(Qt::Key_F7)});
    connect(previous, &QAction::triggered, this, &ViewerWindow::PreviousDifference);
    // The actions are the window's, so their keys work wherever the focus is in it.
    addAction(next);
    addAction(previous);
    navigation_ = addToolBar(QStringLiteral("相違"));
    navigation_->setMovable(false);
    navigation_->addAction(previous);
    navigation_->addAction(next);
    const bool any = !comparison_.differenceStarts.empty();
    next->setEnabled(any);
    previous->setEnabled(any);
}

void ViewerWindow::ShowOutcome() {
    if (comparison_.outcome != Outcome::Text) {
        // Only a message to show: keep it under the header, and drop the list and its keys.
        view_->hide();
        navigation_->hide();
        static_cast<QVBoxLayout*>(centralWidget()->layout())->addStretch(1);
    }
    switch (comparison_.outcome) {
        case Outcome::Unreadable:
            message_->setText(QStringLiteral("ファイルを読み込めません。\n") +
                              ErrorLines(comparison_).join(u'\n'));
            message_->setStyleSheet(QStringLiteral("color: #b00000;"));
            count_->setText(QStringLiteral("比較できません"));
            return;
        case Outcome::TooLarge:
        case Outcome::Binary:
            message_->setText(BinaryMessage(comparison_));
            count_->setText(comparison_.identicalBytes ? QStringLiteral("相違はありません")
                                                       : QStringLiteral("相違があります"));
            return;
        case Outcome::Text:
            break;
    }
    if (comparison_.identicalBytes) {
        message_->setText(QStringLiteral("2つのファイルは同一です。"));
    } else if (const QString note = ToQString(comparison_.SameLinesNote()); !note.isEmpty()) {
        message_->setText(note);
    } else {
        message_->hide();
    }
    UpdateCount();
}

std::optional<std::size_t> ViewerWindow::CurrentRow() const {
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return static_cast<std::size_t>(current.row());
}

void ViewerWindow::NextDifference() {
    const std::optional<std::size_t> next = comparison_.NextDifference(CurrentRow());
    if (!next) {
        statusBar()->showMessage(QStringLiteral("これより後に相違はありません"), 3000);
        return;
    }
    GoToRow(*next);
}

void ViewerWindow::PreviousDifference() {
    const std::optional<std::size_t> previous = comparison_.PreviousDifference(CurrentRow());
    if (!previous) {
        statusBar()->showMessage(QStringLiteral("これより前に相違はありません"), 3000);
        return;
    }
    GoToRow(*previous);
}

void ViewerWindow::GoToRow(std::size_t row) {
    const QModelIndex index = model_->index(static_cast<int>(row), DiffModel::Content);
    view_->setCurrentIndex(index);
    view_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void ViewerWindow::UpdateCount() {
    const auto& starts = comparison_.differenceStarts;
    if (starts.empty()) {
        count_->setText(QStringLiteral("相違はありません"));
        return;
    }
    const QString total = QStringLiteral("相違 %1 箇所").arg(starts.size());
    const std::optional<std::size_t> current = CurrentRow();
    const std::size_t number = current ? comparison_.DifferenceNumber(*current) : 0;
    if (number == 0) {
        count_->setText(total + QStringLiteral("　F8: 次の相違　Shift+F8 / F7: 前の相違"));
        return;
    }
    count_->setText(QStringLiteral("%1 (%2 番目)").arg(total).arg(number));
}

}  // namespace viewer
