#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class QToolButton;

// "Archive Zip File Options": the folder for zip archives and the comment put into each one.
// exec() returns Accepted for OK and Rejected for Cancel; however it closes (OK, Cancel, Escape
// or the close box) the dialog stores the folder and the comment in the settings file and makes
// the folder the default zip folder.  Showing it reads both from the settings file again.
class TfrmZipOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZipOptions(QWidget* parent = nullptr);

    // The comment the dialog held when it closed.
    QString comment() const { return m_comment; }

    QLineEdit* Edit1() const { return m_edit1; }
    QLineEdit* Edit2() const { return m_edit2; }
    QToolButton* SpeedButton1() const { return m_speedButton1; }
    QPushButton* btOK() const { return m_btOK; }
    QPushButton* btCancel() const { return m_btCancel; }

    static constexpr int kMaxCommentLength = 80;

public slots:
    void SpeedButton1Click();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readSettings();
    void writeSettings();

    QString m_comment;
    bool m_loaded = false; // the settings have been read into the fields
    QLineEdit* m_edit1;
    QLineEdit* m_edit2;
    QToolButton* m_speedButton1;
    QPushButton* m_btOK;
    QPushButton* m_btCancel;
};
