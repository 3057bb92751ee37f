#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// "List of folders that should not be deleted": shows, builds and edits the non-delete list.
// Showing it reads folders.txt; Build replaces the list by the folders that the registry refers
// to; Add and Delete edit it by hand.  However it closes (Close, Escape or the close box), a
// changed list is stored sorted in folders.txt, and an empty one deletes that file.  Without
// changes nothing is written.
class TfrmNoDelete : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNoDelete(QWidget* parent = nullptr);

    // The folders in the order shown.
    QStringList folders() const;
    bool modified() const { return m_modified; }

    QListWidget* ListBox1() const { return m_listBox1; }
    QLabel* lblHeading() const { return m_lblHeading; }
    QLabel* lblCount() const { return m_lblCount; }
    QLabel* lblWhen() const { return m_lblWhen; }
    QLabel* lblToday() const { return m_lblToday; }
    QPushButton* btBuild() const { return m_btBuild; }
    QPushButton* btAdd() const { return m_btAdd; }
    QPushButton* btDel() const { return m_btDel; }
    QPushButton* btClose() const { return m_btClose; }

public slots:
    void btBuildClick();
    void btAddClick();
    void btDelClick();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void updatecount();
    void updateLastDate();
    void addFolder(const QString& folder);

    bool m_loaded = false;   // folders.txt has been read into the list
    bool m_modified = false; // the list differs from what was read
    QListWidget* m_listBox1;
    QLabel* m_lblHeading;
    QLabel* m_lblCount;
    QLabel* m_lblWhen;
    QLabel* m_lblToday;
    QPushButton* m_btBuild;
    QPushButton* m_btAdd;
    QPushButton* m_btDel;
    QPushButton* m_btClose;
};
