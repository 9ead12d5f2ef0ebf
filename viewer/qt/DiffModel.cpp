#include "DiffModel.h"

#include <QBrush>
#include <QPoint>

#include "Look.h"
#include "QtText.h"

namespace viewer {

DiffModel::DiffModel(const Comparison& comparison, QObject* parent)
    : QAbstractTableModel(parent), comparison_(comparison) {}

void DiffModel::SetSideBySide(bool on) {
    if (on == sideBySide_) return;
    beginResetModel();
    sideBySide_ = on;
    side_ = on ? SideBySide(comparison_.rows) : SideBySide();
    endResetModel();
}

void DiffModel::SetLongestShown(std::size_t characters) {
    if (characters == longestShown_) return;
    longestShown_ = characters;
    shown_.clear();
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void DiffModel::BeginChange() { beginResetModel(); }

void DiffModel::EndChange() {
    shown_.clear();
    if (sideBySide_) side_ = SideBySide(comparison_.rows);
    endResetModel();
}

std::optional<std::size_t> DiffModel::ListRow(int viewRow) const {
    if (viewRow < 0 || viewRow >= rowCount()) return std::nullopt;
    if (!sideBySide_) return static_cast<std::size_t>(viewRow);
    const SideRow row = side_[static_cast<std::size_t>(viewRow)];
    return row.left ? row.left : row.right;
}

std::vector<std::size_t> DiffModel::ListRows(int viewRow) const {
    if (viewRow < 0 || viewRow >= rowCount()) return {};
    if (!sideBySide_) return {static_cast<std::size_t>(viewRow)};
    const SideRow row = side_[static_cast<std::size_t>(viewRow)];
    std::vector<std::size_t> rows;
    if (row.left) rows.push_back(*row.left);
    if (row.right && row.right != row.left) rows.push_back(*row.right);
    return rows;
}

int DiffModel::ViewRow(std::size_t listRow) const {
    return static_cast<int>(sideBySide_ ? side_.SideRowOf(listRow) : listRow);
}

bool DiffModel::IsContentColumn(int column) const {
    return column == (sideBySide_ ? int{LeftContent} : int{Content}) ||
           (sideBySide_ && column == RightContent);
}

std::optional<std::size_t> DiffModel::CellRow(const QModelIndex& index) const {
    if (!sideBySide_) return static_cast<std::size_t>(index.row());
    const SideRow row = side_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
        case LeftNumber:
        case LeftContent:
            return row.left;
        case RightNumber:
        case RightContent:
            return row.right;
        default:
            return row.left ? row.left : row.right;
    }
}

const ShownLine& DiffModel::Shown(std::size_t row) const {
    if (shown_.size() > 4096) shown_.clear();
    auto found = shown_.find(row);
    if (found == shown_.end())
        found = shown_.emplace(row, comparison_.Shown(row, longestShown_)).first;
    return found->second;
}

int DiffModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(sideBySide_ ? side_.size() : comparison_.rows.size());
}

int DiffModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return sideBySide_ ? int{SideColumnCount} : int{ColumnCount};
}

QVariant DiffModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const std::optional<std::size_t> cellRow = CellRow(index);
    const bool band = sideBySide_ && index.column() == Band;
    if (!cellRow) {
        if (role == KindRole) return -1;
        return {};
    }
    const Row row = comparison_.rows[*cellRow];
    // An overlooked change is shown as it is, but not as a difference.
    const RowKind kind = comparison_.Overlooked(*cellRow) ? RowKind::Common : row.kind;
    switch (role) {
        case KindRole:
            return static_cast<int>(kind);
        case Qt::BackgroundRole:
            if (kind == RowKind::Common || band) return {};
            return QBrush(KindColour(kind));
        case MarksRole: {
            if (!IsContentColumn(index.column())) return {};
            QList<QPoint> marks;
            for (const MarkSpan& mark : Shown(*cellRow).marks) {
                marks.append(QPoint(static_cast<int>(mark.start), static_cast<int>(mark.length)));
            }
            return QVariant::fromValue(marks);
        }
        case Qt::TextAlignmentRole:
            if (IsContentColumn(index.column())) {
                return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
            }
            if (band || (!sideBySide_ && index.column() == Mark)) {
                return QVariant::fromValue(Qt::AlignCenter);
            }
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::DisplayRole:
            break;
        default:
            return {};
    }
    if (IsContentColumn(index.column())) return ToQString(Shown(*cellRow).text);
    if (!sideBySide_ && index.column() == Mark) return KindMark(kind);
    if (band) {
        // The marks of both sides, so the kinds stay apart without their colours.
        const SideRow pair = side_[static_cast<std::size_t>(index.row())];
        QString marks;
        for (const std::optional<std::size_t>& at : {pair.left, pair.right}) {
            if (at && !comparison_.Overlooked(*at)) marks += KindMark(comparison_.rows[*at].kind);
        }
        return marks;
    }
    const bool firstNumber =
        sideBySide_ ? index.column() == LeftNumber : index.column() == FirstNumber;
    const std::int32_t line = firstNumber ? row.first : row.second;
    return line < 0 ? QVariant() : QVariant(line + 1);
}

QVariant DiffModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (sideBySide_) {
        switch (section) {
            case LeftNumber:
                return QStringLiteral("第一");
            case LeftContent:
                return QStringLiteral("第一のファイル");
            case RightNumber:
                return QStringLiteral("第二");
            case RightContent:
                return QStringLiteral("第二のファイル");
            default:
                return QString();
        }
    }
    switch (section) {
        case FirstNumber:
            return QStringLiteral("第一");
        case SecondNumber:
            return QStringLiteral("第二");
        case Mark:
            return QString();
        case Content:
            return QStringLiteral("内容");
        default:
            return {};
    }
}

}  // namespace viewer
