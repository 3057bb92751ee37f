#pragma once

#include <QDialog>
#include <QString>

// Editor of a stored list of file types ("File types").  The opener sets `section` ("Include"
// or "Exclude") before exec(); Close (or Esc) stores the list and ends with Accepted, the
// title bar's close box ends with Rejected and stores nothing.
class TfrmStatList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStatList(QWidget* parent = nullptr);

    QString section;
};
