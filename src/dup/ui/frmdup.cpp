// TfrmDup, duplicate files and file hogs.  Its logic: dup/dupsearch.h, dup/contentsearch.h and
// dup/contentsplit.h; the search lifecycle is scan/ui/searchwindow.h.

#include "dup/ui/frmdup.h"

#include "app/gridmarks.h"
#include "app/gridmodel.h"
#include "app/inifile.h"
#include "app/ui/columnfit.h"
#include "app/ui/hogsort.h"
#include "app/ui/messagebox.h"
#include "app/ui/resultgrid.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileactions.h"
#include "delete/ui/handover.h"
#include "dup/contentsearch.h"
#include "dup/contentsplit.h"
#include "dup/dupsearch.h"
#include "dup/ui/frmdupcompare.h"
#include "platform/dirsearch.h"
#include "scan/ui/drivechecklist.h"
#include "scan/ui/wildcardbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <iterator>

namespace {

// The largest number the size fields take: ten digits.
constexpr double kMaxNumber = 9999999999.0;

// Column widths at 96 pixels per inch; the last column takes what is left.
constexpr int kDupWidths[] = {93, 58, 64, 70, 70, 184};
constexpr int kHogWidths[] = {64, 64, 64, 64, 296};

const char* const kSecondNumberMessage =
    "The second number must be larger or equal than the first number";

QDoubleSpinBox* numberField(QWidget* parent, const QString& name) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setDecimals(0);
    box->setRange(0, kMaxNumber);
    box->setSingleStep(1);
    box->setAccelerated(true);
    box->setGroupSeparatorShown(false);
    box->setValue(250);
    return box;
}

// The size filter the radio buttons choose.
dups::SizeRule sizeRuleOf(const QRadioButton* smaller, const QRadioButton* between) {
    if (between->isChecked())
        return dups::SizeRule::Between;
    if (smaller->isChecked())
        return dups::SizeRule::SmallerOrEqual;
    return dups::SizeRule::LargerOrEqual;
}

// Where the duplicate window keeps the state of "Same contents" in the settings file.
const char* const kSection = "frmDups";
const char* const kSameContentsKey = "SameContents";

QString numberText(const QDoubleSpinBox* box) {
    return QString::number(qint64(box->value()));
}

} // namespace

TfrmDup::TfrmDup(QWidget* parent, dups::Mode mode, dups::SortDirections& sortDirections,
                 TfrmFind* find, TfrmDupCompare* compare, browse::SortFlags* browseSort)
    : SearchWindow(parent, QStringLiteral("TfrmDup"), {std::nullopt, CloseDuringScan::Refused}),
      m_mode(mode), m_sortDirections(sortDirections), m_find(find), m_compare(compare),
      m_browseSort(browseSort) {
    QVBoxLayout* layout = windowLayout();

    buildTopPanel();
    layout->addWidget(m_pnlTop);

    // The result grid: a view over the TextGrid.
    m_results = new MarkedResultGrid(this, m_grid, dups::markColumn(m_mode), [this](int row) {
        return dups::rowPath(m_grid, row, m_mode);
    });
    m_model = m_results->model();
    m_gridView = m_results->view();
    QHeaderView* header = m_gridView->horizontalHeader();
    layout->addWidget(m_gridView, 1);

    // The buttons, below the grid so that they stay when the top panel is shrunk.
    QHBoxLayout* buttons = buttonRow();
    m_btScan = namedButton(this, QStringLiteral("btScan"), QStringLiteral("&Start"));
    makeGridButtons();
    m_btCompare = namedButton(this, QStringLiteral("btCompare"), QStringLiteral("P&airs"));
    addButtons(buttons, {m_btScan, m_btAbort, m_btMark, m_btDelete, m_btCompare, m_btBrowse,
                         m_btDetails, m_btOptions});
    buttons->addStretch(1);
    addButtons(buttons, {m_btClose});
    layout->addLayout(buttons);

    m_btCompare->setEnabled(m_compare != nullptr);

    m_pnlSel = addStatusLine(QStringLiteral("pnlSel"));
    m_results->setStatusLine(m_pnlSel);
    m_results->setCleanButton(m_btDelete);

    buildPopupMenu();

    connect(m_btScan, &QPushButton::clicked, this, &TfrmDup::btScanClick);
    connect(m_btAbort, &QPushButton::clicked, this, &TfrmDup::btAbortClick);
    connect(m_btMark, &QPushButton::clicked, m_results, &MarkedResultGrid::markSelected);
    connect(m_btDelete, &QPushButton::clicked, this, &TfrmDup::btDeleteClick);
    connect(m_btCompare, &QPushButton::clicked, this, &TfrmDup::btCompareClick);
    connect(m_btOptions, &QPushButton::clicked, this, &TfrmDup::btOptionsClick);
    connect(m_btClose, &QPushButton::clicked, this, &TfrmDup::btCloseClick);
    connect(header, &QHeaderView::sectionClicked, this, &TfrmDup::gridHeaderClick);
    connect(m_results, &MarkedResultGrid::menuRequested, this,
            [this](const QPoint& at) { m_popup->popup(at); });
    m_pckDrive->enableWhenTicked(m_btScan);

    if (m_mode == dups::Mode::Duplicates) {
        m_criterion = dups::FilenameOnly;
        m_cbDup->setCurrentIndex(0);
    }
    applyMode();
    clearGrid();
    resize(scaledPixels(this, 880), scaledPixels(this, 560));
}

TfrmDup::~TfrmDup() {
    // The comparison window outlives this one, and must not keep showing or using its rows.
    if (m_compare)
        m_compare->sourceGone(this);
}

void TfrmDup::buildTopPanel() {
    // The drive list keeps 8 pixels from the window's right edge.
    QHBoxLayout* top = nullptr;
    m_pnlTop = toolTopPanel(this, QStringLiteral("pnlTop"), 8, 16, &top);

    // The size filter.
    auto* sizes = new QVBoxLayout();
    sizes->setSpacing(2);
    m_rbLarger =
        namedRadio(m_pnlTop, QStringLiteral("rbLarger"), QStringLiteral("Larger or equal to"));
    m_rbSmaller =
        namedRadio(m_pnlTop, QStringLiteral("rbSmaller"), QStringLiteral("Smaller or equal to"));
    m_rbBetween = namedRadio(m_pnlTop, QStringLiteral("rbBetween"), QStringLiteral("In between"));
    m_rbLarger->setChecked(true);
    sizes->addWidget(m_rbLarger);
    sizes->addWidget(m_rbSmaller);
    sizes->addWidget(m_rbBetween);
    auto* numbers = new QHBoxLayout();
    numbers->setSpacing(6);
    m_num1 = numberField(m_pnlTop, QStringLiteral("num1"));
    m_lblAnd = namedLabel(m_pnlTop, QStringLiteral("lblAnd"), QStringLiteral("and"));
    m_num2 = numberField(m_pnlTop, QStringLiteral("num2"));
    m_cbKB1 = new QComboBox(m_pnlTop);
    m_cbKB1->setObjectName(QStringLiteral("cbKB1"));
    m_cbKB1->addItems({QStringLiteral("bytes"), QStringLiteral("KB")});
    m_cbKB1->setCurrentIndex(1);
    numbers->addWidget(m_num1);
    numbers->addWidget(m_lblAnd);
    numbers->addWidget(m_num2);
    numbers->addWidget(m_cbKB1);
    numbers->addStretch(1);
    sizes->addSpacing(4);
    sizes->addLayout(numbers);
    sizes->addStretch(1);
    top->addLayout(sizes);
    m_lblAnd->hide();
    m_num2->hide();
    for (QRadioButton* rb : {m_rbLarger, m_rbSmaller, m_rbBetween})
        connect(rb, &QRadioButton::toggled, this, &TfrmDup::rbSizeClick);

    // The file pattern and the duplicate criterion.
    auto* middle = new QVBoxLayout();
    middle->setSpacing(6);
    m_wild = new WildCardBox(m_pnlTop);
    m_wild->combo()->setMinimumWidth(scaledPixels(this, 110));
    m_wild->label()->setMinimumWidth(1);
    m_wild->label()->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* pattern = new QHBoxLayout();
    pattern->addWidget(m_wild->combo());
    pattern->addWidget(m_wild->label(), 1);
    m_lblDup =
        namedLabel(m_pnlTop, QStringLiteral("lblDup"), QStringLiteral("Duplicates matching on : "));
    m_cbDup = new QComboBox(m_pnlTop);
    m_cbDup->setObjectName(QStringLiteral("cbDup"));
    m_cbDup->addItems(dups::criterionTexts());
    // Off unless the user ticked it before: reading every file of every group takes long.
    m_cbSameContents = new QCheckBox(QStringLiteral("Same contents"), m_pnlTop);
    m_cbSameContents->setObjectName(QStringLiteral("cbSameContents"));
    m_cbSameContents->setChecked(settingsFile().readInteger(QLatin1String(kSection),
                                                            QLatin1String(kSameContentsKey),
                                                            0) != 0);
    connect(m_cbSameContents, &QCheckBox::toggled, this, [](bool on) {
        settingsFile().writeInteger(QLatin1String(kSection), QLatin1String(kSameContentsKey),
                                    on ? 1 : 0);
    });
    auto* criterion = new QVBoxLayout();
    criterion->setSpacing(2);
    criterion->addWidget(m_lblDup);
    criterion->addWidget(m_cbDup);
    criterion->addWidget(m_cbSameContents);
    middle->addLayout(pattern);
    middle->addLayout(criterion);
    middle->addStretch(1);
    top->addLayout(middle, 1);

    // The drives.
    m_pckDrive = new DriveCheckList(m_pnlTop, DriveCheckList::LetterCase::Upper);
    m_pckDrive->setFixedWidth(scaledPixels(this, 230));
    m_pckDrive->setMaximumHeight(scaledPixels(this, 104));
    top->addWidget(m_pckDrive);
}

void TfrmDup::buildPopupMenu() {
    m_menu = makeResultMenu(this);
    m_popup = m_menu.popup;
    m_results->connectFileActions(m_menu, m_btDetails, m_btBrowse,
                                  browse::fileActions(m_find, m_browseSort));
    m_hogSort = new HogSort(m_menu.sort, QStringLiteral("&Access Date"), *m_results, m_grid,
                            m_sortDirections);
    m_results->connectMenu(
        m_menu, [this] { return printTitle(); }, m_pnlTop, &m_savedPanelHeight);
}

// ---- showing ---------------------------------------------------------------------------------

void TfrmDup::FormShow() {
    m_cbKB1->setCurrentIndex(1);
    clearGrid();
    m_num1->setValue(250);
    m_num2->setValue(250);
    m_btScan->setEnabled(m_pckDrive->anyTicked());
    m_btClose->setEnabled(true);
    applyMode();
    // The pattern box reads the registered extensions again by itself when it is shown.
}

void TfrmDup::applyMode() {
    const bool duplicates = m_mode == dups::Mode::Duplicates;
    setWindowTitle(duplicates ? QStringLiteral("Find and delete duplicate files")
                              : QStringLiteral("Find and delete file hogs"));
    m_btScan->setToolTip(duplicates ? QStringLiteral("Duplicates on file name only")
                                    : QStringLiteral("Start scanning for file hogs"));
    m_cbDup->setVisible(duplicates);
    m_cbSameContents->setVisible(duplicates);
    m_lblDup->setVisible(duplicates);
    m_menu.sort->menuAction()->setVisible(!duplicates);
    using namespace dups;
    if (duplicates)
        setColumnDesign(kDupWidths, {dcSize, dcModified, dcTime, dcAccess});
    else
        setColumnDesign(kHogWidths, {hcSize, hcModified, hcTime, hcAccess});
    m_model->setMarkColumn(dups::markColumn(m_mode));
    for (int c = 0; c < 7; ++c)
        m_model->setRightAligned(c, c == dups::sizeColumn(m_mode));
}

std::optional<PlacementWindow> TfrmDup::placementWindow() const {
    return m_mode == dups::Mode::Duplicates ? PlacementWindow::DuplicateSearch
                                            : PlacementWindow::FileHogs;
}

void TfrmDup::btCloseClick() {
    close();
}

// ---- scanning --------------------------------------------------------------------------------

void TfrmDup::clearGrid() {
    m_grid.setColumnCount(dups::columnCount(m_mode));
    m_grid.clearRows();
    m_grid.setHeader(dups::gridHeaders(m_mode));
    m_results->setRows(0);
    m_hogSort->tick(dups::SortCommand::Size);
    m_results->clearMarks();
    m_results->refresh();
}

void TfrmDup::rbSizeClick() {
    const bool between = m_rbBetween->isChecked();
    m_num2->setVisible(between);
    m_lblAnd->setVisible(between);
}

void TfrmDup::btScanClick() {
    if (scanning())
        return;
    if (m_rbBetween->isChecked() && m_num2->value() < m_num1->value()) {
        msgbox::errorBox(QString::fromLatin1(kSecondNumberMessage));
        return;
    }
    if (m_mode == dups::Mode::Duplicates) {
        m_criterion =
            dups::Criterion(qBound(0, m_cbDup->currentIndex(), dups::kCriterionCount - 1));
        m_sameContents = m_cbSameContents->isChecked();
    }
    clearGrid();
    m_contentsProven = false;
    scan();
}

void TfrmDup::scan() {
    const bool kilobytes = m_cbKB1->currentIndex() == 1;
    dups::SearchSettings settings;
    settings.mode = m_mode;
    settings.criterion = m_criterion;
    settings.filter.rule = sizeRuleOf(m_rbSmaller, m_rbBetween);
    settings.filter.lower = dups::limitBytes(qint64(m_num1->value()), kilobytes);
    settings.filter.upper = dups::limitBytes(qint64(m_num2->value()), kilobytes);
    settings.pattern = m_wild->pattern();

    // The walk runs in steps from the event loop; takeResult() gets what it found.
    startWalk(std::make_unique<dups::Search>(settings), m_pckDrive->tickedLetters());
}

int TfrmDup::takeResult(scan::Search& found, bool aborted) {
    auto& search = static_cast<dups::Search&>(found);
    if (search.listFull())
        msgbox::warningBox(dups::listFullMessage());
    const int rows = search.fillGrid(m_grid, m_sortDirections);
    if (m_mode == dups::Mode::Duplicates && m_sameContents && rows > 0 && !aborted) {
        // The criterion's groups are the candidates; the window stays busy until the engine
        // has read them, and Abort stops it.
        const dups::ContentRequest request = dups::contentRequest(m_grid, m_mode);
        m_contents = std::make_unique<dups::ContentSearch>();
        connect(m_contents.get(), &dups::ContentSearch::progress, this,
                [this](const dups::ContentProgress& done) {
                    m_pnlSel->setText(QStringLiteral("Comparing contents: %1 files, %2 bytes read")
                                          .arg(done.filesDone)
                                          .arg(done.bytesDone));
                });
        connect(m_contents.get(), &dups::ContentSearch::finished, this, &TfrmDup::contentsFinished);
        m_pnlSel->setText(QStringLiteral("Comparing contents"));
        m_contents->start(request.files, request.candidates);
        return kStillBusy;
    }
    return resultRows();
}

void TfrmDup::contentsFinished(const dups::ContentGroups& result) {
    // An aborted comparison leaves the criterion's groups as the walk found them.
    dups::splitByContents(m_grid, m_mode, result);
    m_contentsProven = !result.aborted;
    m_contents.release()->deleteLater(); // its signal is still being delivered
    finishScan(resultRows());
}

int TfrmDup::resultRows() {
    const int rows = m_grid.rowCount() - 1;
    m_results->setRows(rows);
    m_model->refresh();
    if (m_mode == dups::Mode::FileHogs)
        m_hogSort->tick(dups::SortCommand::Size); // the rows came sorted largest first
    return rows;
}

void TfrmDup::showFound(int rows) {
    if (rows > 0) {
        showResultButtons(true);
        m_pnlSel->setText(dups::foundText(m_mode, rows));
        m_results->selectFirstRow();
    }
}

void TfrmDup::showResultButtons(bool on) {
    SearchWindow::showResultButtons(on);
    m_btCompare->setVisible(on && m_mode == dups::Mode::Duplicates);
}

void TfrmDup::enableInputs(bool on) {
    m_results->setBusy(!on);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_btClose, m_pckDrive, m_num1, m_num2, m_cbKB1, m_wild->combo(), m_rbLarger,
             m_rbSmaller, m_rbBetween, m_cbDup, m_cbSameContents})
        w->setEnabled(on);
    m_btScan->setEnabled(on && m_pckDrive->anyTicked());
}

void TfrmDup::btAbortClick() {
    // The content comparison after the walk stops at once; the walk asks first.
    if (m_contents)
        m_contents->abort();
    else
        SearchWindow::btAbortClick();
}

// ---- marking ---------------------------------------------------------------------------------

QStringList TfrmDup::lbDeleted() const {
    return m_results->marks().paths();
}

int TfrmDup::markedCount() const {
    return m_results->marks().count();
}

qint64 TfrmDup::markedBytes() const {
    return m_results->marks().bytes();
}

void TfrmDup::btDeleteClick() {
    const GridMarks& marks = m_results->marks();
    if (scanning() || marks.count() <= 0)
        return;
    // Files from groups of duplicates: the deletion window keeps a copy of every content.
    const lastcopy::CopyGroups copies =
        m_mode == dups::Mode::Duplicates
            ? copyGroupsOf(
                  m_grid, [this](int row) { return dups::rowPath(m_grid, row, m_mode); },
                  m_contentsProven)
            : lastcopy::CopyGroups();
    handOverMarks(this, marks, archiveTags::Duplicates, copies);
}

void TfrmDup::btCompareClick() {
    if (m_compare && m_mode == dups::Mode::Duplicates && !scanning() && rowCount() > 0)
        m_compare->showFor(this);
}

// ---- sorting ---------------------------------------------------------------------------------

void TfrmDup::gridHeaderClick(int column) {
    if (m_mode == dups::Mode::FileHogs)
        m_hogSort->headerClick(column);
}

// ---- the options menu ------------------------------------------------------------------------

void TfrmDup::btOptionsClick() {
    m_popup->popup(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height())));
}

QString TfrmDup::printTitle() const {
    dups::TitleSettings settings;
    settings.mode = m_mode;
    settings.rule = sizeRuleOf(m_rbSmaller, m_rbBetween);
    settings.number1 = numberText(m_num1);
    settings.number2 = numberText(m_num2);
    settings.unit = m_cbKB1->currentText();
    settings.pattern = m_wild->pattern();
    settings.drives = m_pckDrive->tickedLetters();
    return dups::printTitle(settings);
}
