#pragma once

#include "app/grid.h"
#include "search/folderhogs.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class DriveCheckList;
class MarkedGridModel;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
namespace scan {
class SteppedWalk;
}

// "Folder Hogs": how much space the folders of the ticked drives take, either the main folders
// (those directly below a drive's root, each with its whole subtree) or every folder (each with
// the files directly in it), largest first.  A listed folder can be handed to the folder
// deletion window.  The main window gives the grid's sort directions, which live for the whole
// run.  The search lives in search/folderhogs.h.
class TfrmDirHog : public QDialog {
    Q_OBJECT
public:
    // Opens the browser on a folder; without one Browse stays disabled.
    using BrowseFolder = std::function<void(QWidget* owner, const QString& folder)>;

    TfrmDirHog(QWidget* parent, folderhogs::SortDirections& sortDirections,
               BrowseFolder browse = nullptr);
    ~TfrmDirHog() override;

    const TextGrid& resultGrid() const { return m_grid; }
    // The copy list: the abort notice first when the scan was stopped, then the rows in
    // descending text order.
    const QStringList& copyList() const { return m_copyList; }
    bool scanning() const { return m_scanning; }
    QString printTitle() const;
    QMenu* popupMenu() const { return m_popup; }
    QTableView* gridView() const { return m_gridView; }

signals:
    // A scan has ended and its result is shown (after the "No files found." box, if any).
    void scanDone();

public slots:
    // Closing is always allowed; a walk under way is stopped first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void btTopClick();
    void btAllClick();
    void btAbortClick();
    void btDeleteClick();
    void btBrowseClick();
    void btPrintClick();
    void btClipClick();
    void sortGrid(int column);

private:
    QWidget* buildTopPanel();
    QLayout* buildButtons();
    void buildPopupMenu();
    void FormShow();
    void clearGrid();
    void scan(folderhogs::Mode mode);
    void scanFinished();
    void setScanning(bool on);
    void showResultButtons(bool on);
    void setColumnWidths();
    void tickSortItem(int column);
    // The grid row of the selected data row; 0 when none is selected.
    int selectedRow() const;

    folderhogs::SortDirections& m_sortDirections;
    BrowseFolder m_browse;
    TextGrid m_grid;
    QStringList m_copyList;
    bool m_scanning = false;
    bool m_aborted = false;
    int m_savedPanelHeight = 0;
    std::unique_ptr<folderhogs::Search> m_search;
    std::unique_ptr<scan::SteppedWalk> m_walk;

    QWidget* m_pnlTop = nullptr;
    DriveCheckList* m_pckDrive = nullptr;
    MarkedGridModel* m_model = nullptr;
    QTableView* m_gridView = nullptr;
    QLabel* m_status = nullptr;

    QPushButton* m_btTop = nullptr;
    QPushButton* m_btAll = nullptr;
    QPushButton* m_btAbort = nullptr;
    QPushButton* m_btDelete = nullptr;
    QPushButton* m_btOptions = nullptr;
    QPushButton* m_btBrowse = nullptr;
    QPushButton* m_btClose = nullptr;

    QMenu* m_popup = nullptr;
    QAction* m_shrink = nullptr;
    QAction* m_restore = nullptr;
    std::array<QAction*, folderhogs::kColumnCount> m_sortItems{};
};
