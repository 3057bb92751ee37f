#pragma once

#include "app/gridmodel.h"

#include <QPixmap>

class QTableView;
class QWidget;

// The result grid of a tool as its view shows it: the grid's texts, with a tick beside the text
// of the mark cell of every marked row.
class MarkedGridModel : public GridModel {
    Q_OBJECT
public:
    MarkedGridModel(TextGrid* grid, QObject* parent = nullptr);

    void setMarkColumn(int column) { m_markColumn = column; }

    // The marks of many rows changed; the rows stay where they are.
    void marksChanged();

    QVariant data(const QModelIndex& index, int role) const override;

private:
    QPixmap m_tick;
    int m_markColumn = 0;
};

// A view over the model as every result grid has it: whole rows selected one at a time, no
// editing, one fixed-height line per row (so that hundreds of thousands of rows cost nothing to
// lay out), clickable column headers, the last column stretching, and a context menu asked for
// through customContextMenuRequested.  Named "grid".
QTableView* makeResultGridView(QWidget* parent, MarkedGridModel* model);
