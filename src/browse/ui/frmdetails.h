#pragma once

#include "browse/details.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TfrmFind;

// "File Details": the icon, name, type, size and clusters, the three dates, the attributes and
// the version lines of one file, which can be printed, viewed (the file viewer) or run with the
// desktop's program for it.  The lines are filled in when the window is first shown; a path
// that cannot be found leaves them empty.
class TfrmDetails : public QDialog {
    Q_OBJECT
public:
    // find: the viewer's find dialog made at start-up (for "&View").
    TfrmDetails(QWidget* parent, TfrmFind& find, const QString& path);

    const QString& path() const { return m_path; }
    // The lines of the last print.
    const QStringList& printedLines() const { return m_lb; }

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void btLaunchClick();
    void btViewClick();
    void btPrintClick();

private:
    void FormShow();
    QLabel* valueLabel(const char* name);

    TfrmFind& m_find;
    QString m_path;
    browse::FileDetails m_details;
    QLabel* m_image = nullptr;
    QLabel *m_lblFileName, *m_lblFileType, *m_lblSizeBytes, *m_lblSizeK;
    QLabel *m_lblCreate, *m_lblModify, *m_lblAccess, *m_lblAttributes;
    QPlainTextEdit* m_memo = nullptr;
    QStringList m_lb; // lb: the lines to print
    bool m_shown = false;
};

// Opens the details window on a file, modally over the owner, and frees it when it closes.
void showDetails(QWidget* owner, TfrmFind& find, const QString& path);
