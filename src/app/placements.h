#pragma once

#include <QString>

// Where the windows that remember their place store it, and the stored text of a placement.

// The ten integers of a stored placement: flags, show state, minimised x and y, maximised x
// and y, and the normal rectangle's left, top, right and bottom.
struct WindowPlacement {
    int flags = 0;
    int showCmd = 1;
    int minX = 0, minY = 0;
    int maxX = 0, maxY = 0;
    int left = 0, top = 0, right = 0, bottom = 0;

    // Applied only when the right edge lies beyond the left one.
    bool usable() const { return right > left; }
    QString toString() const; // ten integers separated by one blank
    // A missing or unreadable number reads as 0, the show state as 1.
    static WindowPlacement parse(const QString& text);
};

enum class PlacementWindow {
    DuplicateSearch,
    FileHogs,
    QuickClean,
    Browser,
    Viewer,
    FilesAccessed
};

struct PlacementSlot {
    bool inVastel95 = false; // else vastel.ini
    QString section;         // "frmDups", "frmMods" or the executable's path
    QString key;             // "frmMods", "frmBrowse", "frmView"
};

PlacementSlot placementSlot(PlacementWindow window);

// The stored value (empty when none) and its writer.
QString readPlacementText(PlacementWindow window);
bool writePlacement(PlacementWindow window, const WindowPlacement& placement);
