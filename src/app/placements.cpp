#include "app/placements.h"

#include "app/inifile.h"
#include "platform/environment.h"

#include <QStringList>

QString WindowPlacement::toString() const {
    const int fields[] = {flags, showCmd, minX, minY, maxX, maxY, left, top, right, bottom};
    QStringList parts;
    for (int f : fields)
        parts << QString::number(f);
    return parts.join(QLatin1Char(' '));
}

WindowPlacement WindowPlacement::parse(const QString& text) {
    WindowPlacement p;
    int* const fields[] = {&p.flags, &p.showCmd, &p.minX, &p.minY,  &p.maxX,
                           &p.maxY,  &p.left,    &p.top,  &p.right, &p.bottom};
    const QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < 10; ++i) {
        const int def = (fields[i] == &p.showCmd) ? 1 : 0;
        bool ok = false;
        const int v = i < parts.size() ? parts[i].toInt(&ok) : def;
        *fields[i] = ok ? v : def;
    }
    return p;
}

PlacementSlot placementSlot(PlacementWindow window) {
    const QString exe = platform::executablePath();
    const QString frmMods = QStringLiteral("frmMods");
    switch (window) {
    case PlacementWindow::DuplicateSearch:
        return {false, QStringLiteral("frmDups"), frmMods};
    case PlacementWindow::FileHogs:
        return {false, frmMods, frmMods};
    case PlacementWindow::QuickClean:
        return {false, exe, frmMods};
    case PlacementWindow::Browser:
        return {false, exe, QStringLiteral("frmBrowse")};
    case PlacementWindow::Viewer:
        return {false, exe, QStringLiteral("frmView")};
    case PlacementWindow::FilesAccessed:
        return {true, exe, frmMods};
    }
    return {};
}

namespace {
IniFile placementFile(const PlacementSlot& slot) {
    return slot.inVastel95 ? vastel95File() : settingsFile();
}
} // namespace

QString readPlacementText(PlacementWindow window) {
    const PlacementSlot slot = placementSlot(window);
    return placementFile(slot).readString(slot.section, slot.key, QString());
}

bool writePlacement(PlacementWindow window, const WindowPlacement& placement) {
    const PlacementSlot slot = placementSlot(window);
    IniFile ini = placementFile(slot);
    return ini.writeString(slot.section, slot.key, placement.toString());
}
