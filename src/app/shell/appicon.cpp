#include "app/shell/appicon.h"

#include <QGuiApplication>

const QString kBuiltInIconPath = QStringLiteral(":/icons/vastel.svg");

// The icon is compiled into a static library: its resource must be registered by hand.
static void registerIcons() {
    static bool done = false;
    if (!done) {
        Q_INIT_RESOURCE(icons);
        done = true;
    }
}

QIcon programIcon() {
    registerIcons();
    return QIcon::fromTheme(QStringLiteral("vastel"), QIcon(kBuiltInIconPath));
}

void setUpDesktopIdentity() {
    QGuiApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("vastel"));
}
