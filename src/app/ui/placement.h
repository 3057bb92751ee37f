#pragma once

#include "app/placements.h"

class QWidget;

// Remembering where a tool window stood: its stored placement is applied when it is shown (a
// window without one is centred on the screen) and written back when it goes.
namespace placement {

// Applies the stored placement of the window, or centres it when none is stored.
void restore(QWidget* window, PlacementWindow which);

// Centres the window on its screen; or moves it up or down only, to the middle of the screen.
void centre(QWidget* window);
void centreVertically(QWidget* window);

// Stores the window's present placement.
void store(const QWidget* window, PlacementWindow which);

// The placement record of a window as it stands.
WindowPlacement capture(const QWidget* window);

} // namespace placement
