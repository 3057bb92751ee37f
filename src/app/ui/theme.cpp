#include "app/ui/theme.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPixmap>
#include <QScreen>

namespace theme {

const QPixmap& tile() {
    static const QPixmap pixmap = [] {
        QPixmap p(48, 48);
        p.fill(QColor(0x12, 0x2a, 0x55));
        QPainter painter(&p);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x1b, 0x3a, 0x70), 1));
        painter.drawLine(0, 0, 48, 48);
        painter.drawLine(0, 48, 48, 0);
        painter.setPen(QPen(QColor(0x24, 0x48, 0x85), 1));
        painter.drawEllipse(QPointF(24, 24), 6, 6);
        return p;
    }();
    return pixmap;
}

void paintBackground(QPainter& painter, const QRect& rect, bool lowColour) {
    if (lowColour) {
        QLinearGradient g(rect.topLeft(), rect.bottomLeft());
        g.setColorAt(0, QColor(0, 0, 255));
        g.setColorAt(1, QColor(0, 0, 0));
        painter.fillRect(rect, g);
    } else {
        painter.drawTiledPixmap(rect, tile());
    }
}

bool lowColourScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->depth() < 15;
}

} // namespace theme
