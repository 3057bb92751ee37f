// Vastel '95: finds what takes the space on the drives and wins it back.
#include "app/shell/appicon.h"
#include "app/shell/frmmain.h"
#include "app/shell/tools.h"
#include "app/ui/frmstandby.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vastel"));
    QApplication::setApplicationVersion(QStringLiteral("2.8b"));
    setUpDesktopIdentity();

    registerTools();
    TfrmMain mainWindow;
    TfrmStandBy::instance();
    mainWindow.show();
    return app.exec();
}
