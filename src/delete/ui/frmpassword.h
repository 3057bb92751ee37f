#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// "Enter Password": a password typed twice.  Changing the password empties the verify entry;
// OK is enabled only while both entries are equal.  The opener reads password() when exec()
// returns Accepted.
class TfrmPassword : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget* parent = nullptr);

    QString password() const;

    QLineEdit* edPassword() const { return m_edPassword; }
    QLineEdit* edVerify() const { return m_edVerify; }
    QPushButton* btOK() const { return m_btOK; }
    QPushButton* btCancel() const { return m_btCancel; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void passwordChanged();
    void updateOK();

    QLineEdit* m_edPassword;
    QLineEdit* m_edVerify;
    QPushButton* m_btOK;
    QPushButton* m_btCancel;
};
