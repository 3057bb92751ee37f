#include "app/ui/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace placement {

namespace {
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

const QScreen* screenOf(const QWidget* window) {
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}
} // namespace

void centre(QWidget* window) {
    const QScreen* screen = screenOf(window);
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void centreVertically(QWidget* window) {
    const QScreen* screen = screenOf(window);
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(QPoint(frame.center().x(), screen->availableGeometry().center().y()));
    window->move(frame.topLeft());
}

void restore(QWidget* window, PlacementWindow which) {
    const QString text = readPlacementText(which);
    if (text.isEmpty()) {
        centre(window);
        return;
    }
    const WindowPlacement p = WindowPlacement::parse(text);
    if (!p.usable())
        return;
    window->setGeometry(QRect(QPoint(p.left, p.top), QPoint(p.right - 1, p.bottom - 1)));
    if (p.showCmd == kShowMaximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

WindowPlacement capture(const QWidget* window) {
    WindowPlacement p;
    const QRect normal = window->isMaximized() || window->isMinimized() ? window->normalGeometry()
                                                                        : window->geometry();
    p.showCmd = window->isMaximized()   ? kShowMaximized
                : window->isMinimized() ? kShowMinimized
                                        : kShowNormal;
    p.minX = p.minY = p.maxX = p.maxY = -1;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    return p;
}

void store(const QWidget* window, PlacementWindow which) {
    writePlacement(which, capture(window));
}

} // namespace placement
