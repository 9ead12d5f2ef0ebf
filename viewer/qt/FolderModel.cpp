#include "FolderModel.h"

#include "QtText.h"

namespace viewer {

FolderModel::FolderModel(const FolderSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void FolderModel::Reset() {
    beginResetModel();
    endResetModel();
}

int FolderModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(session_.RowCount());
}

int FolderModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::size(kFolderColumns));
}

QVariant FolderModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::BackgroundRole) {
        return ToQColor(session_.Row(static_cast<std::size_t>(index.row())).background);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    return ToQString(session_.CellAt(static_cast<std::size_t>(index.row()),
                                     static_cast<std::size_t>(index.column())));
}

QVariant FolderModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(std::size(kFolderColumns))) {
        return {};
    }
    return ToQString(kFolderColumns[section]);
}

}  // namespace viewer
