#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;

// Editor of a stored list of file types ("File types").  The opener sets `section` ("Include"
// or "Exclude") before exec(); Close (or Esc) stores the list and ends with Accepted, the
// title bar's close box ends with Rejected and stores nothing.
class TfrmStatList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStatList(QWidget* parent = nullptr);

    QString section;

    // The entries of the list ("*.doc", TAB, description) in the order shown.
    QStringList entries() const;

    // Reads the stored list of `section` into the list.
    void FormShow();
    // Opens the extension picker and adds what it gives, leaving out entries already listed.
    void btAddClick();
    // Removes the selected entries (asking first when there are several).
    void btDeleteClick();
    // Empties the list after asking.
    void btClearClick();
    // Stores the list and ends with Accepted.
    void btCloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addEntry(const QString& entry);
    void refreshCount();

    QListWidget* m_pickList1;
    QLabel* m_lblCount;
};
