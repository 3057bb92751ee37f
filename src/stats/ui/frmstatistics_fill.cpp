// Filling the pages and charts of the statistics window from the totals.
#include "app/format.h"
#include "app/gridmodel.h"
#include "app/inifile.h"
#include "app/totals.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "platform/drives.h"
#include "scan/ui/drivechecklist.h"
#include "stats/chartdata.h"
#include "stats/ui/frmstatistics.h"
#include "stats/ui/statchart.h"

#include <QAction>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QPieSeries>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace {

int checked(const std::vector<QRadioButton*>& buttons) {
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return int(i);
    return 0;
}

const char* const kDateTitles[] = {"Accessed Date", "Created Date", "Modified Date"};

} // namespace

// ---- Space ---------------------------------------------------------------------------------

void TfrmStatistics::doDiskSize() {
    if (m_filling)
        return;
    m_filling = true;
    for (QLabel* l : m_spaceFigures)
        l->clear();
    QList<stats::DriveSpace> drives;
    for (int r = 0; r < m_pckStatDrive->count(); ++r) {
        const QString entry = m_pckStatDrive->entries().value(r);
        platform::DiskGeometry g;
        if (!m_pckStatDrive->isTicked(r) || entry.isEmpty() ||
            !platform::isDriveReady(entry.at(0)) || !platform::diskGeometry(entry.at(0), &g))
            continue;
        drives.append({entry, g.capacity(), g.freeBytes()});
    }
    m_space = stats::doDiskSize(drives);
    m_spaceDrives = int(drives.size());
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_spaceCaptions[0], m_spaceCaptions[1], m_spaceCaptions[2],
                                         m_spaceKeys[0], m_spaceKeys[1]})
        w->setVisible(m_space.shown);
    if (!m_space.shown) {
        m_chartSpaceBar->hide();
        m_chartSpacePie->hide();
        m_scrollBar1->hide();
        m_filling = false;
        return;
    }
    m_spaceFigures[0]->setText(m_space.total);
    m_spaceFigures[1]->setText(m_space.free);
    m_spaceFigures[2]->setText(m_space.used);
    m_spaceFigures[1]->setStyleSheet(m_space.freeRed ? QStringLiteral("color: red;") : QString());
    statchart::showStackedBars(m_chartSpaceBar->chart(), stats::spaceUsedBars(m_space),
                               stats::spaceFreeBars(m_space), QStringLiteral("MB"));
    connectPie(
        statchart::showPie(m_chartSpacePie->chart(), stats::spacePie(m_space), m_spaceAngle));
    const bool pie = m_rgSpace[1]->isChecked();
    m_chartSpaceBar->setVisible(!pie);
    m_chartSpacePie->setVisible(pie);
    m_scrollBar1->setVisible(pie);
    m_filling = false;
}

void TfrmStatistics::rgSpaceClick() {
    if (!m_space.shown)
        return;
    const bool pie = m_rgSpace[1]->isChecked();
    m_chartSpacePie->setVisible(pie);
    m_scrollBar1->setVisible(pie);
    m_chartSpaceBar->setVisible(!pie);
    if (pie) {
        m_timer1.start();
    } else {
        m_depth = 1;
        statchart::setBarWidth(m_chartSpaceBar->chart(), 0.2);
        m_timer2.start();
    }
}

void TfrmStatistics::Timer2Timer() {
    if (m_notebook->currentIndex() != pgSpace) {
        m_timer2.stop();
        return;
    }
    const stats::Growth g = stats::growthFor(m_spaceDrives);
    if (m_depth >= g.target) {
        m_timer2.stop();
        return;
    }
    m_depth = std::min(g.target, m_depth + g.step);
    // The bars grow wider as their depth grows.
    statchart::setBarWidth(m_chartSpaceBar->chart(), 0.2 + 0.6 * m_depth / 60.0);
}

void TfrmStatistics::connectPie(QPieSeries* pie) {
    // chartSpacePieClick: a click on a pie starts or stops the rotation.
    connect(pie, &QPieSeries::clicked, this, [this] {
        if (m_timer1.isActive())
            m_timer1.stop();
        else
            m_timer1.start();
    });
}

void TfrmStatistics::Timer1Timer() {
    static bool running = false;
    if (running)
        return;
    running = true;
    const int page = m_notebook->currentIndex();
    if (page == pgSpace && m_rgSpace[1]->isChecked())
        m_scrollBar1->setValue((m_scrollBar1->value() + 1) % 361);
    else if (page == pgTypes && !m_rgTypes[0]->isChecked())
        m_scrollBar2->setValue((m_scrollBar2->value() + 1) % 361);
    running = false;
}

// ---- Deleted -------------------------------------------------------------------------------

void TfrmStatistics::showFilesDeleted() {
    const stats::DeletedTexts d = stats::showFilesDeleted(readTotals(settingsFile()));
    const QString texts[6] = {d.deletedFiles, d.deletedBytes,  d.zippedFiles,
                              d.zippedBytes,  d.recycledFiles, d.recycledBytes};
    for (int i = 0; i < 6; ++i)
        m_deletedFields[size_t(i)]->setText(texts[i]);
    m_lblSince1->setText(d.deletedSince);
    m_lblZipSince->setText(d.zippedSince);
}

void TfrmStatistics::Button1Click() {
    if (!msgbox::askYesNo(QStringLiteral("Reset cumulative totals?")))
        return;
    IniFile ini = settingsFile();
    const Result<> reset = resetTotals(ini);
    if (!reset)
        msgbox::errorBox(reset.message());
    showFilesDeleted();
}

// ---- Types ---------------------------------------------------------------------------------

void TfrmStatistics::doFileTypes() {
    stats::StatTotals& t = m_collector->totals();
    stats::presetSelectedTypes(t.types, m_collector->filter());
    stats::fillTypeGrid(m_typeGrid, t.types);
    m_typeModel->refresh();
    rgTypesClick();
}

void TfrmStatistics::SortbyExtensionClick(stats::TypeSort command) {
    if (m_typeGrid.rowCount() - 1 >= 2) {
        const WaitCursor wait;
        stats::sortTypeGrid(m_typeGrid, command);
        m_typeModel->refresh();
        m_sortTicked = int(command);
    }
    // With fewer than two rows nothing is sorted, and the tick stays where it was.
    for (int i = 0; i < 5; ++i)
        m_sortItems[size_t(i)]->setChecked(i == m_sortTicked);
}

void TfrmStatistics::rgTypesClick() {
    const int view = checked(m_rgTypes);
    const bool listing = view == 0;
    m_btSort->setVisible(listing);
    m_gridTypes->setVisible(listing);
    m_chartTypes->setVisible(!listing);
    m_scrollBar2->setVisible(!listing);
    if (listing) {
        m_timer1.stop();
        return;
    }
    static const stats::TypeSort kSorts[] = {stats::TypeSort::Size, stats::TypeSort::Files,
                                             stats::TypeSort::Average};
    static const int kColumns[] = {stats::tcSize, stats::tcFiles, stats::tcAverage};
    SortbyExtensionClick(kSorts[view - 1]);
    connectPie(statchart::showPie(m_chartTypes->chart(),
                                  stats::typePie(m_typeGrid, kColumns[view - 1]), m_typesAngle));
    m_chartTypes->chart()->setMargins(QMargins(2, 2, 2, 2));
}

// ---- Sizes, dates, attributes, overhang, time ----------------------------------------------

void TfrmStatistics::doFileSizes() {
    stats::fillGridSizes(m_sizeGrid, m_collector->totals());
    m_sizeModel->refresh();
    rgSizesClick();
}

void TfrmStatistics::rgSizesClick() {
    const int view = checked(m_rgSizes);
    m_gridSizes->setVisible(view == 0);
    m_chartSizes->setVisible(view != 0);
    if (view == 0)
        return;
    const bool inMB = view == 1;
    const stats::Series bars = stats::sizeBars(*totals(), inMB);
    statchart::showColouredBars(m_chartSizes->chart(), bars, stats::sizeChartTitle(inMB),
                                stats::percentages(bars));
}

void TfrmStatistics::fillDateGrids() {
    for (int k = 0; k < 3; ++k) {
        stats::fillGridDates(m_dateGrids[size_t(k)], QString::fromLatin1(kDateTitles[k]), *totals(),
                             stats::TimeKind(k));
        if (m_dateModels[size_t(k)])
            m_dateModels[size_t(k)]->refresh();
    }
    stats::fillCombinedGridDates(m_dateGrids[3], *totals());
    if (m_dateModels[3])
        m_dateModels[3]->refresh();
}

void TfrmStatistics::doFileAges() {
    const stats::StatTotals& t = *totals();
    for (int k = 0; k < 3; ++k) {
        const bool inMB = checked(m_rgDates[size_t(k)]) != 2;
        const stats::Series bars =
            stats::addAgeBars(inMB ? t.ageBytes[size_t(k)] : t.ageCount[size_t(k)], inMB, false, 0);
        statchart::showColouredBars(m_dateCharts[size_t(k)]->chart(), bars,
                                    stats::ageChartTitle(stats::TimeKind(k), inMB),
                                    stats::percentages(bars));
    }
    const bool inMB = checked(m_rgDates[3]) != 2;
    statchart::showGroupedBars(
        m_dateCharts[3]->chart(), stats::combinedBars(t, inMB),
        {QStringLiteral("Access"), QStringLiteral("Created"), QStringLiteral("Modified")},
        QStringLiteral("Combination Access/Created/Modified Chart"));
}

void TfrmStatistics::rgAccessClick() {
    const int page = m_notebook->currentIndex() - pgAccess;
    if (page < 0 || page > 3)
        return;
    const bool listing = checked(m_rgDates[size_t(page)]) == 0;
    m_dateViews[size_t(page)]->setVisible(listing);
    m_dateCharts[size_t(page)]->setVisible(!listing);
    if (!listing)
        doFileAges();
}

void TfrmStatistics::doFileAttrs() {
    const stats::StatTotals& t = *totals();
    for (int r = 0; r < 4; ++r) {
        m_attrCounts[size_t(r)]->setText(FormatThousands(t.attrCount[size_t(r)]));
        m_attrBytes[size_t(r)]->setText(FormatThousands(t.attrBytes[size_t(r)]));
    }
    statchart::showPercentBars(m_chartAttrFiles->chart(), stats::attributeBars(t, false), 4);
    statchart::showPercentBars(m_chartAttrSize->chart(), stats::attributeBars(t, true), 4);
}

void TfrmStatistics::doOverHang() {
    const stats::OverhangTexts o = stats::doOverHang(*totals(), m_clusterSize);
    if (!o.applicable) {
        setOverhangEnabled(false);
        return;
    }
    for (int k = 0; k < stats::kClusterSizes; ++k) {
        m_wasteLabels[size_t(k)]->setText(o.waste[size_t(k)]);
        m_arrows[size_t(k)]->setVisible(k == o.arrowRow);
    }
    m_pnlNotApplicable->setVisible(o.arrowRow < 0);
    m_pnlSummary->show();
    m_lblTotalSizes->setText(o.totalSizes);
    m_lblNumFiles->setText(o.filesLine);
    if (o.arrowRow >= 0)
        m_lblActual->setText(o.actualSpace);
    statchart::showPercentBars(m_chartOverhang->chart(), stats::overhangBars(*totals()), 3);
}

void TfrmStatistics::doFileTimes() {
    const stats::StatTotals& t = *totals();
    statchart::showLines(
        m_chartTime->chart(),
        {stats::hourLine(t.modifiedHourCount, stats::kRed),
         stats::hourLine(t.createdHourCount, stats::kLime)},
        {QStringLiteral("Modified time"), QStringLiteral("Created time")},
        QStringLiteral("Time of day file was modified/created (access time is not recorded by "
                       "Win95)"),
        QStringLiteral("Numer of files"));
}

void TfrmStatistics::showNote(int button) {
    static const char* const kNotes[] = {
        "Note: prior versions of Windows and DOS did not store the file access date.  Files never "
        "recorded as being accessed are probably old files that were converted to Windows 95.",
        "Files never recorded as being created are probably old files that were converted to "
        "Windows 95.  Note: prior versions of Windows and DOS did not store the file creation date "
        "independent of the last file modification or file write date.",
        "Note: prior versions of Windows and DOS treated the file creation date synonomously  with "
        "the last file modification date.  Therefore all files have a file modification date.",
        "This chart combines the Accessed, Created and Modified charts",
        "Note: Sometimes software vendors use the file modified time to indicate the version "
        "number of a product. For example, a file with the time of 02:10 am would represent "
        "version 2.1 of a certain product."};
    if (button >= 1 && button <= 5)
        msgbox::infoBox(QString::fromLatin1(kNotes[button - 1]));
}
