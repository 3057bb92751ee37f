#pragma once

#include "clean/cachefolders.h"

#include <QDialog>
#include <QStringList>
#include <functional>

class QListWidget;
class QPushButton;
class QSpinBox;

// "Internet Browser Cache Folders": the list of browser cache folders, and the clearing of the
// files directly inside them that were not accessed for a number of days, through the deletion
// window.  The list is read from the settings file when the window is shown and stored again
// whenever it closes.
class TfrmCache : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCache(QWidget* parent = nullptr);

    // The folder browser of "&Add a folder" (tests replace it): returns the chosen folder, or
    // an empty text when the user cancelled.  Null restores the system's.
    using FolderBrowser =
        std::function<QString(QWidget* parent, const QString& title, const QString& start)>;
    static void setFolderBrowser(FolderBrowser browser);

    // The listed folders, in order.
    QStringList folders() const;

    // The files of the clearing under way (lb1); empty between clearings.
    QStringList lb1() const { return m_lb1.paths(); }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void btAddClick();
    void btDelClick();
    void btInitClick();
    void btClearClick();

private:
    void FormShow();
    void showInitWhenEmpty();

    cachefolders::ClearList m_lb1;
    QListWidget* m_listBox1 = nullptr;
    QSpinBox* m_nDays = nullptr;
    QPushButton* m_btInit = nullptr;
};
