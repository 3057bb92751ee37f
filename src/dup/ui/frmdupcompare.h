#pragma once

#include "app/grid.h"
#include "dup/pairs.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>

namespace dups {
class PairCheck;
struct PairCheckProgress;
struct PairCheckResult;
} // namespace dups
class PairArrow;
class ProtectedFolders;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPrinter;
class QPushButton;
class TfrmDup;
class TfrmFind;

// "Compare file pairs": two rows of the duplicate window's result side by side (the selected
// row on the left, the row after it on the right), with name, folder, size, type, the three
// dates, attributes, icon, version lines and, on request, the checksums of both files; every
// value that differs between the two is highlighted, and arrows show which file's dates are
// the later ones.  "Next pair" and "Prev pair" (PgDn, PgUp) step to the next two rows of one
// group of the search; Mark toggles a row's mark in the duplicate window.
//
// The checksums run on a thread of their own: the CRC labels show how far they are, "&CRC"
// reads "&Cancel" meanwhile and stops them, and stepping to another pair, closing or hiding
// stops them too.
//
// The main window makes it once and keeps it; a duplicate window shows it without waiting
// (showFor) and lends it its rows, copied when it is shown.  Close and Esc hide it.
class TfrmDupCompare : public QDialog {
    Q_OBJECT
public:
    // protection: the protected folders, for the "In Non-Delete List" notes.  find: the
    // viewer's find dialog; without it View stays disabled.
    TfrmDupCompare(QWidget* parent, ProtectedFolders& protection, TfrmFind* find = nullptr);
    ~TfrmDupCompare() override;

    // Copies the source's rows and shows the pair at its selected row.  While it shows the
    // source's rows the window belongs to the source window, so that it can be used beside it
    // while that one is modal.
    void showFor(TfrmDup* source);
    // The source window goes: the window hides, returns to its owner and forgets the source.
    void sourceGone(const TfrmDup* source);
    TfrmDup* source() const;

    // What "&Browse" and "Bro&wse" do with the path of their side's file; the buttons stay
    // disabled until it is set.
    void setBrowse(std::function<void(const QString& path)> browse);

    // The row of the copied grid shown on the left (the right side shows the next one).
    int selectedRow() const { return m_row; }
    // The copy of the source's rows taken when the window was shown.
    const TextGrid& copyGrid() const { return m_grid; }
    // What the left (0) or right (1) side shows.
    const dups::PairSide& side(int index) const { return m_sides[size_t(index)].data; }

    // True while the checksums of the pair are being computed.
    bool checksumsRunning() const;

    // Prints the window's picture on a printer that is set up already; false when the printer
    // could not be used.
    bool printWindow(QPrinter& printer);

private slots:
    void sbR1Click();
    void sbL1Click();
    void btComputeClick();
    void btPrintClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The controls of one side (their names end in 1 on the left, 2 on the right).
    struct Side {
        dups::PairSide data;
        bool hasRow = false;
        QGroupBox* group = nullptr;
        QLabel* image = nullptr;
        QLabel *folder = nullptr, *sizeBytes = nullptr, *type = nullptr, *create = nullptr;
        QLabel *modify = nullptr, *access = nullptr, *attributes = nullptr, *crc = nullptr;
        QLabel* del = nullptr;
        QListWidget* versions = nullptr;
        QPushButton *mark = nullptr, *launch = nullptr, *view = nullptr, *browse = nullptr;
    };

    QWidget* buildSide(Side& side, int number);
    QWidget* buildButtonPanel();
    void connectSide(int index);

    // Fills both sides from the copied grid's rows `row` and `row` + 1 and highlights.
    void showPair(int row);
    void fillSide(Side& side, int row);
    void highlight();
    void layOut();
    void showProtection(Side& side);
    // Starts the checksums of the pair shown; they end in checksumsFinished().  A check of
    // another pair still running is stopped first, and this one starts once it has ended.
    void startChecksums();
    // Stops a running check; its labels are cleared when it has ended.
    void stopChecksums();
    void checksumsProgressed(const dups::PairCheckProgress& done);
    // Shows the checksums in the CRC labels, or the error box when one failed.
    void checksumsFinished(const dups::PairCheckResult& result);
    void applyBackgrounds();
    void placeArrows();
    void stepTo(std::optional<int> row);
    // True when the source still shows the copied row `row` (a new scan changes its rows).
    bool sourceHasRow(int row) const;
    void markRow(int row);

    ProtectedFolders& m_protection;
    TfrmFind* m_find;
    QWidget* m_owner;
    QPointer<TfrmDup> m_source;
    TextGrid m_grid; // grid: the copy of the source's rows
    int m_row = 0;
    std::array<Side, 2> m_sides;
    bool m_printing = false;
    std::function<void(const QString&)> m_browse;
    dups::PairCheck* m_check = nullptr;
    // The running check was stopped: what it reports no longer counts.
    bool m_checkStopped = false;
    // Start a check for the pair shown once the stopped one has ended.
    bool m_checkAgain = false;

    PairArrow* m_imCreate = nullptr;
    PairArrow* m_imModify = nullptr;
    PairArrow* m_imAccess = nullptr;
    QPushButton* m_sbL1 = nullptr;
    QPushButton* m_sbR1 = nullptr;
    QPushButton* m_btCompute = nullptr;
    QCheckBox* m_cbCRC = nullptr;
    QPushButton* m_btPrint = nullptr;
    QPushButton* m_btClose = nullptr;
};
