// The quick-clean window's result grid: the options menu, sorting and the hand-over.

#include "app/ui/hogsort.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileactions.h"
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
    m_results->connectFileActions(m_menu, m_btDetails, m_btBrowse,
                                  browse::fileActions(m_find, m_browseSort));
    m_hogSort = new HogSort(m_menu.sort, QStringLiteral("&Access date"), *m_results, m_grid,
                            m_sortDirections);
    m_results->connectMenu(
        m_menu, [this] { return printTitle(); }, m_pnlTop, &m_savedPanelHeight);
}

void TfrmClean::btDeleteClick() {
    if (!scanning())
        handOverMarks(this, m_results->marks(), archiveTags::TempClean);
}

QString TfrmClean::printTitle() const {
    return quickclean::printTitle(m_pckDrive->tickedEntries());
}
