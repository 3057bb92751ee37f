#pragma once

#include "app/gridmodel.h"

#include <QPixmap>

class QAction;
class QMenu;
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

// The options menu of a result grid (also its right-click menu), in the order every tool has
// it: Details, Sort (empty, for the window to fill), Mark (Mark all, Unmark all), Resize (Shrink
// top panel, Restore top panel, the latter disabled), Run, View, Print, Clipboard.  The window
// connects the items.
struct ResultMenu {
    QMenu* popup = nullptr;
    QAction* details = nullptr;
    QMenu* sort = nullptr;
    QAction* markAll = nullptr;
    QAction* unmarkAll = nullptr;
    QAction* shrink = nullptr;
    QAction* restore = nullptr;
    QAction* run = nullptr;
    QAction* view = nullptr;
    QAction* print = nullptr;
    QAction* clipboard = nullptr;
};
ResultMenu makeResultMenu(QWidget* parent);

// "Shrink top panel" (shrink true) or "Restore top panel": the panel gets no height or its
// saved one back, and the two items swap their enabled states.
void resizeTopPanel(QWidget* panel, int savedHeight, bool shrink, const ResultMenu& menu);
