#pragma once

#include "app/ui/frmstandby.h"

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
