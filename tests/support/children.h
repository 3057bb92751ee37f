#pragma once

#include <QObject>
#include <QPushButton>
#include <QString>
#include <gtest/gtest.h>

// The named child of a window; the test fails (and goes on with null) when there is none.
template <typename T> T* child(QObject* w, const char* name) {
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline QPushButton* button(QObject* w, const char* name) {
    return child<QPushButton>(w, name);
}
