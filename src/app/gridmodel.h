#pragma once

#include "app/grid.h"

#include <QAbstractTableModel>
#include <QVector>

// Shows a TextGrid in a view: the grid's row 0 is the header, rows 1.. are the model's rows
// 0...  The grid belongs to the caller; after changing it, call refresh() (or rowChanged() for
// a single row) so that the views follow.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Data role telling whether a row is marked (bool).
    static constexpr int MarkedRole = Qt::UserRole + 1;

    explicit GridModel(TextGrid* grid, QObject* parent = nullptr);

    TextGrid* grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Columns shown right-aligned (sizes, counts).
    void setRightAligned(int column, bool right = true);
    bool isRightAligned(int column) const {
        return column >= 0 && column < m_rightAligned.size() && m_rightAligned[column];
    }

    // The grid row of a model row, and back.
    static int gridRow(int modelRow) { return modelRow + 1; }
    static int modelRow(int gridRow) { return gridRow - 1; }

    void refresh();
    void rowChanged(int gridRow);

private:
    TextGrid* m_grid;
    QVector<bool> m_rightAligned;
};
