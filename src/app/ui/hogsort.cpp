#include "app/ui/hogsort.h"

#include "app/ui/resultgrid.h"
#include "app/ui/widgets.h"

#include <QAction>
#include <QMenu>

HogSort::HogSort(QMenu* sortMenu, const QString& accessCaption, MarkedResultGrid& results,
                 TextGrid& grid, hoggrid::SortDirections& directions)
    : QObject(sortMenu), m_results(results), m_grid(grid), m_directions(directions) {
    const struct {
        const char* name;
        QString caption;
        hoggrid::SortCommand command;
    } sorts[] = {{"miSortSize", QStringLiteral("&Size"), hoggrid::SortCommand::Size},
                 {"miSortDate", QStringLiteral("&Date"), hoggrid::SortCommand::Date},
                 {"miSortAccess", accessCaption, hoggrid::SortCommand::AccessDate},
                 {"miSortName", QStringLiteral("&Name"), hoggrid::SortCommand::Name},
                 {"miSortType", QStringLiteral("&Type"), hoggrid::SortCommand::Type}};
    for (const auto& s : sorts) {
        QAction* item = namedMenuItem(sortMenu, QString::fromLatin1(s.name), s.caption);
        item->setCheckable(true);
        m_items[size_t(s.command)] = item;
        const hoggrid::SortCommand command = s.command;
        connect(item, &QAction::triggered, this, [this, command] { sort(command); });
    }
}

void HogSort::tick(hoggrid::SortCommand command) {
    m_ticked = command;
    for (size_t i = 0; i < m_items.size(); ++i)
        m_items[i]->setChecked(i == size_t(command));
}

void HogSort::sort(hoggrid::SortCommand command) {
    if (m_results.busy() || m_results.rows() < 1) {
        // Nothing is sorted: the ticks stay as they were (a menu item turns its own tick over).
        tick(m_ticked);
        return;
    }
    {
        const WaitCursor wait;
        hoggrid::sortHogGrid(m_grid, command, m_directions);
        // The selection stays on the same line of the grid, as it does in a grid of cells.
        m_results.refresh(true);
    }
    tick(command);
}

void HogSort::headerClick(int column) {
    if (m_results.busy())
        return;
    if (const auto command = hoggrid::sortCommandForColumn(column))
        sort(*command);
}
