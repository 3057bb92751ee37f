#pragma once

#include <QDialog>
#include <QMap>
#include <QPrinter>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class TFileViewer;
class TfrmFind;

// The file viewer ("View File : " + the file name): shows a file read-only as text or as a
// hexadecimal dump, with search through the shared find dialog, go to line, tab expansion and
// tab size, a fixed-pitch font, printing and copying.  "Peek at strings" writes the readable
// runs of the file to a temporary file and shows that in a second viewer, which lacks that
// button and the hex mode; the temporary file goes when that viewer closes.
class TfrmView : public QDialog {
    Q_OBJECT
public:
    enum class Kind { File, Strings };

    // fileName: a full path, or a name relative to the current folder.  find: the find dialog
    // made at start-up.
    TfrmView(QWidget* parent, TfrmFind& find, const QString& fileName, Kind kind = Kind::File);
    ~TfrmView() override;

    TFileViewer* viewer() const { return m_viewer; }
    const QString& fileName() const { return m_fileName; }
    // The texts of the five sections of the status header.
    QStringList statusTexts() const;
    QAction* action(const QString& name) const;
    // Refreshes the enabled states of the menu items.
    void updateMenus();

    // Opens another file in this viewer (as "&Open..." does).
    void openFile(const QString& fileName);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void btStringsClick();
    void FileOpenClick();
    void PrintClick();
    void PrintSetupClick();
    void FindClick();
    void FindNextClick();
    void GoToLineClick();
    void TabSizeClick();
    void FontClick();
    void HexModeClick();
    void ViewerStatus();

private:
    QMenuBar* buildMenus();
    QWidget* buildHeader();
    QLayout* buildButtons();
    void loadFile(const QString& fileName);
    void setHex(bool on);
    void search(bool global, bool fromDialog);

    TfrmFind& m_find;
    QString m_fileName;
    Kind m_kind;
    TFileViewer* m_viewer = nullptr;
    QList<QLabel*> m_header;
    QRadioButton* m_rbAscii = nullptr;
    QRadioButton* m_rbHex = nullptr;
    QPushButton* m_btStrings = nullptr;
    QMap<QString, QAction*> m_actions;
    QPrinter m_printer;
    bool m_placed = false;
};

// Opens the viewer on a file, modally over the owner, and frees it when it closes.
void viewFile(QWidget* owner, TfrmFind& find, const QString& path);
