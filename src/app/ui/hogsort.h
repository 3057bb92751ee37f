#pragma once

#include "app/hoggrid.h"

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
            TextGrid& grid, hoggrid::SortDirections& directions);

    void tick(hoggrid::SortCommand command);
    void sort(hoggrid::SortCommand command);
    void headerClick(int column);

private:
    MarkedResultGrid& m_results;
    TextGrid& m_grid;
    hoggrid::SortDirections& m_directions;
    std::array<QAction*, 5> m_items{}; // in the order of hoggrid::SortCommand
    hoggrid::SortCommand m_ticked = hoggrid::SortCommand::Size;
};
