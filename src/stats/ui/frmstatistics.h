#pragma once

#include "app/grid.h"
#include "stats/statpages.h"
#include "stats/statscan.h"

#include <QDate>
#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class DriveCheckList;
class GridModel;
class QAction;
class QChart;
class QChartView;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPieSeries;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStatusBar;
class QTabWidget;
class QTableView;
class QToolButton;
namespace scan {
class SteppedWalk;
}

// The statistics window: one collection over the drives chosen in the drive and file-type
// dialog fills eleven pages of grids, figures and charts.  It lives for the whole run and is
// shown without being modal; "Close" hides it (or, during a collection, stops the collection),
// so the last collection's pages are there when it is shown again.  The collection walks each
// drive in steps from the event loop; the counting is stats::Collector.
class TfrmStatistics : public QDialog {
    Q_OBJECT
public:
    // `today` tells the day the ages are counted from when a collection starts.
    explicit TfrmStatistics(QWidget* parent = nullptr,
                            std::function<QDate()> today = &QDate::currentDate);
    ~TfrmStatistics() override;

    enum Page {
        pgSpace,
        pgDeleted,
        pgTypes,
        pgSizes,
        pgOverhang,
        pgAccess,
        pgCreated,
        pgModified,
        pgCombined,
        pgAttribute,
        pgTime,
        kPages
    };

    bool collected() const { return m_collected; }
    bool scanning() const { return m_scanning; }
    const stats::StatTotals* totals() const;
    const TextGrid& typeGrid() const { return m_typeGrid; }
    QTabWidget* notebook() const { return m_notebook; }
    // Prints the page on view on a printer that is set up already.
    bool printPage(QPrinter& printer);

signals:
    // A collection has ended (all its drives, or aborted).
    void collectionDone();

public slots:
    void btOKClick();
    void btAbortClick();
    void btPrintClick();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    // A click on the status bar lists the folders the collection could not read.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct DatePage; // the Access, Created, Modified and Combined pages

    // Building (frmstatistics_pages.cpp).
    QWidget* buildSpacePage();
    QWidget* buildDeletedPage();
    QWidget* buildTypesPage();
    QWidget* buildSizesPage();
    QWidget* buildOverhangPage();
    QWidget* buildDatePage(int index);
    QWidget* buildAttributePage();
    QWidget* buildTimePage();
    QTableView* makeGridView(QWidget* parent, const QString& name, TextGrid& grid,
                             GridModel** model, const QList<int>& widths);
    QWidget* viewChoice(QWidget* parent, const QString& name, const QStringList& captions,
                        int checked, std::vector<QRadioButton*>& buttons);

    // Collecting.
    void FormCreate();
    void FormShow();
    void clearVariables();
    void nextDrive();
    void driveFinished();
    void scan();
    void disenable(bool enabled);
    void setOverhangEnabled(bool on);
    void placeNotYet();

    // The pages.
    void OvcNotebook1PageChanged(int page);
    void doDiskSize();
    void showFilesDeleted();
    void Button1Click();
    void doFileTypes();
    void doFileSizes();
    void doFileAttrs();
    void doOverHang();
    void doFileAges();
    void doFileTimes();
    void fillDateGrids();
    void SortbyExtensionClick(stats::TypeSort command);
    void rgSpaceClick();
    void rgTypesClick();
    void rgSizesClick();
    void rgAccessClick();
    void connectPie(QPieSeries* pie);
    void Timer1Timer();
    void Timer2Timer();
    void changeBackgroundColor(const QColor& colour);
    void showNote(int button);

    std::function<QDate()> m_today;
    std::unique_ptr<stats::Collector> m_collector;
    std::unique_ptr<scan::SteppedWalk> m_walk;
    stats::StatTotals m_empty;
    QStringList m_chosen; // PickList1
    int m_nextDrive = 0;
    QString m_currentDrive;
    QString m_scannedLetters;
    qint64 m_clusterSize = 0;
    bool m_abortRequested = false;
    bool m_scanning = false;
    bool m_collected = false;
    bool m_rotationWasOn = false;
    bool m_filling = false; // the Space page's drive list is being handled
    int m_sortTicked = 0;   // the sort command ticked in the menu
    int m_spaceDrives = 0;  // spaceDriveCount
    int m_depth = 1;        // the Space bars' depth, 1..target (per cent)
    double m_spaceAngle = 60;
    double m_typesAngle = 0;
    stats::SpaceFigures m_space;

    TextGrid m_typeGrid{stats::kTypeColumns};
    TextGrid m_sizeGrid{3};
    std::array<TextGrid, 4> m_dateGrids{TextGrid(3), TextGrid(3), TextGrid(3), TextGrid(7)};

    QTabWidget* m_notebook = nullptr;
    QFrame* m_pnlNotYet = nullptr;
    QLabel* m_lblNotYet = nullptr;
    QPushButton* m_btAbort = nullptr;
    QPushButton* m_btOK = nullptr;
    QPushButton* m_btPrint = nullptr;
    QPushButton* m_btCancel = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QTimer m_timer1; // pie rotation
    QTimer m_timer2; // bar growth

    // Space
    DriveCheckList* m_pckStatDrive = nullptr;
    std::array<QLabel*, 3> m_spaceCaptions{};
    std::array<QLabel*, 3> m_spaceFigures{};
    std::array<QLabel*, 2> m_spaceKeys{};
    std::vector<QRadioButton*> m_rgSpace;
    QChartView* m_chartSpaceBar = nullptr;
    QChartView* m_chartSpacePie = nullptr;
    QScrollBar* m_scrollBar1 = nullptr;

    // Deleted
    std::array<QLineEdit*, 6> m_deletedFields{};
    QLabel* m_lblSince1 = nullptr;
    QLabel* m_lblZipSince = nullptr;
    QPushButton* m_button1 = nullptr;

    // Types
    GridModel* m_typeModel = nullptr;
    QTableView* m_gridTypes = nullptr;
    QChartView* m_chartTypes = nullptr;
    std::vector<QRadioButton*> m_rgTypes;
    QToolButton* m_btSort = nullptr;
    QMenu* m_sortMenu = nullptr;
    std::array<QAction*, 5> m_sortItems{};
    QScrollBar* m_scrollBar2 = nullptr;

    // Sizes
    GridModel* m_sizeModel = nullptr;
    QTableView* m_gridSizes = nullptr;
    QChartView* m_chartSizes = nullptr;
    std::vector<QRadioButton*> m_rgSizes;

    // Access, Created, Modified, Combined
    std::array<GridModel*, 4> m_dateModels{};
    std::array<QTableView*, 4> m_dateViews{};
    std::array<QChartView*, 4> m_dateCharts{};
    std::array<std::vector<QRadioButton*>, 4> m_rgDates;

    // Overhang
    QWidget* m_pageOverhang = nullptr;
    std::array<QLabel*, stats::kClusterSizes> m_wasteLabels{};
    std::array<QLabel*, stats::kClusterSizes> m_arrows{};
    QChartView* m_chartOverhang = nullptr;
    QLabel* m_pnlNotApplicable = nullptr;
    QFrame* m_pnlSummary = nullptr;
    QLabel* m_lblTotalSizes = nullptr;
    QLabel* m_lblNumFiles = nullptr;
    QLabel* m_lblActual = nullptr;

    // Attribute
    std::array<QLabel*, 4> m_attrCounts{};
    std::array<QLabel*, 4> m_attrBytes{};
    QChartView* m_chartAttrFiles = nullptr;
    QChartView* m_chartAttrSize = nullptr;

    // Time
    QChartView* m_chartTime = nullptr;
};
