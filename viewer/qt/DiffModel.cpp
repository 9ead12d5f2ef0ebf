#include "DiffModel.h"

#include <QBrush>

#include "Look.h"

namespace viewer {

DiffModel::DiffModel(const Comparison& comparison, QObject* parent)
    : QAbstractTableModel(parent), comparison_(comparison) {}

QString DiffModel::ShownText(QStringView line) {
    if (line.size() <= kLongestShown) return line.toString();
    // Never cut between the two halves of a surrogate pair.
    const qsizetype cut =
        line[kLongestShown - 1].isHighSurrogate() ? kLongestShown - 1 : kLongestShown;
    return line.first(cut).toString() +
           QStringLiteral(" …（残り %1 文字は省略）").arg(line.size() - cut);
}

int DiffModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(comparison_.rows.size());
}

int DiffModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DiffModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row row = comparison_.rows[static_cast<size_t>(index.row())];
    switch (role) {
        case KindRole:
            return static_cast<int>(row.kind);
        case Qt::BackgroundRole:
            if (row.kind == RowKind::Common) return {};
            return QBrush(KindColour(row.kind));
        case Qt::TextAlignmentRole:
            if (index.column() == FirstNumber || index.column() == SecondNumber) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::DisplayRole:
            break;
        default:
            return {};
    }
    switch (index.column()) {
        case FirstNumber:
            return row.first < 0 ? QVariant() : QVariant(row.first + 1);
        case SecondNumber:
            return row.second < 0 ? QVariant() : QVariant(row.second + 1);
        case Mark:
            return KindMark(row.kind);
        case Content:
            return ShownText(
                QString::fromStdU16String(comparison_.LineText(static_cast<size_t>(index.row()))));
        default:
            return {};
    }
}

QVariant DiffModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
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
