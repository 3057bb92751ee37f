#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

// "Which drives and file types?": the statistics tool's three-page wizard.  Page 1 chooses the
// drives (never A: or B:), page 2 all files / selected types only / all but selected types,
// page 3 the types from the stored list of that choice ([Include] or [Exclude]).  exec()
// returns Accepted from Next on page 2 (all files) or from OK on page 3.
class TfrmWhichDrive : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWhichDrive(QWidget* parent = nullptr);

    // Results, read after Accepted.
    QStringList selectedDrives() const; // drive entries of page 1, in list order
    QStringList selectedTypes() const;  // file-type entries of page 3, in list order
    bool allFiles() const { return m_all; }
    bool selectedTypesOnly() const { return m_include; }
    bool allExceptSelected() const { return m_exclude; }

    // The page on view: 0, 1 or 2.
    int currentPage() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void pckDriveClick();
    void PickList1Click();
    void btNext1Click();
    void btCancel1Click();
    void btPrior2Click();
    void btNext2Click();
    void btPrior3Click();
    void btEditClick();
    void btOKClick();

    // The stored section of the chosen mode: "Include" for selected types only, else
    // "Exclude".
    QString typeSection() const;
    // Reads page 3's list from the settings file; nothing selected, OK disabled.
    void readTypeList();
    void showPage(int page);
    void copyFlags();

    QStackedWidget* m_pages = nullptr;
    QListWidget* m_pckDrive = nullptr;
    QPushButton* m_btNext1 = nullptr;
    QRadioButton* m_rbAll = nullptr;
    QRadioButton* m_rbInclude = nullptr;
    QRadioButton* m_rbExclude = nullptr;
    QPushButton* m_btNext2 = nullptr;
    QLabel* m_lblSelect = nullptr;
    QListWidget* m_pickList = nullptr;
    QLabel* m_lblOf = nullptr;
    QPushButton* m_btOK = nullptr;

    bool m_all = false;
    bool m_include = false;
    bool m_exclude = false;
};
