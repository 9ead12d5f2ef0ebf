// The rows of a text comparison as a table model, so the view asks only for the rows it shows.
#pragma once

#include <QAbstractTableModel>

#include "Comparison.h"

namespace viewer {

class DiffModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { FirstNumber, SecondNumber, Mark, Content, ColumnCount };
    static constexpr int KindRole = Qt::UserRole + 1;  // the row's RowKind, as an int

    // A line as the list shows it. Very long lines (minified files, data on one line) are cut:
    // laying out megabytes of text for one cell would stall every repaint. The diff itself
    // always compares whole lines.
    static QString ShownText(QStringView line);
    static constexpr qsizetype kLongestShown = 2000;

    // The comparison must outlive the model.
    explicit DiffModel(const Comparison& comparison, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const Comparison& comparison_;
};

}  // namespace viewer
