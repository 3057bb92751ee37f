#pragma once

#include <QList>
#include <functional>

class QTableView;

// Widens columns of a grid that hold sizes, dates or times so that their widest text (and
// their header's caption) shows whole, with the cell's margins; a column is never made
// narrower than it is.  Call it after giving the columns their designed widths.
//
// The texts are read once after each change of the model's rows or texts, in one pass that
// ranks them by an estimate summed from the widths of their characters; only the few widest
// by estimate are measured with the view's font.  Calls in between (a resized window) reuse
// what was found.
void fitColumnsToText(QTableView* view, const QList<int>& columns);

// Gives the first `count` columns their designed widths (in designed pixels, scaled for the
// view's font by columnWidthScale), then widens the `fitted` ones to their texts.  Returns the
// scale.
double setDesignedColumnWidths(QTableView* view, const int* widths, int count,
                               const QList<int>& fitted);
template <int N>
double setDesignedColumnWidths(QTableView* view, const int (&widths)[N], const QList<int>& fitted) {
    return setDesignedColumnWidths(view, widths, N, fitted);
}

// The same for a grid whose columns keep the widths they were given once: after every reset of
// its model, the columns `columns` names then are fitted.
void fitColumnsOnEveryFill(QTableView* view, std::function<QList<int>()> columns);
