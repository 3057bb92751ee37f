#pragma once

#include <QPainter>
#include <QRect>

// The look shared by the program's own windows: a tiled background, or a blue-to-black
// gradient on screens of few colours.
namespace theme {

// The background tile, drawn once.
const QPixmap& tile();

// Fills the rectangle with the tiled background, or with the gradient when lowColour.
void paintBackground(QPainter& painter, const QRect& rect, bool lowColour);

// True when the screen shows fewer than 15 bits per pixel.
bool lowColourScreen();

} // namespace theme
