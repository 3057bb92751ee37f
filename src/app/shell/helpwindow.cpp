#include "app/shell/helpwindow.h"

#include "platform/environment.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBrowser>
#include <QVBoxLayout>

// The manual is compiled into a static library: its resource must be registered by hand.
static void registerManual() {
    static bool done = false;
    if (!done) {
        Q_INIT_RESOURCE(help);
        done = true;
    }
}

namespace {
const QString kManual = QStringLiteral(":/help/manual.html");
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    registerManual();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Vastel '95 Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QStringLiteral("qrc") + kManual));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(640, 560);
}

void HelpWindow::showFirstTopic() {
    m_browser->setSource(QUrl(QStringLiteral("qrc") + kManual));
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->ensureCursorVisible();
    show();
    raise();
    activateWindow();
}

namespace helpwindow {

void showHelp(QWidget* owner) {
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->showFirstTopic();
}

QString writeManual() {
    registerManual();
    QFile source(kManual);
    if (!source.open(QIODevice::ReadOnly))
        return QString();
    const QString folder = platform::places().dataDir;
    if (!QDir().mkpath(folder))
        return QString();
    const QString path = folder + QStringLiteral("/manual.html");
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(source.readAll()) < 0 || !out.commit())
        return QString();
    return path;
}

} // namespace helpwindow
