#pragma once

#include "dup/dupsearch.h"

#include <QObject>
#include <array>

class MarkedResultGrid;
class QAction;
class QMenu;

// The sorting of a large-file grid (the file-hog and quick-clean windows): the five checkable
// items of its Sort submenu ("&Size", "&Date", the access date, "&Name", "&Type"), the clicks on
// its column headers, and the sort itself with the program-wide directions.  The ticked item is
// the last sort made; nothing is sorted during a walk or without result rows.
class HogSort : public QObject {
    Q_OBJECT
public:
    HogSort(QMenu* sortMenu, const QString& accessCaption, MarkedResultGrid& results,
            TextGrid& grid, dups::SortDirections& directions);

    void tick(dups::SortCommand command);
    void sort(dups::SortCommand command);
    void headerClick(int column);

private:
    MarkedResultGrid& m_results;
    TextGrid& m_grid;
    dups::SortDirections& m_directions;
    std::array<QAction*, 5> m_items{}; // in the order of dups::SortCommand
    dups::SortCommand m_ticked = dups::SortCommand::Size;
};
