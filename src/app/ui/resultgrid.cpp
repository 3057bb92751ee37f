#include "app/ui/resultgrid.h"

#include "app/ui/messagebox.h"
#include "app/ui/printreport.h"
#include "app/ui/shellopen.h"
#include "app/ui/widgets.h"
#include "platform/dirsearch.h"

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

MarkedResultGrid::MarkedResultGrid(QWidget* window, TextGrid& grid, int markColumn, PathOf pathOf)
    : QObject(window), m_grid(grid), m_pathOf(std::move(pathOf)) {
    m_model = new MarkedGridModel(&m_grid, this);
    m_model->setMarkColumn(markColumn);
    m_view = makeResultGridView(window, m_model);
    m_view->setToolTip(
        QStringLiteral("Double click to mark for deletion, right click for options"));
    m_view->installEventFilter(this);
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            toggleRow(GridModel::gridRow(index.row()));
    });
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (!m_busy)
            emit menuRequested(m_view->viewport()->mapToGlobal(pos));
    });
}

bool MarkedResultGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        markSelected();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void MarkedResultGrid::setBusy(bool busy) {
    m_busy = busy;
    if (busy)
        m_view->viewport()->setCursor(Qt::WaitCursor);
    else
        m_view->viewport()->unsetCursor();
}

void MarkedResultGrid::refresh(bool keepSelection) {
    const QModelIndex current = m_view->currentIndex();
    m_model->refresh();
    if (keepSelection && current.isValid())
        m_view->setCurrentIndex(m_model->index(current.row(), current.column()));
}

void MarkedResultGrid::clearMarks() {
    m_marks.clear(m_grid);
    if (m_clean)
        m_clean->setEnabled(false);
}

void MarkedResultGrid::showMarks() {
    if (m_status)
        m_status->setText(m_statusPrefix + m_marks.statusText() + m_statusSuffix);
    if (m_clean)
        m_clean->setEnabled(m_marks.count() >= 1);
}

void MarkedResultGrid::toggleRow(int gridRow) {
    if (m_busy || gridRow < 1 || gridRow > m_rows)
        return;
    m_marks.toggle(m_grid, gridRow, m_pathOf(gridRow));
    m_model->rowChanged(gridRow);
    showMarks();
}

int MarkedResultGrid::selectedGridRow() const {
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return 0;
    const int row = GridModel::gridRow(current.row());
    return row <= m_rows ? row : 0;
}

void MarkedResultGrid::markSelected() {
    const int row = selectedGridRow();
    if (m_busy || row == 0)
        return;
    toggleRow(row);
    if (row < m_rows)
        selectRow(row + 1);
}

void MarkedResultGrid::markAll() {
    if (m_busy)
        return;
    const WaitCursor wait;
    m_marks.markAll(m_grid, m_pathOf, m_rows);
    m_model->marksChanged();
    showMarks();
}

void MarkedResultGrid::unmarkAll() {
    if (m_busy)
        return;
    m_marks.clear(m_grid);
    m_model->marksChanged();
    showMarks();
}

QString MarkedResultGrid::selectedFile() const {
    const int row = selectedGridRow();
    if (row == 0)
        return QString();
    const QString path = m_pathOf(row);
    platform::DirEntry entry;
    return platform::lookUpFile(path, &entry) ? path : QString();
}

void MarkedResultGrid::selectFirstRow() {
    m_view->setCurrentIndex(m_model->index(0, 0));
    m_view->setFocus();
}

void MarkedResultGrid::selectRow(int gridRow) {
    if (gridRow < 1 || gridRow > m_rows)
        return;
    const int column = qMax(0, m_view->currentIndex().column());
    m_view->setCurrentIndex(m_model->index(GridModel::modelRow(gridRow), column));
}

void MarkedResultGrid::runSelected() {
    const QString path = selectedFile();
    if (!path.isEmpty() && !shellopen::openFile(path))
        msgbox::errorBox(QStringLiteral("Couldn't run ") + path);
}

void MarkedResultGrid::print(const QString& title) {
    QList<int> widths;
    for (int c = 0; c < m_grid.columnCount(); ++c)
        widths << m_view->columnWidth(c);
    PrintGridWithDialog(m_grid, widths, title, m_view->window());
}

QString MarkedResultGrid::clipboardText() const {
    return ::clipboardText(m_grid, m_pathOf);
}

void MarkedResultGrid::copyPaths() {
    QGuiApplication::clipboard()->setText(clipboardText());
}

void MarkedResultGrid::connectMenu(const ResultMenu& menu, std::function<QString()> printTitle,
                                   QWidget* topPanel, const int* savedHeight) {
    connect(menu.markAll, &QAction::triggered, this, &MarkedResultGrid::markAll);
    connect(menu.unmarkAll, &QAction::triggered, this, &MarkedResultGrid::unmarkAll);
    connect(menu.run, &QAction::triggered, this, &MarkedResultGrid::runSelected);
    connect(menu.print, &QAction::triggered, this,
            [this, printTitle = std::move(printTitle)] { print(printTitle()); });
    connect(menu.clipboard, &QAction::triggered, this, &MarkedResultGrid::copyPaths);
    connect(menu.shrink, &QAction::triggered, this,
            [=] { resizeTopPanel(topPanel, *savedHeight, true, menu); });
    connect(menu.restore, &QAction::triggered, this,
            [=] { resizeTopPanel(topPanel, *savedHeight, false, menu); });
}

void MarkedResultGrid::connectFileActions(const ResultMenu& menu, QPushButton* details,
                                          QPushButton* browse, const FileActions& actions) {
    // Opens `open` on the selected row's file, unless a walk runs or the file is gone.
    const auto onSelected = [this](const FileActions::Open& open) {
        return [this, open] {
            const QString path = selectedFile();
            if (!m_busy && !path.isEmpty())
                open(m_view->window(), path);
        };
    };
    menu.view->setEnabled(bool(actions.view));
    menu.details->setEnabled(bool(actions.details));
    details->setEnabled(bool(actions.details));
    if (actions.view)
        connect(menu.view, &QAction::triggered, this, onSelected(actions.view));
    if (actions.details) {
        connect(menu.details, &QAction::triggered, this, onSelected(actions.details));
        connect(details, &QPushButton::clicked, this, onSelected(actions.details));
    }
    if (browse) {
        browse->setEnabled(bool(actions.browse));
        if (actions.browse)
            connect(browse, &QPushButton::clicked, this, onSelected(actions.browse));
    }
}
