#include "clean/ui/frmclean.h"

#include "app/ui/columnfit.h"
#include "app/ui/hogsort.h"
#include "app/ui/messagebox.h"
#include "app/ui/placement.h"
#include "app/ui/widgets.h"
#include "clean/quickclean.h"
#include "clean/temppatterns.h"
#include "clean/ui/frmtempfiles.h"
#include "clean/ui/patternlistbox.h"
#include "scan/steppedwalk.h"
#include "scan/ui/drivechecklist.h"
#include "scan/ui/walkabort.h"
#include "scan/walk.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <iterator>

namespace {

// Column widths at 96 pixels per inch; the Type column takes what is left.
constexpr int kWidths[] = {64, 64, 64, 64, 296};

} // namespace

TfrmClean::TfrmClean(QWidget* parent, dups::SortDirections& sortDirections, TfrmFind* find,
                     browse::SortFlags* browseSort)
    : QDialog(parent), m_sortDirections(sortDirections), m_find(find), m_browseSort(browseSort) {
    setObjectName(QStringLiteral("TfrmClean"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pnlTop = buildTopPanel();
    layout->addWidget(m_pnlTop);

    m_results = new MarkedResultGrid(
        this, m_grid, dups::markColumn(quickclean::kGridMode),
        [this](int row) { return dups::rowPath(m_grid, row, quickclean::kGridMode); });
    m_results->model()->setRightAligned(dups::sizeColumn(quickclean::kGridMode));
    m_gridView = m_results->view();
    m_gridView->setToolTip(QStringLiteral("Double click to mark for deletion"));
    layout->addWidget(m_gridView, 1);

    buildButtons(layout);

    m_pnlSel = statusPanel(this, QStringLiteral("pnlSel"));
    layout->addWidget(m_pnlSel);
    m_results->setStatusLine(m_pnlSel);
    m_results->setCleanButton(m_btDelete);

    buildPopupMenu();

    connect(m_gridView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_hogSort->headerClick(column); });
    connect(m_results, &MarkedResultGrid::menuRequested, this,
            [this](const QPoint& at) { m_menu.popup->popup(at); });
    m_pckDrive->enableWhenTicked(m_btScan);

    clearGrid();
    resize(scaledPixels(this, 900), scaledPixels(this, 560));
}

TfrmClean::~TfrmClean() {
    // The view reads the grid, which goes before the base class deletes the children.
    delete m_gridView;
}

QWidget* TfrmClean::buildTopPanel() {
    QHBoxLayout* top = nullptr;
    QWidget* panel = toolTopPanel(this, QStringLiteral("pnlTop"), 8, 16, &top);

    auto* patterns = new QVBoxLayout();
    patterns->setSpacing(4);
    patterns->addWidget(namedLabel(panel, QStringLiteral("lblTypes"),
                                   QStringLiteral("Temporary file types to search and clean.")));
    m_pickList1 = patternListBox(panel, QStringLiteral("PickList1"),
                                 QStringLiteral("File extensions/types of temporary files"));
    m_pickList1->setFixedSize(260, 110);
    m_pickList1->setContextMenuPolicy(Qt::CustomContextMenu);
    patterns->addWidget(m_pickList1);
    top->addLayout(patterns);

    QPushButton* btEdit = namedButton(panel, QStringLiteral("btEdit"), QStringLiteral("Add/Delete"),
                                      QStringLiteral("Add, delete temporary file extensions"));
    btEdit->setAutoDefault(false);
    auto* edit = new QVBoxLayout();
    edit->addStretch(1);
    edit->addWidget(btEdit);
    top->addLayout(edit);
    top->addStretch(1);

    m_pckDrive = new DriveCheckList(panel);
    m_pckDrive->setFixedSize(240, 130);
    top->addWidget(m_pckDrive);

    // The pattern list's popup menu.
    auto* listMenu = new QMenu(panel);
    listMenu->setObjectName(QStringLiteral("PopupMenu2"));
    connect(namedMenuItem(listMenu, QStringLiteral("SelectAll2"), QStringLiteral("Select All")),
            &QAction::triggered, this, &TfrmClean::SelectAll2Click);
    connect(namedMenuItem(listMenu, QStringLiteral("DeselectAll2"), QStringLiteral("Deselect All")),
            &QAction::triggered, this, &TfrmClean::DeselectAll2Click);
    connect(m_pickList1, &QWidget::customContextMenuRequested, listMenu,
            [this, listMenu](const QPoint& pos) {
                listMenu->popup(m_pickList1->viewport()->mapToGlobal(pos));
            });
    connect(btEdit, &QPushButton::clicked, this, &TfrmClean::btEditClick);
    return panel;
}

void TfrmClean::buildButtons(QLayout* layout) {
    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(8, 6, 8, 6);
    buttons->setSpacing(3);
    m_btScan = namedButton(this, QStringLiteral("btScan"), QStringLiteral("&Start"));
    m_btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    m_btAbort = namedButton(this, QStringLiteral("btAbort"), QStringLiteral("&Abort"));
    m_btMark = namedButton(this, QStringLiteral("btMark"), QStringLiteral("&Mark"));
    m_btDelete = namedButton(this, QStringLiteral("btDelete"), QStringLiteral("Clean?"));
    m_btOptions = namedButton(this, QStringLiteral("btOptions"), QStringLiteral("Options"));
    m_btBrowse = namedButton(this, QStringLiteral("btBrowse"), QStringLiteral("&Browse"));
    m_btDetails = namedButton(this, QStringLiteral("btDetails"), QStringLiteral("&Details"));
    // Abort and Mark share one place: Abort shows during a walk, Mark after it.
    for (QPushButton* b : {m_btScan, m_btClose, m_btAbort, m_btMark, m_btDelete, m_btOptions,
                           m_btBrowse, m_btDetails}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    static_cast<QBoxLayout*>(layout)->addLayout(buttons);

    connect(m_btScan, &QPushButton::clicked, this, &TfrmClean::btScanClick);
    connect(m_btClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_btAbort, &QPushButton::clicked, this, &TfrmClean::btAbortClick);
    connect(m_btMark, &QPushButton::clicked, this, [this] { m_results->markSelected(); });
    connect(m_btDelete, &QPushButton::clicked, this, &TfrmClean::btDeleteClick);
    connect(m_btOptions, &QPushButton::clicked, this, [this] {
        m_menu.popup->popup(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height())));
    });
}

// ---- showing ---------------------------------------------------------------------------------

void TfrmClean::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmClean::FormShow() {
    ReadInFromDisk();
    SelectAll2Click();
    m_savedPanelHeight = m_pnlTop->sizeHint().height();
    clearGrid();
    for (QPushButton* b : {m_btOptions, m_btBrowse, m_btDetails, m_btAbort, m_btMark, m_btDelete})
        b->hide();
    m_pnlSel->clear();
    m_btScan->setEnabled(m_pckDrive->anyTicked());
    m_btClose->setEnabled(true);
    setWindowTitle(QStringLiteral("Find and delete temporary files"));
    m_btScan->setToolTip(QStringLiteral("Start scanning for temporary files"));
    m_btScan->setFocus();
    setColumnWidths();
    placement::restore(this, PlacementWindow::QuickClean);
}

void TfrmClean::ReadInFromDisk() {
    setPatternItems(m_pickList1, tempfiles::readPatterns().items());
}

void TfrmClean::SelectAll2Click() {
    m_pickList1->selectAll();
}

void TfrmClean::DeselectAll2Click() {
    m_pickList1->clearSelection();
}

void TfrmClean::btEditClick() {
    {
        TfrmTempFiles editor(this);
        editor.exec();
    }
    ReadInFromDisk(); // no item is selected afterwards
}

void TfrmClean::setColumnWidths() {
    setDesignedColumnWidths(m_gridView, kWidths,
                            {dups::hcSize, dups::hcModified, dups::hcTime, dups::hcAccess});
}

void TfrmClean::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    setColumnWidths();
}

void TfrmClean::done(int result) {
    if (m_scanning)
        return; // during a scan only Abort reacts
    if (isVisible())
        placement::store(this, PlacementWindow::QuickClean);
    QDialog::done(result);
}

// ---- scanning --------------------------------------------------------------------------------

void TfrmClean::clearGrid() {
    m_grid.setColumnCount(dups::columnCount(quickclean::kGridMode));
    m_grid.clearRows();
    m_grid.setHeader(dups::gridHeaders(quickclean::kGridMode));
    m_results->setRows(0);
    m_hogSort->tick(dups::SortCommand::Size);
    m_results->clearMarks();
    m_results->refresh();
}

void TfrmClean::btScanClick() {
    if (m_scanning)
        return;
    if (selectedTexts(m_pickList1).isEmpty()) {
        msgbox::errorBox(QStringLiteral("Select at least one file extension"));
        return;
    }
    clearGrid();
    scan();
}

void TfrmClean::scan() {
    // The walk runs in steps from the event loop; scanFinished() takes the result.
    m_search = std::make_unique<quickclean::Search>(selectedTexts(m_pickList1));
    scan::WalkCallbacks& callbacks = m_search->walker().callbacks();
    callbacks.progress = [this](const QString& folder) { m_pnlSel->setText(folder); };
    callbacks.driveFailed = [](QChar, const QString& root) {
        msgbox::silentErrorBox(scan::cantOpenDriveMessage(root));
    };
    m_walk = std::make_unique<scan::SteppedWalk>(m_search->walker());
    connect(m_walk.get(), &scan::SteppedWalk::finished, this, &TfrmClean::scanFinished);
    setScanning(true);
    m_walk->startDrives(m_pckDrive->tickedLetters());
}

void TfrmClean::scanFinished() {
    const int rows = m_search->fillGrid(m_grid, m_sortDirections);
    m_results->setRows(rows);
    m_walk.reset();
    m_search.reset();
    m_results->refresh();
    setColumnWidths();
    m_hogSort->tick(dups::SortCommand::Size); // the rows came largest first
    setScanning(false);

    if (rows > 0) {
        for (QPushButton* b : {m_btMark, m_btDelete, m_btOptions, m_btBrowse, m_btDetails})
            b->show();
        m_pnlSel->setText(quickclean::foundText(rows));
        m_results->selectFirstRow();
    } else {
        m_pnlSel->clear();
        msgbox::infoBox(QStringLiteral("No files found."));
    }
    emit scanDone();
}

void TfrmClean::setScanning(bool on) {
    m_scanning = on;
    m_results->setBusy(on);
    m_btAbort->setVisible(on);
    if (on)
        for (QPushButton* b : {m_btMark, m_btDelete, m_btOptions, m_btBrowse, m_btDetails})
            b->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_btClose, m_pckDrive, m_pickList1})
        w->setEnabled(!on);
    m_pnlTop->findChild<QPushButton*>(QStringLiteral("btEdit"))->setEnabled(!on);
    m_btScan->setEnabled(!on && m_pckDrive->anyTicked());
}

void TfrmClean::btAbortClick() {
    if (!m_search)
        return;
    // The walk waits while the notice is up and ends when it is closed; what it found so far
    // stays.
    m_walk->pause();
    walkabort::btAbortClick([this] { m_search->abort(); }, m_btAbort);
    m_walk->resume();
}
