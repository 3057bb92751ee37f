#pragma once

#include "app/ui/frmstandby.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// For window tests that open a modal window and go on inside its event loop.

// Lets the event loop run for a while.
inline void waitFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the action on the modal window of type W as soon as it is the active modal window and
// the waiting window is gone; fails the test when that does not happen within about two seconds.
template <typename W> void whenModalOpen(std::function<void(W*)> action, int attempts = 200) {
    QTimer::singleShot(10, [action, attempts]() {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w || TfrmStandBy::instance()->isVisible()) {
            ASSERT_GT(attempts, 0) << "the window did not open";
            whenModalOpen<W>(action, attempts - 1);
            return;
        }
        action(w);
    });
}

// Clicks a tool window's Start button and, when a scan began, waits (at most 30 seconds) until
// the window has shown its result (its scanDone signal).
template <typename W> void startScan(W& w, QAbstractButton* start) {
    QEventLoop loop;
    QObject::connect(&w, &W::scanDone, &loop, &QEventLoop::quit);
    start->click();
    if (!w.scanning())
        return;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(w.scanning());
}
