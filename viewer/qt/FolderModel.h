// The folder session's rows as a table model: the mark, the name in its tree, the state and what
// each folder has there, each row in its state's colour.
#pragma once

#include <QAbstractTableModel>

#include "FolderSession.h"

namespace viewer {

class FolderModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FolderModel(const FolderSession& session, QObject* parent = nullptr);

    // Call after the session's rows changed (news polled, a folder opened, other filters).
    void Reset();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const FolderSession& session_;
};

}  // namespace viewer
