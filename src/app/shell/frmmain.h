#pragma once

#include "app/shell/toolstate.h"

#include <QDialog>
#include <QMap>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

// The main window: a column of buttons, each opening one tool.  Before it is first shown it reads
// the default zip folder and builds the protected-folder lists.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    enum class Tool {
        Duplicate,  // duplicate search
        FileHog,    // large-file search
        Files,      // files accessed
        DirHogs,    // folder hogs
        Statistic,  // statistics (not modal, lives for the whole run)
        Browse,     // browser
        Clean,      // quick clean
        ClearCache, // internet cache
        Zip,        // unzip archives
        Build,      // non-delete list
    };

    // Makes a tool's window; the main window passes itself, the owner of what the tools share.
    // A tool opened modally makes a QDialog.  A tool whose window is not there has no factory:
    // its button stays visible but disabled.
    using ToolFactory = std::function<QWidget*(TfrmMain& main)>;
    static void setToolFactory(Tool tool, ToolFactory factory);
    static bool hasTool(Tool tool);

    explicit TfrmMain(QWidget* parent = nullptr);

    QPushButton* button(const QString& name) const;

    // 1 while the duplicate window is opened for the duplicate search, 0 for the large files.
    int duplicateMode() const { return m_duplicateMode; }
    // What lives for the whole run and is handed to the tool windows.
    ToolState& toolState() { return m_toolState; }

    // True when the non-delete list exists; otherwise says so in an error box.
    bool checkExceptionList();
    // Rebuilds the three protected-folder lists, and warns once about the lines of the
    // non-delete list that name no existing folder.
    void GetSearchPath();
    // Reads the default zip folder from the settings file.
    void getDefaultZipPath();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void btDuplicateClick();
    void btFileHogClick();
    void btFilesClick();
    void btDirHogsClick();
    void btStatisticClick();
    void btBrowseClick();
    void btCleanClick();
    void btClearCacheClick();
    void btZipClick();
    void btBuildClick();
    void btReachClick();
    void btHelpClick();
    void btCloseClick();

private:
    QPushButton* addButton(const QString& name, const QString& caption, const QString& hint);
    void FormShow();
    void updateButtons();
    // Opens a tool modally (after checkExceptionList when guarded) and frees it after.
    void launch(Tool tool, bool guarded);
    void makeStatistics();

    QMap<QString, QPushButton*> m_buttons;
    QList<QPushButton*> m_buttonOrder;              // top to bottom
    QList<QPair<QPushButton*, Tool>> m_toolButtons; // the buttons that open a tool
    QLabel* m_lblProduct = nullptr;
    QLabel* m_lblMaker = nullptr;
    bool m_lowColour = false;
    int m_duplicateMode = 1;
    ToolState m_toolState;
    QPointer<QWidget> m_statistics; // lives for the whole run once made
    QString m_listWarning;          // the warning about the non-delete list last shown
};
