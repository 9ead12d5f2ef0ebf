#include "DiffModel.h"

#include <algorithm>
#include <limits>

#include "QtText.h"

namespace viewer {

DiffModel::DiffModel(const Session& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void DiffModel::Reset() {
    beginResetModel();
    endResetModel();
}

int DiffModel::rowCount(const QModelIndex& parent) const {
    // A model's rows are counted in an int: past that, the rows are out of the list's reach.
    return parent.isValid() ? 0
                            : static_cast<int>(std::min<std::size_t>(
                                  session_.RowCount(), std::numeric_limits<int>::max()));
}

int DiffModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(session_.Columns().size());
}

QVariant DiffModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const Cell cell = session_.CellAt(static_cast<std::size_t>(index.row()),
                                      static_cast<std::size_t>(index.column()));
    if (cell.empty) return {};
    return ToQString(cell.text);
}

QVariant DiffModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return ToQString(session_.Columns()[static_cast<std::size_t>(section)].title);
}

}  // namespace viewer
