// The session's rows as a table model, so the view asks only for the rows it shows. The cells are
// the session's (Session::CellAt); the delegate paints them.
#pragma once

#include <QAbstractTableModel>

#include "Session.h"

namespace viewer {

class DiffModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DiffModel(const Session& session, QObject* parent = nullptr);

    // Call after anything of the session's rows changed (a reload, the view, other options).
    void Reset();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // The cell's text, for screen readers and tests; the delegate paints from the session.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const Session& session_;
};

}  // namespace viewer
