// TfrmClean, quick clean.  Its logic: clean/quickclean.h and clean/temppatterns.h; the search
// lifecycle is scan/ui/searchwindow.h.

#include "clean/ui/frmclean.h"

#include "app/ui/columnfit.h"
#include "app/ui/hogsort.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "clean/quickclean.h"
#include "clean/temppatterns.h"
#include "clean/ui/frmtempfiles.h"
#include "clean/ui/patternlistbox.h"
#include "scan/ui/drivechecklist.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
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
    : SearchWindow(parent, QStringLiteral("TfrmClean"), {PlacementWindow::QuickClean}),
      m_sortDirections(sortDirections), m_find(find), m_browseSort(browseSort) {
    QVBoxLayout* layout = windowLayout();
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

    m_pnlSel = addStatusLine(QStringLiteral("pnlSel"));
    m_results->setStatusLine(m_pnlSel);
    m_results->setCleanButton(m_btDelete);

    buildPopupMenu();
    setColumnDesign(kWidths, {dups::hcSize, dups::hcModified, dups::hcTime, dups::hcAccess});

    connect(m_gridView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_hogSort->headerClick(column); });
    connect(m_results, &MarkedResultGrid::menuRequested, this,
            [this](const QPoint& at) { m_menu.popup->popup(at); });
    m_pckDrive->enableWhenTicked(m_btScan);

    clearGrid();
    resize(scaledPixels(this, 900), scaledPixels(this, 560));
}

TfrmClean::~TfrmClean() = default;

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
    QHBoxLayout* buttons = buttonRow(3);
    m_btScan = namedButton(this, QStringLiteral("btScan"), QStringLiteral("&Start"));
    makeGridButtons();
    // Abort and Mark share one place: Abort shows during a walk, Mark after it.
    addButtons(buttons, {m_btScan, m_btClose, m_btAbort, m_btMark, m_btDelete, m_btOptions,
                         m_btBrowse, m_btDetails});
    buttons->addStretch(1);
    static_cast<QBoxLayout*>(layout)->addLayout(buttons);

    connect(m_btScan, &QPushButton::clicked, this, &TfrmClean::btScanClick);
    connect(m_btClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_btAbort, &QPushButton::clicked, this, &SearchWindow::btAbortClick);
    connect(m_btMark, &QPushButton::clicked, this, [this] { m_results->markSelected(); });
    connect(m_btDelete, &QPushButton::clicked, this, &TfrmClean::btDeleteClick);
    connect(m_btOptions, &QPushButton::clicked, this, [this] {
        m_menu.popup->popup(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height())));
    });
}

// ---- showing ---------------------------------------------------------------------------------

void TfrmClean::FormShow() {
    ReadInFromDisk();
    SelectAll2Click();
    clearGrid();
    m_btScan->setEnabled(m_pckDrive->anyTicked());
    m_btClose->setEnabled(true);
    setWindowTitle(QStringLiteral("Find and delete temporary files"));
    m_btScan->setToolTip(QStringLiteral("Start scanning for temporary files"));
    m_btScan->setFocus();
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
    if (scanning())
        return;
    if (selectedTexts(m_pickList1).isEmpty()) {
        msgbox::errorBox(QStringLiteral("Select at least one file extension"));
        return;
    }
    clearGrid();
    // The walk runs in steps from the event loop; takeResult() gets what it found.
    startWalk(std::make_unique<quickclean::Search>(selectedTexts(m_pickList1)),
              m_pckDrive->tickedLetters());
}

int TfrmClean::takeResult(scan::Search& search, bool) {
    const int rows = static_cast<quickclean::Search&>(search).fillGrid(m_grid, m_sortDirections);
    m_results->setRows(rows);
    m_results->refresh();
    m_hogSort->tick(dups::SortCommand::Size); // the rows came largest first
    return rows;
}

void TfrmClean::showFound(int rows) {
    if (rows > 0) {
        showResultButtons(true);
        m_pnlSel->setText(quickclean::foundText(rows));
        m_results->selectFirstRow();
    } else {
        m_pnlSel->clear();
    }
}

void TfrmClean::enableInputs(bool on) {
    m_results->setBusy(!on);
    for (QWidget* w : std::initializer_list<QWidget*>{m_btClose, m_pckDrive, m_pickList1})
        w->setEnabled(on);
    m_pnlTop->findChild<QPushButton*>(QStringLiteral("btEdit"))->setEnabled(on);
    m_btScan->setEnabled(on && m_pckDrive->anyTicked());
}
