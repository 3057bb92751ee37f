#include "app/gridmodel.h"

GridModel::GridModel(TextGrid* grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid->rowCount() - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid->columnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return QVariant();
    const int row = gridRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_grid->cell(index.column(), row);
    case MarkedRole:
        return m_grid->isMarked(row);
    case Qt::TextAlignmentRole:
        if (isRightAligned(index.column()))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return m_grid->cell(section, 0);
    return QVariant();
}

void GridModel::setRightAligned(int column, bool right) {
    if (column >= m_rightAligned.size())
        m_rightAligned.resize(column + 1);
    m_rightAligned[column] = right;
}

void GridModel::refresh() {
    beginResetModel();
    endResetModel();
}

void GridModel::rowChanged(int gridRow) {
    const int r = modelRow(gridRow);
    if (r >= 0 && r < rowCount())
        emit dataChanged(index(r, 0), index(r, columnCount() - 1));
}
