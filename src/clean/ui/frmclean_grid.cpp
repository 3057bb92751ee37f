// The quick-clean window's result grid: the options menu, sorting and the hand-over.

#include "app/ui/widgets.h"
#include "clean/quickclean.h"
#include "clean/ui/frmclean.h"
#include "delete/ui/handover.h"
#include "scan/ui/drivechecklist.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

void TfrmClean::buildPopupMenu() {
    m_menu = makeResultMenu(this);
    m_menu.popup->setObjectName(QStringLiteral("PopupMenu1"));
    m_menu.unmarkAll->setText(QStringLiteral("Unmark All"));
    // The file details window and the viewer are not part of the program yet.
    m_menu.details->setEnabled(false);
    m_menu.view->setEnabled(false);
    const struct {
        const char* name;
        const char* caption;
        dups::SortCommand command;
    } sorts[] = {{"miSortSize", "&Size", dups::SortCommand::Size},
                 {"miSortDate", "&Date", dups::SortCommand::Date},
                 {"miSortAccess", "&Access date", dups::SortCommand::AccessDate},
                 {"miSortName", "&Name", dups::SortCommand::Name},
                 {"miSortType", "&Type", dups::SortCommand::Type}};
    for (const auto& s : sorts) {
        QAction* item =
            namedMenuItem(m_menu.sort, QString::fromLatin1(s.name), QString::fromLatin1(s.caption));
        item->setCheckable(true);
        m_sortItems[size_t(s.command)] = item;
        const dups::SortCommand command = s.command;
        connect(item, &QAction::triggered, this, [this, command] { sortGrid(command); });
    }
    connect(m_menu.markAll, &QAction::triggered, m_results, &MarkedResultGrid::markAll);
    connect(m_menu.unmarkAll, &QAction::triggered, m_results, &MarkedResultGrid::unmarkAll);
    connect(m_menu.shrink, &QAction::triggered, this,
            [this] { resizeTopPanel(m_pnlTop, m_savedPanelHeight, true, m_menu); });
    connect(m_menu.restore, &QAction::triggered, this,
            [this] { resizeTopPanel(m_pnlTop, m_savedPanelHeight, false, m_menu); });
    connect(m_menu.run, &QAction::triggered, m_results, &MarkedResultGrid::runSelected);
    connect(m_menu.print, &QAction::triggered, this, [this] { m_results->print(printTitle()); });
    connect(m_menu.clipboard, &QAction::triggered, m_results, &MarkedResultGrid::copyPaths);
}

void TfrmClean::btDeleteClick() {
    const GridMarks& marks = m_results->marks();
    if (m_scanning || marks.count() <= 0)
        return;
    const DisposalChoice result = reallyDelete(
        this, marks.files(), QString::fromLatin1(archiveTags::TempClean), marks.bytes());
    if (result == DisposalChoice::Disposed)
        accept();
}

// ---- sorting ---------------------------------------------------------------------------------

void TfrmClean::tickSortItem(dups::SortCommand command) {
    m_sortTicked = command;
    for (size_t i = 0; i < m_sortItems.size(); ++i)
        if (m_sortItems[i])
            m_sortItems[i]->setChecked(i == size_t(command));
}

void TfrmClean::sortGrid(dups::SortCommand command) {
    if (m_scanning || m_results->rows() < 1) {
        // Nothing is sorted: the ticks stay as they were (a menu item turns its own tick over).
        tickSortItem(m_sortTicked);
        return;
    }
    {
        const WaitCursor wait;
        dups::sortHogGrid(m_grid, command, m_sortDirections);
        m_results->refresh(true);
    }
    tickSortItem(command);
}

void TfrmClean::gridHeaderClick(int column) {
    if (m_scanning)
        return;
    if (const auto command = dups::sortCommandForColumn(column))
        sortGrid(*command);
}

QString TfrmClean::printTitle() const {
    return quickclean::printTitle(m_pckDrive->tickedEntries());
}
