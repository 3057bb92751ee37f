#pragma once

#include <QDialog>
#include <QString>

// "Archive Zip File Options": the folder for zip archives and the comment put into each one.
// exec() returns Accepted for OK and Rejected for Cancel; both store the folder and the comment
// in the settings file and make the folder the default zip folder.
class TfrmZipOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZipOptions(QWidget* parent = nullptr);

    // The comment the dialog held when it closed.
    QString comment() const { return m_comment; }

private:
    QString m_comment;
};
