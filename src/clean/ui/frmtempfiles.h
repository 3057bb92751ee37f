#pragma once

#include "clean/temppatterns.h"

#include <QDialog>

class QListWidget;

// "Temporary file extensions": the editor of the temporary-file patterns that quick clean
// offers.  Showing it reads the list from the settings file; every way of closing it (Close,
// Esc, the close box) stores the list again.
class TfrmTempFiles : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTempFiles(QWidget* parent = nullptr);

    // The items of the list ("*.tmp", TAB, description), in the order shown.
    QStringList items() const { return m_list.items(); }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void btAddClick();
    void btDeleteClick();
    void btClearClick();
    void btDefaultsClick();

private:
    void FormShow();
    void showList();

    tempfiles::PatternList m_list;
    QListWidget* m_pickList1 = nullptr;
};
