#pragma once

#include "app/gridmodel.h"
#include "clean/ui/frmclean.h"

#include <QPixmap>

class QTableView;

// The result grid of the quick-clean window as its view shows it: the grid's texts, with a
// tick beside the path of every marked row.
class TfrmClean::MarkedGridModel : public GridModel {
public:
    MarkedGridModel(TextGrid* grid, QObject* parent);

    void setMarkColumn(int column) { m_markColumn = column; }
    // The marks of many rows changed; the rows stay where they are.
    void marksChanged();

    QVariant data(const QModelIndex& index, int role) const override;

private:
    QPixmap m_tick;
    int m_markColumn = 0;
};

// The view over the model: whole rows selected one at a time, no editing, one fixed-height line
// per row (hundreds of thousands of rows cost nothing to lay out), clickable column headers, the
// last column stretching, a context menu asked for through customContextMenuRequested.  Named
// "grid".
QTableView* makeMarkedGridView(QWidget* parent, QAbstractItemModel* model);
