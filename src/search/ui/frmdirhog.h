#pragma once

#include "scan/ui/searchwindow.h"
#include "search/folderhogs.h"

#include <QStringList>
#include <array>
#include <functional>

class DriveCheckList;
class MarkedGridModel;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

// "Folder Hogs": how much space the folders of the ticked drives take, either the main folders
// (those directly below a drive's root, each with its whole subtree) or every folder (each with
// the files directly in it), largest first.  A listed folder can be handed to the folder
// deletion window.  The main window gives the grid's sort directions, which live for the whole
// run.  The search lives in search/folderhogs.h.
class TfrmDirHog : public SearchWindow {
    Q_OBJECT
public:
    // Opens the browser on a folder; without one Browse stays disabled.
    using BrowseFolder = std::function<void(QWidget* owner, const QString& folder)>;

    TfrmDirHog(QWidget* parent, folderhogs::SortDirections& sortDirections,
               BrowseFolder browse = nullptr);
    ~TfrmDirHog() override;

    QString printTitle() const;
    QMenu* popupMenu() const { return m_popup; }
    QTableView* gridView() const { return m_gridView; }

protected:
    void FormShow() override;
    void enableInputs(bool on) override;
    int takeResult(scan::Search& search, bool aborted) override;
    void showFound(int rows) override;
    void onAbort() override;

private slots:
    void btTopClick();
    void btAllClick();
    void btDeleteClick();
    void btBrowseClick();
    void btPrintClick();
    void btClipClick();
    void sortGrid(int column);

private:
    QWidget* buildTopPanel();
    QLayout* buildButtons();
    void buildPopupMenu();
    void clearGrid();
    void scan(folderhogs::Mode mode);
    void tickSortItem(int column);
    // The grid row of the selected data row; 0 when none is selected.
    int selectedRow() const;

    folderhogs::SortDirections& m_sortDirections;
    BrowseFolder m_browse;
    // The copy list: the abort notice first when the scan was stopped, then the rows in
    // descending text order.
    QStringList m_copyList;
    bool m_aborted = false;

    MarkedGridModel* m_model = nullptr;
    QLabel* m_status = nullptr;

    QPushButton* m_btTop = nullptr;
    QPushButton* m_btAll = nullptr;

    QMenu* m_popup = nullptr;
    QAction* m_shrink = nullptr;
    QAction* m_restore = nullptr;
    std::array<QAction*, folderhogs::kColumnCount> m_sortItems{};
};
