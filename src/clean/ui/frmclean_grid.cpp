// The quick-clean window's result grid: its model and view, marking, sorting, the options menu
// and the row actions.

#include "app/ui/messagebox.h"
#include "app/ui/shellopen.h"
#include "app/ui/widgets.h"
#include "clean/quickclean.h"
#include "clean/ui/frmclean.h"
#include "clean/ui/frmclean_model.h"
#include "delete/ui/handover.h"
#include "platform/dirsearch.h"
#include "scan/ui/drivechecklist.h"
#include "search/ui/printreport.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QTableView>

namespace {

// The tick of a marked row: 16 x 16 pixels on a transparent ground.
QPixmap drawTick() {
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 140, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.0, 12.5), QPointF(13.5, 3.5)}));
    return image;
}

} // namespace

// ---- model and view --------------------------------------------------------------------------

TfrmClean::MarkedGridModel::MarkedGridModel(TextGrid* grid, QObject* parent)
    : GridModel(grid, parent), m_tick(drawTick()) {}

void TfrmClean::MarkedGridModel::marksChanged() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::DecorationRole});
}

QVariant TfrmClean::MarkedGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DecorationRole)
        return GridModel::data(index, role);
    if (index.isValid() && index.column() == m_markColumn && grid()->isMarked(gridRow(index.row())))
        return m_tick;
    return QVariant();
}

QTableView* makeMarkedGridView(QWidget* parent, QAbstractItemModel* model) {
    auto* view = new QTableView(parent);
    view->setObjectName(QStringLiteral("grid"));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->setWordWrap(false);
    view->setIconSize(QSize(16, 16));
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(qMax(18, view->fontMetrics().height() + 4));
    QHeaderView* header = view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    return view;
}

// ---- the options menu ------------------------------------------------------------------------

void TfrmClean::buildPopupMenu() {
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    // The file details window is not part of the program yet.
    namedMenuItem(m_popup, QStringLiteral("miDetails"), QStringLiteral("Details"))
        ->setEnabled(false);

    QMenu* sort = m_popup->addMenu(QStringLiteral("Sort"));
    sort->setObjectName(QStringLiteral("mnSort"));
    sort->menuAction()->setObjectName(QStringLiteral("miSort"));
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
            namedMenuItem(sort, QString::fromLatin1(s.name), QString::fromLatin1(s.caption));
        item->setCheckable(true);
        m_sortItems[size_t(s.command)] = item;
        const dups::SortCommand command = s.command;
        connect(item, &QAction::triggered, this, [this, command] { sortGrid(command); });
    }

    QMenu* mark = m_popup->addMenu(QStringLiteral("Mark"));
    mark->setObjectName(QStringLiteral("mnMark"));
    connect(namedMenuItem(mark, QStringLiteral("miMarkAll"), QStringLiteral("Mark all")),
            &QAction::triggered, this, &TfrmClean::MarkAllClick);
    connect(namedMenuItem(mark, QStringLiteral("miUnmarkAll"), QStringLiteral("Unmark All")),
            &QAction::triggered, this, &TfrmClean::UnmarkAllClick);

    QMenu* resize = m_popup->addMenu(QStringLiteral("Resize"));
    resize->setObjectName(QStringLiteral("mnResize"));
    m_miShrink =
        namedMenuItem(resize, QStringLiteral("miShrink"), QStringLiteral("Shrink top panel"));
    m_miRestore =
        namedMenuItem(resize, QStringLiteral("miRestore"), QStringLiteral("Restore top panel"));
    m_miRestore->setEnabled(false);
    connect(m_miShrink, &QAction::triggered, this, &TfrmClean::ShrinkTopPanelClick);
    connect(m_miRestore, &QAction::triggered, this, &TfrmClean::RestoreTopPanelClick);

    connect(namedMenuItem(m_popup, QStringLiteral("miRun"), QStringLiteral("Run")),
            &QAction::triggered, this, &TfrmClean::RunClick);
    // The file viewer is not part of the program yet.
    namedMenuItem(m_popup, QStringLiteral("miView"), QStringLiteral("View"))->setEnabled(false);
    connect(namedMenuItem(m_popup, QStringLiteral("miPrint"), QStringLiteral("Print")),
            &QAction::triggered, this, &TfrmClean::PrintClick);
    connect(namedMenuItem(m_popup, QStringLiteral("miClipboard"), QStringLiteral("Clipboard")),
            &QAction::triggered, this, &TfrmClean::ClipboardClick);
}

void TfrmClean::btOptionsClick() {
    m_popup->popup(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height())));
}

void TfrmClean::gridContextPopup(const QPoint& pos) {
    if (!m_scanning)
        m_popup->popup(m_gridView->viewport()->mapToGlobal(pos));
}

void TfrmClean::ShrinkTopPanelClick() {
    m_pnlTop->setFixedHeight(0);
    m_miShrink->setEnabled(false);
    m_miRestore->setEnabled(true);
}

void TfrmClean::RestoreTopPanelClick() {
    m_pnlTop->setFixedHeight(m_savedPanelHeight > 0 ? m_savedPanelHeight
                                                    : m_pnlTop->sizeHint().height());
    m_miShrink->setEnabled(true);
    m_miRestore->setEnabled(false);
}

// ---- marking ---------------------------------------------------------------------------------

void TfrmClean::toggleRow(int gridRow) {
    if (m_scanning || gridRow < 1 || gridRow > m_rows)
        return;
    m_marks.toggle(m_grid, gridRow, quickclean::kGridMode);
    m_model->rowChanged(gridRow);
    showMarkStatus();
}

void TfrmClean::showMarkStatus() {
    m_pnlSel->setText(m_marks.statusText());
    m_btDelete->setEnabled(m_marks.count() >= 1);
}

int TfrmClean::selectedGridRow() const {
    const QModelIndex current = m_gridView->currentIndex();
    if (!current.isValid())
        return 0;
    const int row = GridModel::gridRow(current.row());
    return row <= m_rows ? row : 0;
}

void TfrmClean::btMarkClick() {
    const int row = selectedGridRow();
    if (row == 0)
        return;
    toggleRow(row);
    if (row < m_rows) {
        const int column = qMax(0, m_gridView->currentIndex().column());
        m_gridView->setCurrentIndex(m_model->index(GridModel::modelRow(row + 1), column));
    }
}

void TfrmClean::gridDblClick(const QModelIndex& index) {
    if (index.isValid())
        toggleRow(GridModel::gridRow(index.row()));
}

bool TfrmClean::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_gridView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (!m_scanning)
            btMarkClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmClean::MarkAllClick() {
    if (m_scanning)
        return;
    const WaitCursor wait;
    m_marks.markAll(m_grid, quickclean::kGridMode);
    m_model->marksChanged();
    showMarkStatus();
}

void TfrmClean::UnmarkAllClick() {
    if (m_scanning)
        return;
    m_marks.clear(m_grid);
    m_model->marksChanged();
    showMarkStatus();
}

void TfrmClean::btDeleteClick() {
    if (m_scanning || m_marks.count() <= 0)
        return;
    const DisposalChoice result = reallyDelete(
        this, m_marks.files(), QString::fromLatin1(archiveTags::TempClean), m_marks.bytes());
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
    if (m_scanning || m_rows < 1) {
        // Nothing is sorted: the ticks stay as they were (a menu item turns its own tick over).
        tickSortItem(m_sortTicked);
        return;
    }
    const QModelIndex current = m_gridView->currentIndex();
    {
        const WaitCursor wait;
        dups::sortHogGrid(m_grid, command, m_sortDirections);
        m_model->refresh();
    }
    if (current.isValid())
        m_gridView->setCurrentIndex(m_model->index(current.row(), current.column()));
    tickSortItem(command);
}

void TfrmClean::gridHeaderClick(int column) {
    if (m_scanning)
        return;
    if (const auto command = dups::sortCommandForColumn(column))
        sortGrid(*command);
}

// ---- row actions and reports -----------------------------------------------------------------

void TfrmClean::RunClick() {
    const int row = selectedGridRow();
    if (row == 0)
        return;
    const QString path = dups::rowPath(m_grid, row, quickclean::kGridMode);
    platform::DirEntry entry;
    if (!platform::lookUpFile(path, &entry))
        return;
    if (!shellopen::openFile(path))
        msgbox::errorBox(QStringLiteral("Couldn't run ") + path);
}

QString TfrmClean::printTitle() const {
    return quickclean::printTitle(m_pckDrive->tickedEntries());
}

void TfrmClean::PrintClick() {
    QList<int> widths;
    for (int c = 0; c < m_grid.columnCount(); ++c)
        widths << m_gridView->columnWidth(c);
    PrintGridWithDialog(m_grid, widths, printTitle(), this);
}

void TfrmClean::ClipboardClick() {
    QGuiApplication::clipboard()->setText(dups::clipboardText(m_grid, quickclean::kGridMode));
}
