#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// "New folder name": one edit box for the name of a folder to create, OK and Cancel.  The
// opener may give it another caption and reads folderName() when exec() returns Accepted.
class TfrmGetFolderName : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetFolderName(QWidget* parent = nullptr);

    QString folderName() const;

    QLineEdit* Edit1() const { return m_edit1; }
    QPushButton* btOK() const { return m_btOK; }
    QPushButton* btCancel() const { return m_btCancel; }

private:
    QLineEdit* m_edit1;
    QPushButton* m_btOK;
    QPushButton* m_btCancel;
};
