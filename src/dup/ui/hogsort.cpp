#include "dup/ui/hogsort.h"

#include "app/ui/resultgrid.h"
#include "app/ui/widgets.h"

#include <QAction>
#include <QMenu>

HogSort::HogSort(QMenu* sortMenu, const QString& accessCaption, MarkedResultGrid& results,
                 TextGrid& grid, dups::SortDirections& directions)
    : QObject(sortMenu), m_results(results), m_grid(grid), m_directions(directions) {
    const struct {
        const char* name;
        QString caption;
        dups::SortCommand command;
    } sorts[] = {{"miSortSize", QStringLiteral("&Size"), dups::SortCommand::Size},
                 {"miSortDate", QStringLiteral("&Date"), dups::SortCommand::Date},
                 {"miSortAccess", accessCaption, dups::SortCommand::AccessDate},
                 {"miSortName", QStringLiteral("&Name"), dups::SortCommand::Name},
                 {"miSortType", QStringLiteral("&Type"), dups::SortCommand::Type}};
    for (const auto& s : sorts) {
        QAction* item = namedMenuItem(sortMenu, QString::fromLatin1(s.name), s.caption);
        item->setCheckable(true);
        m_items[size_t(s.command)] = item;
        const dups::SortCommand command = s.command;
        connect(item, &QAction::triggered, this, [this, command] { sort(command); });
    }
}

void HogSort::tick(dups::SortCommand command) {
    m_ticked = command;
    for (size_t i = 0; i < m_items.size(); ++i)
        m_items[i]->setChecked(i == size_t(command));
}

void HogSort::sort(dups::SortCommand command) {
    if (m_results.busy() || m_results.rows() < 1) {
        // Nothing is sorted: the ticks stay as they were (a menu item turns its own tick over).
        tick(m_ticked);
        return;
    }
    {
        const WaitCursor wait;
        dups::sortHogGrid(m_grid, command, m_directions);
        // The selection stays on the same line of the grid, as it does in a grid of cells.
        m_results.refresh(true);
    }
    tick(command);
}

void HogSort::headerClick(int column) {
    if (m_results.busy())
        return;
    if (const auto command = dups::sortCommandForColumn(column))
        sort(*command);
}
