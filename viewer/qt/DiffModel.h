// The rows of a text comparison as a table model, so the view asks only for the rows it shows.
// Two layouts: one list (both files' line numbers, a mark, the line) or two panes side by side
// (each file's number and line, with a band between them that joins a change's two sides).
#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <unordered_map>

#include "Comparison.h"
#include "SideBySide.h"

namespace viewer {

class DiffModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { FirstNumber, SecondNumber, Mark, Content, ColumnCount };
    enum SideColumn { LeftNumber, LeftContent, Band, RightNumber, RightContent, SideColumnCount };
    static constexpr int KindRole = Qt::UserRole + 1;   // the cell's RowKind as an int; none: -1
    static constexpr int MarksRole = Qt::UserRole + 2;  // content: QList<QPoint> (start, length)

    // The comparison must outlive the model.
    explicit DiffModel(const Comparison& comparison, QObject* parent = nullptr);

    bool sideBySide() const { return sideBySide_; }
    void SetSideBySide(bool on);
    // How many characters of a line fit in its cell; a longer line is shown around its first
    // difference (Comparison::Shown).
    void SetLongestShown(std::size_t characters);
    // Call around any change to the comparison (a reload, other options).
    void BeginChange();
    void EndChange();

    // The comparison's row a view row shows (the left one, side by side, when it has one), and
    // the view row that shows a comparison row.
    std::optional<std::size_t> ListRow(int viewRow) const;
    int ViewRow(std::size_t listRow) const;
    // Every comparison row a view row shows: one, or side by side one of each file.
    std::vector<std::size_t> ListRows(int viewRow) const;
    bool IsContentColumn(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // The comparison row a cell shows; none for the empty side of a change.
    std::optional<std::size_t> CellRow(const QModelIndex& index) const;
    const ShownLine& Shown(std::size_t row) const;

    const Comparison& comparison_;
    bool sideBySide_ = false;
    SideBySide side_;
    std::size_t longestShown_ = kLongestShown;
    mutable std::unordered_map<std::size_t, ShownLine> shown_;  // the rows painted lately
};

}  // namespace viewer
