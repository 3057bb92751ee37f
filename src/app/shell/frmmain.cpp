// TfrmMain, the main window: the tool buttons and menus; the tools are made in
// app/shell/tools.cpp and their state kept in app/shell/toolstate.h.

#include "app/shell/frmmain.h"

#include "app/foldersfile.h"
#include "app/shell.h"
#include "app/shell/frmabout.h"
#include "app/shell/helpwindow.h"
#include "app/ui/messagebox.h"
#include "app/ui/theme.h"
#include "browse/ui/frmbrowse.h"
#include "browse/ui/frmfind.h"
#include "dup/ui/frmdupcompare.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <memory>
#include <optional>

namespace {

QMap<TfrmMain::Tool, TfrmMain::ToolFactory>& factories() {
    static QMap<TfrmMain::Tool, TfrmMain::ToolFactory> map;
    return map;
}

// Tool tips appear after one second.
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 1000;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void switchOnHints() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, QColor(0xF5, 0xF9, 0x88));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(palette);
    QApplication::setStyle(new HintStyle());
}

} // namespace

void TfrmMain::setToolFactory(Tool tool, ToolFactory factory) {
    if (factory)
        factories().insert(tool, factory);
    else
        factories().remove(tool);
}

bool TfrmMain::hasTool(Tool tool) {
    return factories().contains(tool);
}

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Vastel '95"));
    // The viewer's find dialog keeps its text and options for the whole run.
    m_toolState.findDialog = new TfrmFind(this);
    // The pair comparison window is only shown and hidden by the duplicate windows.
    m_toolState.dupCompare = new TfrmDupCompare(this, shell::protection(), m_toolState.findDialog);
    m_toolState.dupCompare->setBrowse([this](const QString& path) {
        browseFile(m_toolState.dupCompare, m_toolState.browseSort, m_toolState.findDialog, path);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 18, 28, 12);
    layout->setSpacing(5);

    auto* title = new QLabel(QStringLiteral("Vastel '95"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setAlignment(Qt::AlignCenter);
    QFont tf = title->font();
    tf.setPointSize(tf.pointSize() + 12);
    tf.setBold(true);
    tf.setItalic(true);
    title->setFont(tf);
    title->setStyleSheet(QStringLiteral("color: #ffd54a;"));
    layout->addWidget(title);
    auto* subtitle = new QLabel(QStringLiteral("Find and win back disk space"), this);
    subtitle->setObjectName(QStringLiteral("lblSubtitle"));
    subtitle->setAlignment(Qt::AlignCenter);
    subtitle->setStyleSheet(QStringLiteral("color: #e8eefc;"));
    layout->addWidget(subtitle);
    layout->addSpacing(10);

    // Each button with its caption, hint, handler and, for the tool buttons, the tool it opens.
    struct ButtonEntry {
        const char* name;
        const char* caption;
        const char* hint;
        void (TfrmMain::*click)();
        std::optional<Tool> tool = std::nullopt;
    };
    static const ButtonEntry kButtons[] = {
        {"btDuplicate", "&Duplicate files", "Locate duplicate files", &TfrmMain::btDuplicateClick,
         Tool::Duplicate},
        {"btFileHog", "&File hogs", "Locate large files", &TfrmMain::btFileHogClick, Tool::FileHog},
        {"btFiles", "Files &accessed", "Locate old and recent files", &TfrmMain::btFilesClick,
         Tool::Files},
        {"btDirHogs", "Folder &hogs", "Locate folders taking the most space",
         &TfrmMain::btDirHogsClick, Tool::DirHogs},
        {"btStatistic", "&Statistics", "Compute disk statistics", &TfrmMain::btStatisticClick,
         Tool::Statistic},
        {"btBrowse", "&Browse", "Browse through disks/folders", &TfrmMain::btBrowseClick,
         Tool::Browse},
        {"btClean", "&Quick clean", "Quickly clean up temporary files", &TfrmMain::btCleanClick,
         Tool::Clean},
        {"btClearCache", "&Clear internet files", "Clean up web browser cache folders",
         &TfrmMain::btClearCacheClick, Tool::ClearCache},
        {"btZip", "&Unzip archive files",
         "Unzip files that have been zipped up by Vastel (compressed)", &TfrmMain::btZipClick,
         Tool::Zip},
        {"btBuild", "Build &non-delete list",
         "Build list of folders that will not be deleted in Vastel without warning",
         &TfrmMain::btBuildClick, Tool::Build},
        {"btReach", "Ab&out", "", &TfrmMain::btReachClick},
        {"btHelp", "H&elp", "", &TfrmMain::btHelpClick},
        {"btClose", "E&xit", "Quit and close ", &TfrmMain::btCloseClick},
    };
    for (const ButtonEntry& entry : kButtons) {
        QPushButton* b =
            addButton(QString::fromLatin1(entry.name), QString::fromLatin1(entry.caption),
                      QString::fromLatin1(entry.hint));
        connect(b, &QPushButton::clicked, this, entry.click);
        if (entry.tool)
            m_toolButtons.append({b, *entry.tool});
    }

    for (QPushButton* b : qAsConst(m_buttonOrder))
        layout->addWidget(b, 0, Qt::AlignHCenter);

    layout->addSpacing(10);
    m_lblProduct = new QLabel(QStringLiteral("Vastel '95  -  Version 2.8b"), this);
    m_lblProduct->setObjectName(QStringLiteral("lblProduct"));
    m_lblMaker = new QLabel(QStringLiteral("The Vastel developers"), this);
    m_lblMaker->setObjectName(QStringLiteral("lblMaker"));
    for (QLabel* l : {m_lblProduct, m_lblMaker}) {
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("color: #c9d6f2;"));
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        layout->addWidget(l);
    }

    updateButtons();
    setFixedSize(sizeHint());
}

QPushButton* TfrmMain::addButton(const QString& name, const QString& caption, const QString& hint) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    b->setFixedWidth(250);
    b->setMinimumHeight(30);
    m_buttons.insert(name, b);
    m_buttonOrder.append(b);
    return b;
}

QPushButton* TfrmMain::button(const QString& name) const {
    return m_buttons.value(name, nullptr);
}

void TfrmMain::updateButtons() {
    for (const auto& [b, tool] : qAsConst(m_toolButtons))
        b->setEnabled(hasTool(tool));
}

void TfrmMain::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TfrmMain::FormShow() {
    shell::protection().clearCache();
    m_lowColour = theme::lowColourScreen();
    getDefaultZipPath();
    GetSearchPath();
    switchOnHints();
    updateButtons();
    // The statistics window is made when the program starts and then only shown and hidden.
    makeStatistics();
}

void TfrmMain::paintEvent(QPaintEvent*) {
    QPainter p(this);
    theme::paintBackground(p, rect(), m_lowColour);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_lblProduct || watched == m_lblMaker) &&
        event->type() == QEvent::MouseButtonRelease) {
        btReachClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TfrmMain::checkExceptionList() {
    const QString problem = shell::protection().listProblem();
    if (problem.isEmpty())
        return true;
    msgbox::errorBox(problem);
    return false;
}

void TfrmMain::GetSearchPath() {
    shell::protection().buildFromWorld();
    // The same list is read at every showing of the window: a warning already given is not
    // given again until the list says something else.
    const QString warning =
        missingFolderWarnings(readFoldersFile().valueOr({})).join(QLatin1Char('\n'));
    if (!warning.isEmpty() && warning != m_listWarning)
        msgbox::warningBox(warning);
    m_listWarning = warning;
}

void TfrmMain::getDefaultZipPath() {
    shell::getDefaultZipPath();
}

void TfrmMain::launch(Tool tool, bool guarded) {
    if (!hasTool(tool))
        return;
    if (guarded && !checkExceptionList())
        return;
    const std::unique_ptr<QWidget> window(factories().value(tool)(*this));
    if (auto* dialog = qobject_cast<QDialog*>(window.get()))
        dialog->exec();
}

void TfrmMain::btDuplicateClick() {
    if (!checkExceptionList())
        return;
    m_duplicateMode = 1;
    launch(Tool::Duplicate, false);
}

void TfrmMain::btFileHogClick() {
    if (!checkExceptionList())
        return;
    m_duplicateMode = 0;
    launch(Tool::FileHog, false);
}

void TfrmMain::btFilesClick() {
    launch(Tool::Files, true);
}

void TfrmMain::btDirHogsClick() {
    launch(Tool::DirHogs, true);
}

void TfrmMain::makeStatistics() {
    if (!m_statistics && hasTool(Tool::Statistic))
        m_statistics = factories().value(Tool::Statistic)(*this);
}

void TfrmMain::btStatisticClick() {
    // The statistics window lives for the whole run and is shown without waiting for it.
    makeStatistics();
    if (m_statistics) {
        m_statistics->show();
        m_statistics->raise();
        m_statistics->activateWindow();
    }
}

void TfrmMain::btBrowseClick() {
    launch(Tool::Browse, true);
}

void TfrmMain::btCleanClick() {
    launch(Tool::Clean, true);
}

void TfrmMain::btClearCacheClick() {
    launch(Tool::ClearCache, true);
}

void TfrmMain::btZipClick() {
    launch(Tool::Zip, false);
}

void TfrmMain::btBuildClick() {
    launch(Tool::Build, false);
    GetSearchPath();
}

void TfrmMain::btReachClick() {
    TfrmAbout about(this);
    about.exec();
}

void TfrmMain::btHelpClick() {
    helpwindow::showHelp(this);
}

void TfrmMain::btCloseClick() {
    close();
}
