// TfrmDirHog, the folders that take the most space.  Its logic: search/folderhogs.h; the search
// lifecycle is scan/ui/searchwindow.h.

#include "search/ui/frmdirhog.h"

#include "app/ui/columnfit.h"
#include "app/ui/messagebox.h"
#include "app/ui/printreport.h"
#include "app/ui/resultgrid.h"
#include "app/ui/widgets.h"
#include "delete/folderclean.h"
#include "delete/ui/handover.h"
#include "scan/ui/drivechecklist.h"
#include "scan/ui/walkabort.h"

#include <QAction>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

using namespace folderhogs;

namespace {

// Column widths at 96 pixels per inch; Name takes the rest.
constexpr int kWidths[] = {80, 40, 40, 70, 90};

} // namespace

TfrmDirHog::TfrmDirHog(QWidget* parent, SortDirections& sortDirections, BrowseFolder browse)
    : SearchWindow(
          parent, QStringLiteral("TfrmDirHog"),
          {std::nullopt, CloseDuringScan::StopsTheWalk, walkabort::Notice::Warning, false}),
      m_sortDirections(sortDirections), m_browse(std::move(browse)) {
    setWindowTitle(QStringLiteral("Folder Hogs"));
    QVBoxLayout* layout = windowLayout();
    layout->addWidget(buildTopPanel());

    m_model = new MarkedGridModel(&m_grid, this);
    for (int c : {hcSize, hcUsed, hcFiles, hcSubfolders})
        m_model->setRightAligned(c);
    m_gridView = makeResultGridView(this, m_model);
    m_gridView->setToolTip(QStringLiteral("Double click to clean the folder, right click for "
                                          "options"));
    layout->addWidget(m_gridView, 1);
    layout->addLayout(buildButtons());

    m_status = addStatusLine(QStringLiteral("StatusLine"));
    setAbortButton(m_btAbort);
    setResultButtons({m_btOptions, m_btBrowse, m_btDelete});

    buildPopupMenu();
    setColumnDesign(kWidths, {hcSize, hcUsed, hcFiles, hcSubfolders, hcAccess});

    connect(m_gridView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TfrmDirHog::sortGrid);
    connect(m_gridView, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            btDeleteClick();
    });
    connect(m_gridView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!scanning() && m_btOptions->isVisible())
            m_popup->popup(m_gridView->viewport()->mapToGlobal(at));
    });
    m_pckDrive->enableWhenTicked(m_btTop);
    m_pckDrive->enableWhenTicked(m_btAll);

    clearGrid();
    resize(scaledPixels(this, 640), scaledPixels(this, 480));
}

TfrmDirHog::~TfrmDirHog() = default;

QWidget* TfrmDirHog::buildTopPanel() {
    QHBoxLayout* top = nullptr;
    m_pnlTop = toolTopPanel(this, QStringLiteral("Panel1"), 10, 12, &top);

    auto* modes = new QGridLayout();
    modes->setHorizontalSpacing(6);
    m_btTop = namedButton(m_pnlTop, QStringLiteral("btTop"), QStringLiteral("&Main folders"));
    m_btAll = namedButton(m_pnlTop, QStringLiteral("btAll"), QStringLiteral("&All Folders"));
    modes->addWidget(m_btTop, 0, 0);
    modes->addWidget(m_btAll, 1, 0);
    modes->addWidget(namedLabel(m_pnlTop, QStringLiteral("Label1"), QStringLiteral("Main -")), 0, 1,
                     Qt::AlignRight);
    modes->addWidget(namedLabel(m_pnlTop, QStringLiteral("Label2"),
                                QStringLiteral("only main folders are displayed (those folders "
                                               "directly under the main folder)"),
                                true),
                     0, 2);
    modes->addWidget(namedLabel(m_pnlTop, QStringLiteral("Label3"), QStringLiteral("All -")), 1, 1,
                     Qt::AlignRight);
    modes->addWidget(namedLabel(m_pnlTop, QStringLiteral("Label4"),
                                QStringLiteral("all folders including sub-folders are "
                                               "individually displayed"),
                                true),
                     1, 2);
    modes->setColumnStretch(2, 1);
    modes->setRowStretch(2, 1);
    top->addLayout(modes, 1);
    for (QPushButton* b : {m_btTop, m_btAll}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(scaledPixels(this, 100));
    }
    connect(m_btTop, &QPushButton::clicked, this, &TfrmDirHog::btTopClick);
    connect(m_btAll, &QPushButton::clicked, this, &TfrmDirHog::btAllClick);

    m_pckDrive = new DriveCheckList(m_pnlTop);
    m_pckDrive->setFixedWidth(scaledPixels(this, 190));
    m_pckDrive->setMaximumHeight(scaledPixels(this, 104));
    top->addWidget(m_pckDrive);
    return m_pnlTop;
}

QLayout* TfrmDirHog::buildButtons() {
    QHBoxLayout* buttons = buttonRow();
    m_btAbort = namedButton(this, QStringLiteral("btAbort"), QStringLiteral("Abort"));
    m_btDelete = namedButton(this, QStringLiteral("btDelete"), QStringLiteral("Clean?"),
                             QStringLiteral("Clean the folder"));
    m_btOptions = namedButton(this, QStringLiteral("btOptions"), QStringLiteral("Options"));
    m_btBrowse = namedButton(this, QStringLiteral("btBrowse"), QStringLiteral("&Browse"));
    m_btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    // "Clean?" stands where Abort is: only one of them is ever shown.
    auto* slot = new QWidget(this);
    auto* stack = new QStackedLayout(slot);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(m_btAbort);
    stack->addWidget(m_btDelete);
    slot->setMinimumSize(m_btAbort->sizeHint().expandedTo(m_btDelete->sizeHint()));
    buttons->addWidget(slot);
    for (QPushButton* b : {m_btAbort, m_btDelete, m_btOptions, m_btBrowse, m_btClose})
        b->setAutoDefault(false);
    buttons->addWidget(m_btOptions);
    buttons->addWidget(m_btBrowse);
    buttons->addStretch(1);
    buttons->addWidget(m_btClose);
    m_btBrowse->setEnabled(bool(m_browse));

    connect(m_btAbort, &QPushButton::clicked, this, &SearchWindow::btAbortClick);
    connect(m_btDelete, &QPushButton::clicked, this, &TfrmDirHog::btDeleteClick);
    connect(m_btBrowse, &QPushButton::clicked, this, &TfrmDirHog::btBrowseClick);
    connect(m_btOptions, &QPushButton::clicked, this,
            [this] { m_popup->popup(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height()))); });
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::close);
    return buttons;
}

void TfrmDirHog::buildPopupMenu() {
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    const std::pair<int, const char*> sorts[] = {{hcSize, "Sort by &Size"},
                                                 {hcFiles, "Sort by # &Files"},
                                                 {hcSubfolders, "Sort by # Sub-f&olders"},
                                                 {hcAccess, "Sort by &Access Date"},
                                                 {hcName, "Sort by &Name"}};
    for (const auto& [column, caption] : sorts) {
        QAction* item = namedMenuItem(m_popup, QStringLiteral("miSort%1").arg(column),
                                      QString::fromLatin1(caption));
        item->setCheckable(true);
        m_sortItems[size_t(column)] = item;
        connect(item, &QAction::triggered, this, [this, c = column] { sortGrid(c); });
    }
    m_popup->addSeparator();
    m_shrink =
        namedMenuItem(m_popup, QStringLiteral("miShrink"), QStringLiteral("Shrink top panel"));
    m_restore =
        namedMenuItem(m_popup, QStringLiteral("miRestore"), QStringLiteral("Restore top panel"));
    m_restore->setEnabled(false);
    m_popup->addSeparator();
    QAction* print = namedMenuItem(m_popup, QStringLiteral("miPrint"), QStringLiteral("Print"));
    QAction* clip =
        namedMenuItem(m_popup, QStringLiteral("miClipboard"), QStringLiteral("Clipboard"));
    ResultMenu panelItems;
    panelItems.shrink = m_shrink;
    panelItems.restore = m_restore;
    connect(m_shrink, &QAction::triggered, this,
            [=] { resizeTopPanel(m_pnlTop, m_savedPanelHeight, true, panelItems); });
    connect(m_restore, &QAction::triggered, this,
            [=] { resizeTopPanel(m_pnlTop, m_savedPanelHeight, false, panelItems); });
    connect(print, &QAction::triggered, this, &TfrmDirHog::btPrintClick);
    connect(clip, &QAction::triggered, this, &TfrmDirHog::btClipClick);
}

// ---- showing and closing ---------------------------------------------------------------------

void TfrmDirHog::FormShow() {
    clearGrid();
    m_copyList.clear();
    m_btTop->setFocus();
    setMinimumSize(std::min(m_pckDrive->geometry().right() + scaledPixels(this, 3),
                            screen() ? screen()->availableGeometry().width() - 10 : 10000),
                   2 * (m_pnlTop->geometry().bottom() + 1));
}

// ---- scanning --------------------------------------------------------------------------------

void TfrmDirHog::clearGrid() {
    m_grid.setColumnCount(kColumnCount);
    m_grid.clearRows();
    m_grid.setHeader(gridHeaders());
    tickSortItem(-1);
    m_model->refresh();
}

void TfrmDirHog::btTopClick() {
    scan(Mode::MainFolders);
}

void TfrmDirHog::btAllClick() {
    scan(Mode::AllFolders);
}

void TfrmDirHog::scan(Mode mode) {
    if (scanning())
        return;
    clearGrid();
    m_copyList.clear();
    m_aborted = false;
    startWalk(std::make_unique<Search>(mode), m_pckDrive->tickedLetters());
}

int TfrmDirHog::takeResult(scan::Search& search, bool) {
    QStringList rows = static_cast<Search&>(search).takeRows();
    sortCopyOrder(rows);
    m_copyList += rows;
    m_grid.reserveRows(int(rows.size()) + 1);
    for (const QString& row : std::as_const(rows))
        m_grid.appendJoinedRow(row);
    // Largest first; the next "Sort by Size" then gives the smallest first.
    m_sortDirections.column[hcSize] = SortDirection(true);
    if (folderhogs::sortGrid(m_grid, hcSize, m_sortDirections))
        tickSortItem(hcSize);
    m_model->refresh();
    return int(rows.size());
}

void TfrmDirHog::showFound(int rows) {
    m_status->setText(QStringLiteral("Folders : ") + QString::number(rows));
    if (rows > 0) {
        showResultButtons(true);
        m_gridView->selectRow(0);
    }
}

void TfrmDirHog::enableInputs(bool on) {
    if (on)
        m_gridView->unsetCursor();
    else
        m_gridView->setCursor(Qt::WaitCursor);
    m_btClose->setEnabled(on);
    m_pckDrive->setEnabled(on);
    for (QPushButton* b : {m_btTop, m_btAll})
        b->setEnabled(on && m_pckDrive->anyTicked());
}

void TfrmDirHog::onAbort() {
    if (!m_aborted)
        m_copyList << walkabort::abortedText();
    m_aborted = true;
    m_status->clear();
}

// ---- the listed folders ----------------------------------------------------------------------

int TfrmDirHog::selectedRow() const {
    const QModelIndexList rows = m_gridView->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : GridModel::gridRow(rows.first().row());
}

void TfrmDirHog::btDeleteClick() {
    const int row = selectedRow();
    if (scanning() || row <= 0 || m_grid.cell(hcSize, row).isEmpty())
        return;
    const QString size = m_grid.cell(hcSize, row);
    if (size == QLatin1String("DELETED") || size == QLatin1String("RECYCLED")) {
        msgbox::errorBox(QStringLiteral("Folder already deleted/recycled"));
        return;
    }
    const QString folder = m_grid.cell(hcName, row);
    const QString refusal = windowsFolderRefusal(folder);
    if (!refusal.isEmpty()) {
        msgbox::errorBox(refusal);
        return;
    }
    const FolderDisposal disposal = disposeOfFolder(this, folder);
    if (disposal.choice == DisposalChoice::Cancelled)
        return;
    m_grid.setCell(hcSize, row,
                   disposal.recycled ? QStringLiteral("RECYCLED") : QStringLiteral("DELETED"));
    m_model->rowChanged(row);
}

void TfrmDirHog::btBrowseClick() {
    const int row = selectedRow();
    if (m_browse && !scanning() && row > 0)
        m_browse(this, m_grid.cell(hcName, row));
}

// ---- sorting and reports ---------------------------------------------------------------------

void TfrmDirHog::tickSortItem(int column) {
    for (int c = 0; c < kColumnCount; ++c)
        if (m_sortItems[size_t(c)])
            m_sortItems[size_t(c)]->setChecked(c == column);
}

void TfrmDirHog::sortGrid(int column) {
    // The selection stays on its folder.
    const int selected = selectedRow();
    const QString folder = selected > 0 ? m_grid.cell(hcName, selected) : QString();
    bool sorted = false;
    if (!scanning()) {
        const WaitCursor wait;
        sorted = folderhogs::sortGrid(m_grid, column, m_sortDirections);
        if (sorted)
            m_model->refresh();
    }
    if (!sorted) {
        // A menu item that turned its own tick over gets it back.
        if (m_sortItems[size_t(column)])
            m_sortItems[size_t(column)]->setChecked(false);
        return;
    }
    const int row = folder.isEmpty() ? -1 : m_grid.findRow(hcName, folder);
    if (row > 0)
        m_gridView->selectRow(row - 1);
    tickSortItem(column);
}

QString TfrmDirHog::printTitle() const {
    return folderhogs::printTitle(m_pckDrive->tickedLetters());
}

void TfrmDirHog::btPrintClick() {
    QList<int> widths;
    for (int c = 0; c < kColumnCount; ++c)
        widths << m_gridView->columnWidth(c);
    PrintGridWithDialog(m_grid, widths, printTitle(), this);
}

void TfrmDirHog::btClipClick() {
    QGuiApplication::clipboard()->setText(clipboardText(m_copyList));
}
