#include "app/ui/resultgrid.h"

#include "app/ui/widgets.h"

#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPolygonF>
#include <QTableView>

namespace {

// The tick shown in the mark cell of a marked row: 16 x 16 pixels on a transparent ground.
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

MarkedGridModel::MarkedGridModel(TextGrid* grid, QObject* parent)
    : GridModel(grid, parent), m_tick(drawTick()) {}

void MarkedGridModel::marksChanged() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::DecorationRole});
}

QVariant MarkedGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DecorationRole)
        return GridModel::data(index, role);
    if (index.isValid() && index.column() == m_markColumn && grid()->isMarked(gridRow(index.row())))
        return m_tick;
    return QVariant();
}

QTableView* makeResultGridView(QWidget* parent, MarkedGridModel* model) {
    auto* view = new QTableView(parent);
    view->setObjectName(QStringLiteral("grid"));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->setWordWrap(false);
    view->setSortingEnabled(false);
    view->setIconSize(QSize(16, 16));
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(qMax(18, view->fontMetrics().height() + 4));
    QHeaderView* header = view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    return view;
}

ResultMenu makeResultMenu(QWidget* parent) {
    ResultMenu m;
    m.popup = new QMenu(parent);
    m.popup->setObjectName(QStringLiteral("pmOptions"));
    m.details = namedMenuItem(m.popup, QStringLiteral("miDetails"), QStringLiteral("Details"));
    m.sort = m.popup->addMenu(QStringLiteral("Sort"));
    m.sort->setObjectName(QStringLiteral("mnSort"));
    m.sort->menuAction()->setObjectName(QStringLiteral("miSort"));
    QMenu* mark = m.popup->addMenu(QStringLiteral("Mark"));
    mark->setObjectName(QStringLiteral("mnMark"));
    m.markAll = namedMenuItem(mark, QStringLiteral("miMarkAll"), QStringLiteral("Mark all"));
    m.unmarkAll = namedMenuItem(mark, QStringLiteral("miUnmarkAll"), QStringLiteral("Unmark all"));
    QMenu* resize = m.popup->addMenu(QStringLiteral("Resize"));
    resize->setObjectName(QStringLiteral("mnResize"));
    m.shrink =
        namedMenuItem(resize, QStringLiteral("miShrink"), QStringLiteral("Shrink top panel"));
    m.restore =
        namedMenuItem(resize, QStringLiteral("miRestore"), QStringLiteral("Restore top panel"));
    m.restore->setEnabled(false);
    m.run = namedMenuItem(m.popup, QStringLiteral("miRun"), QStringLiteral("Run"));
    m.view = namedMenuItem(m.popup, QStringLiteral("miView"), QStringLiteral("View"));
    m.print = namedMenuItem(m.popup, QStringLiteral("miPrint"), QStringLiteral("Print"));
    m.clipboard =
        namedMenuItem(m.popup, QStringLiteral("miClipboard"), QStringLiteral("Clipboard"));
    return m;
}

void resizeTopPanel(QWidget* panel, int savedHeight, bool shrink, const ResultMenu& menu) {
    panel->setFixedHeight(shrink ? 0 : savedHeight > 0 ? savedHeight : panel->sizeHint().height());
    menu.shrink->setEnabled(!shrink);
    menu.restore->setEnabled(shrink);
}
