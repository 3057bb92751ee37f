#pragma once

#include "app/ui/resultgrid.h"
#include "dup/dupsearch.h"
#include "scan/ui/searchwindow.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class DriveCheckList;
class HogSort;
class TfrmDupCompare;
class TfrmFind;
namespace browse {
struct SortFlags;
}
namespace dups {
class ContentSearch;
struct ContentGroups;
} // namespace dups
class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QMenu;
class QModelIndex;
class QPushButton;
class QRadioButton;
class QTableView;
class WildCardBox;

// "Find and delete duplicate files" / "Find and delete file hogs": one window for two tools.
// The main window gives the mode and the large-file grid's sort directions, which live for the
// whole run.  The user picks drives, a file pattern and
// a size range, starts the walk, marks rows of the result grid and hands the marked files to the
// deletion window, which closes this window unless it was cancelled.
//
// The walk, the found lines, grouping, sorting and marking live in dup/dupsearch.h; this class
// shows their result and forwards the user's input.
class TfrmDup : public SearchWindow {
    Q_OBJECT
public:
    // find: the program's find dialog for the viewer; without it View and Details stay disabled.
    // compare: the program's pair comparison window, which "P&airs" shows; without it the
    // button stays disabled.  browseSort: the browser's sort directions; without them Browse
    // stays disabled.
    TfrmDup(QWidget* parent, dups::Mode mode, dups::SortDirections& sortDirections,
            TfrmFind* find = nullptr, TfrmDupCompare* compare = nullptr,
            browse::SortFlags* browseSort = nullptr);
    ~TfrmDup() override;

    dups::Mode mode() const { return m_mode; }

    // The number of result rows of the last scan.
    int rowCount() const { return m_results->rows(); }
    // The grid with its marks and selection.
    MarkedResultGrid* results() const { return m_results; }

    // The marked files: the hand-over list with its count and total size.
    QStringList lbDeleted() const;
    int markedCount() const;
    qint64 markedBytes() const;

    // The title printed above the grid, made from the window's present settings.
    QString printTitle() const;

    // The options menu (also the grid's right-click menu).
    QMenu* popupMenu() const { return m_popup; }

protected:
    void FormShow() override;
    void enableInputs(bool on) override;
    int takeResult(scan::Search& search, bool aborted) override;
    void showFound(int rows) override;
    void showResultButtons(bool on) override;
    std::optional<PlacementWindow> placementWindow() const override;

private slots:
    void btScanClick();
    void btAbortClick();
    void btDeleteClick();
    void btCompareClick();
    void btOptionsClick();
    void btCloseClick();
    void rbSizeClick();
    void gridHeaderClick(int column);

private:
    void buildTopPanel();
    void buildPopupMenu();
    // Sets caption, hints, the criterion box and the Sort submenu for the mode.
    void applyMode();
    void clearGrid();
    // Starts the walk in steps; takeResult() gets what it found.
    void scan();
    // With "Same contents" ticked the rows of the walk go to the content engine first, and
    // contentsFinished() splits their groups; resultRows() then shows the rows.
    void contentsFinished(const dups::ContentGroups& result);
    int resultRows();

    const dups::Mode m_mode;
    dups::SortDirections& m_sortDirections;
    TfrmFind* m_find;
    QPointer<TfrmDupCompare> m_compare;
    browse::SortFlags* m_browseSort;
    dups::Criterion m_criterion = dups::FilenameOnly; // taken from cbDup when a scan starts
    bool m_sameContents = false;                      // taken from cbSameContents then
    bool m_contentsProven = false; // the rows' groups hold files of identical contents
    // The content comparison after the walk, while it runs.
    std::unique_ptr<dups::ContentSearch> m_contents;

    QRadioButton* m_rbLarger = nullptr;
    QRadioButton* m_rbSmaller = nullptr;
    QRadioButton* m_rbBetween = nullptr;
    QDoubleSpinBox* m_num1 = nullptr;
    QDoubleSpinBox* m_num2 = nullptr;
    QLabel* m_lblAnd = nullptr;
    QComboBox* m_cbKB1 = nullptr;
    WildCardBox* m_wild = nullptr;
    QLabel* m_lblDup = nullptr;
    QComboBox* m_cbDup = nullptr;
    QCheckBox* m_cbSameContents = nullptr;

    MarkedResultGrid* m_results = nullptr;
    MarkedGridModel* m_model = nullptr;
    QLabel* m_pnlSel = nullptr;

    QPushButton* m_btScan = nullptr;
    QPushButton* m_btCompare = nullptr;

    QMenu* m_popup = nullptr;
    ResultMenu m_menu;
    HogSort* m_hogSort = nullptr;
};
