#pragma once

#include "app/grid.h"
#include "app/placements.h"
#include "scan/search.h"
#include "scan/ui/walkabort.h"

#include <QDialog>
#include <QList>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class DriveCheckList;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;
namespace scan {
class SteppedWalk;
}

// What the search windows (duplicate and large files, files in a range of dates, folder hogs,
// quick clean) share: the search object and its walk in steps from the event loop, the window's
// state while it scans, Abort (the walk waits while the notice is up), closing (with the
// window's placement stored), showing, resizing and the folders the walk could not read.  Each
// window keeps its top panel, its buttons, its sort menu and its texts, and supplies the parts
// below.
class SearchWindow : public QDialog {
    Q_OBJECT
public:
    ~SearchWindow() override;

    // The result grid (row 0 is the header).
    const TextGrid& resultGrid() const { return m_grid; }
    // True while a walk runs (or what follows it, such as a content comparison).
    bool scanning() const { return m_scanning; }

    // The folders the last scan could not read, and their list as the window shows it when
    // the status line is clicked.
    qint64 skippedCount() const { return m_skippedCount; }
    QString skippedList() const;

signals:
    // A scan has ended and its result is shown (after the "No files found." box, if any).
    void scanDone();

public slots:
    // Every way of closing ends here (Close, the close box, Esc, a disposal).  During a scan
    // the window either refuses or stops the walk without a word, as its options say; the
    // placement is stored when the window has one.
    void done(int result) override;
    // The Abort button: the walk waits while the notice is up, then ends; what it found stays.
    void btAbortClick();

protected:
    enum class CloseDuringScan { Refused, StopsTheWalk };
    struct Options {
        // Where the placement is stored; none: the window is centred and nothing is stored.
        std::optional<PlacementWindow> placement;
        CloseDuringScan close = CloseDuringScan::StopsTheWalk;
        walkabort::Notice notice = walkabort::Notice::Warning;
        // A drive whose root cannot be opened is reported in an error box.
        bool reportDriveFailure = true;
    };
    // takeResult's answer when the scan goes on after the walk (the window calls finishScan).
    static constexpr int kStillBusy = -1;

    SearchWindow(QWidget* parent, const QString& objectName, const Options& options);

    // The window's column of panels (no margins), and a row for buttons below the grid.
    QVBoxLayout* windowLayout() const { return m_layout; }
    static QHBoxLayout* buttonRow(int spacing = 6);
    // Adds the buttons to the row, none of them a default button.
    static void addButtons(QHBoxLayout* row, std::initializer_list<QPushButton*> buttons);

    // The buttons of a window with a marked result grid, named and labelled as all of them
    // have them: btAbort, btMark, btDelete ("Clean?"), btOptions, btBrowse, btDetails and
    // btClose, with Abort and the five result buttons registered below.
    void makeGridButtons();

    // Adds the status line at the window's foot: the walk's folder, the result's count and the
    // folders the walk could not read, listed on a click.
    QLabel* addStatusLine(const QString& name);
    // The parts the window made: Abort and the buttons that only show with a result.
    void setAbortButton(QPushButton* button) { m_abortButton = button; }
    void setResultButtons(const QList<QPushButton*>& buttons) { m_resultButtons = buttons; }

    // --- what the window supplies
    // Its part of showing (FormShow): the panel's values, focus, the grid cleared.
    virtual void FormShow() = 0;
    // Its inputs during a scan (on = false) and after it.
    virtual void enableInputs(bool on) = 0;
    // Takes what the search found once the walk is over; returns the rows found, or kStillBusy.
    virtual int takeResult(scan::Search& search, bool aborted) = 0;
    // The status line and the result's buttons after a scan that found `rows`.
    virtual void showFound(int rows) = 0;
    // More to do when the user aborts the walk.
    virtual void onAbort() {}
    virtual void showResultButtons(bool on);
    virtual std::optional<PlacementWindow> placementWindow() const { return m_options.placement; }

    // The grid's designed column widths (at 96 pixels per inch; the last column takes the
    // rest) and the columns widened to their texts, applied when shown, resized and filled.
    template <int N> void setColumnDesign(const int (&widths)[N], const QList<int>& fitted) {
        m_widths.assign(widths, widths + N);
        m_fitted = fitted;
    }
    void setColumnWidths();

    // --- what the piece does
    // Starts the search's walk over the drives; takeResult() gets it when the walk is over.
    void startWalk(std::unique_ptr<scan::Search> search, const QList<QChar>& letters);
    // Shows the result: widths, inputs back, status line, the box when nothing was found.
    void finishScan(int rows);
    void setScanning(bool on);
    bool walkRunning() const { return m_search != nullptr; }

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The result grid, its view (deleted before the grid goes), the top panel (its height is
    // kept when shown, for "Restore top panel") and the drive list.
    TextGrid m_grid;
    QTableView* m_gridView = nullptr;
    QWidget* m_pnlTop = nullptr;
    int m_savedPanelHeight = 0;
    DriveCheckList* m_pckDrive = nullptr;

    QPushButton* m_btAbort = nullptr;
    QPushButton* m_btMark = nullptr;
    QPushButton* m_btDelete = nullptr;
    QPushButton* m_btOptions = nullptr;
    QPushButton* m_btBrowse = nullptr;
    QPushButton* m_btDetails = nullptr;
    QPushButton* m_btClose = nullptr;

private:
    void walkEnded();
    void stopWalk();
    void showSkipped();

    Options m_options;
    std::vector<int> m_widths;
    QList<int> m_fitted;
    QVBoxLayout* m_layout = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_abortButton = nullptr;
    QList<QPushButton*> m_resultButtons;
    bool m_scanning = false;
    bool m_walkAborted = false;
    std::unique_ptr<scan::Search> m_search;
    std::unique_ptr<scan::SteppedWalk> m_walk;
    qint64 m_skippedCount = 0;
    QList<scan::SkippedFolder> m_skipped;
};
