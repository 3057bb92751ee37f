// TfrmStatistics, the statistics of the drives.  Its logic: stats/statscan.h, stats/statpages.h
// and stats/chartdata.h.

#include "stats/ui/frmstatistics.h"

#include "app/format.h"
#include "app/gridmodel.h"
#include "app/inifile.h"
#include "app/totals.h"
#include "app/ui/messagebox.h"
#include "app/ui/printreport.h"
#include "app/ui/widgets.h"
#include "platform/drives.h"
#include "scan/steppedwalk.h"
#include "scan/ui/drivechecklist.h"
#include "scan/ui/frmwhichdrive.h"
#include "scan/ui/walkabort.h"
#include "stats/chartdata.h"
#include "stats/ui/statchart.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

TfrmStatistics::TfrmStatistics(QWidget* parent, std::function<QDate()> today)
    : QDialog(parent), m_today(std::move(today)) {
    setObjectName(QStringLiteral("TfrmStatistics"));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    m_notebook = new QTabWidget(this);
    m_notebook->setObjectName(QStringLiteral("OvcNotebook1"));
    const char* const captions[] = {"Space",    "Deleted",   "Types",   "Sizes",
                                    "Overhang", "Access",    "Created", "Modified",
                                    "Combined", "Attribute", "Time"};
    QWidget* pages[kPages] = {buildSpacePage(),     buildDeletedPage(),  buildTypesPage(),
                              buildSizesPage(),     buildOverhangPage(), buildDatePage(0),
                              buildDatePage(1),     buildDatePage(2),    buildDatePage(3),
                              buildAttributePage(), buildTimePage()};
    for (int p = 0; p < kPages; ++p)
        m_notebook->addTab(pages[p], QString::fromLatin1(captions[p]));
    layout->addWidget(m_notebook, 1);

    // The panel that covers the pages until statistics have been collected.
    m_pnlNotYet = new QFrame(m_notebook);
    m_pnlNotYet->setObjectName(QStringLiteral("pnlNotYet"));
    m_pnlNotYet->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_pnlNotYet->setAutoFillBackground(true);
    auto* notYet = new QVBoxLayout(m_pnlNotYet);
    m_lblNotYet = namedLabel(m_pnlNotYet, QStringLiteral("lblNotYet"),
                             QStringLiteral("Statistics haven't been collected yet!"), true);
    QFont big = m_lblNotYet->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    m_lblNotYet->setFont(big);
    m_lblNotYet->setAlignment(Qt::AlignCenter);
    m_btAbort = namedButton(m_pnlNotYet, QStringLiteral("btAbort"), QStringLiteral("&Abort"));
    m_btAbort->setAutoDefault(false);
    notYet->addStretch(1);
    notYet->addWidget(m_lblNotYet);
    notYet->addWidget(m_btAbort, 0, Qt::AlignHCenter);
    notYet->addStretch(1);

    auto* buttons = new QHBoxLayout();
    m_btOK = namedButton(this, QStringLiteral("btOK"), QStringLiteral("&Collect statistics"));
    m_btPrint = namedButton(this, QStringLiteral("btPrint"), QStringLiteral("&Print page"),
                            QStringLiteral("Print this page only"));
    m_btCancel = namedButton(this, QStringLiteral("btCancel"), QStringLiteral("Close"));
    m_btOK->setDefault(true);
    m_btPrint->setAutoDefault(false);
    m_btCancel->setAutoDefault(false);
    buttons->addWidget(m_btOK);
    buttons->addWidget(m_btPrint);
    buttons->addStretch(1);
    buttons->addWidget(m_btCancel);
    layout->addLayout(buttons);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->installEventFilter(this);
    layout->addWidget(m_statusBar);

    connect(m_btOK, &QPushButton::clicked, this, &TfrmStatistics::btOKClick);
    connect(m_btPrint, &QPushButton::clicked, this, &TfrmStatistics::btPrintClick);
    connect(m_btCancel, &QPushButton::clicked, this, &TfrmStatistics::reject);
    connect(m_btAbort, &QPushButton::clicked, this, &TfrmStatistics::btAbortClick);
    connect(m_notebook, &QTabWidget::currentChanged, this,
            &TfrmStatistics::OvcNotebook1PageChanged);
    connect(m_pckStatDrive, &DriveCheckList::ticksChanged, this, &TfrmStatistics::doDiskSize);
    for (QRadioButton* b : m_rgSpace)
        connect(b, &QRadioButton::clicked, this, &TfrmStatistics::rgSpaceClick);
    for (QRadioButton* b : m_rgTypes)
        connect(b, &QRadioButton::clicked, this, &TfrmStatistics::rgTypesClick);
    for (QRadioButton* b : m_rgSizes)
        connect(b, &QRadioButton::clicked, this, &TfrmStatistics::rgSizesClick);
    for (auto& group : m_rgDates)
        for (QRadioButton* b : group)
            connect(b, &QRadioButton::clicked, this, &TfrmStatistics::rgAccessClick);
    connect(m_scrollBar1, &QScrollBar::valueChanged, this, [this](int v) {
        m_spaceAngle = v;
        statchart::rotatePie(m_chartSpacePie->chart(), v);
    });
    connect(m_scrollBar2, &QScrollBar::valueChanged, this, [this](int v) {
        m_typesAngle = v;
        statchart::rotatePie(m_chartTypes->chart(), v);
    });
    m_timer1.setInterval(50);
    m_timer2.setInterval(50);
    connect(&m_timer1, &QTimer::timeout, this, &TfrmStatistics::Timer1Timer);
    connect(&m_timer2, &QTimer::timeout, this, &TfrmStatistics::Timer2Timer);

    const qreal scale = std::max<qreal>(1.0, logicalDpiX() / 96.0);
    setFixedSize(qRound(632 * scale * 1.25), qRound(431 * scale * 1.25));
    FormCreate();
}

TfrmStatistics::~TfrmStatistics() {
    m_walk.reset();
    // The views read the grids, which go before the base class deletes the children.
    delete m_notebook;
}

const stats::StatTotals* TfrmStatistics::totals() const {
    return m_collector ? &m_collector->totals() : &m_empty;
}

// ---- creation and showing ------------------------------------------------------------------

void TfrmStatistics::FormCreate() {
    setWindowTitle(QStringLiteral("File Statistics Not Yet Collected"));
    m_notebook->setCurrentIndex(pgSpace);
    m_btAbort->hide();
    for (QLabel* l : m_spaceFigures)
        l->clear();
    stats::fillTypeGrid(m_typeGrid, stats::TypeTable());
    fillDateGrids();
    m_typeModel->refresh();
    // The pie views are the defaults; the grids show in the Listing views.
    rgTypesClick();
    rgSizesClick();
    for (int i = 0; i < 4; ++i) {
        m_dateViews[size_t(i)]->hide();
        m_dateCharts[size_t(i)]->show();
    }
    placeNotYet();
    m_pnlNotYet->hide();
}

void TfrmStatistics::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStatistics::FormShow() {
    m_typeGrid.setHeader(stats::typeGridHeaders());
    doDiskSize();
    OvcNotebook1PageChanged(m_notebook->currentIndex());
}

void TfrmStatistics::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeNotYet();
}

void TfrmStatistics::placeNotYet() {
    // At the top left of the page area, below the tabs, covering the pages.
    const int top = m_notebook->tabBar()->height();
    m_pnlNotYet->setGeometry(0, top, m_notebook->width(), m_notebook->height() - top);
    m_pnlNotYet->raise();
}

void TfrmStatistics::OvcNotebook1PageChanged(int page) {
    if (page == pgSpace) {
        doDiskSize();
        m_pnlNotYet->setVisible(m_scanning);
        if (m_rgSpace[0]->isChecked())
            rgSpaceClick();
    } else if (page == pgDeleted) {
        showFilesDeleted();
        m_pnlNotYet->setVisible(m_scanning);
    } else {
        // During a collection the panel stays up, so its Abort button can be reached.
        m_pnlNotYet->setVisible(!m_collected || m_scanning);
    }
    if (m_pnlNotYet->isVisible())
        placeNotYet();
}

void TfrmStatistics::reject() {
    if (m_scanning) {
        // Close and Esc stop a collection; the window stays.
        m_abortRequested = true;
        if (m_collector)
            m_collector->abort();
        return;
    }
    QDialog::reject();
}

// ---- collecting ----------------------------------------------------------------------------

void TfrmStatistics::btOKClick() {
    if (m_scanning)
        return;
    m_chosen.clear();
    stats::TypeFilter filter;
    {
        TfrmWhichDrive dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        m_chosen = dialog.selectedDrives();
        filter.allFiles = dialog.allFiles();
        if (!filter.allFiles) {
            filter.whenListed = dialog.selectedTypesOnly();
            filter.whenNotListed = dialog.allExceptSelected();
            filter.entries = dialog.selectedTypes();
        }
    }
    if (m_chosen.isEmpty())
        return;
    // computePickListTotal
    double capacity = 0;
    for (const QString& entry : qAsConst(m_chosen)) {
        platform::DiskGeometry g;
        if (platform::isDriveReady(entry.at(0)) && platform::diskGeometry(entry.at(0), &g))
            capacity += double(g.capacity());
    }
    if (!(capacity > 0)) {
        msgbox::errorBox(QStringLiteral("Could not compute the total size of the disk drives "
                                        "selected.  Cannot proceed with statistics."));
        return;
    }
    m_abortRequested = false;
    m_scannedLetters.clear();
    if (m_chosen.size() > 1)
        msgbox::infoBox(QStringLiteral(
            "Since you selected more than one drive to analyze, the Cluster Overhang tab will be "
            "disabled.  You may quit the analysis at any time by clicking CANCEL or by pressing "
            "ESC."));
    else
        msgbox::infoBox(QStringLiteral("Disk Drive ") + m_chosen.first() +
                        QStringLiteral(" will be scanned.  The analysis may take some time.  You "
                                       "may quit at any time by clicking Abort or pressing ESC."));
    m_collector = std::make_unique<stats::Collector>(filter, m_today());
    clearVariables();
    setOverhangEnabled(m_chosen.size() == 1);
    m_collector->setOverhang(m_chosen.size() == 1);
    m_rotationWasOn = m_timer1.isActive();
    m_timer1.stop();
    m_nextDrive = 0;
    nextDrive();
}

void TfrmStatistics::clearVariables() {
    m_collector->clearVariables();
    stats::fillTypeGrid(m_typeGrid, stats::TypeTable());
    m_typeModel->refresh();
}

void TfrmStatistics::setOverhangEnabled(bool on) {
    m_notebook->setTabEnabled(pgOverhang, on);
}

void TfrmStatistics::nextDrive() {
    while (m_nextDrive < m_chosen.size() && !m_abortRequested) {
        m_currentDrive = m_chosen[m_nextDrive++];
        const QChar letter = m_currentDrive.at(0);
        m_scannedLetters += letter + QStringLiteral(": ");
        if (!platform::isDriveReady(letter))
            continue;
        platform::DiskGeometry g;
        m_clusterSize = platform::diskGeometry(letter, &g) ? qint64(g.clusterSize()) : 0;
        m_scanning = true;
        m_lblNotYet->setText(QStringLiteral(
            "Collecting statistics ... standby.  Press Esc or click Abort to stop."));
        m_btAbort->show();
        m_pnlNotYet->show();
        placeNotYet();
        // scan, first half: the walk runs in steps; driveFinished is the second half.
        m_statusBar->clearMessage();
        disenable(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_walk = std::make_unique<scan::SteppedWalk>(m_collector->walker());
        m_collector->walker().callbacks().progress = [this](const QString& folder) {
            m_statusBar->showMessage(QStringLiteral("Processing drive ") + m_currentDrive +
                                     QStringLiteral(" ... standby : ") + folder);
        };
        connect(m_walk.get(), &scan::SteppedWalk::finished, this, &TfrmStatistics::driveFinished);
        m_walk->startDrives({letter.toUpper()});
        return;
    }
    // The collection is over.
    m_btAbort->hide();
    m_lblNotYet->setText(QStringLiteral("Statistics haven't been collected yet!"));
    OvcNotebook1PageChanged(m_notebook->currentIndex());
    if (m_rotationWasOn)
        m_timer1.start();
    emit collectionDone();
}

void TfrmStatistics::driveFinished() {
    m_walk.reset();
    scan();
    m_collected = true;
    m_scanning = false;
    if (m_abortRequested)
        setWindowTitle(QStringLiteral("File Statistics for drive(s) incomplete ... aborted."));
    else
        setWindowTitle(stats::completedCaption(m_scannedLetters));
    nextDrive();
}

void TfrmStatistics::scan() {
    if (m_chosen.size() == 1)
        doOverHang();
    doFileTypes();
    doFileSizes();
    doFileAttrs();
    fillDateGrids();
    doFileTimes();
    doFileAges();
    SortbyExtensionClick(stats::TypeSort::Extension);
    const stats::StatTotals& t = m_collector->totals();
    QString message = stats::finishedText(t.filesProcessed, t.filesCounted, m_abortRequested);
    const QString skipped = scan::skippedText(m_collector->skippedCount());
    if (!skipped.isEmpty())
        message += QStringLiteral("; ") + skipped;
    m_statusBar->showMessage(message);
    QApplication::restoreOverrideCursor();
    disenable(true);
}

void TfrmStatistics::disenable(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_btPrint, m_btOK, m_pckStatDrive, m_button1})
        w->setEnabled(enabled);
    for (auto* group : {&m_rgSpace, &m_rgTypes, &m_rgSizes, &m_rgDates[0], &m_rgDates[1],
                        &m_rgDates[2], &m_rgDates[3]})
        for (QRadioButton* b : *group)
            b->setEnabled(enabled);
}

bool TfrmStatistics::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_statusBar && event->type() == QEvent::MouseButtonRelease && !m_scanning &&
        m_collector && m_collector->skippedCount() > 0)
        msgbox::infoBox(
            scan::skippedReport(m_collector->skippedFolders(), m_collector->skippedCount()));
    return QDialog::eventFilter(watched, event);
}

void TfrmStatistics::btAbortClick() {
    if (!m_scanning || !m_walk)
        return;
    m_walk->pause();
    walkabort::btAbortClick(
        [this] {
            m_abortRequested = true;
            m_collector->abort();
        },
        m_btAbort);
    m_walk->resume();
}

// ---- printing ------------------------------------------------------------------------------

void TfrmStatistics::btPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printPage(printer);
}

bool TfrmStatistics::printPage(QPrinter& printer) {
    if (m_notebook->currentIndex() == pgTypes && m_rgTypes[0]->isChecked()) {
        QList<int> widths;
        for (int c = 0; c < stats::kTypeColumns; ++c)
            widths << m_gridTypes->columnWidth(c);
        return PrintGrid(printer, m_typeGrid, widths,
                         QStringLiteral("File types for drive ") + m_currentDrive);
    }
    changeBackgroundColor(Qt::white);
    const QPixmap image = grab();
    changeBackgroundColor(palette().color(QPalette::Button));
    return PrintImage(printer, image);
}

void TfrmStatistics::changeBackgroundColor(const QColor& colour) {
    const bool white = colour == QColor(Qt::white);
    setStyleSheet(white ? QStringLiteral("QDialog, QTabWidget > QWidget, QGroupBox { background: "
                                         "white; }")
                        : QString());
}
